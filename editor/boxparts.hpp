// What the builders of the pop-up boxes share: the box's panel with its title,
// plain captions, and the drop targets the rows offer while something is picked.
// Builders run inside qveditor::buildEditor, which holds the command lock.
// The preset and category boxes are in presetbox.cpp, the block and parameter
// boxes in blockbox.cpp, the dispatch and the drag layer in boxes.cpp.
#pragma once
#include <string>
#include <vector>

#include "editor/qvdraglayer.hpp"
#include "editor/qveditor.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/ctextlabel.hpp"

class CScrollView;

namespace boxlook {
constexpr CCoord kRowH = 22;      // a list row
constexpr CCoord kTitleH = 22;    // a box's title bar
constexpr CCoord kPad = 8;        // inner margin
constexpr int32_t kSmallButton = 39;  // "uclick2.png", 60 x 20 a state
constexpr int32_t kWideButton = 20;   // "uclickall.png", 100 x 20 a state
constexpr int32_t kToggle = 2;        // "utoggleall.png", 149 x 20 a state
constexpr int32_t kCategoryButton = 29;  // "uclickcategory.png", 140 x 20 a state
constexpr int32_t kCloseButton = 25;  // "uclickclose.png", 128 x 20
constexpr int32_t kRowToggle = 7;     // "boxtoggle.png", 16 x 16 a state
constexpr int32_t kToolButton = 14;   // "boxtool.png", 16 x 16 a state
const CColor kPanelBack{34, 35, 40, 248};
const CColor kPanelFrame{255, 176, 64, 255};
const CColor kTitleBack{18, 18, 22, 255};
const CColor kText{225, 225, 225, 255};
const CColor kDimText{160, 160, 168, 255};
const CColor kCurrentText{255, 176, 64, 255};
}  // namespace boxlook

struct qvboxbuilder {
  qveditor& ed;
  qvengine& e;
  const qveditorstate& ui;
  int32_t box = 0;                       // the box number the controls carry
  // While a row is picked: where it was drawn and where it may go.
  CView* pickedView = nullptr;
  std::vector<qvdroptarget> targets;

  // [ui] A framed panel in the frame with `title` in its bar; the first one made
  // is the editor's box panel.
  CViewContainer* panel(const CRect& size, const std::string& title);
  // [ui] A passive line of text.
  CTextLabel* caption(CViewContainer* in, CCoord x, CCoord y, CCoord w, const std::string& text,
                      const CColor& colour = boxlook::kText, bool bold = false, CHoriTxtAlign align = kLeftText);
  // [ui] A push button posting an editor or rig command `tag` with `value`.
  CView* commandButton(CViewContainer* in, int32_t tag, float value, int32_t image, CCoord x, CCoord y,
                       const std::string& label, const std::string& tooltip, CCoord width = -1,
                       CCoord height = -1);
  // [ui] A scrolling list of `rows` rows under the panel's head.
  CScrollView* list(CViewContainer* in, const CRect& size, int rows);

  void presetBox();    // presetbox.cpp
  void categoryBox();
  void blockBox();     // blockbox.cpp
  void paramBox();
};
