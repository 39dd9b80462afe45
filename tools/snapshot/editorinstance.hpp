// An instance of the plug-in run in process with its editor, for the snapshot
// tool and the editor's tests: the effect with a small host callback, its user
// document in a fresh folder of its own (removed with the instance), and the
// editor opened headless on a test clock.
#pragma once
#include <memory>
#include <string>

#include "editor/qveditor.hpp"
#include "plugin/qvaudioeffect.hpp"
#include "toolkit/cclock.hpp"

class qveditorinstance {
public:
  // [ui] `folder` empty: a fresh temporary folder.
  explicit qveditorinstance(const std::string& folder = "");
  ~qveditorinstance();
  qveditorinstance(const qveditorinstance&) = delete;
  qveditorinstance& operator=(const qveditorinstance&) = delete;

  qvAudioEffect& effect() { return *effect_; }
  qvengine& engine() { return *effect_->getEngine(); }
  qveditor& editor() { return *editor_; }
  CFrame& frame() { return *editor_->getFrame(); }
  CTestClock& clock() { return clock_; }
  const std::string& folder() const { return folder_; }

  // [ui] Loads the preset named `name` as a user would; false when there is none.
  bool selectPreset(const std::string& name);
  // [ui] Opens the editor headless.
  bool open() { return editor_->openHeadless(&clock_); }
  // [ui] `seconds` of editor idle at 25 calls a second on the test clock.
  void idleFor(double seconds);
  // [audio] Plays `frames` of a signal through the effect (noise when `noise`,
  // else silence), so the meters see it.
  void play(int frames, bool noise);

private:
  std::string folder_;
  bool ownFolder_ = false;
  CTestClock clock_{1000};
  std::unique_ptr<qvAudioEffect> effect_;
  qveditor* editor_ = nullptr;  // owned by the effect
};
