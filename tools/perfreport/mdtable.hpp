// A Markdown table built row by row; every row has the header's column count, so
// the written table is always well formed.
#pragma once
#include <string>
#include <vector>

class mdtable {
public:
  explicit mdtable(std::vector<std::string> header, std::vector<bool> rightAligned = {});
  // Missing cells are written empty, extra ones are dropped.
  void add(std::vector<std::string> row);
  bool empty() const { return rows_.empty(); }
  std::string text() const;

private:
  std::vector<std::string> header_;
  std::vector<bool> right_;
  std::vector<std::vector<std::string>> rows_;
};

// printf-style formatting into a std::string.
std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "pass" or "**miss**".
inline std::string verdict(bool pass) { return pass ? "pass" : "**miss**"; }
