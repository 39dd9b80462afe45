#include "editor/qveditor.hpp"

#include <cmath>
#include <mutex>

#include "editor/qvevent_mouseobserver.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvmeterview.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextlabel.hpp"

namespace {

constexpr int32_t kTabsTag = 70201;
constexpr CCoord kAmpPanelX = 22;       // the amplifier panel's origin in the window
constexpr CCoord kAmpPanelY = 20;
constexpr CCoord kLowerStripY = 348;    // the gate and cab-sim panels, down to the bottom
constexpr CRect kMessageLine{200, 1, 700, 19};
constexpr CCoord kTabX = 0;
constexpr CCoord kTabY[3] = {40, 145, 250};
constexpr CCoord kMeterX[2] = {1, 11};  // in the tab strip, under the tabs
constexpr CCoord kMeterY = 372;

const CColor kInfoColour{200, 200, 200, 255};
const CColor kWarningColour{255, 176, 64, 255};
const CColor kHintText{230, 230, 230, 255};
const CColor kHintBack{20, 20, 22, 225};
const CColor kHintFrame{255, 176, 64, 255};

// A view that only shows a picture (a logo, a panel) and lets the mouse through.
CView* pictureView(const CRect& size, CBitmap* picture) {
  auto* v = new CView(size);
  v->setBackground(picture);
  v->setMouseEnabled(false);
  return v;
}

CRect sized(CCoord x, CCoord y, CBitmap* picture, int states = 1) {
  const CCoord w = picture ? picture->getWidth() : 0;
  const CCoord h = picture ? picture->getHeight() / states : 0;
  return CRect(x, y, x + w, y + h);
}

// VST virtual keys to the kit's.
VirtualKey kitKey(uint8_t vst) {
  switch (vst) {
    case VKEY_BACK: return kVKeyBack;
    case VKEY_TAB: return kVKeyTab;
    case VKEY_RETURN: return kVKeyReturn;
    case VKEY_ENTER: return kVKeyEnter;
    case VKEY_ESCAPE: return kVKeyEscape;
    case VKEY_LEFT: return kVKeyLeft;
    case VKEY_UP: return kVKeyUp;
    case VKEY_RIGHT: return kVKeyRight;
    case VKEY_DOWN: return kVKeyDown;
    case VKEY_HOME: return kVKeyHome;
    case VKEY_END: return kVKeyEnd;
    case VKEY_PAGEUP: return kVKeyPageUp;
    case VKEY_PAGEDOWN: return kVKeyPageDown;
    case VKEY_DELETE: return kVKeyDelete;
    default: return kVKeyNone;
  }
}

}  // namespace

qveditor::qveditor(AudioEffect* effect, qvengine* engine)
    : AEffEditor(effect), engine_(engine), model_(&qvguimodel::of(*engine)),
      observer_(std::make_unique<qvevent_mouseobserver>(engine, this)) {
  model_->refillDefinitions(engine_->data);
  lastIdle_ = now();
}

qveditor::~qveditor() { close(); }

bool qveditor::getRect(ERect** rect) {
  if (!rect) return false;
  *rect = &rect_;
  return true;
}

bool qveditor::open(void* parentWindow) { return openFrame(parentWindow, false); }

bool qveditor::openHeadless(IClock* clock) {
  clock_ = clock;
  return openFrame(nullptr, true);
}

bool qveditor::openFrame(void* parentWindow, bool headless) {
  // A host that opens twice without closing gets one window, not two.
  if (frame_) close();
  lastIdle_ = now();
  auto* frame = new CFrame(CRect(0, 0, kWidth, kHeight), clock_);
  if (!headless && !frame->open(parentWindow)) {
    frame->forget();
    return false;
  }
  frame_ = frame;
  frame_->registerMouseObserver(observer_.get());
  frame_->setBackground(model_->image(6));
  open_ = true;
  status_ = "S: ";
  model_->hint = qvoverlay{};
  model_->message = qvoverlay{};
  buildEditor();
  if (!pendingText_.empty()) {
    showMessage(pendingText_, pendingLevel_);
    pendingText_.clear();
  }
  return true;
}

void qveditor::close() {
  if (!frame_) return;
  open_ = false;
  status_.clear();
  CFrame* frame = frame_;
  frame_ = nullptr;
  frame->unregisterMouseObserver(observer_.get());
  observer_->forgetViews();
  // A message still on screen comes back at the next opening.
  if (model_->message.view && !model_->message.fadingOut) {
    pendingText_ = model_->message.view->getText();
    pendingLevel_ = model_->message.view->getFontColor() == kWarningColour ? 2 : 1;
  }
  forgetOverlayView(model_->hint);
  forgetOverlayView(model_->message);
  {
    // The control table names views of this frame: it goes with them.
    std::lock_guard<qvlock> hold(engine_->mailbox.commandLock());
    engine_->clearControls();
  }
  for (CViewContainer*& p : pages_) p = nullptr;
  ampPanel_ = nullptr;
  meters_[0] = meters_[1] = nullptr;
  tabs_ = qvradiogroup{};
  frame->forget();
}

int qveditor::mouseObserversRegistered() const {
  return frame_ ? static_cast<int>(frame_->getNbMouseObservers()) : 0;
}

void qveditor::idle() {
  const double in = meterLevel(engine_->chain.inputLevel());
  const double out = meterLevel(engine_->chain.outputLevel());
  if (open_) setMeters(static_cast<float>(in), static_cast<float>(out));
  takeEngineNews();
  const uint32_t t = now();
  const float dt = static_cast<float>(tickSeconds(t, lastIdle_));
  advanceOverlay(model_->hint, qvoverlaykind::hint, dt);
  advanceOverlay(model_->message, qvoverlaykind::message, dt);
  if (frame_) frame_->idle();
  lastIdle_ = t;
}

void qveditor::takeEngineNews() {
  qvstring text;
  int32_t level = 0;
  while (engine_->messages.pop(text, level)) showMessage(text, level);
  const uint32_t changes = engine_->viewsChanged.load(std::memory_order_acquire);
  if (changes != seenRigChanges_) {
    model_->refillDefinitions(engine_->data);
    if (open_) buildEditor();
    seenRigChanges_ = changes;
  }
}

bool qveditor::onKeyDown(const VstKeyCode& key) {
  if (!frame_) return false;
  CKeyCode k;
  k.character = key.character;
  k.virt = kitKey(key.virt);
  if (key.modifier & MODIFIER_SHIFT) k.modifier |= kShift;
  if (key.modifier & MODIFIER_CONTROL) k.modifier |= kControl;
  if (key.modifier & MODIFIER_ALTERNATE) k.modifier |= kAlt;
  if (k.character == 0 && k.virt == kVKeyNone) return false;
  return frame_->onKeyDown(k) == 1;
}

void qveditor::valueChanged(CControl* control) {
  if (!control) return;
  const int32_t tag = control->getTag();
  float value = control->getValue();
  // A radio member stands for its own value, whatever it shows.
  for (size_t k = 0; k < tabs_.members.size(); ++k)
    if (tabs_.members[k] == control) value = tabs_.memberValues[k];
  if (tag == kTabsTag) {
    selectPage(static_cast<int32_t>(std::lround(value)));
    return;
  }
  engine_->postCommand(tag, value);
}

void qveditor::selectPage(int32_t page) {
  if (page < 0 || page > 2) return;
  model_->page = page;
  buildEditor();
}

void qveditor::setMeters(float input, float output) {
  if (meters_[0]) meters_[0]->setValue(input);
  if (meters_[1]) meters_[1]->setValue(output);
}

CTextLabel* qveditor::messageView() const { return model_->message.view; }
CTextLabel* qveditor::hintView() const { return model_->hint.view; }

void qveditor::showMessage(const qvstring& text, int32_t level) {
  if (!open_) {
    pendingText_ = text;
    pendingLevel_ = level;
    return;
  }
  qvoverlay& m = model_->message;
  if (!m.view) {
    m.view = new CTextLabel(kMessageLine, "");
    m.view->setStyle(kNoFrame);
    m.view->setMouseEnabled(false);
    m.view->setHoriAlign(kCenterText);
    frame_->addView(m.view);
  }
  m.view->setText(text);
  m.view->setFontColor(level >= 2 ? kWarningColour : kInfoColour);
  m.fadingOut = false;
  m.alpha = 0.0f;
  m.view->setAlphaValue(0.0f);
}

void qveditor::showHint(CView* control, const std::string& text) {
  if (!open_ || !control || text.empty()) return;
  qvoverlay& h = model_->hint;
  const CCoord width = frame_->getStringWidth(CFontDesc(), text) + 12;
  const CRect at = control->getFrameRect();
  // Under the control, inside the window.
  CCoord left = std::min<CCoord>(std::max<CCoord>(at.left, 2), kWidth - 2 - width);
  CCoord top = at.bottom + 2;
  if (top + 18 > kHeight) top = at.top - 20;
  const CRect size(left, top, left + width, top + 18);
  if (!h.view) {
    h.view = new CTextLabel(size, text);
    h.view->setMouseEnabled(false);
    h.view->setFontColor(kHintText);
    h.view->setBackColor(kHintBack);
    h.view->setFrameColor(kHintFrame);
    frame_->addView(h.view);
  } else {
    h.view->setViewSize(size);
    h.view->setText(text);
  }
  h.fadingOut = false;
  h.view->setAlphaValue(0.0f);
}

void qveditor::fadeHint() {
  if (model_->hint.view) model_->hint.fadingOut = true;
}

std::string qveditor::hintText(CView*) const { return std::string(); }

qvtricklabel* qveditor::makeRadio(qvradiogroup& group, float memberValue, int32_t image,
                                  CViewContainer* container, const CRect& size, const std::string& label) {
  auto* t = new qvtricklabel(size, label, model_->image(image), kNoFrame, this, group.tag, 1.0f, nullptr,
                             qvtricklabel::kToggle);
  container->addView(t);
  group.members.push_back(t);
  group.memberValues.push_back(memberValue);
  return t;
}

void qveditor::setRadio(qvradiogroup& group, float value) {
  for (size_t k = 0; k < group.members.size(); ++k)
    group.members[k]->setValue(group.memberValues[k] == value ? 1.0f : 0.0f);
}

void qveditor::buildEditor() {
  if (!frame_) return;
  seenRigChanges_ = engine_->viewsChanged.load(std::memory_order_acquire);
  qvengine& e = *engine_;
  // The control table is rebuilt with the views; the audio thread only tries
  // this lock, so it never finds the table half made.
  std::lock_guard<qvlock> hold(e.mailbox.commandLock());
  e.clearControls();

  // Everything goes; a message on screen comes back on top of the new views.
  qvstring messageText;
  CColor messageColour = kInfoColour;
  const qvoverlay keptMessage = model_->message;
  if (keptMessage.view) {
    messageText = keptMessage.view->getText();
    messageColour = keptMessage.view->getFontColor();
  }
  frame_->removeAll();
  forgetOverlayView(model_->hint);
  forgetOverlayView(model_->message);
  observer_->forgetViews();
  tabs_ = qvradiogroup{};
  tabs_.tag = kTabsTag;

  model_->ampPanelOffset = e.state.settingInt(kSetLayoutSwitch) != 0 ? -70.0f : 0.0f;
  qvslot& amp = e.chain.ampSlot;
  if (amp.bgimg <= 0) amp.bgimg = model_->firstSkinImage;  // "Amp:Gold"
  if (amp.knobprof >= 0 && static_cast<size_t>(amp.knobprof) < model_->knobProfiles.size())
    model_->classProfiles[1] = amp.knobprof;

  for (int k = 0; k < 3; ++k) {
    pages_[k] = new CViewContainer(CRect(0, 0, kWidth, kHeight));
    frame_->addView(pages_[k]);
  }
  buildAmpPanel(pages_[0]);
  pages_[2]->addView(pictureView(sized(kAmpPanelX, kAmpPanelY, model_->image(26)), model_->image(26)));
  buildFrameParts();

  for (int k = 0; k < 3; ++k) pages_[k]->setVisible(k == model_->page);
  setRadio(tabs_, static_cast<float>(model_->page));

  if (keptMessage.view) {
    showMessage(messageText, messageColour == kWarningColour ? 2 : 1);
    model_->message.alpha = keptMessage.alpha;
    model_->message.fadingOut = keptMessage.fadingOut;
    model_->message.view->setAlphaValue(std::clamp(keptMessage.alpha, 0.0f, 1.0f));
  }
}

void qveditor::buildAmpPanel(CViewContainer* page) {
  const qvslot& amp = engine_->chain.ampSlot;
  CBitmap* face = model_->image(amp.bgimg);
  const CCoord y = kAmpPanelY + model_->ampPanelOffset;
  ampPanel_ = new CViewContainer(CRect(kAmpPanelX, y, kAmpPanelX + 816, y + 300));
  ampPanel_->setBackground(face);
  page->addView(ampPanel_);
  if (amp.logoimg >= 0) {
    CBitmap* logo = model_->image(amp.logoimg);
    ampPanel_->addView(pictureView(sized(0, 0, logo), logo));
  }
  // The lower strip: the gate panel and the cab-sim panel reach the right edge.
  page->addView(pictureView(sized(270, kLowerStripY, model_->image(24)), model_->image(24)));
  page->addView(pictureView(sized(464, kLowerStripY, model_->image(23)), model_->image(23)));
}

void qveditor::buildFrameParts() {
  const int32_t tabImages[3] = {36, 37, 38};
  for (int k = 0; k < 3; ++k) {
    CBitmap* tab = model_->image(tabImages[k]);
    makeRadio(tabs_, static_cast<float>(k), tabImages[k], frame_, sized(kTabX, kTabY[k], tab, 2), "");
  }
  for (int k = 0; k < 2; ++k) {
    CBitmap* empty = model_->image(8);
    meters_[k] = new qvmeterview(sized(kMeterX[k], kMeterY, empty), empty, model_->image(9));
    frame_->addView(meters_[k]);
  }
  frame_->addView(pictureView(sized(28, 1, model_->image(56)), model_->image(56)));
  frame_->addView(pictureView(sized(kWidth - 131, 1, model_->image(57)), model_->image(57)));
}
