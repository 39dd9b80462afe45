// The audio path's cost with the editor open: the plug-in run in this process
// with its editor, one preset, the guitar DI played through processReplacing in
// 256-frame host blocks on this thread, once with the editor closed and once with
// it open (headless) and idled 25 times a second by a second thread, as a host's
// UI thread does, its meters following the audio.
#pragma once
#include <string>
#include <vector>

struct editoropenfactors {
  double closed = 0.0;   // real-time factor of the audio thread, editor closed
  double open = 0.0;     // the same with the editor open and idling
  double uiShare = 0.0;  // the idling thread's share of one core while the audio played
};

// Best of `repeats` runs each, in rounds. False with the reason in `error` when
// the instance, the preset or the editor cannot be made.
bool measureEditorOpen(const std::string& preset, double rate, const std::vector<float>& di, int repeats,
                       editoropenfactors& out, std::string& error);
