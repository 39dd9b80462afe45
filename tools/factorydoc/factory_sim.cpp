// Voicing aid: prints, for every definition and preset of the factory sources,
// the stand-in chain's figures (rigsim.hpp): peak and RMS in dBFS for a plucked
// DI signal and THD+N of a 220 Hz tone at -12 dBFS, with the category medians.
//
//   factory_sim <source> [<source> ...]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/factorydoc/rigsim.hpp"

namespace {
double db(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }
double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}
void row(const char* kind, const std::string& name, const fdSimFigures& f) {
  std::printf("%-8s %-22s peak %6.1f dB  rms %6.1f dB  thd %6.1f%%%s\n", kind, name.c_str(), db(f.peak),
              db(f.rms), 100.0 * f.thd, f.finite ? "" : "  NOT FINITE");
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <source> [<source> ...]\n", argv[0]);
    return 2;
  }
  fdSource src;
  std::string text;
  std::string err = buildFactoryDocumentFromFiles(std::vector<std::string>(argv + 1, argv + argc), text, &src);
  if (!err.empty()) {
    std::fprintf(stderr, "factory_sim: %s\n", err.c_str());
    return 1;
  }
  for (const fdDefinition& d : src.amps) row("amp", d.name, measureDefinition(src, d, err));
  std::map<std::string, std::vector<double>> thd, rms;
  std::vector<double> allRms;
  for (const fdPreset& p : src.presets) {
    fdSimFigures f = measurePreset(src, p, err);
    row(p.category.c_str(), p.name, f);
    thd[p.category].push_back(f.thd);
    allRms.push_back(db(f.rms));
  }
  for (auto& [cat, v] : thd) std::printf("median thd %-10s %6.1f%%\n", cat.c_str(), 100.0 * median(v));
  std::printf("median rms %6.1f dB\n", median(allRms));
  return 0;
}
