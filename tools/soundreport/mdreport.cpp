#include "tools/soundreport/mdreport.hpp"

#include <algorithm>

#include "tools/perfreport/mdtable.hpp"

namespace {
std::string db(double v) { return fmt("%.1f", v); }

std::string names(const std::vector<const srfigures*>& list) {
  std::string s;
  for (const srfigures* f : list) s += (s.empty() ? "" : ", ") + ("\"" + f->name + "\"");
  return s.empty() ? "none" : s;
}

std::string strongestLine(const std::vector<srline>& lines) {
  return lines.empty() ? "" : fmt("%.0f Hz at %.1f dB", lines[0].freq_hz, lines[0].level_db);
}

std::vector<const srfigures*> sortedBy(const std::vector<srfigures>& all, double srfigures::*key, bool descending) {
  std::vector<const srfigures*> v;
  for (const srfigures& f : all) v.push_back(&f);
  std::stable_sort(v.begin(), v.end(), [&](const srfigures* a, const srfigures* b) {
    return descending ? a->*key > b->*key : a->*key < b->*key;
  });
  return v;
}

std::string summary(const std::vector<srfigures>& all, const srverdict& v) {
  mdtable t({"measurement", "target", "result", ""});
  const size_t n = all.size();
  t.add({"\"Layered OD\", aliasing of the 3520 Hz tone", fmt("≤ %.0f dB", kTargetLayered3520_db),
         v.layered ? db(v.layered->alias3520_db) + " dB" : "not found", verdict(v.layeredPasses())});
  t.add({"every preset, aliasing of the 3520 Hz tone", fmt("≤ %.0f dB", kTarget3520_db),
         fmt("%zu of %zu miss", v.miss3520.size(), n), v.miss3520.empty() ? "pass" : "see below"});
  t.add({"every preset, aliasing of the 997 Hz tone", fmt("≤ %.0f dB", kTarget997_db),
         fmt("%zu of %zu miss", v.miss997.size(), n), v.miss997.empty() ? "pass" : "see below"});
  t.add({"misses without a known reason", "none", fmt("%zu", v.unexplained.size()), verdict(v.unexplained.empty())});
  t.add({"RMS of the guitar riff against the median of all presets", fmt("within ±%.0f dB", kLevelSpread_db),
         fmt("%+.1f to %+.1f dB (median %.1f dBFS)", v.lowestRms_db, v.highestRms_db, v.medianRms_db),
         verdict(v.levelOutliers.empty())});
  std::string order;
  for (const std::string& c : kDistortionOrder) {
    auto it = v.medianDistortion.find(c);
    order += (order.empty() ? "" : " < ") + fmt("%.1f %%", it == v.medianDistortion.end() ? 0.0 : 100 * it->second);
  }
  t.add({"median distortion by category", "Clean < Mellow < Aggressive < Extreme", order, verdict(v.orderKept)});
  t.add({"every preset loads and plays finite audio", "all", fmt("%zu of %zu fail", v.faults.size(), n),
         verdict(v.faults.empty())});
  return t.text();
}

std::string misses(const srverdict& v) {
  std::vector<const srfigures*> list = v.miss3520;
  for (const srfigures* f : v.miss997)
    if (std::find(list.begin(), list.end(), f) == list.end()) list.push_back(f);
  if (list.empty()) return "Every preset meets both aliasing targets.\n";
  std::sort(list.begin(), list.end(), [](const srfigures* a, const srfigures* b) { return a->name < b->name; });
  mdtable t({"preset", "category", "997 Hz", "3520 Hz", fmt("after %.0f s", kSettledRenderSeconds),
             "non-harmonic part at 3520 Hz", "why"},
            {false, false, true, true, true, true, false});
  std::vector<const srcause*> causes;
  for (const srfigures* f : list) {
    const srcause* why = missReason(f->name);
    if (why && std::find(causes.begin(), causes.end(), why) == causes.end()) causes.push_back(why);
    t.add({f->name, f->category, db(f->alias997_db), db(f->alias3520_db),
           db(f->settled997_db) + " / " + db(f->settled3520_db), fmt("%.1f dBFS", f->output3520_db + f->alias3520_db),
           why ? why->title : "**no reason recorded**"});
  }
  std::string s = t.text() + "\n";
  for (const srcause* c : causes) s += "- **" + std::string(c->title) + "**: " + c->explanation + "\n";
  return s;
}

std::string aliasingTable(const std::vector<srfigures>& all) {
  mdtable t({"#", "preset", "category", "3520 Hz", "997 Hz", "strongest line at 3520 Hz", "options", "factor"},
            {true, false, false, true, true, false, false, true});
  int rank = 0;
  for (const srfigures* f : sortedBy(all, &srfigures::alias3520_db, true)) {
    const auto mark = [](double value, double target) { return value > target ? "**" + db(value) + "**" : db(value); };
    t.add({std::to_string(++rank), f->name, f->category, mark(f->alias3520_db, kTarget3520_db),
           mark(f->alias997_db, kTarget997_db), strongestLine(f->lines3520), f->options.empty() ? "–" : f->options,
           std::to_string(f->factor)});
  }
  return t.text();
}

std::string levelTable(const std::vector<srfigures>& all, const srverdict& v) {
  mdtable t({"preset", "category", "RMS", "from median", "peak", "distortion (THD+N)"},
            {false, false, true, true, true, true});
  for (const srfigures* f : sortedBy(all, &srfigures::rms_db, true))
    t.add({f->name, f->category, fmt("%.1f dBFS", f->rms_db), fmt("%+.1f dB", f->rms_db - v.medianRms_db),
           fmt("%.1f dBFS", f->peak_db), fmt("%.1f %%", 100 * f->distortion)});
  return t.text();
}

std::string distortionTable(const srverdict& v) {
  mdtable t({"category", "median distortion (THD+N)"}, {false, true});
  for (const auto& [category, d] : v.medianDistortion) t.add({category, fmt("%.1f %%", 100 * d)});
  return t.text();
}
}  // namespace

std::string soundReportText(const std::vector<srfigures>& all, const srverdict& v, const srrunfacts& run) {
  std::string s;
  s += "# Corvina sound report\n\n";
  s += "Written by tools/soundreport (`corvina-soundreport`, run by `bash scripts/sound-report.sh`); do not edit "
       "by hand. Every factory preset (the user-visible ones and the \"Amp Starters\" made from the amplifier "
       "definitions) is loaded into the plug-in's own engine with the factory document, the factory impulses and "
       "the factory global settings, as if picked in the preset box, and played the test signals below on the "
       "left input.\n\n";
  mdtable facts({"", ""});
  facts.add({"Date", run.date});
  facts.add({"Commit", run.commit});
  facts.add({"Command", "`" + run.command + "`"});
  facts.add({"Build", run.build});
  facts.add({"Sample rate", fmt("%.0f Hz", run.rate)});
  facts.add({"Oversampling setting", fmt("%d (factory)", run.factorSetting)});
  s += facts.text() + "\n";
  s += "## Summary\n\n" + summary(all, v) + "\n";
  s += "## How it is measured\n\n"
       "- **Aliasing**: a steady sine at −6 dBFS, computed in double precision, 4 s long; of the last 2 s of the "
       "left output, after a four-term Blackman–Harris window, the energy more than 8 Hz away from every harmonic "
       "of the sine and above 20 Hz, relative to all output energy. Folded harmonics count, and so does whatever "
       "else is not a harmonic: intermodulation with folded lines, echoes still building up, level pumping.\n"
       "- **Level and peak**: RMS and peak of the left output for the first 2 s of the synthesized guitar DI riff "
       "(the demo riff's signal, peaks near 0.5).\n"
       "- **Distortion**: THD+N of a 220 Hz sine at −12 dBFS over the second half of 1 s: the RMS left after the "
       "best fit of the sine, relative to the fit. An octave-up fuzz removes its fundamental and reads huge.\n"
       "- **Options**: the preset's anti-aliasing options (preset members that older readers skip, all off when "
       "absent): `stopband` puts the anti-alias filters' stopband, not their passband, at the host's Nyquist "
       "frequency; `order=N` makes them of order N (8 by default: stopband 73 dB down; 10: 97 dB); `antiderivative` runs every tube and clipping stage's static curve with first-order "
       "antiderivative anti-aliasing (a one-sample box filter before the curve is sampled), `antiderivative=2` "
       "with second-order (a two-sample triangle); `stagelowpass` band-limits every such stage at 30 kHz behind it while it "
       "runs oversampled; `factor N` runs the oversampled ranges at N times the rate at least, while "
       "oversampling is on. **Factor** is the factor the ranges ran at.\n\n";
  s += "## Presets that miss an aliasing target, and why\n\n"
       "Each is rendered once more for " + fmt("%.0f", kSettledRenderSeconds) + " s (997 Hz / 3520 Hz figures of its last 2 s), and "
       "the level of its non-harmonic part at 3520 Hz is given in dBFS.\n\n" + misses(v) + "\n";
  if (!v.levelOutliers.empty()) s += "Levels beyond the spread: " + names(v.levelOutliers) + ".\n\n";
  if (!v.faults.empty()) s += "Presets that fail to load or play non-finite audio: " + names(v.faults) + ".\n\n";
  s += "## Aliasing of every preset\n\nWorst first, by the 3520 Hz tone; misses in bold.\n\n";
  if (!run.plot.empty()) s += "![Aliasing per preset](" + run.plot + ")\n\n";
  s += aliasingTable(all) + "\n";
  s += "## Level, peak and distortion of every preset\n\nLoudest first.\n\n" + levelTable(all, v) + "\n";
  s += "## Distortion by category\n\n" + distortionTable(v);
  return s;
}
