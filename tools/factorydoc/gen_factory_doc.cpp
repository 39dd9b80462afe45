// Builds the factory data document "CORVINA-INIT.FXDA" from the factory sources.
//
//   gen_factory_doc <output> <source> [<source> ...]
//
// The sources are read in the order given (see resources/factory/README.md); the
// document is written only when everything checks out, so a build never embeds a
// half-made file. Same sources, same bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "tools/factorydoc/factorybuild.hpp"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output> <source> [<source> ...]\n", argv[0]);
    return 2;
  }
  std::vector<std::string> sources(argv + 2, argv + argc);
  std::string text;
  std::string err = buildFactoryDocumentFromFiles(sources, text);
  if (!err.empty()) {
    std::fprintf(stderr, "gen_factory_doc: %s\n", err.c_str());
    return 1;
  }
  if (!writeFileAtomic(argv[1], text)) {
    std::fprintf(stderr, "gen_factory_doc: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
