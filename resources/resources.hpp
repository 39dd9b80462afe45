// Read-only data embedded in the binary: the factory data document and the factory
// impulse responses in the plug-in, a small test set in the tests. Each resource
// has a name (matched without regard to letter case), a numeric id, or both.
// Returned ranges point into the binary's read-only data: valid for the life of
// the module, never copied, never released.
//
// The lookup reads the table of whichever resource set the final binary links
// (`corvina_resources_<set>`, made by corvina_embed_resources in
// cmake/CorvinaResources.cmake); corvina_core itself links none.
#pragma once
#include <cstddef>

struct qvresource {
  const unsigned char* bytes = nullptr;  // first byte; a NUL follows the last one
  size_t size = 0;                       // bytes, without that NUL
};

// [any] The resource named `name` (letter case ignored). False when there is none.
bool loadDataResource(const char* name, qvresource& out);

// [any] The resource with numeric id `id` (the factory impulses are 2 to 30).
bool loadDataResourceById(int id, qvresource& out);

// [any] The skin image `name`, its upper-case file name ("AMPGUIBG1.PNG"; letter
// case ignored), from the resource set "skins". Only in binaries that link
// corvina_resources_skins beside their own set.
bool loadSkinResource(const char* name, qvresource& out);

// One row of a resource set's table, written by the generated table source.
struct qvresentry {
  const char* name;            // nullptr when the resource has only an id
  int id;                      // -1 when the resource has only a name
  const unsigned char* begin;  // embedded bytes
  const unsigned char* end;    // one past the last byte
};

// Defined by the generated table source of the linked resource set.
extern const qvresentry corvinaResourceTable[];
extern const size_t corvinaResourceCount;
// Defined by the generated table source of the skins set.
extern const qvresentry corvinaSkinTable[];
extern const size_t corvinaSkinCount;
