// The catalogue and cab-block commands that touch the rig, each split into the
// change (the functions below, which say what remains to be shown and saved) and
// the engine's thin dispatcher (qvengine::runImpulseCommand), which shows the
// messages, posts the follow-up load and rewrites the user document.
#pragma once
#include <cstdint>

#include "data/impulsecmds.hpp"
#include "plugin/qvengine.hpp"

// [ui] 70012: the current cab block's impulse takes `name` and the current impulse
// category's id (when one is selected).
qvcmdoutcome saveCabSettings(qvengine& engine, const qvstring& name);
// [ui] 70013: cab block value - 1 becomes the current one, clamped to the existing
// blocks (-1 when there are none).
void chooseCabBlock(qvengine& engine, float value);
// [between blocks] 85006: loads catalogue entry `index` into the current cab block
// (a new block when there is none) and remembers it as the last chosen impulse.
qvcmdoutcome chooseImpulse(qvengine& engine, int32_t index);
// [between blocks] 85007: removes the last chosen (else the current block's) user
// impulse from the catalogue; blocks that used it fall back to the entry before it
// or are removed.
qvcmdoutcome deleteImpulse(qvengine& engine);
// [between blocks] 85008: removes the current cab block.
void removeCurrentCabBlock(qvengine& engine);
