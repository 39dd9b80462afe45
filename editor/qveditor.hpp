// The plug-in's window: 840 x 480 pixels inside the host's window (or drawn
// headless for tests and snapshots). It owns only views: everything it shows is
// read from the engine, and every change a control makes goes to the engine as
// (tag, value). Views are made and touched on the host's user-interface thread
// only; a command the audio thread ran asks for a rebuild through the engine's
// counter, and the next idle rebuilds the whole window.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/qvstring.hpp"
#include "editor/qvnotificationreciever.hpp"
#include "toolkit/cclock.hpp"
#include "toolkit/ccontrol.hpp"
#include "vst/audioeffect.hpp"

class CFrame;
class CTextLabel;
class CViewContainer;
class qvengine;
class qvevent_mouseobserver;
class qvguimodel;
class qvmeterview;
class qvtricklabel;

// A radio group: toggles of which the one whose member value equals the group's
// value shows on.
struct qvradiogroup {
  int32_t tag = -1;                    // what a choice posts
  std::vector<qvtricklabel*> members;  // views, owned by the frame
  std::vector<float> memberValues;
};

class qveditor final : public AEffEditor, public CControlListener {
public:
  static constexpr int kWidth = 840;
  static constexpr int kHeight = 480;

  // [ui] Makes the engine's editor model (once per engine) and the mouse observer.
  qveditor(AudioEffect* effect, qvengine* engine);
  ~qveditor() override;

  bool getRect(ERect** rect) override;
  // [ui] The window as a child of the host's X11 window `parentWindow` (the
  // host's display is never used). False, with nothing changed, without a display.
  bool open(void* parentWindow) override;
  // [ui] The same window drawn into an image, for tests and snapshots; `clock`
  // (borrowed, null for the system clock) drives idle and fades.
  bool openHeadless(IClock* clock);
  void close() override;
  // [ui] Meters, rebuilds and messages asked for since the last call, fades,
  // then the frame's own idle (events, redraw).
  void idle() override;
  bool onKeyDown(const VstKeyCode& key) override;
  // [ui] A control moved: (tag, value) to the engine.
  void valueChanged(CControl* control) override;

  bool isOpen() const { return open_; }
  CFrame* getFrame() const { return frame_; }
  qvguimodel& model() const { return *model_; }
  qvengine& engine() const { return *engine_; }
  const std::string& statusText() const { return status_; }
  int mouseObserversRegistered() const;

  // [ui] Builds every view for the current rig, anew.
  void buildEditor();
  // [ui] The two meter levels, 0..1.
  void setMeters(float input, float output);
  // [ui] Shows `text` on the message line (level 1 information, 2 warning); while
  // the window is closed it waits for the next opening.
  void showMessage(const qvstring& text, int32_t level);
  // [ui] The hint of `control` (caption and value text), fading in after 0.8 s.
  void showHint(CView* control, const std::string& text);
  // [ui] The hint fades out.
  void fadeHint();
  // [ui] The text a hint shows for `view`: empty for views that have none.
  std::string hintText(CView* view) const;

  // The views the tests and tools look at (null while closed).
  CViewContainer* page(int index) const { return index >= 0 && index < 3 ? pages_[index] : nullptr; }
  CViewContainer* ampPanel() const { return ampPanel_; }
  qvmeterview* inputMeter() const { return meters_[0]; }
  qvmeterview* outputMeter() const { return meters_[1]; }
  const qvradiogroup& tabs() const { return tabs_; }
  CTextLabel* messageView() const;
  CTextLabel* hintView() const;

private:
  bool openFrame(void* parentWindow, bool headless);
  void buildFrameParts();
  void buildAmpPanel(CViewContainer* page);
  qvtricklabel* makeRadio(qvradiogroup& group, float memberValue, int32_t image, CViewContainer* container,
                          const CRect& size, const std::string& label);
  void setRadio(qvradiogroup& group, float value);
  void selectPage(int32_t page);
  void takeEngineNews();
  uint32_t now() const { return clock_ ? clock_->now_ms() : systemClock_.now_ms(); }

  ERect rect_{0, 0, kHeight, kWidth};  // top, left, bottom, right
  std::string status_ = "S: ";
  qvengine* engine_;                   // not owned
  qvguimodel* model_;                  // owned by the engine
  std::unique_ptr<qvevent_mouseobserver> observer_;
  qvnotificationreciever receiver_;
  bool open_ = false;
  uint32_t lastIdle_ = 0;              // ms
  CSystemClock systemClock_;
  IClock* clock_ = nullptr;            // borrowed; null: the system clock
  CFrame* frame_ = nullptr;            // one reference while open
  uint32_t seenRigChanges_ = 0;        // the engine's change counter at the last build
  qvstring pendingText_;               // a message that came while the window was closed
  int32_t pendingLevel_ = 0;

  // Views of the current build (owned by the frame).
  CViewContainer* pages_[3] = {};
  CViewContainer* ampPanel_ = nullptr;
  qvmeterview* meters_[2] = {};
  qvradiogroup tabs_;
};
