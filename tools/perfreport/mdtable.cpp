#include "tools/perfreport/mdtable.hpp"

#include <cstdarg>
#include <cstdio>

mdtable::mdtable(std::vector<std::string> header, std::vector<bool> rightAligned)
    : header_(std::move(header)), right_(std::move(rightAligned)) {
  right_.resize(header_.size(), false);
}

void mdtable::add(std::vector<std::string> row) {
  row.resize(header_.size());
  rows_.push_back(std::move(row));
}

namespace {
// A cell may not hold the column separator or a line break.
std::string cell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|') out += "\\|";
    else if (c == '\n' || c == '\r') out += ' ';
    else out += c;
  }
  return out;
}
}  // namespace

std::string mdtable::text() const {
  // Appended piece by piece: GCC 12 misreads `" " + cell(h) + " |"` as an
  // overlapping copy (-Wrestrict).
  auto append = [](std::string& out, const std::string& text) {
    out += ' ';
    out += cell(text);
    out += " |";
  };
  std::string out = "|";
  for (const std::string& h : header_) append(out, h);
  out += "\n|";
  for (bool r : right_) out += r ? " ---: |" : " --- |";
  out += "\n";
  for (const auto& row : rows_) {
    out += "|";
    for (const std::string& c : row) append(out, c);
    out += "\n";
  }
  return out;
}

std::string fmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(length > 0 ? size_t(length) : 0, '\0');
  if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
  va_end(again);
  return out;
}
