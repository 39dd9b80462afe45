// Lookup over the skin images (the resource set "skins", made from the images
// that tools/skingen draws). Compiled into corvina_resources_skins only.
#include "resources/restable.hpp"

bool loadSkinResource(const char* name, qvresource& out) {
  return findResourceByName(corvinaSkinTable, corvinaSkinCount, name, out);
}
