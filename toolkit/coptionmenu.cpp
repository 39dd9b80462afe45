#include "toolkit/coptionmenu.hpp"

#include <cmath>
#include <cstring>

#include "toolkit/cframe.hpp"
#include "toolkit/cmenupopup.hpp"

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                         int32_t style)
    : CParamDisplay(size, background, style) {
  setListener(listener);
  setTag(tag);
  setMax(0);
  setDefaultValue(0);
}

COptionMenu::~COptionMenu() {
  closePopup();
  for (CMenuItem* item : entries_) item->forget();
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
  if (!item) return nullptr;
  if (index < 0 || index > getNbEntries()) entries_.push_back(item);
  else entries_.insert(entries_.begin() + index, item);
  setMax(static_cast<float>(entries_.size() - 1));
  invalid();
  return item;
}

CMenuItem* COptionMenu::addEntry(const std::string& title, int32_t index, int32_t flags) {
  return addEntry(new CMenuItem(title, -1, flags), index);
}

bool COptionMenu::removeEntry(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  entries_[static_cast<size_t>(index)]->forget();
  entries_.erase(entries_.begin() + index);
  setMax(static_cast<float>(std::max<size_t>(entries_.size(), 1) - 1));
  invalid();
  return true;
}

void COptionMenu::removeAllEntry() {
  closePopup();
  for (CMenuItem* item : entries_) item->forget();
  entries_.clear();
  setMax(0);
  invalid();
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return nullptr;
  return entries_[static_cast<size_t>(index)];
}

int32_t COptionMenu::getCurrentIndex() const {
  const long index = std::lround(getValue());
  return index >= 0 && index < getNbEntries() ? static_cast<int32_t>(index) : -1;
}

bool COptionMenu::popup() {
  CFrame* frame = getFrame();
  if (!frame || entries_.empty() || popup_ || frame->getModalView()) return false;
  auto* view = new CMenuPopup(this, getFrameRect(), *frame);
  if (!frame->showModalView(view)) {
    view->forget();
    return false;
  }
  popup_ = view;
  return true;
}

void COptionMenu::closePopup() {
  CMenuPopup* view = popup_;
  if (!view) return;
  popup_ = nullptr;
  view->detachMenu();
  if (CFrame* frame = view->getFrame()) frame->closeModalView(view);
}

void COptionMenu::chooseEntry(int32_t index) {
  CMenuItem* item = getEntry(index);
  if (!item || !item->isChoosable()) return;
  setValue(static_cast<float>(index));
  valueChanged();
}

std::string COptionMenu::getDisplayText() const {
  const CMenuItem* item = getCurrent();
  return item ? item->getTitle() : std::string();
}

CMouseEventResult COptionMenu::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  popup();
  return kMouseEventHandled;
}

void COptionMenu::removedFromFrame(CFrame* frame) {
  closePopup();
  CParamDisplay::removedFromFrame(frame);
}

bool COptionMenu::isTypeOf(IdStringPtr name) const {
  return (name && std::strcmp(name, "COptionMenu") == 0) || CParamDisplay::isTypeOf(name);
}
