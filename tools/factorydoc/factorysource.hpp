// The factory content as a sound designer writes it: a line-based text (format in
// resources/factory/README.md) read into plain records. Reading checks the syntax
// and the references between records that need no unit (names of definitions,
// categories, impulses); parameter names and ranges are checked while the document
// is built, where the units' own tables are at hand.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "plugin/aliasoptions.hpp"

// Where a record came from, for error messages: "amps.fxsrc:12".
struct fdWhere {
  std::string file;
  int line = 0;
  std::string text() const { return file + ":" + std::to_string(line); }
};

// One change to a parameter: an engine value, or (definitions only) whether the
// control shows on the panel and its label.
struct fdParamEdit {
  enum Kind { kValue, kShow, kHide, kLabel };
  std::string param;  // the parameter's name (spaces ignored, any case) or "p<index>"
  Kind kind = kValue;
  float value = 0;    // engine units, for kValue
  std::string label;  // for kLabel (which also shows the control)
};

struct fdBlock {
  int sblock = 0;
  std::vector<fdParamEdit> edits;
  fdWhere where;
};

struct fdCab {
  std::string impulse;             // display name in the impulse catalogue
  std::vector<fdParamEdit> edits;  // Volume, Pan, Dry, Enabled, Invert
  fdWhere where;
};

// An amplifier or pedal definition.
struct fdDefinition {
  std::string name;
  int bgimg = 0, logoimg = -1, knobprof = 1;
  std::vector<int> brackets;
  std::vector<fdBlock> blocks;
  std::vector<fdCab> cabs;  // amplifiers only
  // Anti-aliasing options of the rigs built on an amplifier: they go to its "Amp
  // Starters" preset and to every preset on it that gives none of its own.
  qvaliasoptions antialias;  // amplifiers only
  fdWhere where;
};

struct fdPedalUse {
  std::string definition;
  bool afterAmp = false;
  bool active = true;
  fdWhere where;
};

// Changed knobs of one block of the rig: slot 0 the amplifier, k the k-th pedal.
struct fdTweak {
  int slot = 0;
  int block = 0;
  std::vector<fdParamEdit> edits;  // values only
  fdWhere where;
};

struct fdPreset {
  std::string name;
  std::string category;
  std::string amp;
  std::vector<fdPedalUse> pedals;  // every "pre" pedal before every "post" one
  std::vector<fdTweak> tweaks;
  bool cabsGiven = false;          // false: the amplifier definition's cabs
  std::vector<fdCab> cabs;
  std::vector<fdParamEdit> gate;
  std::optional<float> vol, invol;  // positions; default: the global settings 0 and 1
  std::optional<qvaliasoptions> antialias;  // default: the amplifier definition's
  fdWhere where;
};

struct fdCategory {
  int id = 0;
  std::string name;
};

struct fdImpulse {
  int uid = 0;  // also the resource id
  int categoryid = 0;
  std::string name;
};

struct fdSource {
  std::vector<std::optional<float>> settings = std::vector<std::optional<float>>(18);
  std::string currentPreset;
  int currentCategory = -1;
  std::vector<fdCategory> categories;
  std::vector<fdCategory> impulseCategories;
  std::vector<fdImpulse> impulses;
  std::vector<fdDefinition> amps;
  std::vector<fdDefinition> pedals;
  std::vector<fdPreset> presets;
};

// Reads one source text into `src` (texts are read one after another into the
// same record; a preset category or definition does not run across texts).
// Returns "" or the first error as "<file>:<line>: <message>".
std::string readFactorySource(const std::string& text, const std::string& fileName, fdSource& src);

// Checks what spans texts: every setting given, names unique, references resolve.
// Returns "" or the first error.
std::string checkFactorySource(const fdSource& src);

// A name as the sources compare names: spaces left out, lower case.
std::string normalisedName(const std::string& name);

// Block type number of a block name ("Tube Gain", "TubeGain", any case); -1 when unknown.
int blockTypeByName(const std::string& name);
