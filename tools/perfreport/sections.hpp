// The report's sections: each runs its measurements and appends its Markdown
// (what was measured, how, the table, the verdict) and its headline rows.
#pragma once
#include <string>
#include <vector>

#include "tools/perfreport/hostbench.hpp"
#include "tools/perfreport/options.hpp"

struct summaryrow {
  std::string measure;
  std::string target;   // empty: no target, reported only
  std::string result;
  bool pass = true;
};

struct perfreport {
  std::vector<summaryrow> summary;
  std::string body;
};

// What every section shares.
struct perfcontext {
  const perfoptions& options;
  std::string plugin;           // the library measured
  std::string probe;            // corvina-startprobe
  stagedrig factory;            // staged with the factory settings
  int factoryOversampling = 1;  // the factory's global setting 3
  std::vector<int> presets;     // indices into factory.book measured
  int headline = 0;             // the preset the targets name ("Layered OD")

  explicit perfcontext(const perfoptions& o) : options(o) {}
  const std::string& name(int index) const { return factory.book.names[size_t(index)]; }
};

// Each returns false with the reason in `error` when it could not measure.
bool realTimeSection(perfcontext& c, perfreport& r, std::string& error);
bool oversamplingSection(perfcontext& c, perfreport& r, std::string& error);
bool switchSection(perfcontext& c, perfreport& r, std::string& error);
bool startupSection(perfcontext& c, perfreport& r, std::string& error);
bool silenceSection(perfcontext& c, perfreport& r, std::string& error);
bool convolutionSection(perfcontext& c, perfreport& r, std::string& error);
bool chainPathsSection(perfcontext& c, perfreport& r, std::string& error);
bool editorOpenSection(perfcontext& c, perfreport& r, std::string& error);

// [ui] The factory's oversampling factor, read by an engine loading the factory
// document as the plug-in does (`folder` holds no user document).
int factoryOversamplingFactor(const std::string& folder);
