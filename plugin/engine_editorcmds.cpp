// The editor commands that change only what the editor shows: the page, the
// pop-up boxes, rows picked for a move, drag mode. They run on the editor's
// thread under the command lock and ask for a rebuild; the editor makes its
// views from the state at its next idle.
#include <cmath>
#include <mutex>

#include "data/impulsecmds.hpp"
#include "plugin/qvengine.hpp"

namespace {
constexpr int32_t kPageCount = 3;
}  // namespace

qveditorstate qvengine::editorState() {
  std::lock_guard<qvlock> hold(mailbox.commandLock());
  return ui_;
}

void qvengine::setDragMode(bool on) {
  std::lock_guard<qvlock> hold(mailbox.commandLock());
  ui_.dragMode = on;
  if (!on && (ui_.drag == qvdragphase::picked || ui_.drag == qvdragphase::pickedBlock)) {
    ui_.drag = qvdragphase::none;
    ui_.pickedTag = ui_.pickedPosition = -1;
    ui_.pickedKind = 0;
  }
  requestRebuild();
}

bool qvengine::pickInDragMode(int32_t tag) {
  std::lock_guard<qvlock> hold(mailbox.commandLock());
  if (!ui_.dragMode) return false;
  const qvcontrol& c = *controls[static_cast<uint32_t>(tag)];
  ui_.drag = c.kind == kKindBlockTitle ? qvdragphase::pickedBlock : qvdragphase::picked;
  ui_.pickedTag = tag;
  ui_.pickedKind = c.kind;
  ui_.pickedPosition = c.position;
  requestRebuild();  // the drag overlay
  return true;
}

void qvengine::openBox(qvboxkind box, int32_t block, int32_t param) {
  ui_.box = box;
  ui_.boxBlock = box == qvboxkind::blockParams || box == qvboxkind::paramEditor ? block : -1;
  ui_.boxParam = box == qvboxkind::paramEditor ? param : -1;
  requestRebuild();
}

bool qvengine::runEditorStateCommand(int32_t code, float value) {
  switch (code) {
    case kCmdShowPresets:
      data.categoryListMode = 0;
      openBox(qvboxkind::presets);
      return true;
    case kCmdChangeCab:
      data.categoryListMode = 2;  // the box lists the impulse catalogue
      openBox(qvboxkind::presets);
      return true;
    case kCmdCloseBox: openBox(qvboxkind::none); return true;
    case kCmdCloseBoxNumber: {
      const int32_t box = commandIndex(value);
      const int32_t open = boxNumber(ui_.box);
      if ((box == 3 && open == 3) || ((box == 1 || box == 4) && open == 4)) openBox(qvboxkind::none);
      return true;
    }
    case kCmdRebuildEditor: requestRebuild(); return true;
    case kCmdMoveRow:
    case kCmdMoveCategoryRow: {
      const bool impulses = data.categoryListMode == 2;
      const bool category = code == kCmdMoveCategoryRow;
      const uint32_t rows = category ? (impulses ? data.impulseCategories : data.presetCategories).count()
                                     : impulses ? data.impulses.count() : data.presets.count();
      const int32_t row = commandIndex(value);
      if (row < 0 || static_cast<uint32_t>(row) >= rows) return true;
      using K = qvdragdrop::Kind;
      drag = qvdragdrop{};
      drag.kind = category ? (impulses ? K::impulseCategory : K::presetCategory)
                           : (impulses ? K::impulse : K::preset);
      drag.from = row;
      ui_.drag = qvdragphase::movingRow;
      requestRebuild();
      return true;
    }
    case kCmdSelectPage: {
      if (!std::isfinite(value)) return true;
      const double page = std::nearbyint(static_cast<double>(value));
      if (page < 0.0 || page >= kPageCount) return true;
      ui_.page = static_cast<int32_t>(page);
      openBox(qvboxkind::none);
      return true;
    }
    default: return false;
  }
}
