// Builds the factory impulse responses from the cabinet catalogue.
// Usage: gen_impulses <cabinets.json> <output folder>
#include <cstdio>
#include <string>

#include "tools/impulsegen/generate.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <cabinets.json> <output folder>\n", argv[0]);
    return 2;
  }
  std::string error;
  if (generateImpulses(argv[1], argv[2], error) != 0) {
    std::fprintf(stderr, "gen_impulses: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
