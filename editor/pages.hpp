// The builders of the editor's pages and boxes, one per file. Each makes its
// views with the editor's control factory from the engine's current state.
#pragma once
#include "plugin/qveditorstate.hpp"

class CViewContainer;
class qveditor;

// [ui] The amplifier page: the face with its logo and knobs, the row of menus
// under it, the gate and cab-sim panels.
void buildAmpPage(qveditor& ed, CViewContainer* page);
// [ui] The pedal floor: the add menus, a panel per pedal, the block strip.
void buildFloorPage(qveditor& ed, CViewContainer* page);
// [ui] The options page.
void buildOptionsPage(qveditor& ed, CViewContainer* page);
// [ui] The open pop-up box, if any, over everything.
void buildBoxes(qveditor& ed, const qveditorstate& ui);
