// Where the editor puts things, in window pixels unless said otherwise. The
// window is 840 x 480: a title bar (y 0..20), the tab strip (x 0..22) with the
// meters under the tabs, and the pages beside it. On the amplifier page the
// amplifier panel (its face, 816 x 300) starts at x 22, y 20 and holds its
// controls in its own coordinates; the lower strip (y 348..480) holds the gate
// and cab-sim panels, whose controls take window x and strip-relative y.
#pragma once
#include "toolkit/geometry.hpp"

namespace layout {

constexpr CCoord kAmpPanelX = 22;
constexpr CCoord kAmpPanelY = 20;
constexpr CCoord kAmpPanelW = 816;
constexpr CCoord kAmpPanelH = 300;
constexpr CCoord kLayoutSwitchOffset = -70;  // option 4 moves the amplifier panel up
constexpr CCoord kAmpRowY = 320;             // the row of menus under the face
constexpr CCoord kLowerStripY = 348;
constexpr CCoord kLowerStripH = 132;
constexpr CCoord kGatePanelX = 270;
constexpr CCoord kCabPanelX = 464;

// The row under the amplifier: active toggle, menus, the look menus.
constexpr CCoord kRowActiveX = 24;
constexpr CCoord kRowSetAmpX = 124;
constexpr CCoord kRowPresetX = 204;
constexpr CCoord kRowCabSimX = 284;
constexpr CCoord kRowLookX[3] = {388, 472, 556};  // amplifier skin, knob style, logo
constexpr CCoord kRowAntiAliasX = 740;

// The lower strip's left part: the block strip's summary of the amplifier.
constexpr CCoord kTitleBarH = 20;
constexpr CRect kMessageLine{200, 1, 700, 19};

// The pedal floor: the add menus at the left, pedals beside them, the block
// strip (every block of the rig in signal order) along the bottom.
constexpr CCoord kAddPreX = 21, kAddPreY = 51;
constexpr CCoord kAddPostX = 21, kAddPostY = 74;
constexpr CCoord kPedalFirstX = 170;
constexpr CCoord kPedalY = 22;
constexpr CCoord kPedalW = 188;
constexpr CCoord kPedalH = 286;
constexpr CCoord kPedalGap = 4;
constexpr int kPedalsShown = 3;
constexpr CCoord kBlockStripY = 348;
constexpr CCoord kBlockBoxW = 128;
constexpr CCoord kBlockBoxH = 104;
constexpr CCoord kBlockGap = 4;
constexpr int kBlocksShown = 6;

// The options page: two columns of rows.
constexpr CCoord kOptionsLeftX = 30;
constexpr CCoord kOptionsRightX = 465;
constexpr CCoord kOptionsFirstRowY = 58;

}  // namespace layout
