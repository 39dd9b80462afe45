// Prints, for every preset of the factory document (the user-visible ones and the
// "Amp Starters" made from the amplifier definitions), figures measured through
// the plug-in's own engine, loader and factory impulses at the factory global
// settings: the load code, peak and RMS output for a plucked-guitar DI signal, and
// THD+N of a 220 Hz sine at -12 dBFS.
//
//   factory_report [--check] [--rate <Hz>]
//
// --check exits non-zero unless every preset loads with code 0, the output stays
// finite with peaks at or below 1.0, every RMS lies within 9 dB of the median and
// the median distortion rises Clean -> Mellow -> Aggressive -> Extreme.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"
#include "tools/factorydoc/rigsim.hpp"

namespace {

constexpr int kBlock = 256;

struct Figures {
  int code = 0;
  double peak = 0, rms = 0, thd = 0;
  bool finite = true;
};

double db(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// Loads preset `index` afresh (new units, silent state) and plays `in` on the left input.
int render(qvengine& eng, uint32_t index, const std::vector<float>& in, std::vector<float>& out) {
  int code = eng.loadPreset(eng.data.presets[index]->node, -1, false);
  out.assign(in.size(), 0.0f);
  std::vector<float> right(in.size(), 0.0f), outRight(in.size(), 0.0f);
  std::vector<float> left(in);
  for (size_t at = 0; at < in.size(); at += kBlock) {
    int n = static_cast<int>(std::min<size_t>(kBlock, in.size() - at));
    float* inputs[2] = {left.data() + at, right.data() + at};
    float* outputs[2] = {out.data() + at, outRight.data() + at};
    eng.processReplacing(inputs, outputs, n);
  }
  return code;
}

Figures measure(qvengine& eng, uint32_t index, float rate) {
  Figures f;
  std::vector<float> y;
  // The test signals are made at the stand-in's rate; played at another rate they
  // only shift in pitch, which the figures tolerate.
  f.code = render(eng, index, pluckedGuitarDI(2.0), y);
  double sum = 0;
  for (float v : y) {
    if (!std::isfinite(v)) f.finite = false;
    f.peak = std::max(f.peak, static_cast<double>(std::fabs(v)));
    sum += static_cast<double>(v) * v;
  }
  f.rms = std::sqrt(sum / static_cast<double>(y.size()));
  int code = render(eng, index, testTone220(1.0), y);
  if (f.code == 0) f.code = code;
  for (float v : y)
    if (!std::isfinite(v)) f.finite = false;
  f.thd = toneDistortion(y, 220.0 * rate / kSimRate, rate);
  return f;
}

const char* categoryName(const qvengine& eng, int32_t id) {
  for (uint32_t c = 0; c < eng.data.presetCategories.count(); ++c)
    if (eng.data.presetCategories[c]->id == id) return eng.data.presetCategories[c]->name.c_str();
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  bool check = false;
  float rate = kSimRate;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--check") == 0) {
      check = true;
    } else if (std::strcmp(argv[i], "--rate") == 0 && i + 1 < argc) {
      rate = static_cast<float>(std::atof(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--check] [--rate <Hz>]\n", argv[0]);
      return 2;
    }
  }
  qvresource doc;
  if (!loadDataResource("CORVINA-INIT.FXDA", doc)) {
    std::fprintf(stderr, "factory_report: no CORVINA-INIT.FXDA resource\n");
    return 1;
  }
  qvengine eng("/nonexistent/", "./corvina-save.fxda");
  eng.setSampleRate(rate, true);
  eng.data.factoryText.assign(reinterpret_cast<const char*>(doc.bytes), doc.size);
  int code = eng.loadDocument(true);
  std::printf("document: code %d, %u presets, %u amp data, %u pedal data, %u impulses, %u categories\n",
              code, eng.data.presets.count(), eng.data.ampData.count(), eng.data.pedalData.count(),
              eng.data.impulses.count(), eng.data.presetCategories.count());
  bool ok = code == 0;
  std::map<std::string, std::vector<double>> thd;
  std::vector<double> levels;
  for (uint32_t i = 0; i < eng.data.presets.count(); ++i) {
    const qvpreset& p = *eng.data.presets[i];
    Figures f = measure(eng, i, rate);
    const char* cat = categoryName(eng, p.categoryid);
    std::printf("%-12s %-22s code %4d  peak %6.1f dB  rms %6.1f dB  thd %7.1f%%%s\n", cat, p.name.c_str(),
                f.code, db(f.peak), db(f.rms), 100.0 * f.thd, f.finite ? "" : "  NOT FINITE");
    if (f.code != 0 || !f.finite || f.peak > 1.0) ok = false;
    thd[cat].push_back(f.thd);
    levels.push_back(db(f.rms));
  }
  double mid = median(levels);
  for (double l : levels)
    if (std::fabs(l - mid) > 9.0) ok = false;
  const char* order[4] = {"Clean", "Mellow", "Aggressive", "Extreme"};
  for (int c = 0; c < 4; ++c) {
    std::printf("median thd %-12s %6.1f%%\n", order[c], 100.0 * median(thd[order[c]]));
    if (c > 0 && !(median(thd[order[c - 1]]) < median(thd[order[c]]))) ok = false;
  }
  std::printf("median rms %6.1f dB\n%s\n", mid, ok ? "all checks pass" : "CHECKS FAIL");
  return check && !ok ? 1 : 0;
}
