// The root of a view tree: a container the size of the editor window that draws
// into an image of its own, collects dirty areas and redraws them in idle, keeps
// the keyboard focus, a modal layer for pop-ups, the mouse observers, the views
// that want idle, and the clock. Events reach it through its platformOn...
// entries and onKeyDown, from the X11 window (open) or from the caller (headless).
// A view removed while the frame handles an event or idle is released when that
// returns, so handlers may remove their own view or its container.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "toolkit/cairoholders.hpp"
#include "toolkit/cclock.hpp"
#include "toolkit/cfont.hpp"
#include "toolkit/cviewcontainer.hpp"
#include "toolkit/imouseobserver.hpp"
#include "toolkit/iplatformframe.hpp"

class CFrame : public CViewContainer {
public:
  // [ui] A frame of `size`'s width and height (its origin is 0, 0); headless until
  // open(). `clock` (borrowed; null for the system clock) times idle and clicks.
  explicit CFrame(const CRect& size, IClock* clock = nullptr);
  ~CFrame() override;

  // [ui] Shows the frame in a child window of the X11 window `parentWindow`, on a
  // display connection of its own. False, with nothing changed, when there is no
  // display or the parent window is unusable.
  bool open(void* parentWindow);
  // [ui] Shows the frame through `platform` (tests, other window systems).
  void open(std::unique_ptr<IPlatformFrame> platform);
  bool isOpen() const { return platform_ != nullptr; }
  // The native window, 0 when headless.
  uintptr_t getNativeWindow() const { return platform_ ? platform_->nativeWindow() : 0; }

  // [ui] The host's periodic call: pumps window events, runs the views that want
  // idle, draws the dirty areas and copies them to the window.
  void idle();
  // [ui] Draws the dirty areas into the image now; returns them.
  std::vector<CRect> drawDirty();
  bool hasDirtyAreas() const { return !dirty_.empty(); }
  // The frame's picture (RGB, owned by the frame).
  cairo_surface_t* getImage() const { return image_.get(); }

  IClock& getClock() const { return *clock_; }
  void setClock(IClock* clock) { clock_ = clock ? clock : &systemClock_; }

  // [ui] Observers are borrowed; unregister before they die.
  void registerMouseObserver(IMouseObserver* observer);
  void unregisterMouseObserver(IMouseObserver* observer);
  size_t getNbMouseObservers() const { return observers_.size(); }

  // [ui] The view that gets keys; the old one is told looseFocus(), the new one takeFocus().
  void setFocusView(CView* view);
  CView* getFocusView() const { return focusView_; }
  // [ui] Puts `view` on top of everything; it gets every mouse event and key
  // first until closeModalView. False when another modal view is open.
  bool showModalView(CView* view);
  // [ui] Removes and releases the modal view.
  void closeModalView(CView* view);
  CView* getModalView() const { return modalView_; }
  // The view the mouse is over (deepest), or null.
  CView* getMouseOverView() const { return mouseOverView_; }

  // [ui] Events, in the frame's coordinates. A second press of the same button
  // within kDoubleClickMs and kDoubleClickDistance carries kDoubleClick.
  CMouseEventResult platformOnMouseDown(const CPoint& where, CButtonState buttons);
  CMouseEventResult platformOnMouseUp(const CPoint& where, CButtonState buttons);
  CMouseEventResult platformOnMouseMoved(const CPoint& where, CButtonState buttons);
  // The pointer left the window.
  void platformOnMouseExited();
  bool platformOnWheel(const CPoint& where, float distance, CButtonState buttons);
  // [ui] A key for the modal view, else the focus view: 1 when used, -1 otherwise.
  // Hosts that pass keys to the editor call this too.
  int32_t onKeyDown(const CKeyCode& key) override;

  // [ui] Text measurement with the frame's fonts.
  CCoord getStringWidth(const CFontDesc& font, const std::string& text);
  CFontCache& getFontCache() { return fonts_; }

  bool isTypeOf(IdStringPtr name) const override;
  void childInvalidated(const CRect& rect) override;
  // The frame's own coordinates are its children's: its areas go straight to the dirty list.
  void invalidRect(const CRect& rect) override { childInvalidated(rect); }

  // For containers and views: bookkeeping of the tree.
  void willRemoveView(CView* view);
  void forgetLater(CView* view);
  void addIdleView(CView* view);
  void removeIdleView(CView* view);

  static constexpr uint32_t kDoubleClickMs = 400;
  static constexpr CCoord kDoubleClickDistance = 4;  // pixels
  static constexpr size_t kMaxDirtyAreas = 16;       // beyond, the areas are united

private:
  class EventScope;
  void updateMouseOver(const CPoint& where, const CButtonState& buttons);
  CButtonState markDoubleClick(const CPoint& where, CButtonState buttons);

  std::unique_ptr<IPlatformFrame> platform_;  // null when headless
  CairoSurfacePtr image_;                     // the frame's picture
  CairoContextPtr measure_;                   // for text measurement outside drawing
  CFontCache fonts_;
  CSystemClock systemClock_;
  IClock* clock_;                             // borrowed, or &systemClock_
  std::vector<CRect> dirty_;                  // frame coordinates, not overlapping
  std::vector<IMouseObserver*> observers_;    // borrowed
  std::vector<CView*> idleViews_;             // attached views that want idle
  std::vector<CView*> pendingForget_;         // released when the outermost event returns
  int eventDepth_ = 0;
  CView* focusView_ = nullptr;
  CView* modalView_ = nullptr;
  CView* mouseOverView_ = nullptr;
  uint32_t lastPress_ms_ = 0;                 // time, place and button of the last press
  CPoint lastPressAt_;
  int32_t lastPressButton_ = 0;
  bool lastPressWasDouble_ = true;            // so the very first press is single
};
