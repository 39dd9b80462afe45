// Numbers given on a command line, read whole and checked against their range.
#pragma once
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

// False unless all of `text` is an integer within low..high.
inline bool parseIntOption(const std::string& text, int low, int high, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < low || v > high) return false;
  out = int(v);
  return true;
}

// False unless all of `text` is a finite number within low..high.
inline bool parseNumberOption(const std::string& text, double low, double high, double& out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v) || v < low || v > high) return false;
  out = v;
  return true;
}
