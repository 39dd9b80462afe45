// What the report says about the machine it ran on.
#pragma once
#include <string>

struct machineinfo {
  std::string cpuModel;     // "model name" of /proc/cpuinfo
  int cores = 0;            // processors the system lists
  std::string loadAverage;  // the 1, 5 and 15 minute figures of /proc/loadavg
  std::string dateUtc;      // when it was read
};

machineinfo readMachineInfo();
// The three load averages now ("?" when unreadable).
std::string readLoadAverage();
