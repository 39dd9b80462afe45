#include "tools/perfreport/startup.hpp"

#include <cstdio>
#include <vector>

#include "tools/host/stats.hpp"

namespace {

// A path in single quotes for the shell.
std::string quoted(const std::string& path) {
  std::string out = "'";
  for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool runProbe(const std::string& command, startupfigure& out, std::string& error) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    error = "cannot start " + command;
    return false;
  }
  char line[512] = {0};
  const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
  const int status = ::pclose(pipe);
  double wall = 0.0, cpu = 0.0, dlopen = 0.0;
  long before = 0, after = 0;
  if (!got || status != 0 ||
      std::sscanf(line, "wall_ms=%lf cpu_ms=%lf dlopen_ms=%lf rss_before_kb=%ld rss_after_kb=%ld",
                  &wall, &cpu, &dlopen, &before, &after) != 5 ||
      before < 0 || after < 0) {
    error = "the start-up probe failed: " + command;
    return false;
  }
  out.wallMs = wall;
  out.cpuMs = cpu;
  out.dlopenMs = dlopen;
  out.rssMb = double(after - before) / 1024.0;
  return true;
}

}  // namespace

bool measureStartup(const std::string& probe, const std::string& plugin, int instances,
                    double rate, int runs, startupfigure& out, std::string& error) {
  const std::string command = quoted(probe) + " " + quoted(plugin) + " " +
                              std::to_string(instances) + " " + std::to_string(int(rate));
  std::vector<double> wall, cpu, dlopen, rss;
  for (int r = 0; r < std::max(1, runs); ++r) {
    startupfigure f;
    if (!runProbe(command, f, error)) return false;
    wall.push_back(f.wallMs);
    cpu.push_back(f.cpuMs);
    dlopen.push_back(f.dlopenMs);
    rss.push_back(f.rssMb);
  }
  out.wallMs = median(wall);
  out.cpuMs = median(cpu);
  out.dlopenMs = median(dlopen);
  out.rssMb = median(rss);
  return true;
}
