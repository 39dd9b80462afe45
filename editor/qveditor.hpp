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

#include <unordered_map>

#include "data/qvstring.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvnotificationreciever.hpp"
#include "plugin/qvcontrol.hpp"
#include "toolkit/cclock.hpp"
#include "toolkit/ccontrol.hpp"
#include "vst/audioeffect.hpp"

class CFrame;
class CScrollView;
class CTextEdit;
class CTextLabel;
class CViewContainer;
class qvengine;
class qvevent_mouseobserver;
class qvguimodel;
class qvdraglayer;
class qvmeterview;
class qvtricklabel;

class qvparam;

// A radio group: toggles of which the one whose member value equals the group's
// value shows on; a choice posts the member's value.
struct qvradiogroup {
  int32_t tag = -1;                    // what a choice posts
  std::vector<qvtricklabel*> members;  // views, owned by the frame
  std::vector<float> memberValues;
};

// What makeControl needs beyond the control's class, kind and place.
struct qvcontrolstyle {
  int32_t image = -1;                  // picture of a button, toggle or menu (-1: the class's)
  float onValue = 1.0f;                // a toggle's or push button's value when on
  const qvnamedlist* entries = nullptr;  // a menu's entries after its title
  const char* firstEntry = nullptr;    // a menu entry before the list ("None")
  int32_t commandTag = -1;             // an editor or rig command instead of a table entry
  qvcontrolscope scope = qvcontrolscope::unit;
  int32_t subindex = -1;
  int32_t box = 0;
  bool draggable = false;
  qvstring text;                       // a text field's text, a caption's text
  CCoord width = -1;                   // a size override for buttons, menus and fields
  CCoord height = -1;                  // the same for the height
  CColor textColour{0, 0, 0, 0};       // captions' colour when not transparent, else the profile's
};

class qveditor final : public AEffEditor, public CControlListener {
public:
  static constexpr int kWidth = 840;
  static constexpr int kHeight = 480;
  // Tags of controls that only move what the editor shows (past the engine's
  // ignored 1000000): the pedal floor's and the block strip's arrows.
  static constexpr int32_t kLocalPedalsBack = 1000001;
  static constexpr int32_t kLocalPedalsOn = 1000002;
  static constexpr int32_t kLocalBlocksBack = 1000003;
  static constexpr int32_t kLocalBlocksOn = 1000004;
  static constexpr int32_t kLocalDragMode = 1000005;  // block titles pick their block up

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
  // [ui] A control of class `cls` (1 knob, 2 slider, 3 push button, 4 toggle, 5
  // menu, 11 labelled text field, 12 caption, other: labelled value display) at
  // x, y of `container` acting as `kind` on `position` / `index`, registered in
  // the engine's control table; returns its tag. A knob whose parameter is a
  // switch becomes a toggle. x or y of -1 take the container's next free place.
  int32_t makeControl(int32_t cls, int32_t kind, qvparam* param, CViewContainer* container, int32_t position,
                      int32_t index, const std::string& label, CCoord x, CCoord y, const std::string& tooltip,
                      const qvcontrolstyle& style = {});
  // [ui] A passive caption: `title` as its heading over `text`.
  void makeHint(const std::string& title, const std::string& text, CViewContainer* container, CCoord x, CCoord y);
  // [ui] A toggle of a radio group posting `tag` (a command tag, or for kind 15 the
  // option `option`), showing on while the group's value is `memberValue`.
  qvtricklabel* makeRadio(qvradiogroup& group, float memberValue, int32_t image, CViewContainer* container,
                          CCoord x, CCoord y, const std::string& label);
  void setRadio(qvradiogroup& group, float value);
  // [ui] The cab-sim panel for cab sim `index` (the engine's shown cab sim).
  void showCabPanel(int32_t index);
  // [ui] The view of control `tag`, or null.
  CView* controlView(int32_t tag) const;
  // [ui] The text a parameter shows: its display value, "on"/"off" for switches.
  static std::string parameterText(const qvparam& p);
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

  // [ui] Runs the file chooser for 70001 (a file) or 70014 (a folder) and hands
  // the path to the engine; false, with a warning, when there is no chooser.
  bool choosePath(int32_t code);
  // [ui] The mouse moved or pressed while something is picked for moving: the
  // overlay follows; a press drops on the target under it or cancels.
  void dragMoved(const CPoint& where);
  void dragPressed(const CPoint& where);
  // [ui] Puts back what is picked, changing nothing (Escape, a press off targets).
  void cancelDrag();

  // The views the tests and tools look at (null while closed).
  CViewContainer* page(int index) const { return index >= 0 && index < 3 ? pages_[index] : nullptr; }
  CViewContainer* ampPanel() const { return ampPanel_; }
  qvmeterview* inputMeter() const { return meters_[0]; }
  qvmeterview* outputMeter() const { return meters_[1]; }
  const qvradiogroup& tabs() const { return tabs_; }
  std::vector<qvradiogroup>& radioGroups() { return radios_; }
  CViewContainer* lowerStrip() const { return lowerStrip_; }
  CTextLabel* messageView() const;
  CTextLabel* hintView() const;
  CViewContainer* boxPanel() const { return boxPanel_; }
  CScrollView* boxList() const { return boxList_; }
  qvdraglayer* dragLayer() const { return dragLayer_; }
  // The engine's editor state the current views were built from.
  const qveditorstate& shownState() const { return shown_; }

private:
  friend void buildAmpPage(qveditor& ed, CViewContainer* page);
  friend void buildBoxes(qveditor& ed, const qveditorstate& ui);
  friend struct qvboxbuilder;
  bool openFrame(void* parentWindow, bool headless);
  void buildFrameParts();
  CBitmap* knobStrip(const qvcontrolstyle& style);
  CView* makeView(int32_t cls, qvparam* param, const CRect& size, int32_t tag, const std::string& label,
                  const qvcontrolstyle& style);
  void takeEngineNews();
  void forgetBoxViews(bool keepListOffset);
  void takeNameFor(int32_t tag);
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
  qvstring pendingText_;               // a message that came while the window was closed
  int32_t pendingLevel_ = 0;

  // Views of the current build (owned by the frame).
  CViewContainer* pages_[3] = {};
  CViewContainer* ampPanel_ = nullptr;
  qvmeterview* meters_[2] = {};
  CViewContainer* lowerStrip_ = nullptr;
  qvradiogroup tabs_;
  std::vector<qvradiogroup> radios_;        // the option groups of the current build
  CViewContainer* boxPanel_ = nullptr;      // the open pop-up box
  CScrollView* boxList_ = nullptr;          // its list of rows, when it has one
  CCoord boxListOffset_ = 0;                // how far the list was scrolled, kept over rebuilds
  CTextEdit* presetNameField_ = nullptr;    // the preset box's name fields
  CTextEdit* cabNameField_ = nullptr;
  qvdraglayer* dragLayer_ = nullptr;        // over everything while something is picked
  qveditorstate shown_;                     // what the current build was made from
  struct caption {
    std::string label;                       // what the control is called
    const qvparam* param = nullptr;          // whose value it shows, or null
  };
  std::unordered_map<const CView*, caption> captions_;  // for hints
};
