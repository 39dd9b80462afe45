// The preset box: the current preset's and impulse's names with their buttons,
// then the categories, each a row that opens it, and under the open one its
// presets (or, while the box lists the impulse catalogue, its impulses) with a
// Move button each. The category box opens over it to name a category.
#include "editor/boxparts.hpp"
#include "editor/qvtricklabel.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"

using namespace boxlook;

namespace {

constexpr CRect kPresetBox{150, 24, 690, 470};
constexpr CRect kCategoryBox{270, 150, 570, 252};
constexpr CCoord kListTop = 108;

template <typename T>
const T* entry(const qvlist<T>& list, int32_t index) {
  return index >= 0 && static_cast<uint32_t>(index) < list.count() ? list[static_cast<uint32_t>(index)] : nullptr;
}

// One row of the open category: a flat button with the entry's name.
CView* entryRow(qvboxbuilder& b, CScrollView* rows, int32_t tag, int32_t index, const std::string& name, CCoord y,
                bool current) {
  CView* v = b.commandButton(rows, tag, static_cast<float>(index), kWideButton, 28, y, name, name, 300);
  auto* button = static_cast<qvtricklabel*>(v);
  button->setBackground(nullptr);
  button->setHoriAlign(kLeftText);
  button->setTextInset(6);
  button->setFontColor(current ? kCurrentText : kText);
  return v;
}

}  // namespace

void qvboxbuilder::presetBox() {
  const bool impulses = e.data.categoryListMode == 2;
  CViewContainer* p = panel(kPresetBox, impulses ? "Cab Impulses" : "Presets");
  const CCoord w = kPresetBox.getWidth();

  // The names and what is done with them: two fields posting the same tag.
  auto nameField = [&](CCoord y, const char* title, const qvstring& text, const char* tooltip) {
    qvcontrolstyle field;
    field.commandTag = kCmdNameField;
    field.width = 200;
    field.text = text;
    caption(p, kPad, y, 52, title, kText, true);
    ed.makeControl(kClassTextField, 0, nullptr, p, -1, -1, "", 62, y, tooltip, field);
    return static_cast<CTextEdit*>(p->getView(p->getNbViews() - 1));
  };
  const qvpreset* preset = entry(e.data.presets, e.data.currentPreset);
  ed.presetNameField_ = nameField(28, "Preset: ", preset ? preset->name : qvstring(), "Preset name");
  commandButton(p, kCmdSavePreset, 1.0f, kSmallButton, 270, 28, "Save", "Save Preset");
  commandButton(p, kCmdSavePresetAsNew, 1.0f, kWideButton, 336, 28, "Save As New", "Save As A New Preset");
  commandButton(p, kCmdDeletePreset, 1.0f, kSmallButton, 442, 28, "Delete", "Delete Preset");

  const int32_t cab = e.data.currentCabBlock;
  const qvimpulse* impulse = nullptr;
  if (cab >= 0 && static_cast<uint32_t>(cab) < e.chain.cabBlocks.count())
    impulse = entry(e.data.impulses, e.chain.cabBlocks[static_cast<uint32_t>(cab)]->impulse);
  ed.cabNameField_ = nameField(54, "Cab: ", impulse ? impulse->name : qvstring(), "Cab name");
  commandButton(p, kCmdSaveCabSettings, 1.0f, kSmallButton, 270, 54, "Rename", "Set Cab Name/Category");
  commandButton(p, kCmdDeleteImpulse, 1.0f, kSmallButton, 336, 54, "Delete", "Remove Cab From List");
  commandButton(p, kCmdCloseBox, 1.0f, kCloseButton, w - kPad - 128, 54, "Close", "Close Box", 128, 20);

  // The categories: a radio group whose members post their category; "Show All"
  // posts one past the last.
  const qvlist<qvcategory>& cats = impulses ? e.data.impulseCategories : e.data.presetCategories;
  const int32_t open = impulses ? e.data.currentImpulseCategory : e.data.currentCategory;
  const int32_t all = static_cast<int32_t>(cats.count());
  std::vector<qvradiogroup>& groups = ed.radioGroups();
  groups.push_back(qvradiogroup{});
  qvradiogroup& group = groups.back();
  group.tag = kCmdSelectCategory;
  ed.makeRadio(group, static_cast<float>(all), kToggle, p, kPad, 80, "Show All");
  commandButton(p, kCmdEditCategory, -1.0f, kCategoryButton, 166, 80, "New Category", "New Category");

  // What the list holds, in order: category rows, and after the open one its entries.
  auto inOpen = [&](int32_t categoryid, int32_t k) { return k == all || categoryid == cats[static_cast<uint32_t>(k)]->id; };
  const uint32_t entries = impulses ? e.data.impulses.count() : e.data.presets.count();
  auto categoryOf = [&](uint32_t i) {
    return impulses ? e.data.impulses[i]->categoryid : e.data.presets[i]->categoryid;
  };
  int rows = static_cast<int>(cats.count());
  for (uint32_t i = 0; i < entries; ++i)
    if (open >= 0 && open <= all && inOpen(categoryOf(i), open)) ++rows;
  CScrollView* list = this->list(p, CRect(kPad, kListTop, w - kPad, kPresetBox.getHeight() - kPad), rows);

  const qvdragdrop drag = ui.drag == qvdragphase::movingRow ? e.drag : qvdragdrop{};
  using K = qvdragdrop::Kind;
  const bool movingCategory = drag.kind == (impulses ? K::impulseCategory : K::presetCategory);
  const bool movingEntry = drag.kind == (impulses ? K::impulse : K::preset);

  CCoord y = kPad;
  auto entryRows = [&](int32_t k) {
    for (uint32_t i = 0; i < entries; ++i) {
      if (!inOpen(categoryOf(i), k)) continue;
      const int32_t index = static_cast<int32_t>(i);
      const qvstring& name = impulses ? e.data.impulses[i]->name : e.data.presets[i]->name;
      const bool current = impulses ? impulse == e.data.impulses[i] : index == e.data.currentPreset;
      CView* row = entryRow(*this, list, impulses ? kCmdChooseImpulse : kCmdSelectPreset, index, name, y, current);
      CView* move = commandButton(list, kCmdMoveRow, static_cast<float>(index), kSmallButton, 336, y, "Move", "Move");
      if (movingEntry && index == drag.from) pickedView = move;
      else if (movingEntry) targets.push_back(qvdroptarget{row, list, CRect(), index, -1, -1});
      y += kRowH;
    }
  };
  for (int32_t k = 0; k < all; ++k) {
    const qvcategory& c = *cats[static_cast<uint32_t>(k)];
    CView* row = ed.makeRadio(group, static_cast<float>(k), kToggle, list, kPad, y, c.name);
    commandButton(list, kCmdEditCategory, static_cast<float>(k), kSmallButton, 164, y, "Edit", "Category Edit");
    CView* move = commandButton(list, kCmdMoveCategoryRow, static_cast<float>(k), kSmallButton, 228, y, "Move", "Move");
    if (movingCategory && k == drag.from) pickedView = move;
    else if (movingCategory) targets.push_back(qvdroptarget{row, list, CRect(), k, -1, -1});
    else if (movingEntry) targets.push_back(qvdroptarget{row, list, CRect(), -1, k, -1});
    y += kRowH;
    if (k == open) entryRows(k);
  }
  if (open == all) entryRows(all);
  ed.setRadio(group, static_cast<float>(open));
  // A press on the open category closes it.
  for (size_t k = 0; k < group.members.size(); ++k)
    if (group.memberValues[k] == static_cast<float>(open) && open >= 0 && open < all) group.memberValues[k] = -1.0f;
}

void qvboxbuilder::categoryBox() {
  const bool impulses = e.data.categoryListMode == 2;
  const qvcategory* c = entry(impulses ? e.data.impulseCategories : e.data.presetCategories, e.data.editedCategory);
  CViewContainer* p = panel(kCategoryBox, c ? "Category Edit" : "New Category");
  const qvstring name = c ? c->name : qvstring();
  e.editorName = name;  // the name Enter commits, typed over or not
  qvcontrolstyle field;
  field.box = box;
  field.text = name;
  field.width = 180;
  ed.makeControl(kClassTextField, kKindCategoryName, nullptr, p, -1, -1, "Name", 104, 34, "Category name", field);
  commandButton(p, kCmdCommitCategory, 1.0f, kSmallButton, 104, 66, "Enter", "Enter");
  commandButton(p, kCmdDeleteCategory, static_cast<float>(e.data.editedCategory), kSmallButton, 170, 66, "Delete",
                "Delete Category");
}
