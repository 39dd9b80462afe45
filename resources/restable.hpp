// Lookup by name over one resource set's table, shared by the lookups of every
// set (the factory or test set in resources.cpp, the skin images in
// skinresources.cpp). Names match without regard to letter case.
#pragma once
#include <cstddef>
#include <cstdint>

#include "resources/resources.hpp"

inline char resourceLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

inline bool resourceNamesEqual(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (resourceLowerAscii(*a) != resourceLowerAscii(*b)) return false;
  return *a == *b;
}

inline bool resourceFill(const qvresentry& e, qvresource& out) {
  out.bytes = e.begin;
  // Addresses as integers: begin and end are two symbols, not one array.
  out.size = size_t(reinterpret_cast<uintptr_t>(e.end) - reinterpret_cast<uintptr_t>(e.begin));
  return true;
}

inline bool findResourceByName(const qvresentry* table, size_t count, const char* name,
                               qvresource& out) {
  if (!name) return false;
  for (size_t i = 0; i < count; ++i)
    if (table[i].name && resourceNamesEqual(table[i].name, name)) return resourceFill(table[i], out);
  return false;
}
