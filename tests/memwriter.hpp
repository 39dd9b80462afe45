// In-memory document writer for tests: records the writer calls as a compact
// JSON-like text, so a test can compare what a unit wrote with what it expects.
#pragma once
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data/qvdocwriter.hpp"

class MemWriter : public qvdocwriter {
public:
  std::string text;

  bool openObject(const char* name) override { open(name, '{'); return true; }
  bool openArray(const char* name) override { open(name, '['); return true; }
  void addInt(const char* name, int32_t v) override { key(name); text += std::to_string(v); }
  void addNumber(const char* name, float v) override {
    key(name);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", std::isfinite(v) ? static_cast<double>(v) : 0.0);
    text += buf;
  }
  void addBool(const char* name, bool v) override { key(name); text += v ? "true" : "false"; }
  void addString(const char* name, const qvstring& v) override { key(name); text += '"' + v + '"'; }
  void close() override {
    text += closers_.back();
    closers_.pop_back();
    first_ = false;
  }

private:
  void key(const char* name) {
    if (!first_) text += ',';
    first_ = false;
    if (name) text += std::string("\"") + name + "\":";
  }
  void open(const char* name, char c) {
    key(name);
    text += c;
    closers_.push_back(c == '{' ? '}' : ']');
    first_ = true;
  }
  std::vector<char> closers_;
  bool first_ = true;
};
