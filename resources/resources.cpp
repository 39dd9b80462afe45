// Lookup over the linked resource set's table. Compiled into every
// corvina_resources_<set> library beside that set's generated table.
#include "resources/resources.hpp"

#include "resources/restable.hpp"

bool loadDataResource(const char* name, qvresource& out) {
  return findResourceByName(corvinaResourceTable, corvinaResourceCount, name, out);
}

bool loadDataResourceById(int id, qvresource& out) {
  if (id < 0) return false;
  for (size_t i = 0; i < corvinaResourceCount; ++i) {
    const qvresentry& e = corvinaResourceTable[i];
    if (e.id == id) return resourceFill(e, out);
  }
  return false;
}
