#include "tools/host/cmdline.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

bool parseIntOption(const std::string& text, int low, int high, int& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < low || v > high) return false;
  out = int(v);
  return true;
}

bool parseNumberOption(const std::string& text, double low, double high, double& out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v) || v < low || v > high) return false;
  out = v;
  return true;
}

bool cmdline::next() {
  if (++at_ >= argc_) return false;
  arg_ = argv_[at_];
  return true;
}

bool cmdline::value(std::string& out) {
  if (at_ + 1 >= argc_) return false;
  out = argv_[++at_];
  return true;
}

bool cmdline::integer(int low, int high, int& out) {
  std::string v;
  return value(v) && parseIntOption(v, low, high, out);
}

bool cmdline::number(double low, double high, double& out) {
  std::string v;
  return value(v) && parseNumberOption(v, low, high, out);
}

int cmdline::fail(const std::string& message) const {
  std::fprintf(stderr, "%s: %s\n%s", tool_, message.c_str(), usage_);
  return kExitUsage;
}

void cmdline::printUsage() const { std::fputs(usage_, stdout); }

std::string executableFolder() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string() + "/";
}
