#include "toolkit/utf8.hpp"

#include <algorithm>

namespace {
// Length of the valid UTF-8 sequence at `pos`, or 0 when the byte there does not
// start one (overlong forms and surrogates are invalid).
size_t validSequenceLength(const std::string& s, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) return 1;
  size_t n = 0;
  char32_t c = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) { n = 2; c = b0 & 0x1F; }
  else if (b0 >= 0xE0 && b0 <= 0xEF) { n = 3; c = b0 & 0x0F; }
  else if (b0 >= 0xF0 && b0 <= 0xF4) { n = 4; c = b0 & 0x07; }
  else return 0;
  if (pos + n > s.size()) return 0;
  for (size_t i = 1; i < n; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
    return 0;
  return n;
}
}  // namespace

std::string displayableUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t n = validSequenceLength(bytes, pos);
    if (n > 0) {
      out.append(bytes, pos, n);
      pos += n;
    } else {
      appendUtf8(out, static_cast<unsigned char>(bytes[pos]));
      ++pos;
    }
  }
  return out;
}

size_t nextCharBoundary(const std::string& bytes, size_t pos) {
  if (pos >= bytes.size()) return bytes.size();
  const size_t n = validSequenceLength(bytes, pos);
  return pos + (n > 0 ? n : 1);
}

size_t prevCharBoundary(const std::string& bytes, size_t pos) {
  if (pos == 0) return 0;
  pos = std::min(pos, bytes.size());
  // The longest valid sequence (up to 4 bytes) that ends exactly at `pos`.
  for (size_t n = 4; n >= 2; --n)
    if (pos >= n && validSequenceLength(bytes, pos - n) == n) return pos - n;
  return pos - 1;
}

char32_t codePointAt(const std::string& bytes, size_t pos) {
  if (pos >= bytes.size()) return 0;
  const size_t n = validSequenceLength(bytes, pos);
  const auto b0 = static_cast<unsigned char>(bytes[pos]);
  if (n <= 1) return b0;
  char32_t c = b0 & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) c = (c << 6) | (static_cast<unsigned char>(bytes[pos + i]) & 0x3F);
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c <= 0xDFFF) return;
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c <= 0x10FFFF) {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}
