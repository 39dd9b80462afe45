// The view: a rectangle in its parent's coordinates that draws itself and takes
// mouse, wheel and key events. Every event's point is in the same coordinates as
// the view's own rectangle (its parent's). Views live on the user-interface
// thread only. A view belongs to at most one container, which holds its reference.
#pragma once
#include "toolkit/cbaseobject.hpp"
#include "toolkit/events.hpp"
#include "toolkit/geometry.hpp"

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CBaseObject {
public:
  explicit CView(const CRect& size);
  ~CView() override;

  // [ui] Geometry, in the parent's coordinates.
  const CRect& getViewSize() const { return size_; }
  virtual void setViewSize(const CRect& size, bool invalidate = true);
  CCoord getWidth() const { return size_.getWidth(); }
  CCoord getHeight() const { return size_.getHeight(); }
  // The view's rectangle in the frame's coordinates.
  CRect getFrameRect() const;
  // A point in the frame's coordinates turned into this view's event coordinates, and back.
  CPoint frameToLocal(const CPoint& p) const;
  CPoint localToFrame(const CPoint& p) const;

  // [ui] A hidden view neither draws nor takes events.
  void setVisible(bool visible);
  bool isVisible() const { return visible_; }
  // [ui] Opacity 0..1 of the view and everything it draws.
  void setAlphaValue(float alpha);
  float getAlphaValue() const { return alpha_; }
  // [ui] A view with the mouse disabled is passed over by clicks and the wheel.
  void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool getMouseEnabled() const { return mouseEnabled_; }
  // [ui] Set by invalid(), cleared when the view has drawn.
  void setDirty(bool dirty) { dirty_ = dirty; }
  bool isDirty() const { return dirty_; }
  // [ui] A view that wants idle gets onIdle() from each frame idle while attached.
  void setWantsIdle(bool wants);
  bool wantsIdle() const { return wantsIdle_; }
  // [ui] The background picture (remembered; null for none).
  virtual void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return background_; }

  // [ui] Marks the whole view, or a part of it (in the parent's coordinates), for
  // redrawing at the frame's next idle.
  void invalid();
  virtual void invalidRect(const CRect& rect);

  CViewContainer* getParentView() const { return parent_; }
  // The frame the view is attached to, or null.
  CFrame* getFrame() const { return frame_; }
  // True for "CView" and, in derived classes, their own class names.
  virtual bool isTypeOf(IdStringPtr name) const;

  // [ui] Called when the view joins a tree under `frame` and when it leaves it.
  virtual void attachedToFrame(CFrame* frame);
  virtual void removedFromFrame(CFrame* frame);

  // [ui] Draws the whole view; the default draws the background into the view's rectangle.
  virtual void draw(CDrawContext* context);
  // [ui] Draws the part `updateRect` (parent's coordinates); the default draws all.
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);

  virtual CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(const CPoint& where, const CButtonState& buttons);
  // `distance` in wheel notches, positive away from the user (up). True when used.
  virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);
  // 1 when the key was used, -1 otherwise.
  virtual int32_t onKeyDown(const CKeyCode& key);
  virtual void onIdle() {}
  // Keyboard focus given and taken by the frame.
  virtual void takeFocus() {}
  virtual void looseFocus() {}
  // Whether `where` hits the view; the default is its rectangle.
  virtual bool hitTest(const CPoint& where) const { return size_.pointInside(where); }

  // Not null for containers (and the frame).
  virtual CViewContainer* asViewContainer() { return nullptr; }

protected:
  CRect size_;  // in the parent's coordinates

private:
  friend class CViewContainer;
  CViewContainer* parent_ = nullptr;  // set while in a container
  CFrame* frame_ = nullptr;           // set while attached to a frame
  CBitmap* background_ = nullptr;     // remembered
  float alpha_ = 1.0f;
  bool visible_ = true;
  bool mouseEnabled_ = true;
  bool dirty_ = false;
  bool wantsIdle_ = false;
};
