// corvina-snapshot: the editor of an in-process instance drawn headless, for
// review, documentation and tests.
//
//   corvina-snapshot [--preset NAME | --chunk FILE] [--page amp|floor|options]
//                    [--box presets | --box block N | --box param N I]
//                    [--click X,Y | --type TEXT]... [--drag FX,FY:TX,TY] [--hover X,Y]
//                    [--time SECONDS] OUT.png
//
// The instance starts from the factory content in a fresh folder; --box opens
// the preset box, the block box of unit N or the settings of its parameter I as
// the buttons would; clicks and texts (typed over the field that has the
// keyboard, then Enter) are applied in order, each followed by a tenth of a
// second of idle; --drag clicks at FX,FY (a Move button) and carries the mouse to
// TX,TY without dropping; then --hover moves the mouse and --time lets the
// editor idle on its test clock (hints appear after 0.8 s). Exit codes: 1 output
// or instance trouble, 2 bad options, 3 unknown preset, 4 no such block or
// parameter.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/headless/headless.hpp"
#include "editor/qvtricklabel.hpp"
#include "tools/host/cmdline.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: corvina-snapshot [--preset NAME | --chunk FILE] [--page amp|floor|options]\n"
               "                        [--box presets | --box block N | --box param N I]\n"
               "                        [--click X,Y | --type TEXT]... [--drag FX,FY:TX,TY] [--hover X,Y]\n"
               "                        [--time SECONDS] OUT.png\n");
  return 2;
}

bool parsePoint(const std::string& text, CPoint& out) {
  const size_t comma = text.find(',');
  int x = 0, y = 0;
  if (comma == std::string::npos || !parseIntOption(text.substr(0, comma), 0, 839, x) ||
      !parseIntOption(text.substr(comma + 1), 0, 479, y))
    return false;
  out = CPoint(x, y);
  return true;
}

// Presses the control of `kind` acting on unit `position` (parameter `index`, or
// any when -1) as its button would; false when there is none.
bool pressControl(qveditorinstance& in, int32_t kind, int32_t position, int32_t index) {
  qvengine& e = in.engine();
  for (uint32_t t = 0; t < e.controls.count(); ++t) {
    const qvcontrol& c = *e.controls[t];
    if (c.kind == kind && c.position == position && (index < 0 || c.index == index)) {
      e.postCommand(static_cast<int32_t>(t), 1.0f);
      in.idleFor(0.1);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string preset, chunkFile, out;
  int page = -1;
  bool hover = false;
  CPoint hoverAt;
  // Clicks and typed texts, in the order given.
  struct action {
    CPoint click;
    std::string text;
    bool typing = false;
  };
  std::vector<action> actions;
  double seconds = 0.0;
  std::string box;
  int boxBlock = -1, boxParam = -1;
  bool drag = false;
  CPoint dragFrom, dragTo;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--preset" && more) {
      preset = argv[++i];
    } else if (a == "--chunk" && more) {
      chunkFile = argv[++i];
    } else if (a == "--page" && more) {
      const std::string p = argv[++i];
      page = p == "amp" ? 0 : p == "floor" ? 1 : p == "options" ? 2 : -2;
      if (page < 0) return usage();
    } else if (a == "--hover" && more) {
      if (!parsePoint(argv[++i], hoverAt)) return usage();
      hover = true;
    } else if (a == "--click" && more) {
      CPoint p;
      if (!parsePoint(argv[++i], p)) return usage();
      actions.push_back({p, "", false});
    } else if (a == "--type" && more) {
      actions.push_back({CPoint(), argv[++i], true});
    } else if (a == "--box" && more) {
      box = argv[++i];
      if (box == "block" || box == "param") {
        if (i + 1 >= argc || !parseIntOption(argv[++i], 0, 9999, boxBlock)) return usage();
        if (box == "param" && (i + 1 >= argc || !parseIntOption(argv[++i], 0, 9999, boxParam))) return usage();
      } else if (box != "presets") {
        return usage();
      }
    } else if (a == "--drag" && more) {
      const std::string d = argv[++i];
      const size_t colon = d.find(':');
      if (colon == std::string::npos || !parsePoint(d.substr(0, colon), dragFrom) ||
          !parsePoint(d.substr(colon + 1), dragTo))
        return usage();
      drag = true;
    } else if (a == "--time" && more) {
      if (!parseNumberOption(argv[++i], 0.0, 600.0, seconds)) return usage();
    } else if (!a.empty() && a[0] != '-' && out.empty()) {
      out = a;
    } else {
      return usage();
    }
  }
  if (out.empty() || (!preset.empty() && !chunkFile.empty())) return usage();

  qveditorinstance instance;
  if (!preset.empty() && !instance.selectPreset(preset)) {
    std::fprintf(stderr, "corvina-snapshot: no preset named \"%s\"\n", preset.c_str());
    return 3;
  }
  if (!chunkFile.empty()) {
    std::string bytes;
    if (!readWholeFile(chunkFile, bytes)) {
      std::fprintf(stderr, "corvina-snapshot: cannot read %s\n", chunkFile.c_str());
      return 1;
    }
    instance.effect().setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), true);
  }
  if (!instance.open()) {
    std::fprintf(stderr, "corvina-snapshot: the editor did not open\n");
    return 1;
  }
  if (page >= 0) {
    // As a user would: a click on the page's tab.
    const CRect tab = instance.editor().tabs().members[size_t(page)]->getViewSize();
    injectClick(instance.frame(), tab.getCenter());
    instance.idleFor(0.1);
  }
  if (box == "presets") {
    instance.engine().postCommand(kCmdShowPresets, 1.0f);
    instance.idleFor(0.1);
  } else if (!box.empty()) {
    const bool found = pressControl(instance, kKindBlockTitle, boxBlock, -1) &&
                       (box == "block" || pressControl(instance, kKindParamSettings, boxBlock, boxParam));
    if (!found) {
      std::fprintf(stderr, "corvina-snapshot: no block %d or parameter %d\n", boxBlock, boxParam);
      return 4;
    }
  }
  for (const action& act : actions) {
    if (act.typing) {
      // Over what the field holds.
      if (auto* field = dynamic_cast<CTextEdit*>(instance.frame().getFocusView())) {
        injectKey(instance.frame(), kVKeyEnd);
        for (size_t k = field->getText().size(); k > 0; --k) injectKey(instance.frame(), kVKeyBack);
      }
      injectText(instance.frame(), act.text);
      injectKey(instance.frame(), kVKeyReturn);
    } else {
      injectClick(instance.frame(), act.click);
    }
    instance.idleFor(0.1);
  }
  if (drag) {
    injectClick(instance.frame(), dragFrom);
    instance.idleFor(0.1);
    for (int step = 0; step <= 8; ++step) {
      const CPoint at(dragFrom.x + (dragTo.x - dragFrom.x) * step / 8, dragFrom.y + (dragTo.y - dragFrom.y) * step / 8);
      instance.frame().platformOnMouseMoved(at, 0);
    }
  }
  if (hover) instance.frame().platformOnMouseMoved(hoverAt, 0);
  instance.idleFor(seconds);
  if (writeFramePng(instance.frame(), out) != 0) {
    std::fprintf(stderr, "corvina-snapshot: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
