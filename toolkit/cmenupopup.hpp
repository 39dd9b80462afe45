// The open list of an option menu, drawn inside the frame as its modal view:
// below the menu when it fits, else above, else pushed inside the frame. A list
// taller than the frame flows into columns. A press on an entry chooses it; a
// press outside, or Escape, closes the list without a choice; Up, Down and Enter
// work from the keyboard.
#pragma once
#include "toolkit/cview.hpp"

class CFrame;
class COptionMenu;

class CMenuPopup : public CView {
public:
  static constexpr CCoord kRowHeight = 18;  // pixels per entry
  static constexpr CCoord kTextInset = 8;   // pixels left and right of a title
  static constexpr CCoord kMargin = 4;      // pixels kept free at the frame's edges
  static constexpr CCoord kBorder = 1;      // pixels

  // [ui] Lays out `menu`'s entries for a menu shown at `anchor` (frame coordinates)
  // in `frame`. The menu is borrowed until close() or detachMenu().
  CMenuPopup(COptionMenu* menu, const CRect& anchor, CFrame& frame);

  int32_t getNbColumns() const { return columns_; }
  int32_t getRowsPerColumn() const { return rows_; }
  // Entry `index`'s rectangle (frame coordinates; empty for no such entry).
  CRect getEntryRect(int32_t index) const;
  // The entry under `where` (frame coordinates), or -1.
  int32_t entryAt(const CPoint& where) const;
  int32_t getHighlighted() const { return highlighted_; }

  // [ui] Closes the list (no choice).
  void close();
  // [ui] The menu goes away first: forget it.
  void detachMenu() { menu_ = nullptr; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(const CKeyCode& key) override;
  // The whole frame: a press anywhere belongs to the open list.
  bool hitTest(const CPoint&) const override { return true; }

private:
  int32_t entryCount() const;
  void choose(int32_t index);
  void highlight(int32_t index);
  // The next choosable entry from `index` in `step` direction, or `index` if none.
  int32_t nextChoosable(int32_t index, int32_t step) const;

  COptionMenu* menu_;        // borrowed while open
  CRect list_;               // the list's rectangle, frame coordinates
  int32_t rows_ = 1;         // entries per column
  int32_t columns_ = 1;
  CCoord columnWidth_ = 0;   // pixels
  int32_t highlighted_ = -1;
};
