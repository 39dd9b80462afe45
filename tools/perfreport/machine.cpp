#include "tools/perfreport/machine.hpp"

#include <ctime>
#include <fstream>
#include <sstream>

std::string readLoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  if (!(in >> one >> five >> fifteen)) return "?";
  return one + " " + five + " " + fifteen;
}

machineinfo readMachineInfo() {
  machineinfo m;
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("processor", 0) == 0) ++m.cores;
    if (m.cpuModel.empty() && line.rfind("model name", 0) == 0) {
      const size_t colon = line.find(':');
      const size_t text = colon == std::string::npos ? colon : line.find_first_not_of(" \t", colon + 1);
      if (text != std::string::npos) m.cpuModel = line.substr(text);
    }
  }
  if (m.cpuModel.empty()) m.cpuModel = "unknown";
  m.loadAverage = readLoadAverage();
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
  m.dateUtc = text;
  return m;
}
