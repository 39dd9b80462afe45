// Prints, for every preset of the factory document (the user-visible ones and the
// "Amp Starters" made from the amplifier definitions), figures measured through
// the plug-in's own engine, loader and factory impulses at the factory global
// settings: the load code, peak and RMS output for two seconds of the synthesized
// guitar DI (tools/host/guitarsynth), and THD+N of a 220 Hz sine at -12 dBFS.
//
//   factory_report [--check] [--rate <Hz>]
//
// --check exits non-zero unless every preset loads with code 0, the output stays
// finite with peaks at or below 1.0, every RMS lies within kLevelSpreadDb of the
// median and the median distortion rises Clean -> Mellow -> Aggressive -> Extreme.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"
#include "tools/host/cmdline.hpp"
#include "tools/host/guitarsynth.hpp"
#include "tools/host/stats.hpp"

namespace {

constexpr int kBlock = 256;
constexpr double kPi = std::numbers::pi;
constexpr double kToneHz = 220.0;
// Levels are not matched yet: on the riff's palm-muted low notes the auto-wah
// presets' filters stay mostly shut and they sit up to about 10 dB below the
// median. This catches a silent or runaway preset; tighten it once levels match.
constexpr double kLevelSpreadDb = 12.0;

struct Figures {
  int code = 0;
  double peak = 0, rms = 0, thd = 0;
  bool finite = true;
};

double db(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

// A 220 Hz sine at -12 dBFS.
std::vector<float> testTone(double rate, double seconds) {
  std::vector<float> out(size_t(seconds * rate));
  const double a = std::pow(10.0, -12.0 / 20.0);
  for (size_t i = 0; i < out.size(); ++i) out[i] = float(a * std::sin(2 * kPi * kToneHz * double(i) / rate));
  return out;
}

// Distortion + noise of the steady tone over the second half of `y`: the RMS left
// after the best fit of a sine, a cosine and a constant, relative to the fitted
// tone's RMS. The three are close to orthogonal over many periods, so projecting
// after removing the mean is accurate enough for a figure.
double toneDistortion(const std::vector<float>& y, double rate) {
  const size_t from = y.size() / 2;
  double dc = 0;
  for (size_t i = from; i < y.size(); ++i) dc += y[i];
  dc /= double(y.size() - from);
  double ss = 0, sc = 0, s2 = 0, c2 = 0;
  for (size_t i = from; i < y.size(); ++i) {
    const double ph = 2 * kPi * kToneHz * double(i) / rate;
    ss += (y[i] - dc) * std::sin(ph);
    sc += (y[i] - dc) * std::cos(ph);
    s2 += std::sin(ph) * std::sin(ph);
    c2 += std::cos(ph) * std::cos(ph);
  }
  const double a = ss / s2, b = sc / c2;
  double resid = 0, tone = 0;
  for (size_t i = from; i < y.size(); ++i) {
    const double ph = 2 * kPi * kToneHz * double(i) / rate;
    const double fit = a * std::sin(ph) + b * std::cos(ph);
    resid += (y[i] - dc - fit) * (y[i] - dc - fit);
    tone += fit * fit;
  }
  return tone > 0 ? std::sqrt(resid / tone) : 0.0;
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

Figures measure(qvengine& eng, uint32_t index, double rate) {
  Figures f;
  std::vector<float> y;
  f.code = render(eng, index, synthGuitarDI(rate, 2.0), y);
  double sum = 0;
  for (float v : y) {
    if (!std::isfinite(v)) f.finite = false;
    f.peak = std::max(f.peak, static_cast<double>(std::fabs(v)));
    sum += static_cast<double>(v) * v;
  }
  f.rms = std::sqrt(sum / static_cast<double>(y.size()));
  int code = render(eng, index, testTone(rate, 1.0), y);
  if (f.code == 0) f.code = code;
  for (float v : y)
    if (!std::isfinite(v)) f.finite = false;
  f.thd = toneDistortion(y, rate);
  return f;
}

const char* categoryName(const qvengine& eng, int32_t id) {
  for (uint32_t c = 0; c < eng.data.presetCategories.count(); ++c)
    if (eng.data.presetCategories[c]->id == id) return eng.data.presetCategories[c]->name.c_str();
  return "?";
}

const char* const kUsage = "usage: factory_report [--check] [--rate <Hz>]\n";

}  // namespace

int main(int argc, char** argv) {
  bool check = false;
  double rate = 44100.0;
  cmdline c(argc, argv, "factory_report", kUsage);
  while (c.next()) {
    if (c.is("--check")) {
      check = true;
    } else if (c.is("--rate")) {
      if (!c.number(8000.0, 768000.0, rate)) return c.fail("--rate takes 8000 to 768000 Hz");
    } else {
      return c.fail("unknown argument " + c.arg());
    }
  }
  qvresource doc;
  if (!loadDataResource("CORVINA-INIT.FXDA", doc)) {
    std::fprintf(stderr, "factory_report: no CORVINA-INIT.FXDA resource\n");
    return kExitFailed;
  }
  qvengine eng("/nonexistent/", "./corvina-save.fxda");
  eng.setSampleRate(float(rate), true);
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
    if (std::fabs(l - mid) > kLevelSpreadDb) ok = false;
  const char* order[4] = {"Clean", "Mellow", "Aggressive", "Extreme"};
  for (int k = 0; k < 4; ++k) {
    std::printf("median thd %-12s %6.1f%%\n", order[k], 100.0 * median(thd[order[k]]));
    if (k > 0 && !(median(thd[order[k - 1]]) < median(thd[order[k]]))) ok = false;
  }
  std::printf("median rms %6.1f dB\n%s\n", mid, ok ? "all checks pass" : "CHECKS FAIL");
  return check && !ok ? kExitFailed : kExitOk;
}
