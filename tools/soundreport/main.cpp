// corvina-soundreport: aliasing, level, peak and distortion of every factory preset
// through the plug-in's own engine, the targets they are held to, and the report
// (docs/sound.md with its plot, written by scripts/sound-report.sh).
//
//   corvina-soundreport [--out FILE.md] [--plot FILE.png] [--check] [--rate HZ]
//                       [--factor N] [--preset NAME] [--lines]
//                       [--stopband] [--order N] [--antiderivative 1|2] [--stagelowpass] [--aafactor N]
//                       [--commit TEXT] [--command TEXT] [--build TEXT]
//
// Without --out it prints one line per preset. --check exits 1 unless every target
// is met or, for an aliasing miss, a reason is recorded. --preset measures one
// preset, --lines lists its strongest non-harmonic lines; --factor and the option
// switches try other settings (the options add to each preset's own).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "tools/soundreport/aliasplot.hpp"
#include "tools/perfreport/mdtable.hpp"
#include "tools/soundreport/mdreport.hpp"

namespace {
struct sroptions {
  float rate = 48000.0f;
  int factor = 0;          // 0: the factory oversampling setting
  std::string only;        // one preset by name
  bool lines = false;      // print the strongest non-harmonic lines
  bool check = false;
  std::string out, plot;   // report and plot files
  qvaliasoptions forced;   // options turned on for every preset
  srrunfacts facts;
};

int usage(const char* self, FILE* to = stderr) {
  std::fprintf(to,
               "usage: %s [--out FILE.md] [--plot FILE.png] [--check] [--rate HZ] [--factor N]\n"
               "       [--preset NAME] [--lines] [--stopband] [--order N] [--antiderivative 1|2] [--stagelowpass]\n"
               "       [--aafactor N] [--commit TEXT] [--command TEXT] [--build TEXT]\n",
               self);
  return to == stderr ? 2 : 0;
}

bool parse(int argc, char** argv, sroptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--rate" && more) o.rate = static_cast<float>(std::atof(argv[++i]));
    else if (a == "--factor" && more) o.factor = std::atoi(argv[++i]);
    else if (a == "--preset" && more) o.only = argv[++i];
    else if (a == "--lines") o.lines = true;
    else if (a == "--check") o.check = true;
    else if (a == "--out" && more) o.out = argv[++i];
    else if (a == "--plot" && more) o.plot = argv[++i];
    else if (a == "--stopband") o.forced.stopband = true;
    else if (a == "--order" && more) o.forced.filterOrder = std::atoi(argv[++i]);
    else if (a == "--antiderivative" && more) o.forced.stages.antiderivative = std::atoi(argv[++i]);
    else if (a == "--stagelowpass") o.forced.stages.lowpass = true;
    else if (a == "--aafactor" && more) o.forced.minFactor = std::atoi(argv[++i]);
    else if (a == "--commit" && more) o.facts.commit = argv[++i];
    else if (a == "--command" && more) o.facts.command = argv[++i];
    else if (a == "--build" && more) o.facts.build = argv[++i];
    else return false;
  }
  return o.rate >= 8000.0f && o.rate <= 768000.0f && o.factor >= 0 && o.factor <= 16 &&
         o.forced.minFactor >= 1 && o.forced.minFactor <= kMaxMinFactor &&
         o.forced.stages.antiderivative >= 0 && o.forced.stages.antiderivative <= kMaxAntiderivativeOrder &&
         o.forced.filterOrder >= kMinFilterOrder && o.forced.filterOrder <= kMaxFilterOrder;
}

void printFigures(const srfigures& f, bool lines) {
  std::printf("%-12s %-22s 997 %7.1f  3520 %7.1f  rms %6.1f  peak %6.1f  thd %7.1f%%  x%-2d %s%s\n",
              f.category.c_str(), f.name.c_str(), f.alias997_db, f.alias3520_db, f.rms_db, f.peak_db,
              100 * f.distortion, f.factor, f.options.c_str(), f.finite && f.code == 0 ? "" : "  FAULT");
  if (f.settled997_db != 0.0 || f.settled3520_db != 0.0)
    std::printf("    settled after %.0f s: 997 %7.1f  3520 %7.1f\n", kSettledRenderSeconds, f.settled997_db,
                f.settled3520_db);
  if (!lines) return;
  for (const srline& l : f.lines997) std::printf("     997: %8.1f Hz %7.1f dB\n", l.freq_hz, l.level_db);
  for (const srline& l : f.lines3520) std::printf("    3520: %8.1f Hz %7.1f dB\n", l.freq_hz, l.level_db);
}

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
  return buf;
}

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--help") return usage(argv[0], stdout);
  sroptions o;
  if (!parse(argc, argv, o)) return usage(argv[0]);
  srpresetrun run(o.rate);
  if (!run.ok()) {
    std::fprintf(stderr, "soundreport: factory document not read (code %d)\n", run.loadCode());
    return 1;
  }
  run.forceOptions(o.forced);
  const bool quiet = !o.out.empty() || !o.plot.empty();
  std::vector<srfigures> all;
  for (uint32_t i = 0; i < run.presetCount(); ++i) {
    if (!o.only.empty() && run.presetName(i) != o.only) continue;
    srfigures f = measurePreset(run, i, o.factor);
    // A miss once more, given time to settle.
    if (f.alias997_db > kTarget997_db || f.alias3520_db > kTarget3520_db) measureSettled(run, i, o.factor, f);
    if (!quiet) printFigures(f, o.lines);
    else if ((i + 1) % 10 == 0) std::fprintf(stderr, "%u of %u presets measured\n", i + 1, run.presetCount());
    std::fflush(stdout);
    all.push_back(std::move(f));
  }
  if (all.empty()) {
    std::fprintf(stderr, "soundreport: no preset named \"%s\"\n", o.only.c_str());
    return 2;
  }
  if (!o.only.empty()) return 0;  // the targets concern all presets together
  const srverdict v = judge(all);
  o.facts.date = utcNow();
  o.facts.rate = o.rate;
  o.facts.factorSetting = o.factor > 0 ? o.factor : run.engine().state.settingInt(kSetOversampling);
  if (!o.plot.empty()) {
    o.facts.plot = baseName(o.plot);
    const std::string subtitle = fmt("%g kHz, factory settings: each preset's share of non-harmonic energy for "
                                     "a sine at -6 dBFS (4 s rendered, the last 2 s analysed)", o.rate / 1000.0);
    if (!writeAliasPlot(all, o.plot, subtitle)) {
      std::fprintf(stderr, "soundreport: cannot write %s\n", o.plot.c_str());
      return 1;
    }
  }
  if (!o.out.empty()) {
    std::ofstream file(o.out, std::ios::binary);
    file << soundReportText(all, v, o.facts);
    if (!file.good()) {
      std::fprintf(stderr, "soundreport: cannot write %s\n", o.out.c_str());
      return 1;
    }
  }
  std::printf("aliasing: %zu miss 3520 Hz, %zu miss 997 Hz, %zu without a reason; \"Layered OD\" %s; "
              "levels %+.1f..%+.1f dB around %.1f dBFS; order %s; faults %zu: %s\n",
              v.miss3520.size(), v.miss997.size(), v.unexplained.size(),
              v.layered ? std::to_string(v.layered->alias3520_db).c_str() : "absent", v.lowestRms_db,
              v.highestRms_db, v.medianRms_db, v.orderKept ? "kept" : "BROKEN", v.faults.size(),
              v.passes() ? "all checks pass" : "CHECKS FAIL");
  return o.check && !v.passes() ? 1 : 0;
}
