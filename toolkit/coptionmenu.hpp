// A menu button: shows the title of the entry at its value and, when pressed,
// opens the list of entries as an overlay inside the frame (CMenuPopup). Choosing
// an entry sets the value to the entry's index and tells the listener; with a
// title entry first, the first real entry reports 1.
#pragma once
#include <string>
#include <vector>

#include "toolkit/cmenuitem.hpp"
#include "toolkit/cparamdisplay.hpp"

class CMenuPopup;

class COptionMenu : public CParamDisplay {
public:
  COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              int32_t style = 0);
  ~COptionMenu() override;

  // [ui] Inserts `item` at `index` (-1 appends); the menu takes over the caller's reference.
  CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
  CMenuItem* addEntry(const std::string& title, int32_t index = -1, int32_t flags = CMenuItem::kNoFlags);
  bool removeEntry(int32_t index);
  void removeAllEntry();
  int32_t getNbEntries() const { return static_cast<int32_t>(entries_.size()); }
  CMenuItem* getEntry(int32_t index) const;
  // The entry at the value (rounded), or -1 / null when the value names none.
  int32_t getCurrentIndex() const;
  CMenuItem* getCurrent() const { return getEntry(getCurrentIndex()); }

  // [ui] Opens the list; false when the menu is not in a frame, has no entries or
  // another pop-up is open.
  bool popup();
  bool isPopupOpen() const { return popup_ != nullptr; }
  void closePopup();
  // [ui] The user chose entry `index`: the value becomes `index` and the listener is told.
  void chooseEntry(int32_t index);
  // [ui] Called by the pop-up as it closes.
  void popupClosed() { popup_ = nullptr; }
  CMenuPopup* getPopup() const { return popup_; }

  std::string getDisplayText() const override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  void removedFromFrame(CFrame* frame) override;
  bool isTypeOf(IdStringPtr name) const override;

private:
  std::vector<CMenuItem*> entries_;  // owned references
  CMenuPopup* popup_ = nullptr;      // the open pop-up (owned by the frame)
};
