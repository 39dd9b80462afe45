// Where the renderer runs the plug-in. The plug-in reads its user document
// "corvina-save.fxda" from its own folder, so the renderer copies the built
// library into a fresh temporary folder and puts there only the document it was
// asked for (or none: then the plug-in starts from the factory content, as on a
// first run). The user's own document beside the installed plug-in is never read
// nor written. The folder goes away with the stage.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/qvlist.hpp"
#include "data/qvstring.hpp"
#include "data/records.hpp"
#include "tools/host/vsthost.hpp"

class pluginstage {
public:
  pluginstage() = default;
  ~pluginstage();
  pluginstage(const pluginstage&) = delete;
  pluginstage& operator=(const pluginstage&) = delete;

  // Makes the folder and copies the library `pluginPath` into it. False with a
  // message in `error` when either fails.
  bool create(const std::string& pluginPath, std::string& error);
  // Writes `text` as the user document of the staged plug-in.
  bool writeDocument(const qvstring& text, std::string& error);

  const std::string& folder() const { return folder_; }  // ends in '/'
  const std::string& pluginPath() const { return plugin_; }
  bool hasDocument() const { return hasDocument_; }

private:
  std::string folder_;
  std::string plugin_;
  bool hasDocument_ = false;
};

// The presets the staged plug-in sees: the renderer loads the same documents
// with the engine code the plug-in is built from (factory document from the
// same resources, then the staged user document over it), so names and indices
// match the plug-in's.
struct presetbook {
  std::vector<qvstring> names;   // in list order
  std::vector<qvstring> chunks;  // each preset's object as chunk text (without the NUL)

  // [ui] Loads the documents of `stage`.
  void load(const pluginstage& stage);
  // Index of the first preset called `name`, -1 when there is none.
  int find(const std::string& name) const;
};

// [any] The first-run preset, selected by name when a staged document keeps the
// plug-in from building it by itself.
inline constexpr const char* kStartPreset = "Layered OD";

// [any] The text of a user document like `base` (or, for an empty `base`, one
// holding settings only) whose global setting 3, the oversampling factor, is
// `factor` (1 to 16). False with a message when `base` does not parse.
bool documentWithOversampling(const qvstring& base, int factor, qvstring& out, std::string& error);

// [ui] Loads the staged plug-in and opens one effect (effOpen, `rate`, host blocks
// of `block` frames). Null with the reason in `error` when the library, its
// entry point or the effect fails.
std::unique_ptr<qvhostinstance> openStagedPlugin(const pluginstage& stage, float rate, int block,
                                                 std::string& error);
// [ui] Hands a preset's chunk text to the effect, as a host restores a rig.
void giveChunk(qvhostinstance& host, const qvstring& chunk);
