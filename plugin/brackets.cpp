#include "plugin/brackets.hpp"

#include <algorithm>

void sanitiseBrackets(std::vector<int32_t>& brackets, int32_t n) {
  std::vector<int32_t> kept;
  int32_t lower = 0;
  for (size_t i = 0; i + 1 < brackets.size(); i += 2) {
    int32_t start = std::max(brackets[i], lower);
    int32_t end = std::max(brackets[i + 1], start);
    lower = end;
    start = std::min(start, n);
    end = std::min(end, n);
    if (start == end) continue;
    kept.push_back(start);
    kept.push_back(end);
  }
  brackets = std::move(kept);
}

std::vector<bool> bracketMembers(std::vector<int32_t> brackets, int32_t n) {
  std::vector<bool> members(static_cast<size_t>(std::max(n, 0)), false);
  sanitiseBrackets(brackets, n);
  for (size_t i = 0; i + 1 < brackets.size(); i += 2)
    for (int32_t u = std::max(brackets[i], 0); u < brackets[i + 1]; ++u) members[size_t(u)] = true;
  return members;
}

std::vector<int32_t> bracketsFromMembers(const std::vector<bool>& members) {
  std::vector<int32_t> out;
  const int32_t n = static_cast<int32_t>(members.size());
  for (int32_t u = 0; u < n; ++u) {
    if (!members[size_t(u)] || (u > 0 && members[size_t(u - 1)])) continue;
    int32_t end = u;
    while (end < n && members[size_t(end)]) ++end;
    out.push_back(u);
    out.push_back(end);
  }
  return out;
}

namespace {
bool inRun(int32_t r, int32_t n) { return r >= 0 && r < n; }
}  // namespace

void toggleBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r) {
  if (!inRun(r, n)) return;
  std::vector<bool> m = bracketMembers(brackets, n);
  m[size_t(r)] = !m[size_t(r)];
  brackets = bracketsFromMembers(m);
}

void removeBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r) {
  if (!inRun(r, n)) return;
  std::vector<bool> m = bracketMembers(brackets, n);
  m.erase(m.begin() + r);
  brackets = bracketsFromMembers(m);
}

void insertBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r) {
  if (r < 0 || r > n) return;
  std::vector<bool> m = bracketMembers(brackets, n);
  const bool inside = r > 0 && r < n && m[size_t(r - 1)] && m[size_t(r)];
  m.insert(m.begin() + r, inside);
  brackets = bracketsFromMembers(m);
}

void moveBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t from, int32_t to) {
  if (!inRun(from, n) || !inRun(to, n)) return;
  std::vector<bool> m = bracketMembers(brackets, n);
  const bool flag = m[size_t(from)];
  m.erase(m.begin() + from);
  m.insert(m.begin() + to, flag);
  brackets = bracketsFromMembers(m);
}
