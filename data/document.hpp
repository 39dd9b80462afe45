// The data document as a whole: reading one into the data model, writing the
// model back, and keeping aside a user document that could not be taken in.
// What a read finds for parts the engine owns (the global settings, the cab
// blocks' catalogue indices) comes back in a qvdocread for the engine to apply.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "data/datamodel.hpp"

// Global settings a document stores, as (index, position) pairs.
constexpr int32_t kDocumentSettingCount = 18;
// Setting 4 (a layout switch) is never taken from a document.
constexpr int32_t kDocumentLayoutSetting = 4;

struct qvdocread {
  bool parsed = false;            // the text read as a document
  // The pairs of "settings" in document order, as far as they read.
  std::vector<std::pair<int32_t, float>> settings;
  bool settingsComplete = false;  // the whole "settings" entry read
  // Set when the catalogue was replaced: entry i holds the new index of the
  // entry that was at index i before (-1 when it is gone), for whatever keeps
  // catalogue indices (the cab blocks).
  bool impulsesReplaced = false;
  std::vector<int32_t> impulseIndexMap;
};

// [ui or between blocks] Reads document `text` into `data` through its reader:
// settings, categories, presets (with the amplifier and pedal definitions and
// the "Amp Starters" when `factory`), impulse categories and impulses. Returns
// kLoadOk or the code of the first missing member; what was read before it
// stays read. kDocTooShort for a text that holds no document at all.
int readDocument(std::string_view text, bool factory, qvdatamodel& data, qvdocread& out);

// [ui or between blocks] The index of the first preset whose object is not a
// whole preset (not an object, or fewer than six members, which would not load
// again), -1 when every one is; `members` gets its member count.
int32_t firstBrokenPreset(const qvdatamodel& data, size_t& members);

// [ui or between blocks] The whole document into `data.writer`: settings (the
// positions of the global settings by index), categories, presets, impulse
// categories and impulses.
void writeDocument(qvdatamodel& data, std::span<const float> settingPositions);

// [ui] Copies the user document at `path`, which exists but could not be taken
// in, to "<path>.bad-YYYYMMDD-HHMMSS" beside it (moves it when it cannot even be
// copied), so that the next save cannot destroy it. The path it went to, empty
// when neither worked.
qvstring preserveUserDocument(const qvstring& path);
