#include "editor/qveditor.hpp"

#include <cmath>
#include <mutex>

#include "editor/editorlayout.hpp"
#include "editor/pages.hpp"
#include "editor/pictures.hpp"
#include "editor/qvevent_mouseobserver.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvmeterview.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/cscrollview.hpp"
#include "toolkit/ctextedit.hpp"
#include "editor/qvdraglayer.hpp"
#include "toolkit/ctextlabel.hpp"

namespace {

using layout::kMessageLine;
constexpr CCoord kTabX = 0;
constexpr CCoord kTabY[3] = {40, 145, 250};
constexpr CCoord kMeterX[2] = {1, 11};  // in the tab strip, under the tabs
constexpr CCoord kMeterY = 372;

const CColor kInfoColour{200, 200, 200, 255};
const CColor kWarningColour{255, 176, 64, 255};
const CColor kHintText{230, 230, 230, 255};
const CColor kHintBack{20, 20, 22, 225};
const CColor kHintFrame{255, 176, 64, 255};

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
  engine_->pathChooser = [this](int32_t code) { return choosePath(code); };
}

qveditor::~qveditor() {
  close();
  engine_->pathChooser = nullptr;
}

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
    engine_->nameFieldOpen = false;  // the preset box's field went with the window
  }
  for (CViewContainer*& p : pages_) p = nullptr;
  forgetBoxViews(true);
  ampPanel_ = nullptr;
  lowerStrip_ = nullptr;
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
  // The message line shows one message: of those that came since the last idle,
  // a warning outranks the information that followed it ("could not save" is not
  // hidden by the "Saving Preset" after it).
  qvstring text, shown;
  int32_t level = 0, shownLevel = 0;
  while (engine_->messages.pop(text, level)) {
    if (level < shownLevel) continue;
    shown = text;
    shownLevel = level;
  }
  if (shownLevel > 0) showMessage(shown, shownLevel);
  if (engine_->takeRebuildRequest()) {
    model_->refillDefinitions(engine_->data);
    if (open_) buildEditor();
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
  auto memberValue = [&](const qvradiogroup& g) {
    for (size_t k = 0; k < g.members.size(); ++k)
      if (g.members[k] == control) value = g.memberValues[k];
  };
  memberValue(tabs_);
  for (const qvradiogroup& g : radios_) memberValue(g);
  if (tag >= kLocalPedalsBack && tag <= kLocalBlocksOn) {
    const int32_t step = (tag == kLocalPedalsBack || tag == kLocalBlocksBack) ? -1 : 1;
    int32_t& first = tag <= kLocalPedalsOn ? model_->firstPedalShown : model_->firstBlockShown;
    first = std::max(0, first + step);
    buildEditor();
    return;
  }
  if (tag == kLocalDragMode) {
    engine_->setDragMode(value != 0.0f);
    takeEngineNews();
    return;
  }
  takeNameFor(tag);
  if (control->isTypeOf("CTextEdit")) {
    // Text fields hand their text over first; the post carries no number.
    engine_->postText(tag, static_cast<CTextLabel*>(control)->getText());
  } else {
    engine_->postCommand(tag, value);
  }
  // An editor command ran just now on this thread: show its result at once.
  if (open_ && engine_->takeRebuildRequest()) buildEditor();
}

void qveditor::takeNameFor(int32_t tag) {
  // The preset box's two fields share one command tag; the button pressed says
  // which name the engine reads: the cab's for Rename, the preset's for the saves
  // (buttons and the preset menu alike).
  std::lock_guard<qvlock> hold(engine_->mailbox.commandLock());
  bool presetSave = tag == kCmdSavePreset || tag == kCmdSavePresetAsNew;
  if (tag >= 0 && static_cast<uint32_t>(tag) < engine_->controls.count())
    presetSave = engine_->controls[static_cast<uint32_t>(tag)]->kind == kKindPresetMenu;
  CTextEdit* field = tag == kCmdSaveCabSettings ? cabNameField_ : presetSave ? presetNameField_ : nullptr;
  if (field) engine_->editorName = field->getText();
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

void qveditor::buildEditor() {
  if (!frame_) return;
  qvengine& e = *engine_;
  const qveditorstate ui = e.editorState();
  shown_ = ui;
  e.takeRebuildRequest();  // built from the state as it is now
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
  forgetBoxViews(ui.box == qvboxkind::presets || ui.box == qvboxkind::category);
  frame_->removeAll();
  forgetOverlayView(model_->hint);
  forgetOverlayView(model_->message);
  observer_->forgetViews();
  captions_.clear();
  radios_.clear();
  radios_.reserve(8);  // members keep pointers to their groups' entries
  tabs_ = qvradiogroup{};
  tabs_.tag = kCmdSelectPage;

  model_->ampPanelOffset = e.state.settingInt(kSetLayoutSwitch) != 0 ? layout::kLayoutSwitchOffset : 0.0f;
  qvslot& amp = e.chain.ampSlot;
  if (amp.bgimg <= 0) amp.bgimg = model_->firstSkinImage;  // "Amp:Gold"
  if (amp.knobprof >= 0 && static_cast<size_t>(amp.knobprof) < model_->knobProfiles.size())
    model_->classProfiles[1] = amp.knobprof;

  for (int k = 0; k < 3; ++k) {
    pages_[k] = new CViewContainer(CRect(0, 0, kWidth, kHeight));
    frame_->addView(pages_[k]);
  }
  buildAmpPage(*this, pages_[0]);
  buildFloorPage(*this, pages_[1]);
  buildOptionsPage(*this, pages_[2]);
  buildFrameParts();
  for (int k = 0; k < 3; ++k) pages_[k]->setVisible(k == ui.page);
  setRadio(tabs_, static_cast<float>(ui.page));
  buildBoxes(*this, ui);

  if (keptMessage.view) {
    showMessage(messageText, messageColour == kWarningColour ? 2 : 1);
    model_->message.alpha = keptMessage.alpha;
    model_->message.fadingOut = keptMessage.fadingOut;
    model_->message.view->setAlphaValue(std::clamp(keptMessage.alpha, 0.0f, 1.0f));
  }
}

void qveditor::forgetBoxViews(bool keepListOffset) {
  // A list scrolled down stays where it was when the box is rebuilt after a command.
  boxListOffset_ = keepListOffset && boxList_ ? boxList_->getScrollOffset().y : 0;
  boxPanel_ = nullptr;
  boxList_ = nullptr;
  presetNameField_ = cabNameField_ = nullptr;
  if (dragLayer_ && frame_ && frame_->getFocusView() == dragLayer_)
    frame_->setFocusView(nullptr);
  dragLayer_ = nullptr;
}

void qveditor::buildFrameParts() {
  const int32_t tabImages[3] = {36, 37, 38};
  const char* tabHints[3] = {"Amplifier", "Pedal Floor", "Options"};
  for (int k = 0; k < 3; ++k) {
    qvtricklabel* tab = makeRadio(tabs_, static_cast<float>(k), tabImages[k], frame_, kTabX, kTabY[k], "");
    captions_[tab].label = tabHints[k];
  }
  for (int k = 0; k < 2; ++k) {
    CBitmap* empty = model_->image(8);
    meters_[k] = new qvmeterview(sized(kMeterX[k], kMeterY, empty), empty, model_->image(9));
    frame_->addView(meters_[k]);
  }
  frame_->addView(pictureView(sized(28, 1, model_->image(56)), model_->image(56)));
  frame_->addView(pictureView(sized(kWidth - 131, 1, model_->image(57)), model_->image(57)));
}
