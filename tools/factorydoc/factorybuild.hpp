// Builds the factory data document from the source records through the
// plug-in's own units and document writer: every block is a real unit created
// from its default table, set with setValue and written by its own serialise, so
// the text is exactly what the plug-in reads and writes.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tools/factorydoc/factorysource.hpp"
#include "units/cabsim.hpp"
#include "units/qvprocstate.hpp"
#include "units/qvutil.hpp"

// The rig a preset describes, as units (signal order, blockgroup set) plus its
// cab sims with the uid of their impulse and its input gate.
struct fdRig {
  std::vector<std::unique_ptr<qvutil>> units;
  std::vector<std::unique_ptr<qvusconv>> cabs;
  std::vector<int> cabUids;
  std::unique_ptr<qvutil> gate;
  std::vector<int> sections;  // oversampled ranges in unit positions, in pairs
};

// [any] Units of preset `p` (amplifier definition, pedals, tweaks, cabs, gate).
// Returns "" or an error naming the source line.
std::string buildPresetRig(const fdSource& src, const fdPreset& p, const qvprocstate& state,
                           fdRig& rig);
// [any] Units of a definition on its own (as "Amp Starters" and pedals load them).
std::string buildDefinitionRig(const fdSource& src, const fdDefinition& d, const qvprocstate& state,
                               fdRig& rig);

// [any] The whole document as compact text. Returns "" or the first error.
std::string buildFactoryDocument(const fdSource& src, std::string& text);

// [any] Reads the source files in order, checks them and builds the document.
std::string buildFactoryDocumentFromFiles(const std::vector<std::string>& paths, std::string& text,
                                          fdSource* parsed = nullptr);
