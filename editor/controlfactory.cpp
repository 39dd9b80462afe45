// The control factory: every control of the editor is made here from its class,
// drawn with its class's profile (picture and caption colour), registered in the
// engine's control table (whose index is its tag) and given its caption for
// hints.
#include <cmath>
#include <cstdio>

#include "editor/pictures.hpp"
#include "editor/skinfiles.hpp"
#include "editor/qveditor.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/canimknob.hpp"
#include "toolkit/coptionmenu.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/cverticalslider.hpp"
#include "toolkit/cviewcontainer.hpp"

namespace {

constexpr int32_t kMenuImage = 35;      // "bordmenu.png", 80 x 20
constexpr int32_t kButtonImage = 20;    // "uclickall.png", 100 x 20 a state
constexpr int32_t kToggleImage = 2;     // "utoggleall.png", 149 x 20 a state
constexpr int32_t kFieldImage = 22;     // "longfield.png", 128 x 20
constexpr CCoord kCaptionH = 14;        // a caption's line
constexpr CCoord kFieldH = 20;
const CColor kFieldText{230, 230, 230, 255};
const CColor kButtonText{220, 220, 220, 255};

CFontDesc smallFont(CCoord size = 10, bool bold = false) {
  CFontDesc f;
  f.size = size;
  f.style = bold ? kBoldFace : kNormalFace;
  return f;
}

CColor profileColour(const qvknobprofile& p) { return CColor{p.text[0], p.text[1], p.text[2], p.text[3]}; }

}  // namespace

std::string qveditor::parameterText(const qvparam& p) {
  char text[32];
  switch (p.getType()) {
    case 4: return p.xi != 0 ? "on" : "off";
    case 5: std::snprintf(text, sizeof text, "%d", p.xi); return text;
    default: {
      const float u = std::isfinite(p.u) ? p.u : 0.0f;
      const float a = std::fabs(u);
      std::snprintf(text, sizeof text, a >= 100.0f ? "%.0f" : a >= 10.0f ? "%.1f" : "%.2f", u);
      return text;
    }
  }
}

CBitmap* qveditor::knobStrip(const qvcontrolstyle& style) {
  if (style.image >= kFirstKnobImage && style.image < kFirstKnobImage + kKnobImageCount) return model_->image(style.image);
  const qvknobprofile& knob = model_->profile(model_->classProfiles[kClassKnob]);
  const bool isStrip = knob.image >= kFirstKnobImage && knob.image < kFirstKnobImage + kKnobImageCount;
  return model_->image(isStrip ? knob.image : kFirstKnobImage + 1);
}

CView* qveditor::controlView(int32_t tag) const {
  if (tag < 0 || static_cast<uint32_t>(tag) >= engine_->controls.count()) return nullptr;
  return static_cast<CView*>(engine_->controls[static_cast<uint32_t>(tag)]->view);
}

std::string qveditor::hintText(CView* view) const {
  if (engine_->state.settingInt(kSetShowTips) == 0) return std::string();
  auto it = captions_.find(view);
  if (it == captions_.end() || it->second.label.empty()) return std::string();
  if (it->second.param) return it->second.label + ": " + parameterText(*it->second.param);
  return it->second.label;
}

CView* qveditor::makeView(int32_t cls, qvparam* param, const CRect& size, int32_t tag, const std::string& label,
                          const qvcontrolstyle& style) {
  const qvknobprofile& prof = model_->profile(model_->classProfiles[cls >= 0 && cls < 8 ? cls : 0]);
  switch (cls) {
    case kClassKnob: {
      CBitmap* strip = knobStrip(style);
      const CCoord side = strip ? strip->getWidth() : 44;
      auto* k = new CAnimKnob(size, this, tag, kKnobFrames, side, strip);
      if (param) k->setValue(param->fpos);
      return k;
    }
    case kClassSlider: {
      auto* s = new CVerticalSlider(size, this, tag, model_->image(31), model_->image(30));
      if (param) s->setValue(param->fpos);
      return s;
    }
    case kClassPushButton:
    case kClassToggle: {
      const int32_t image = style.image >= 0 ? style.image : cls == kClassToggle ? kToggleImage : kButtonImage;
      auto* b = new qvtricklabel(size, label, model_->image(image), kNoFrame, this, tag, style.onValue, nullptr,
                                 cls == kClassToggle ? qvtricklabel::kToggle : qvtricklabel::kPushButton);
      b->setFont(smallFont(10, true));
      b->setFontColor(prof.name.empty() ? kButtonText : profileColour(prof));
      if (cls == kClassToggle && param) b->setValue(param->getValue() != 0.0f ? style.onValue : 0.0f);
      return b;
    }
    case kClassMenu: {
      auto* m = new COptionMenu(size, this, tag, model_->image(style.image >= 0 ? style.image : kMenuImage), kNoFrame);
      m->setFont(smallFont(10, true));
      m->setFontColor(kButtonText);
      m->addEntry(label, -1, CMenuItem::kTitle);
      if (style.firstEntry) m->addEntry(style.firstEntry);
      if (style.entries)
        for (const qvnamedentry& e : *style.entries) m->addEntry(e.name);
      m->setValue(0.0f);
      return m;
    }
    case kClassTextField: {
      auto* t = new CTextEdit(size, this, tag, style.text, model_->image(kFieldImage), kNoFrame);
      t->setFont(smallFont(10));
      t->setFontColor(kFieldText);
      t->setHoriAlign(kLeftText);
      t->setTextInset(4);
      return t;
    }
    default: {
      auto* d = new CParamDisplay(size, nullptr, kNoFrame);
      d->setFont(smallFont(10));
      d->setFontColor(profileColour(prof));
      if (param) {
        const qvparam* p = param;
        d->setValueToStringFunction([p](float, std::string& text) {
          text = parameterText(*p);
          return true;
        });
      }
      return d;
    }
  }
}

int32_t qveditor::makeControl(int32_t cls, int32_t kind, qvparam* param, CViewContainer* container,
                              int32_t position, int32_t index, const std::string& label, CCoord x, CCoord y,
                              const std::string& tooltip, const qvcontrolstyle& style) {
  if (cls == kClassKnob && param && param->getType() == 4) cls = kClassToggle;  // a switch
  const qvknobprofile& knob = model_->profile(model_->classProfiles[kClassKnob]);
  // The control's own size: its picture's, or the width the caller gives.
  CCoord w = 100, h = 20;
  switch (cls) {
    case kClassKnob: {
      CBitmap* strip = knobStrip(style);
      w = h = strip ? strip->getWidth() : 44;
      break;
    }
    case kClassSlider: w = 16; h = 144; break;
    case kClassPushButton:
    case kClassToggle: {
      CBitmap* b = model_->image(style.image >= 0 ? style.image : cls == kClassToggle ? kToggleImage : kButtonImage);
      if (b) {
        // Two-state images stack off above on; a one-state picture shows whole.
        const int32_t image = style.image >= 0 ? style.image : cls == kClassToggle ? kToggleImage : kButtonImage;
        const bool twoStates = image < kSkinImageCount && kSkinFiles[size_t(image)].states == 2;
        w = b->getWidth();
        h = twoStates ? b->getHeight() / 2 : b->getHeight();
      }
      break;
    }
    case kClassMenu: {
      CBitmap* b = style.image >= 0 ? model_->image(style.image) : nullptr;
      w = b ? b->getWidth() : 80;  // "bordmenu.png" is 80 wide
      break;
    }
    case kClassTextField: w = 128; h = kFieldH; break;
    case 12: w = 180; h = kCaptionH; break;
    default: w = 80; h = kCaptionH; break;
  }
  if (style.width > 0) w = style.width;
  if (style.height > 0) h = style.height;
  const CRect size(x, y, x + w, y + h);

  int32_t tag = style.commandTag;
  qvcontrol record;
  record.controlClass = cls;
  record.position = position;
  record.index = index;
  record.kind = kind;
  record.draggable = style.draggable ? 1 : 0;
  record.box = style.box;
  record.subindex = style.subindex;
  record.scope = style.scope;
  record.text = style.text;
  record.value = param ? (cls == kClassKnob || cls == kClassSlider ? param->fpos : param->getValue()) : 0.0f;
  if (tag < 0) tag = engine_->addControl(record);
  CView* view = nullptr;
  if (cls == 12) {
    auto* c = new CTextLabel(size, style.text.empty() ? label : style.text, nullptr, kNoFrame);
    c->setFont(smallFont(10));
    c->setFontColor(style.textColour.alpha ? style.textColour
                                          : profileColour(model_->profile(model_->classProfiles[12 % 8])));
    c->setHoriAlign(kLeftText);
    c->setMouseEnabled(false);
    view = c;
  } else {
    view = makeView(cls, param, size, tag, label, style);
  }
  if (style.commandTag < 0) engine_->controls[static_cast<uint32_t>(tag)]->view = view;
  container->addView(view);

  // A knob, slider or field carries its caption under it (the profile's gap and
  // line height), and with "Show Value" its value under that.
  if (cls == kClassKnob || cls == kClassSlider || cls == kClassTextField) {
    const CCoord gap = cls == kClassKnob ? knob.extra1 / 2 : 2;
    const CCoord line = cls == kClassKnob && knob.extra2 > 0 ? knob.extra2 : kCaptionH;
    const CCoord mid = (size.left + size.right) / 2;
    const CCoord cw = std::max<CCoord>(w + 24, 88);  // room for "Volume Scale" in bold
    if (!label.empty()) {
      CRect at = cls == kClassTextField ? CRect(x - 4 - 80, y, x - 4, y + h)
                                        : CRect(mid - cw / 2, size.bottom + gap, mid + cw / 2, size.bottom + gap + line);
      auto* caption = new CTextLabel(at, label, nullptr, kNoFrame);
      caption->setFont(smallFont(10, true));
      caption->setFontColor(style.textColour.alpha ? style.textColour
                            : cls == kClassKnob   ? profileColour(knob)
                                                  : kButtonText);
      caption->setHoriAlign(cls == kClassTextField ? kRightText : kCenterText);
      caption->setMouseEnabled(false);
      container->addView(caption);
    }
    if (param && cls != kClassTextField && engine_->state.settingInt(kSetShowValue) != 0) {
      const CCoord top = size.bottom + gap + line;
      auto* shown = static_cast<CParamDisplay*>(makeView(-1, param, CRect(mid - cw / 2, top, mid + cw / 2, top + 12),
                                                         -1, "", style));
      shown->setFont(smallFont(9));
      shown->setFontColor(profileColour(knob));
      shown->setMouseEnabled(false);
      container->addView(shown);
    }
  }
  captions_[view] = caption{label.empty() ? tooltip : label, param};
  return tag;
}

void qveditor::makeHint(const std::string& title, const std::string& text, CViewContainer* container, CCoord x,
                        CCoord y) {
  auto* heading = new CTextLabel(CRect(x, y, x + 360, y + 16), title, nullptr, kNoFrame);
  heading->setFont(smallFont(12, true));
  heading->setFontColor(CColor{235, 235, 235, 255});
  heading->setHoriAlign(kLeftText);
  heading->setMouseEnabled(false);
  container->addView(heading);
  qvcontrolstyle style;
  style.text = text;
  style.width = 360;
  makeControl(12, 22, nullptr, container, -1, -1, "", x, y + 18, "", style);
}

qvtricklabel* qveditor::makeRadio(qvradiogroup& group, float memberValue, int32_t image, CViewContainer* container,
                                  CCoord x, CCoord y, const std::string& label) {
  CBitmap* picture = model_->image(image);
  auto* t = new qvtricklabel(sized(x, y, picture, 2), label, picture, kNoFrame, this, group.tag, 1.0f, nullptr,
                             qvtricklabel::kToggle);
  t->setFont(smallFont(10, true));
  t->setFontColor(kButtonText);
  container->addView(t);
  group.members.push_back(t);
  group.memberValues.push_back(memberValue);
  return t;
}

void qveditor::setRadio(qvradiogroup& group, float value) {
  for (size_t k = 0; k < group.members.size(); ++k)
    group.members[k]->setValue(group.memberValues[k] == value ? 1.0f : 0.0f);
}
