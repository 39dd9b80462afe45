// corvina-perfreport: measures Corvina against its performance targets and
// writes the figures as a Markdown report (docs/benchmarks.md through
// scripts/benchmarks.sh). See --help for the options; section 6 formats the
// output of bench/bench_convolution handed over with --convolution-json.
#include <sched.h>

#include <cstdio>
#include <string>

#include "platform/files.hpp"
#include "tools/host/cputime.hpp"
#include "tools/perfreport/machine.hpp"
#include "tools/perfreport/mdtable.hpp"
#include "tools/perfreport/options.hpp"
#include "tools/perfreport/sections.hpp"

namespace {

std::string header(const perfoptions& o, const machineinfo& m, const std::string& loadAtEnd,
                   double minutes) {
  std::string h = "# Corvina performance report\n\n";
  h += "Written by tools/perfreport (`corvina-perfreport`); do not edit by hand. Targets are the "
       "project's; times are CPU time of one thread (the plug-in processes on the host's "
       "thread and starts none of its own) unless a column says wall time.\n\n";
  mdtable t({"", ""});
  t.add({"Date", m.dateUtc});
  t.add({"Commit", o.commit.empty() ? "unknown" : o.commit});
  t.add({"Command", o.command.empty() ? "`corvina-perfreport`" : "`" + o.command + "`"});
  if (!o.buildType.empty()) t.add({"Build", o.buildType});
  t.add({"CPU", m.cpuModel});
  t.add({"Cores", std::to_string(m.cores)});
  t.add({"Pinned to processor",
         o.cpu >= 0 ? std::to_string(o.cpu) : "no (single-threaded; CPU times)"});
  t.add({"Load average (1, 5, 15 min) at the start", m.loadAverage});
  t.add({"Load average at the end", loadAtEnd});
  t.add({"Measuring time", fmt("%.1f min", minutes)});
  h += t.text() + "\n";
  h += "The machine may be shared: a load average near or above the core count means other "
       "processes competed for the cores, which raises CPU times too (shared caches, memory "
       "bandwidth) though less than wall times.\n\n";
  return h;
}

std::string summaryTable(const perfreport& r) {
  mdtable t({"measurement", "target", "result", ""});
  for (const summaryrow& s : r.summary)
    t.add({s.measure, s.target.empty() ? "–" : s.target, s.result,
           s.target.empty() ? "" : verdict(s.pass)});
  return "## Summary\n\n" + t.text() + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  perfoptions o;
  if (int rc = parsePerfOptions(argc, argv, o)) return rc;
  if (o.cpu >= 0) {
    // Inherited by the poster thread and the start-up probes.
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(o.cpu, &set);
    if (::sched_setaffinity(0, sizeof set, &set) != 0) {
      std::fprintf(stderr, "corvina-perfreport: cannot run on processor %d\n", o.cpu);
      return kExitFailed;
    }
  }
  const machineinfo machine = readMachineInfo();
  const double started = wallSeconds();

  perfcontext c(o);
#ifdef CORVINA_PLUGIN_BUILD_PATH
  c.plugin = o.plugin.empty() ? std::string(CORVINA_PLUGIN_BUILD_PATH) : o.plugin;
#else
  c.plugin = o.plugin;
#endif
  c.probe = o.probe.empty() ? executableFolder() + "corvina-startprobe" : o.probe;
  std::string error;
  if (!c.factory.create(c.plugin, 0, error)) {
    std::fprintf(stderr, "corvina-perfreport: %s\n", error.c_str());
    return kExitFailed;
  }
  const presetbook& book = c.factory.book;
  if (book.names.empty()) {
    std::fprintf(stderr, "corvina-perfreport: the plug-in's documents hold no presets\n");
    return kExitFailed;
  }
  c.factoryOversampling = factoryOversamplingFactor(c.factory.stage.folder());
  const std::string headline = o.preset.empty() ? std::string(kStartPreset) : o.preset;
  c.headline = book.find(headline);
  if (c.headline < 0) {
    std::fprintf(stderr, "corvina-perfreport: no preset named \"%s\"\n", headline.c_str());
    return kExitFailed;
  }
  if (o.preset.empty())
    for (size_t i = 0; i < book.names.size(); ++i) c.presets.push_back(int(i));
  else
    c.presets.push_back(c.headline);

  perfreport report;
  const struct {
    const char* name;
    bool (*run)(perfcontext&, perfreport&, std::string&);
  } sections[] = {{"rtf", realTimeSection},     {"oversampling", oversamplingSection},
                  {"switch", switchSection},    {"startup", startupSection},
                  {"silence", silenceSection},  {"convolution", convolutionSection},
                  {"paths", chainPathsSection}, {"editor", editorOpenSection}};
  for (const auto& s : sections) {
    if (!o.wants(s.name)) continue;
    if (!s.run(c, report, error)) {
      std::fprintf(stderr, "corvina-perfreport: %s: %s\n", s.name, error.c_str());
      return kExitFailed;
    }
  }

  const std::string text = header(o, machine, readLoadAverage(), (wallSeconds() - started) / 60.0) +
                           summaryTable(report) + report.body;
  if (o.out.empty()) {
    std::fputs(text.c_str(), stdout);
  } else if (!writeFileAtomic(o.out, text)) {
    std::fprintf(stderr, "corvina-perfreport: cannot write %s\n", o.out.c_str());
    return kExitFailed;
  }
  return kExitOk;
}
