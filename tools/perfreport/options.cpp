#include "tools/perfreport/options.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tools/render/numberoption.hpp"

namespace {

const char* const kUsage =
    "usage: corvina-perfreport [options]\n"
    "  --out FILE              the Markdown report (default: standard output)\n"
    "  --plugin PATH           corvina.so (default: the build's own)\n"
    "  --probe PATH            corvina-startprobe (default: beside this tool)\n"
    "  --sections LIST         of rtf,oversampling,switch,startup,silence,convolution,paths\n"
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

int usageError(const std::string& message) {
  std::fprintf(stderr, "corvina-perfreport: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

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
                                              "paths"};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    std::string v;
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    auto number = [&](double low, double high, double& out) {
      return value(v) && parseNumberOption(v, low, high, out);
    };
    auto integer = [&](int low, int high, int& out) {
      return value(v) && parseIntOption(v, low, high, out);
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(kExitOk);
    } else if (a == "--out") {
      if (!value(o.out)) return usageError("--out needs a file");
    } else if (a == "--plugin") {
      if (!value(o.plugin)) return usageError("--plugin needs a path");
    } else if (a == "--probe") {
      if (!value(o.probe)) return usageError("--probe needs a path");
    } else if (a == "--convolution-json") {
      if (!value(o.convolutionJson)) return usageError("--convolution-json needs a file");
    } else if (a == "--commit") {
      if (!value(o.commit)) return usageError("--commit needs a text");
    } else if (a == "--command") {
      if (!value(o.command)) return usageError("--command needs a text");
    } else if (a == "--build-type") {
      if (!value(o.buildType)) return usageError("--build-type needs a text");
    } else if (a == "--preset") {
      if (!value(o.preset) || o.preset.empty()) return usageError("--preset needs a name");
    } else if (a == "--sections") {
      if (!value(v)) return usageError("--sections needs a list");
      o.sections = splitList(v);
      if (o.sections.empty()) return usageError("--sections needs at least one section");
      for (const std::string& s : o.sections)
        if (std::find(known.begin(), known.end(), s) == known.end())
          return usageError("unknown section " + s);
    } else if (a == "--rates") {
      if (!value(v)) return usageError("--rates needs a list");
      o.rates.clear();
      for (const std::string& r : splitList(v)) {
        double rate = 0.0;
        if (!parseNumberOption(r, 8000.0, 384000.0, rate))
          return usageError("--rates takes sample rates from 8000 to 384000 Hz");
        o.rates.push_back(rate);
      }
      if (o.rates.empty()) return usageError("--rates needs at least one rate");
    } else if (a == "--seconds") {
      if (!number(0.001, 3600.0, o.seconds)) return usageError("--seconds takes 0.001 to 3600");
    } else if (a == "--silence-seconds") {
      if (!number(0.001, 3600.0, o.silenceSeconds))
        return usageError("--silence-seconds takes 0.001 to 3600");
    } else if (a == "--repeats") {
      if (!integer(1, 100, o.repeats)) return usageError("--repeats takes 1 to 100");
    } else if (a == "--silence-cycles") {
      if (!integer(1, 100, o.silenceCycles)) return usageError("--silence-cycles takes 1 to 100");
    } else if (a == "--switch-repeats") {
      if (!integer(1, 100, o.switchRepeats)) return usageError("--switch-repeats takes 1 to 100");
    } else if (a == "--predecessors") {
      if (!integer(0, 100, o.predecessors)) return usageError("--predecessors takes 0 to 100");
    } else if (a == "--startup-runs") {
      if (!integer(1, 100, o.startupRuns)) return usageError("--startup-runs takes 1 to 100");
    } else if (a == "--cpu") {
      if (!integer(0, 4095, o.cpu)) return usageError("--cpu takes a processor number");
    } else if (a == "--instances") {
      if (!integer(1, 256, o.instances)) return usageError("--instances takes 1 to 256");
    } else {
      return usageError("unknown argument " + a);
    }
  }
  return kExitOk;
}
