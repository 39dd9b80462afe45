#include "tools/perfreport/sections.hpp"

#include <algorithm>
#include <cstdio>

#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"
#include "tools/host/guitarsynth.hpp"
#include "tools/host/stats.hpp"
#include "tools/perfreport/chainpaths.hpp"
#include "tools/perfreport/editoropen.hpp"
#include "tools/perfreport/convtable.hpp"
#include "tools/perfreport/mdtable.hpp"
#include "tools/perfreport/startup.hpp"
#include "tools/perfreport/switchtime.hpp"

namespace {

constexpr double kRealTimeTarget = 110.0;   // x real time, the headline preset at 48 kHz
constexpr double kSlowestTarget = 90.0;     // x real time, every preset at 48 kHz
constexpr double kPathRatioTarget = 2.0;    // block path / per-sample chain, the headline preset
constexpr double kEditorOpenTarget = 0.95;  // audio with the editor open / closed
constexpr double kConvolutionTarget = 0.45; // engine / zita-convolver, 16384 taps, one slot
constexpr double kSwitchTargetMs = 5.0;     // about one 256-frame block at 48 kHz
constexpr double kStartTargetMs = 50.0;
constexpr double kStartTargetMb = 40.0;
constexpr double kSilenceTarget = 1.2;      // silence cost / signal cost
constexpr double kTargetRate = 48000.0;     // the rate the targets are given at

void progress(const char* format, const std::string& what) {
  std::fprintf(stderr, format, what.c_str());
  std::fflush(stderr);
}

std::string rateName(double rate) { return fmt("%g kHz", rate / 1000.0); }

// The best of `repeats` real-time factors: the run another process disturbed least.
bool bestFactor(const pluginstage& stage, const qvstring& chunk, const std::vector<float>& di,
                double rate, int repeats, double& best, std::string& error) {
  best = 0.0;
  for (int r = 0; r < repeats; ++r) {
    const double f = realTimeFactor(stage, chunk, di, rate, 8, error);
    if (f < 0.0) return false;
    best = std::max(best, f);
  }
  return true;
}

// The first `count` presets with their figures, lowest figure first (or highest
// with `highestFirst`).
std::string slowest(const perfcontext& c, const std::vector<std::pair<double, int>>& figures,
                    size_t count, const char* format, bool highestFirst = false) {
  std::vector<std::pair<double, int>> sorted = figures;
  std::sort(sorted.begin(), sorted.end());
  if (highestFirst) std::reverse(sorted.begin(), sorted.end());
  std::string out;
  for (size_t i = 0; i < std::min(count, sorted.size()); ++i)
    out += (i ? ", " : "") + c.name(sorted[i].second) + " " + fmt(format, sorted[i].first);
  return out;
}

}  // namespace

int factoryOversamplingFactor(const std::string& folder) {
  qvengine engine(folder, "./corvina-save.fxda");
  qvresource factory;
  if (loadDataResource("corvina-init.fxda", factory))
    engine.data.factoryText.assign(reinterpret_cast<const char*>(factory.bytes), factory.size);
  engine.loadSystem();
  return engine.state.settingInt(kSetOversampling);
}

bool realTimeSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  const size_t np = c.presets.size(), nr = o.rates.size();
  // The repeats go round the whole table, so a preset's runs lie minutes apart
  // and a busy spell of a neighbour spoils at most one of them.
  std::vector<std::vector<std::vector<double>>> runs(np, std::vector<std::vector<double>>(nr));
  std::vector<std::vector<float>> signals;
  for (double rate : o.rates) signals.push_back(synthGuitarDI(rate, o.seconds));
  for (int round = 0; round < o.repeats; ++round) {
    for (size_t k = 0; k < nr; ++k) {
      progress("real-time factors at %s", rateName(o.rates[k]));
      std::fprintf(stderr, " (round %d of %d)\n", round + 1, o.repeats);
      for (size_t p = 0; p < np; ++p) {
        double f = 0.0;
        if (!bestFactor(c.factory.stage, c.factory.book.chunks[size_t(c.presets[p])], signals[k],
                        o.rates[k], 1, f, error))
          return false;
        runs[p][k].push_back(f);
      }
    }
  }
  std::vector<std::vector<double>> factors(np, std::vector<double>(nr));
  std::vector<double> spreads;
  double headline = -1.0;
  std::vector<std::pair<double, int>> atTargetRate;
  for (size_t p = 0; p < np; ++p)
    for (size_t k = 0; k < nr; ++k) {
      factors[p][k] = maximum(runs[p][k]);
      spreads.push_back(1.0 - minimum(runs[p][k]) / factors[p][k]);
      if (c.presets[p] == c.headline && o.rates[k] == kTargetRate) headline = factors[p][k];
      if (o.rates[k] == kTargetRate) atTargetRate.push_back({factors[p][k], c.presets[p]});
    }
  if (headline < 0.0) {
    // The headline rate was not among the table's rates: measure it on its own.
    const std::vector<float> di = synthGuitarDI(kTargetRate, o.seconds);
    if (!bestFactor(c.factory.stage, c.factory.book.chunks[size_t(c.headline)], di, kTargetRate,
                    o.repeats, headline, error))
      return false;
  }

  std::string& b = r.body;
  b += "## 1. Real-time factor of every factory preset\n\n";
  b += fmt("Seconds of audio per second of process CPU time: %g s of the synthesized guitar DI "
           "(the demo riff's signal) per run, in %d-frame blocks through corvina.so's "
           "processReplacing, with the factory oversampling (factor %d); each preset is handed "
           "over as its chunk in a fresh instance, and 8 blocks play before the clock starts. "
           "Best of %d runs, made in rounds over the whole table so that one preset's runs lie "
           "minutes apart; a run slower than its best shows another process's share of the "
           "machine (the runs of a preset differed by %.0f %% at the median, %.0f %% at most). "
           "Higher is better; 1 is just real time on one core.\n\n",
           o.seconds, kHostBlock, c.factoryOversampling, o.repeats, 100.0 * median(spreads),
           100.0 * maximum(spreads));
  const bool pass = headline >= kRealTimeTarget;
  b += fmt("Target: \"%s\" at 48 kHz ≥ %.0f× real time. Measured: **%.1f×** — %s.\n\n",
           c.name(c.headline).c_str(), kRealTimeTarget, headline, verdict(pass).c_str());
  r.summary.push_back({"Real-time factor, \"" + c.name(c.headline) + "\", 48 kHz, factory oversampling",
                       fmt("≥ %.0f×", kRealTimeTarget), fmt("%.1f×", headline), pass});
  if (!atTargetRate.empty()) {
    // Only meaningful over the whole table: with --preset it is the headline again.
    const auto slowestPreset = *std::min_element(atTargetRate.begin(), atTargetRate.end());
    const bool slowPass = slowestPreset.first >= kSlowestTarget;
    b += fmt("Target: the slowest preset at 48 kHz ≥ %.0f× real time. Measured: **%.1f×** "
             "(%s) — %s.\n\n",
             kSlowestTarget, slowestPreset.first, c.name(slowestPreset.second).c_str(),
             verdict(slowPass).c_str());
    r.summary.push_back({"Real-time factor, slowest preset, 48 kHz, factory oversampling",
                         fmt("≥ %.0f×", kSlowestTarget),
                         fmt("%.1f× (%s)", slowestPreset.first, c.name(slowestPreset.second).c_str()),
                         slowPass});
  }

  mdtable summary({"rate", "min", "median", "mean", "slowest presets"},
                  {false, true, true, true, false});
  for (size_t k = 0; k < o.rates.size(); ++k) {
    std::vector<double> column;
    std::vector<std::pair<double, int>> named;
    for (size_t p = 0; p < c.presets.size(); ++p) {
      column.push_back(factors[p][k]);
      named.push_back({factors[p][k], c.presets[p]});
    }
    summary.add({rateName(o.rates[k]), fmt("%.1f×", minimum(column)), fmt("%.1f×", median(column)),
                 fmt("%.1f×", mean(column)), slowest(c, named, 3, "(%.1f×)")});
  }
  b += summary.text() + "\n";

  std::vector<std::string> header{"preset"};
  std::vector<bool> right{false};
  for (double rate : o.rates) {
    header.push_back(rateName(rate));
    right.push_back(true);
  }
  mdtable table(header, right);
  for (size_t p = 0; p < c.presets.size(); ++p) {
    std::vector<std::string> row{c.name(c.presets[p])};
    for (double f : factors[p]) row.push_back(fmt("%.1f×", f));
    table.add(row);
  }
  b += table.text() + "\n";
  return true;
}

bool oversamplingSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("oversampling factors of %s\n", c.name(c.headline));
  const std::vector<float> di = synthGuitarDI(kTargetRate, o.seconds);
  const int factors[] = {1, 2, 4, 8};
  stagedrig rigs[4];
  int indices[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (!rigs[i].create(c.plugin, factors[i], error)) return false;
    indices[i] = rigs[i].book.find(c.name(c.headline));
    if (indices[i] < 0) {
      error = "the staged document lost the preset " + c.name(c.headline);
      return false;
    }
  }
  // In rounds over the factors, as in section 1.
  double best[4] = {};
  for (int round = 0; round < o.repeats; ++round)
    for (int i = 0; i < 4; ++i) {
      double f = 0.0;
      if (!bestFactor(rigs[i].stage, rigs[i].book.chunks[size_t(indices[i])], di, kTargetRate, 1, f,
                      error))
        return false;
      best[i] = std::max(best[i], f);
    }
  mdtable table({"oversampling factor", "real-time factor", "share of one core", ""},
                {true, true, true, false});
  for (int i = 0; i < 4; ++i)
    table.add({fmt("%d", factors[i]), fmt("%.1f×", best[i]), fmt("%.2f %%", 100.0 / best[i]),
               factors[i] == c.factoryOversampling ? "factory setting" : ""});
  std::string& b = r.body;
  b += "## 2. Oversampling factor\n\n";
  b += fmt("\"%s\" at 48 kHz as in section 1, with the global oversampling setting (setting 3 "
           "of the user document, which the plug-in reads at start-up) at 1, 2, 4 and 8; best of %d "
           "runs in rounds. No target of its own: it shows what the factor costs.\n\n",
           c.name(c.headline).c_str(), o.repeats);
  b += table.text() + "\n";
  return true;
}

bool switchSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("preset switches%s\n", "");
  switchbench bench;
  if (!bench.open(c.factory.stage.folder(), float(kTargetRate),
                  synthGuitarDI(kTargetRate, 2.0), error))
    return false;
  // The engine's list must be the one the names came from.
  const int count = bench.presetCount();
  if (count != int(c.factory.book.names.size())) {
    error = "the engine and the staged plug-in list different presets";
    return false;
  }
  const int start = c.headline;
  std::vector<int> others;
  for (int j = 0; j < o.predecessors; ++j) {
    const int p = int((int64_t(j) * count) / std::max(1, o.predecessors));
    if (p != start && std::find(others.begin(), others.end(), p) == others.end())
      others.push_back(p);
  }

  const size_t switches = (others.size() + 1) * size_t(o.switchRepeats);
  mdtable table({"preset", "units", "cab sims", "command CPU (ms)", "command wall (ms)",
                 "switch block, extra CPU (ms)", fmt("worst of %zu switches (ms)", switches),
                 "≤ 5 ms"},
                {false, true, true, true, true, true, true, false});
  std::vector<double> fixedBlock, worstAll, fixedCommand;
  std::vector<std::pair<double, int>> named;
  int misses = 0;
  for (int to : c.presets) {
    switchfigure fixed;
    if (!bench.measure(start, to, o.switchRepeats, fixed, error)) return false;
    const unsigned units = bench.unitCount(), cabs = bench.cabCount();
    double worst = fixed.worstCpu;
    for (int from : others) {
      switchfigure f;
      if (!bench.measure(from, to, o.switchRepeats, f, error)) return false;
      worst = std::max(worst, f.worstCpu);
    }
    const bool pass = worst <= kSwitchTargetMs;
    misses += pass ? 0 : 1;
    fixedBlock.push_back(fixed.blockCpu);
    fixedCommand.push_back(fixed.commandCpu);
    worstAll.push_back(worst);
    named.push_back({worst, to});
    table.add({c.name(to), fmt("%u", units), fmt("%u", cabs), fmt("%.2f", fixed.commandCpu),
               fmt("%.2f", fixed.commandWall), fmt("%.2f", fixed.blockCpu), fmt("%.2f", worst),
               verdict(pass)});
  }

  std::string& b = r.body;
  b += "## 3. Preset switch\n\n";
  b += fmt("The time the audio thread spends on rig command 85003 (select preset), at 48 kHz. "
           "The engine is built as the plug-in builds it (factory document and impulses from "
           "the plug-in's resources); a second thread posts the command as the host or editor "
           "would, and the audio thread drains it at the start of its next block, so the figures "
           "include everything the switch does there: reading the preset, building its units, "
           "creating its cab sims with their impulses and FFT slots, and freeing the old rig. "
           "\"command\": thread CPU and wall time of the command itself; \"switch block, extra "
           "CPU\": the CPU time of the block that ran it minus a normal block of the new rig "
           "(median of 16), so first-block effects count too. From \"%s\"; each figure is the "
           "median of %d switches. \"worst\" is the highest command or extra-block CPU of "
           "every single switch into the preset, from that start and from %zu other "
           "predecessors (presets spread over the list), the first switch into it (which may "
           "decode a factory impulse no earlier rig used) included; the verdict is on it. Target: "
           "≤ %.0f ms per preset (one 256-frame block at 48 kHz lasts 5.33 ms).\n\n",
           c.name(start).c_str(), o.switchRepeats, others.size(), kSwitchTargetMs);
  const double worstMax = maximum(worstAll);
  b += fmt("From \"%s\": extra CPU of the switch block max %.2f ms, median %.2f ms (command "
           "alone: max %.2f ms, median %.2f ms). Worst single switch: %.2f ms. %d of %zu "
           "presets miss. Slowest: %s.\n\n",
           c.name(start).c_str(), maximum(fixedBlock), median(fixedBlock), maximum(fixedCommand),
           median(fixedCommand), worstMax, misses, c.presets.size(),
           slowest(c, named, 3, "(%.2f ms)", true).c_str());
  b += table.text() + "\n";
  r.summary.push_back({"Preset switch (command 85003 on the audio thread), 48 kHz, worst preset",
                       fmt("≤ %.0f ms", kSwitchTargetMs),
                       fmt("%.2f ms (median %.2f ms; %d of %zu miss)", worstMax, median(worstAll),
                           misses, c.presets.size()),
                       misses == 0});
  return true;
}

bool startupSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("start-up%s\n", "");
  startupfigure one, many;
  const std::string& plugin = c.factory.stage.pluginPath();
  if (!measureStartup(c.probe, plugin, 1, kTargetRate, o.startupRuns, one, error) ||
      !measureStartup(c.probe, plugin, o.instances, kTargetRate, o.startupRuns, many, error))
    return false;
  const bool timePass = one.wallMs <= kStartTargetMs;
  const bool memoryPass = one.rssMb <= kStartTargetMb;
  mdtable table({"instances", "wall time (ms)", "CPU time (ms)", "of which dlopen, wall (ms)",
                 "per instance, wall (ms)", "resident memory added (MiB)", "per instance (MiB)"},
                {true, true, true, true, true, true, true});
  for (const auto& [n, f] : {std::pair<int, startupfigure>{1, one}, {o.instances, many}})
    table.add({fmt("%d", n), fmt("%.1f", f.wallMs), fmt("%.1f", f.cpuMs), fmt("%.1f", f.dlopenMs),
               fmt("%.1f", (f.wallMs - f.dlopenMs) / n), fmt("%.1f", f.rssMb),
               fmt("%.1f", f.rssMb / n)});
  std::string& b = r.body;
  b += "## 4. Start-up time and memory\n\n";
  b += fmt("Each figure is measured in a fresh process (tools/perfreport/startprobe.cpp, which "
           "links only the small host, so the libraries the plug-in needs load with it): dlopen "
           "of corvina.so, then per instance VSTPluginMain, effOpen, the sample rate (48 kHz), "
           "effMainsChanged 1 and a first 256-frame block. Wall time from before dlopen to the "
           "end of the last first block; resident memory is VmRSS of /proc/self/status after "
           "minus before dlopen. CPU time is the process's over the same span: on a loaded "
           "machine it shows what the start-up itself costs. Median of %d processes. \"per "
           "instance\" time leaves the one dlopen out. Targets: one instance starts in "
           "≤ %.0f ms and adds ≤ %.0f MB.\n\n",
           o.startupRuns, kStartTargetMs, kStartTargetMb);
  b += table.text() + "\n";
  b += fmt("One instance: %.1f ms wall, %.1f ms CPU (%s), %.1f MiB (%s).\n\n", one.wallMs,
           one.cpuMs, verdict(timePass).c_str(), one.rssMb, verdict(memoryPass).c_str());
  r.summary.push_back({"Start-up of one instance (fresh process)", fmt("≤ %.0f ms", kStartTargetMs),
                       fmt("%.1f ms wall, %.1f ms CPU", one.wallMs, one.cpuMs), timePass});
  r.summary.push_back({"Resident memory of one instance", fmt("≤ %.0f MB", kStartTargetMb),
                       fmt("%.1f MiB", one.rssMb), memoryPass});
  r.summary.push_back({fmt("%d instances in one process", o.instances), "",
                       fmt("%.1f ms, %.1f MiB (%.1f MiB each)", many.wallMs, many.rssMb,
                           many.rssMb / o.instances),
                       true});
  return true;
}

bool silenceSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("silence after signal%s\n", "");
  const std::vector<float> di = synthGuitarDI(kTargetRate, o.silenceSeconds);
  mdtable table({"preset", "signal (µs/block)", "silence (µs/block)", "silence / signal",
                 fmt("≤ %.1f", kSilenceTarget)},
                {false, true, true, true, false});
  std::vector<double> ratios;
  std::vector<std::pair<double, int>> named;
  int misses = 0;
  for (int index : c.presets) {
    silencecost cost;
    if (!silenceCost(c.factory.stage, c.factory.book.chunks[size_t(index)], di, kTargetRate,
                     o.silenceCycles, cost, error))
      return false;
    const double ratio = cost.ratio();
    const bool pass = ratio <= kSilenceTarget;
    misses += pass ? 0 : 1;
    ratios.push_back(ratio);
    named.push_back({ratio, index});
    table.add({c.name(index), fmt("%.1f", cost.signalPerBlock * 1e6),
               fmt("%.1f", cost.silencePerBlock * 1e6), fmt("%.3f", ratio), verdict(pass)});
  }
  std::string& b = r.body;
  b += "## 5. Silence after signal\n\n";
  b += fmt("Every preset at 48 kHz with the factory oversampling plays %g s of the guitar DI, "
           "then %g s of digital silence (its tails and any denormal numbers decaying), in "
           "256-frame blocks through corvina.so; %d such cycles. A second instance of the preset "
           "plays the DI all along, block by block in turn with the first, and gives the signal "
           "cost of the same moments, so a neighbour loading the machine weighs on both sides "
           "of the ratio alike. The ratio is the silence blocks' CPU time over the reference's "
           "signal blocks' over the silence phases. Target: ≤ %.1f for every preset.\n\n",
           o.silenceSeconds, o.silenceSeconds, o.silenceCycles, kSilenceTarget);
  const double worst = maximum(ratios);
  b += fmt("Max ratio %.3f, median %.3f; %d of %zu presets miss. Highest: %s.\n\n", worst,
           median(ratios), misses, c.presets.size(), slowest(c, named, 3, "(%.3f)", true).c_str());
  b += table.text() + "\n";
  r.summary.push_back({"Silence after signal, CPU ratio, worst preset", fmt("≤ %.1f", kSilenceTarget),
                       fmt("%.3f (%d of %zu miss)", worst, misses, c.presets.size()), misses == 0});
  return true;
}

bool convolutionSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  std::string& b = r.body;
  b += "## 6. Convolution engine against zita-convolver\n\n";
  if (o.convolutionJson.empty()) {
    b += "Not run (no --convolution-json given; scripts/benchmarks.sh runs bench/bench_convolution "
         "and hands its output over).\n\n";
    return true;
  }
  std::string table;
  int repetitions = 1;
  double ratio = -1.0;
  if (!convolutionTable(o.convolutionJson, table, repetitions, ratio, error)) return false;
  b += "From bench/bench_convolution (Google Benchmark). Each iteration feeds one second of 48 kHz "
       "noise in runs of 64 samples (the chain feeds its cab stage a chunk at a time), through a "
       "noise impulse of the given length, into 1 or 2 slots sharing one input. The figures are process CPU "
       "milliseconds per second of audio, so 10 ms is 1 % of one core; lower is better. Our "
       "engine has no latency; zita-convolver runs with a 64-sample period (64 samples of "
       "latency) and does its larger partitions on worker threads, whose CPU time is counted. "
       "\"engine / zita\" below 1 means our engine is the cheaper one. The direct FIR is a "
       "reference for short impulses.";
  if (repetitions > 1) b += fmt(" Each figure is the median of %d runs.", repetitions);
  b += " On a loaded machine zita-convolver's figures vary more from run to run than ours "
       "(its worker threads share the cores with everything else).\n\n";
  b += table + "\n";
  if (ratio >= 0.0) {
    const bool pass = ratio <= kConvolutionTarget;
    b += fmt("Target: 16384 taps, one slot, at most %.2f of zita-convolver's cost in the same run. "
             "Measured: **%.2f** — %s.\n\n",
             kConvolutionTarget, ratio, verdict(pass).c_str());
    r.summary.push_back({"Convolution, 16384 taps, engine / zita-convolver",
                         fmt("≤ %.2f", kConvolutionTarget), fmt("%.2f", ratio), pass});
  }
  return true;
}

bool chainPathsSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("block path and per-sample chain of %s\n", c.name(c.headline));
  chainpathfactors f;
  if (!measureChainPaths(c.factory.stage.folder(), c.name(c.headline), kTargetRate,
                         synthGuitarDI(kTargetRate, o.seconds), o.repeats, f, error))
    return false;
  const double ratio = f.perSample > 0.0 ? f.block / f.perSample : 0.0;
  const bool pass = ratio >= kPathRatioTarget;
  mdtable table({"path", "real-time factor", "share of one core"}, {false, true, true});
  table.add({"per sample (reference)", fmt("%.1f×", f.perSample), fmt("%.2f %%", 100.0 / f.perSample)});
  table.add({"block", fmt("%.1f×", f.block), fmt("%.2f %%", 100.0 / f.block)});
  std::string& b = r.body;
  b += "## 7. Block path against the per-sample chain\n\n";
  b += fmt("\"%s\" at 48 kHz with the factory oversampling, in this process: an engine built "
           "as the plug-in builds it (factory document and impulses from the resources), %g s "
           "of the guitar DI in 256-frame host blocks under the denormal guard, once through "
           "the chain's block path (what processReplacing runs) and once through its per-sample "
           "reference (every unit called per sample, each range's anti-alias filters once "
           "per host sample, kept to check the block path against, bit for bit), each from "
           "the same running state. Best of %d runs, the two paths in turn. The plug-in itself "
           "offers no way to the per-sample path.\n\n",
           c.name(c.headline).c_str(), o.seconds, o.repeats);
  b += table.text() + "\n";
  b += fmt("Target: the block path ≥ %.1f× the per-sample chain's real-time factor. "
           "Measured: **%.2f×** — %s.\n\n",
           kPathRatioTarget, ratio, verdict(pass).c_str());
  r.summary.push_back({"Block path / per-sample chain, \"" + c.name(c.headline) + "\", 48 kHz",
                       fmt("≥ %.1f×", kPathRatioTarget),
                       fmt("%.2f× (%.1f× / %.1f×)", ratio, f.block, f.perSample), pass});
  return true;
}

bool editorOpenSection(perfcontext& c, perfreport& r, std::string& error) {
  const perfoptions& o = c.options;
  progress("audio with the editor closed and open, %s\n", c.name(c.headline));
  editoropenfactors f;
  if (!measureEditorOpen(c.name(c.headline), kTargetRate, synthGuitarDI(kTargetRate, o.seconds), o.repeats, f,
                         error))
    return false;
  const double ratio = f.closed > 0.0 ? f.open / f.closed : 0.0;
  const bool pass = ratio >= kEditorOpenTarget;
  mdtable table({"editor", "real-time factor of the audio thread", "share of one core"}, {false, true, true});
  table.add({"closed", fmt("%.1f×", f.closed), fmt("%.2f %%", 100.0 / f.closed)});
  table.add({"open, idled 25 times a second", fmt("%.1f×", f.open), fmt("%.2f %%", 100.0 / f.open)});
  std::string& b = r.body;
  b += "## 8. Audio with the editor open\n\n";
  b += fmt("\"%s\" at 48 kHz, in this process: the plug-in with its editor (the editor's own instance "
           "type, headless), the %g s guitar DI over and over for 2 s of wall time through processReplacing in 256-frame host blocks on "
           "one thread, once with the editor closed and once with it open while a second thread, as a "
           "host's UI thread, idles it every 40 ms (meters following the audio). CPU time of the audio "
           "thread only. Best of %d runs, closed and open in turn. The idling thread used %.3f %% of a "
           "core meanwhile.\n\n",
           c.name(c.headline).c_str(), o.seconds, o.repeats, 100.0 * f.uiShare);
  b += table.text() + "\n";
  b += fmt("Target: the audio thread's real-time factor with the editor open ≥ %.2f of the closed one's. "
           "Measured: **%.3f** — %s.\n\n",
           kEditorOpenTarget, ratio, verdict(pass).c_str());
  r.summary.push_back({"Audio with the editor open / closed, \"" + c.name(c.headline) + "\", 48 kHz",
                       fmt("≥ %.2f", kEditorOpenTarget), fmt("%.3f (%.1f× / %.1f×)", ratio, f.open, f.closed),
                       pass});
  return true;
}
