// The layer over the whole window while a row, a pedal or a block is picked for
// moving: it draws the picked item's overlay where the mouse carries it, marks the
// drop target under the mouse, and keeps presses and keys from the views below,
// so the press that drops (or cancels) does nothing else. The editor's mouse
// observer moves it and asks it for the target; Escape cancels.
#pragma once
#include <functional>
#include <vector>

#include "toolkit/cview.hpp"

class CBitmap;

// A place the picked item may be dropped on: the area of `view` (clipped by
// `clip`, e.g. a scrolling list, when not null), or a fixed area in frame
// coordinates. What the drop does is the editor's: a row place, a category, or
// a drag-target control's tag.
struct qvdroptarget {
  CView* view = nullptr;    // owned by the frame; null: `area` as it stands
  CView* clip = nullptr;
  CRect area;               // frame coordinates when there is no view
  int32_t row = -1;         // a row's place in its list
  int32_t category = -1;    // a category dropped on
  int32_t tag = -1;         // a drag-target control
};

class qvdraglayer final : public CView {
public:
  // [ui] `overlay` is carried from `picked` (frame coordinates); the icon shows
  // at the mouse, `none` when no target is under it. Pictures are borrowed from
  // the editor's model; `onEscape` runs when Escape is pressed.
  qvdraglayer(const CRect& size, CBitmap* overlay, CBitmap* icon, CBitmap* none, const CRect& picked,
              std::function<void()> onEscape);

  void addTarget(const qvdroptarget& target) { targets_.push_back(target); }
  // The drag-target control that puts a picked pedal or block back where it
  // was (a drop on itself); -1 for rows, which cancel with an empty drop.
  int32_t cancelTag = -1;
  // [ui] The target under `where` (frame coordinates), or null.
  const qvdroptarget* targetAt(const CPoint& where) const;
  // [ui] The mouse is at `where`: the overlay moves by as much as the mouse did.
  void follow(const CPoint& where);
  const qvdroptarget* marked() const { return marked_; }
  CRect overlayRect() const { return overlay_; }
  // [ui] A drop or a cancel was sent: later presses wait for the rebuild.
  void finish() { finished_ = true; }
  bool isFinished() const { return finished_; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(const CKeyCode& key) override;

private:
  static CRect areaOf(const qvdroptarget& t);

  std::vector<qvdroptarget> targets_;
  CBitmap* overlayImage_;
  CBitmap* icon_;
  CBitmap* none_;
  CRect overlay_;                       // where the overlay is drawn
  CPoint mouse_;                        // last mouse position
  const qvdroptarget* marked_ = nullptr;
  std::function<void()> onEscape_;
  bool finished_ = false;
};
