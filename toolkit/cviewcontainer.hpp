// A view holding child views in order (the last added on top). It draws its
// background (colour, then bitmap) and its children clipped to its own area, and
// passes mouse events to the topmost child under the mouse that takes them; a
// child that handles a press gets the moves and the release. It owns its
// children: they die with it.
#pragma once
#include <vector>

#include "toolkit/cview.hpp"

class CViewContainer : public CView {
public:
  explicit CViewContainer(const CRect& size);
  ~CViewContainer() override;

  // [ui] Adds `view` on top of the others, or just below `before`. The container
  // takes over the reference the caller holds. False for null or for a view that
  // is already in a container (its reference stays with the caller).
  bool addView(CView* view, CView* before = nullptr);
  // [ui] Takes `view` out. With `withForget` the container drops its reference (the
  // view is deleted unless someone remembered it); while the frame handles an event
  // or idle, that waits until it returns, so a view may remove itself in its own
  // handler. Without, the caller takes over the reference.
  bool removeView(CView* view, bool withForget = true);
  void removeAll(bool withForget = true);
  bool isChild(const CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children_.size()); }
  CView* getView(int32_t index) const;
  // The topmost visible, mouse-enabled child under `where` (in this container's
  // parent's coordinates, like its events); with `deep`, the deepest view inside it.
  CView* getViewAt(const CPoint& where, bool deep = false) const;

  void setBackgroundColor(const CColor& color);
  CColor getBackgroundColor() const { return backgroundColor_; }

  // Where the children's origin lies, in this container's parent's coordinates.
  virtual CPoint getChildOrigin() const { return size_.getTopLeft(); }
  // The area children show in, in the children's coordinates.
  virtual CRect getChildClip() const { return CRect(0, 0, size_.getWidth(), size_.getHeight()); }
  // [ui] A child's area (children's coordinates) needs redrawing.
  virtual void childInvalidated(const CRect& rect);

  bool isTypeOf(IdStringPtr name) const override;
  void attachedToFrame(CFrame* frame) override;
  void removedFromFrame(CFrame* frame) override;
  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
  CViewContainer* asViewContainer() override { return this; }

protected:
  // Draws the children that meet `localUpdate` (children's coordinates); the
  // context is already translated to the children's origin.
  void drawChildren(CDrawContext* context, const CRect& localUpdate);

  std::vector<CView*> children_;     // owned references, bottom to top
  CView* mouseDownView_ = nullptr;   // the child that took the current press

private:
  CColor backgroundColor_ = kTransparentCColor;
};
