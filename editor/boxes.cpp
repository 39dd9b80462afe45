// The pop-up boxes over the window: the preset box (presets or the impulse
// catalogue by category), the category box over it, the block box and the
// parameter editor box.
#include "editor/pages.hpp"
#include "editor/qveditor.hpp"

void buildBoxes(qveditor& ed, const qveditorstate& ui) {
  (void)ed;
  (void)ui;
}
