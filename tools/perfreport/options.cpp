#include "tools/perfreport/options.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

const char* const kUsage =
    "usage: corvina-perfreport [options]\n"
    "  --out FILE              the Markdown report (default: standard output)\n"
    "  --plugin PATH           corvina.so (default: the build's own)\n"
    "  --probe PATH            corvina-startprobe (default: beside this tool)\n"
    "  --sections LIST         of rtf,oversampling,switch,startup,silence,convolution,paths,editor\n"
    "                          (default: all)\n"
    "  --preset NAME           measure only this preset (default: every factory preset)\n"
    "  --rates LIST            sample rates of the real-time table (default: 44100,48000,96000)\n"
    "  --seconds S             audio per real-time factor run (default 5)\n"
    "  --repeats N             runs per real-time factor, the best kept (default 3)\n"
    "  --silence-seconds S     signal, then as much silence (default 2)\n"
    "  --silence-cycles N      signal/silence cycles (default 2)\n"
    "  --switch-repeats N      switches per predecessor and preset, median kept (default 3)\n"
    "  --predecessors N        predecessors besides the fixed one (default 3)\n"
    "  --startup-runs N        fresh processes per start-up figure, median kept (default 5)\n"
    "  --instances N           instances of the many-instances start-up (default 16)\n"
    "  --cpu N                 run on processor N only (default: wherever the system puts it)\n"
    "  --convolution-json FILE bench_convolution --benchmark_out_format=json output\n"
    "  --commit TEXT --command TEXT --build-type TEXT   for the report's header\n";

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream parts(text);
  std::string piece;
  while (std::getline(parts, piece, ','))
    if (!piece.empty()) out.push_back(piece);
  return out;
}

}  // namespace

bool perfoptions::wants(const std::string& section) const {
  return std::find(sections.begin(), sections.end(), section) != sections.end();
}

int parsePerfOptions(int argc, char** argv, perfoptions& o) {
  static const std::vector<std::string> known{"rtf",     "oversampling", "switch",
                                              "startup", "silence",      "convolution",
                                              "paths",   "editor"};
  cmdline c(argc, argv, "corvina-perfreport", kUsage);
  while (c.next()) {
    std::string v;
    if (c.asksForHelp()) {
      c.printUsage();
      std::exit(kExitOk);
    } else if (c.is("--out")) {
      if (!c.value(o.out)) return c.fail("--out needs a file");
    } else if (c.is("--plugin")) {
      if (!c.value(o.plugin)) return c.fail("--plugin needs a path");
    } else if (c.is("--probe")) {
      if (!c.value(o.probe)) return c.fail("--probe needs a path");
    } else if (c.is("--convolution-json")) {
      if (!c.value(o.convolutionJson)) return c.fail("--convolution-json needs a file");
    } else if (c.is("--commit")) {
      if (!c.value(o.commit)) return c.fail("--commit needs a text");
    } else if (c.is("--command")) {
      if (!c.value(o.command)) return c.fail("--command needs a text");
    } else if (c.is("--build-type")) {
      if (!c.value(o.buildType)) return c.fail("--build-type needs a text");
    } else if (c.is("--preset")) {
      if (!c.value(o.preset) || o.preset.empty()) return c.fail("--preset needs a name");
    } else if (c.is("--sections")) {
      if (!c.value(v)) return c.fail("--sections needs a list");
      o.sections = splitList(v);
      if (o.sections.empty()) return c.fail("--sections needs at least one section");
      for (const std::string& s : o.sections)
        if (std::find(known.begin(), known.end(), s) == known.end())
          return c.fail("unknown section " + s);
    } else if (c.is("--rates")) {
      if (!c.value(v)) return c.fail("--rates needs a list");
      o.rates.clear();
      for (const std::string& r : splitList(v)) {
        double rate = 0.0;
        if (!parseNumberOption(r, 8000.0, 384000.0, rate))
          return c.fail("--rates takes sample rates from 8000 to 384000 Hz");
        o.rates.push_back(rate);
      }
      if (o.rates.empty()) return c.fail("--rates needs at least one rate");
    } else if (c.is("--seconds")) {
      if (!c.number(0.001, 3600.0, o.seconds)) return c.fail("--seconds takes 0.001 to 3600");
    } else if (c.is("--silence-seconds")) {
      if (!c.number(0.001, 3600.0, o.silenceSeconds))
        return c.fail("--silence-seconds takes 0.001 to 3600");
    } else if (c.is("--repeats")) {
      if (!c.integer(1, 100, o.repeats)) return c.fail("--repeats takes 1 to 100");
    } else if (c.is("--silence-cycles")) {
      if (!c.integer(1, 100, o.silenceCycles)) return c.fail("--silence-cycles takes 1 to 100");
    } else if (c.is("--switch-repeats")) {
      if (!c.integer(1, 100, o.switchRepeats)) return c.fail("--switch-repeats takes 1 to 100");
    } else if (c.is("--predecessors")) {
      if (!c.integer(0, 100, o.predecessors)) return c.fail("--predecessors takes 0 to 100");
    } else if (c.is("--startup-runs")) {
      if (!c.integer(1, 100, o.startupRuns)) return c.fail("--startup-runs takes 1 to 100");
    } else if (c.is("--cpu")) {
      if (!c.integer(0, 4095, o.cpu)) return c.fail("--cpu takes a processor number");
    } else if (c.is("--instances")) {
      if (!c.integer(1, 256, o.instances)) return c.fail("--instances takes 1 to 256");
    } else {
      return c.fail("unknown argument " + c.arg());
    }
  }
  return kExitOk;
}
