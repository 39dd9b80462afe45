// Lookup over the linked resource set's table. Compiled into every
// corvina_resources_<set> library beside that set's generated table.
#include "resources/resources.hpp"

#include <cstdint>

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (lowerAscii(*a) != lowerAscii(*b)) return false;
  return *a == *b;
}

bool fill(const qvresentry& e, qvresource& out) {
  out.bytes = e.begin;
  // Addresses as integers: begin and end are two symbols, not one array.
  out.size = size_t(reinterpret_cast<uintptr_t>(e.end) - reinterpret_cast<uintptr_t>(e.begin));
  return true;
}

}  // namespace

bool loadDataResource(const char* name, qvresource& out) {
  if (!name) return false;
  for (size_t i = 0; i < corvinaResourceCount; ++i) {
    const qvresentry& e = corvinaResourceTable[i];
    if (e.name && equalNoCase(e.name, name)) return fill(e, out);
  }
  return false;
}

bool loadDataResourceById(int id, qvresource& out) {
  if (id < 0) return false;
  for (size_t i = 0; i < corvinaResourceCount; ++i) {
    const qvresentry& e = corvinaResourceTable[i];
    if (e.id == id) return fill(e, out);
  }
  return false;
}
