#include "tools/gallery/gallery.hpp"

#include <cstdio>

#include "toolkit/canimknob.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/coptionmenu.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "toolkit/cverticalslider.hpp"
#include "toolkit/iscrollbardrawer.hpp"
#include "tools/gallery/artwork.hpp"
#include "tools/gallery/layout.hpp"

namespace gallery {
namespace {
enum Tag { kTagKnob0 = 1, kTagSlider = 4, kTagBypass, kTagMute, kTagReset, kTagMode, kTagPreset, kTagName, kTagNote };

constexpr CColor kLabelColor{215, 215, 210, 255};
constexpr CColor kDimColor{150, 150, 150, 255};
constexpr CColor kFieldBack{20, 20, 24, 255};
constexpr CColor kFieldFrame{110, 110, 120, 255};

// A label that works as a push button or a toggle: its background holds two
// states stacked (upper half off, lower half on).
class Button final : public CTextLabel {
public:
  Button(const CRect& size, const std::string& text, CBitmap* states, CControlListener* listener, int32_t tag,
         bool toggle)
      : CTextLabel(size, text, states, kNoFrame), toggle_(toggle) {
    setListener(listener);
    setTag(tag);
  }
  CMouseEventResult onMouseDown(const CPoint&, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    setValue(toggle_ && getValue() != 0 ? 0.0f : 1.0f);
    valueChanged();
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(const CPoint&, const CButtonState&) override {
    if (!toggle_) setValue(0);
    return kMouseEventHandled;
  }

protected:
  void drawBack(CDrawContext* context) override {
    if (CBitmap* states = getBackground())
      states->draw(context, size_, CPoint(0, getValue() != 0 ? states->getHeight() / 2 : 0));
  }

private:
  bool toggle_;
};

// Scroll-bar pieces from pictures: a frame line, the picture inset by a pixel.
class PictureScrollbarDrawer final : public IScrollbarDrawer {
public:
  PictureScrollbarDrawer(CBitmap* track, CBitmap* thumb) : track_(track), thumb_(thumb) {}
  ~PictureScrollbarDrawer() override {
    track_->forget();
    thumb_->forget();
  }
  void drawScrollbarBackground(CDrawContext* context, const CRect& size, CScrollbar::ScrollbarDirection,
                               CScrollbar*) override {
    draw(context, size, track_);
  }
  void drawScrollbarScroller(CDrawContext* context, const CRect& size, CScrollbar::ScrollbarDirection,
                             CScrollbar*) override {
    draw(context, size, thumb_);
  }

private:
  static void draw(CDrawContext* context, const CRect& size, CBitmap* picture) {
    context->setLineWidth(1);
    context->setFrameColor(CColor{140, 140, 140, 255});
    context->drawRect(size, kDrawStroked);
    CRect inner = size;
    inner.inset(1, 1);
    // Stretched: the pictures are small tiles of one colour run.
    cairo_t* cr = context->getCairo();
    cairo_save(cr);
    cairo_rectangle(cr, inner.left, inner.top, inner.getWidth(), inner.getHeight());
    cairo_clip(cr);
    cairo_translate(cr, inner.left, inner.top);
    cairo_scale(cr, inner.getWidth() / picture->getWidth(), inner.getHeight() / picture->getHeight());
    cairo_set_source_surface(cr, picture->getSurface(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  CBitmap* track_;  // owned references
  CBitmap* thumb_;
};

CTextLabel* label(CViewContainer& parent, const CRect& r, const std::string& text, CHoriTxtAlign align = kLeftText,
                  const CFontDesc& font = CFontDesc{}) {
  auto* l = new CTextLabel(r, text, nullptr, kNoFrame);
  l->setHoriAlign(align);
  l->setFont(font);
  l->setFontColor(kLabelColor);
  l->setMouseEnabled(false);
  parent.addView(l);
  return l;
}

// Shows value x scale in the printf `format`.
CParamDisplay::ValueToString scaledText(const char* format, double scale) {
  return [format, scale](float v, std::string& text) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, static_cast<double>(v) * scale);
    text = buffer;
    return true;
  };
}

void styleField(CParamDisplay* field) {
  field->setBackColor(kFieldBack);
  field->setFrameColor(kFieldFrame);
  field->setFontColor(kLabelColor);
  field->setTextInset(5);
}

}  // namespace

Gallery::Gallery(IClock* clock)
    : scrollbarDrawer_(std::make_unique<PictureScrollbarDrawer>(drawScrollTrack(14), drawScrollThumb(14))),
      frame_(new CFrame(CRect(0, 0, kWidth, kHeight), clock)) {
  build();
}

Gallery::~Gallery() {
  frame_->unregisterMouseObserver(this);
  frame_->forget();
}

void Gallery::build() {
  CFrame& f = *frame_;
  CBitmap* background = drawBackground(kWidth, kHeight);
  f.setBackground(background);
  background->forget();
  const CFontDesc title{"DejaVu Sans", 18, kBoldFace};
  const CFontDesc heading{"DejaVu Sans", 12, kBoldFace};
  const CFontDesc small{"DejaVu Sans", 10, kNormalFace};
  label(f, CRect(20, 12, 820, 40), "Corvina GUI kit: gallery", kLeftText, title);
  const char* headings[] = {"Film-strip knobs", "Slider, buttons", "Menus, text fields", "Scroll view",
                            "Labels, alignment, alpha"};
  for (int i = 0; i < 5; ++i)
    label(f, CRect(kPanels[i].left + 10, kPanels[i].top + 6, kPanels[i].right - 10, kPanels[i].top + 24),
          headings[i], kLeftText, heading);

  // Knobs with their names and values.
  CBitmap* strip = drawKnobStrip(kKnobFrames, kKnobSide);
  const char* names[] = {"Drive", "Tone", "Level"};
  for (int i = 0; i < 3; ++i) {
    auto* knob = new CAnimKnob(kKnobs[i], this, kTagKnob0 + i, kKnobFrames, kKnobSide, strip);
    knob->setValue(0.25f * static_cast<float>(i + 1));
    f.addView(knob);
    knobs_[i] = knob;
    const CRect& r = kKnobs[i];
    label(f, CRect(r.left - 15, r.bottom + 4, r.right + 15, r.bottom + 20), names[i], kCenterText);
    auto* display = new CParamDisplay(CRect(r.left - 10, r.bottom + 22, r.right + 10, r.bottom + 40));
    styleField(display);
    display->setTextInset(2);
    display->setValueToStringFunction(scaledText("%.1f", 10.0));
    display->setValue(knob->getValue());
    f.addView(display);
    knobDisplays_[i] = display;
  }
  strip->forget();
  label(f, CRect(30, 206, 310, 222), "drag up or down, Shift: fine, double-click: default", kLeftText, small)
      ->setFontColor(kDimColor);

  // Slider and buttons.
  CBitmap* track = drawSliderTrack(16, 144);
  CBitmap* handle = drawSliderHandle(16, 17);
  auto* slider = new CVerticalSlider(kSlider, this, kTagSlider, handle, track);
  slider->setValue(0.7f);
  f.addView(slider);
  track->forget();
  handle->forget();
  sliderDisplay_ = new CParamDisplay(CRect(405, 190, 505, 208));
  styleField(sliderDisplay_);
  sliderDisplay_->setValueToStringFunction(scaledText("%.0f %%", 100.0));
  sliderDisplay_->setValue(slider->getValue());
  f.addView(sliderDisplay_);
  label(f, CRect(405, 170, 505, 188), "Slider", kCenterText);
  CBitmap* states = drawButtonStates(100, 40);
  f.addView(new Button(kBypassButton, "Bypass", states, this, kTagBypass, true));
  auto* mute = new Button(kMuteButton, "Mute", states, this, kTagMute, true);
  mute->setValue(1);
  f.addView(mute);
  f.addView(new Button(kResetButton, "Reset knobs", states, this, kTagReset, false));
  states->forget();

  // Menus and text fields.
  label(f, CRect(545, 78, 610, 98), "Mode");
  auto* mode = new COptionMenu(kModeMenu, this, kTagMode);
  styleField(mode);
  mode->addEntry("Mode", -1, CMenuItem::kTitle);
  for (const char* m : {"Clean", "Crunch", "Lead", "Disabled entry"}) mode->addEntry(m);
  mode->getEntry(4)->setFlags(CMenuItem::kDisabled);
  f.addView(mode);
  label(f, CRect(545, 106, 610, 126), "Preset");
  presetMenu_ = new COptionMenu(kPresetMenu, this, kTagPreset);
  styleField(presetMenu_);
  presetMenu_->addEntry("Preset (80 entries)", -1, CMenuItem::kTitle);
  for (int i = 1; i <= kPresetCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Preset %02d", i);
    presetMenu_->addEntry(name);
  }
  f.addView(presetMenu_);
  label(f, CRect(545, 140, 610, 160), "Name");
  auto* name = new CTextEdit(kNameField, this, kTagName, "Layered OD");
  styleField(name);
  name->setHoriAlign(kLeftText);
  f.addView(name);
  label(f, CRect(545, 168, 610, 188), "Note");
  auto* note = new CTextEdit(kNoteField, this, kTagNote, "a note wider than its field scrolls sideways");
  styleField(note);
  note->setHoriAlign(kLeftText);
  f.addView(note);
  label(f, CRect(545, 200, 810, 218), "Enter or a click outside commits, Escape restores", kLeftText, small)
      ->setFontColor(kDimColor);

  // A scroll view over forty rows.
  constexpr CCoord kRow = 22;
  constexpr int kRows = 40;
  auto* scroll = new CScrollView(kScrollView, CRect(0, 0, kScrollView.getWidth() - 14, kRows * kRow));
  scroll->setBackgroundColor(kFieldBack);
  scroll->getVerticalScrollbar()->setDrawer(scrollbarDrawer_.get());
  for (int i = 0; i < kRows; ++i) {
    char text[48];
    std::snprintf(text, sizeof text, "Row %02d: wheel, drag the thumb, click the track", i + 1);
    auto* row = new CTextLabel(CRect(0, i * kRow, kScrollView.getWidth() - 14, (i + 1) * kRow), text, nullptr, kNoFrame);
    row->setHoriAlign(kLeftText);
    row->setTextInset(8);
    row->setFont(small);
    row->setFontColor(kLabelColor);
    row->setBackColor(i % 2 ? CColor{32, 32, 38, 255} : CColor{26, 26, 30, 255});
    scroll->addView(row);
  }
  f.addView(scroll);

  // Labels: alignment, text beyond ASCII, alpha.
  const CHoriTxtAlign aligns[] = {kLeftText, kCenterText, kRightText};
  const char* alignNames[] = {"left aligned", "centred", "right aligned"};
  for (int i = 0; i < 3; ++i) {
    auto* l = new CTextLabel(CRect(345, 272 + i * 26, 575, 292 + i * 26), alignNames[i]);
    styleField(l);
    l->setHoriAlign(aligns[i]);
    f.addView(l);
  }
  auto* unicode = new CTextLabel(CRect(345, 350, 575, 370), "Grüße, € and a stray byte: \xff");
  styleField(unicode);
  unicode->setHoriAlign(kLeftText);
  f.addView(unicode);
  CBitmap* picture = drawKnobStrip(1, kKnobSide);
  const float alphas[] = {1.0f, 0.6f, 0.3f};
  for (int i = 0; i < 3; ++i) {
    const CCoord left = 600 + i * 72;
    auto* view = new CView(CRect(left, 276, left + kKnobSide, 276 + kKnobSide));
    view->setBackground(picture);
    view->setAlphaValue(alphas[i]);
    f.addView(view);
    char text[16];
    std::snprintf(text, sizeof text, "alpha %.1f", static_cast<double>(alphas[i]));
    label(f, CRect(left - 6, 340, left + kKnobSide + 6, 356), text, kCenterText, small);
  }
  picture->forget();
  hover_ = new CTextLabel(kHoverLine, "Mouse over: nothing");
  styleField(hover_);
  hover_->setHoriAlign(kLeftText);
  f.addView(hover_);
  f.registerMouseObserver(this);
  status_ = new CTextLabel(kStatusLine, "Last event: none");
  styleField(status_);
  status_->setHoriAlign(kLeftText);
  f.addView(status_);
}

void Gallery::onMouseEntered(CView* view, CFrame*) {
  const char* kinds[] = {"CAnimKnob", "CVerticalSlider", "COptionMenu", "CTextEdit", "CScrollView", "CTextLabel",
                         "CParamDisplay", "CControl", "CViewContainer", "CView"};
  std::string text = "Mouse over: ";
  for (const char* kind : kinds)
    if (view->isTypeOf(kind)) {
      text += kind;
      break;
    }
  if (auto* control = dynamic_cast<CControl*>(view); control && control->getTag() >= 0)
    text += " (tag " + std::to_string(control->getTag()) + ")";
  hover_->setText(text);
}

void Gallery::onMouseExited(CView*, CFrame*) { hover_->setText("Mouse over: nothing"); }

bool Gallery::openPresetMenu() { return presetMenu_->popup(); }

void Gallery::report(const std::string& text) { status_->setText("Last event: " + text); }

void Gallery::valueChanged(CControl* control) {
  char text[160];
  const int tag = control->getTag();
  const double value = control->getValue();
  switch (tag) {
  case kTagKnob0:
  case kTagKnob0 + 1:
  case kTagKnob0 + 2:
    knobDisplays_[tag - kTagKnob0]->setValue(control->getValue());
    std::snprintf(text, sizeof text, "knob %d = %.3f", tag, value);
    break;
  case kTagSlider:
    sliderDisplay_->setValue(control->getValue());
    std::snprintf(text, sizeof text, "slider = %.3f", value);
    break;
  case kTagReset:
    for (int i = 0; i < 3; ++i) {
      knobs_[i]->setValue(knobs_[i]->getDefaultValue());
      knobDisplays_[i]->setValue(knobs_[i]->getValue());
    }
    std::snprintf(text, sizeof text, "knobs reset");
    break;
  case kTagMode:
  case kTagPreset: {
    const CMenuItem* item = static_cast<COptionMenu*>(control)->getCurrent();
    std::snprintf(text, sizeof text, "menu %d chose \"%s\" (value %.0f)", tag, item ? item->getTitle().c_str() : "",
                  value);
    break;
  }
  case kTagName:
  case kTagNote:
    std::snprintf(text, sizeof text, "text committed: \"%s\"", static_cast<CTextLabel*>(control)->getText().c_str());
    break;
  default:
    std::snprintf(text, sizeof text, "button %d = %.0f", tag, value);
    break;
  }
  report(text);
}
}  // namespace gallery
