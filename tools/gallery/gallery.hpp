// The gallery: every control of the kit on one 840 x 480 frame, with pictures it
// draws itself. The status line tells the last value a control reported.
#pragma once
#include <memory>

#include "toolkit/cclock.hpp"
#include "toolkit/ccontrol.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextlabel.hpp"

class COptionMenu;
class IScrollbarDrawer;

namespace gallery {
class Gallery final : public CControlListener, public IMouseObserver {
public:
  // [ui] Builds the frame (headless until frame().open()); `clock` is borrowed.
  explicit Gallery(IClock* clock = nullptr);
  ~Gallery() override;
  Gallery(const Gallery&) = delete;
  Gallery& operator=(const Gallery&) = delete;

  CFrame& frame() { return *frame_; }
  // [ui] Opens the long preset menu, to show its columns.
  bool openPresetMenu();
  void valueChanged(CControl* control) override;
  void onMouseEntered(CView* view, CFrame* frame) override;
  void onMouseExited(CView* view, CFrame* frame) override;
  CMouseEventResult onMouseMoved(CFrame*, const CPoint&, const CButtonState&) override { return kMouseEventNotHandled; }
  CMouseEventResult onMouseDown(CFrame*, const CPoint&, const CButtonState&) override { return kMouseEventNotHandled; }

private:
  void build();
  void report(const std::string& text);

  std::unique_ptr<IScrollbarDrawer> scrollbarDrawer_;  // borrowed by the scroll view: outlives the frame
  CFrame* frame_;                      // owned reference
  CParamDisplay* knobDisplays_[3] = {};
  CControl* knobs_[3] = {};
  CParamDisplay* sliderDisplay_ = nullptr;
  COptionMenu* presetMenu_ = nullptr;
  CTextLabel* status_ = nullptr;
  CTextLabel* hover_ = nullptr;
};
}  // namespace gallery
