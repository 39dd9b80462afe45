// What a unit needs to write itself into a document: containers and scalar
// members, named inside objects and unnamed (name == nullptr) inside arrays.
// The document writer implements it over JSON nodes; units never see JSON.
#pragma once
#include <cstdint>

#include "data/qvstring.hpp"

class qvdocwriter {
public:
  virtual ~qvdocwriter() = default;
  // Each returns false when the container cannot be opened (nesting exhausted).
  virtual bool openObject(const char* name) = 0;
  virtual bool openArray(const char* name) = 0;
  virtual void addInt(const char* name, int32_t v) = 0;
  virtual void addNumber(const char* name, float v) = 0;  // NaN and infinities are written as 0
  virtual void addBool(const char* name, bool v) = 0;
  virtual void addString(const char* name, const qvstring& v) = 0;
  virtual void close() = 0;
};
