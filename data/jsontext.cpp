#include "data/jsontext.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// ---- reading ---------------------------------------------------------------

struct prepared {
  std::string text;                  // what the parser sees: ASCII, strings as "<index>"
  std::vector<std::string> strings;  // decoded bytes of every string literal, by index
};

int hexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Four hex digits at text[at], or -1.
int32_t readHex4(std::string_view text, size_t at) {
  if (at + 4 > text.size()) return -1;
  int32_t v = 0;
  for (size_t k = 0; k < 4; ++k) {
    const int d = hexDigit(static_cast<unsigned char>(text[at + k]));
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

// Decodes the string literal whose opening quote is text[i] into bytes. Returns the
// index after the closing quote, or npos for an unknown escape, a lone surrogate
// or a literal the text ends inside.
size_t decodeLiteral(std::string_view text, size_t i, std::string& bytes) {
  const size_t n = text.size();
  for (++i; i < n; ++i) {
    const char c = text[i];
    if (c == '"') return i + 1;
    if (c != '\\') {
      bytes += c;  // any other byte is taken verbatim
      continue;
    }
    if (++i >= n) return std::string_view::npos;
    switch (text[i]) {
      case '"': bytes += '"'; break;
      case '\\': bytes += '\\'; break;
      case '/': bytes += '/'; break;
      case 'b': bytes += '\b'; break;
      case 'f': bytes += '\f'; break;
      case 'n': bytes += '\n'; break;
      case 'r': bytes += '\r'; break;
      case 't': bytes += '\t'; break;
      case 'u': {
        int32_t cp = readHex4(text, i + 1);
        if (cp < 0) return std::string_view::npos;
        i += 4;
        if (cp <= 0xFF) {
          bytes += static_cast<char>(cp);  // our own writer's \u00XX: one byte
          break;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) return std::string_view::npos;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
          if (i + 2 >= n || text[i + 1] != '\\' || text[i + 2] != 'u') return std::string_view::npos;
          const int32_t low = readHex4(text, i + 3);
          if (low < 0xDC00 || low > 0xDFFF) return std::string_view::npos;
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          i += 6;
        }
        appendUtf8(bytes, static_cast<uint32_t>(cp));
        break;
      }
      default: return std::string_view::npos;
    }
  }
  return std::string_view::npos;
}

size_t lineEnd(std::string_view text, size_t i) {
  const size_t e = text.find_first_of("\n\r", i);
  return e == std::string_view::npos ? text.size() : e;
}

// The reading rules applied before the JSON grammar; false when a string literal
// cannot be decoded (the parse would fail on it anyway).
bool prepass(std::string_view text, prepared& p) {
  p.text.reserve(text.size());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      ++i;
    } else if (c == '#') {
      i = lineEnd(text, i);
    } else if (c == '/') {
      if (i + 1 < n && text[i + 1] == '/') {
        i = lineEnd(text, i);
      } else if (i + 1 < n && text[i + 1] == '*') {
        const size_t e = text.find("*/", i + 2);
        i = e == std::string_view::npos ? n : e + 2;
      } else {
        break;  // a stray slash ends the text
      }
    } else if (c < 32 || c > 126) {
      break;  // so does a stray byte
    } else if (c == '"') {
      std::string bytes;
      const size_t next = decodeLiteral(text, i, bytes);
      if (next == std::string_view::npos) return false;
      p.text += '"';
      p.text += std::to_string(p.strings.size());
      p.text += '"';
      p.strings.push_back(std::move(bytes));
      i = next;
    } else {
      p.text += static_cast<char>(c);
      ++i;
    }
  }
  return true;
}

// Builds the tree from the parser's events: numbers become doubles, string
// stand-ins take back their decoded bytes, nesting is bounded. An object's
// members are gathered in a frame of their own and moved into the object when
// it closes: growing the object in place would copy every member already in
// it, whole subtrees included, each time its storage grows (its keys are
// const, so the library cannot move them), which made big documents slow.
class treebuilder final : public nlohmann::json_sax<qvjsonnode> {
public:
  treebuilder(qvjsonnode& root, std::vector<std::string>& strings) : root_(root), strings_(strings) {}

  bool null() override { return place(qvjsonnode(nullptr)) != nullptr; }
  bool boolean(bool v) override { return place(qvjsonnode(v)) != nullptr; }
  bool number_integer(number_integer_t v) override { return number(static_cast<double>(v)); }
  bool number_unsigned(number_unsigned_t v) override { return number(static_cast<double>(v)); }
  bool number_float(number_float_t v, const string_t&) override { return number(v); }
  bool string(string_t& v) override {
    std::string* bytes = take(v);
    return bytes && place(qvjsonnode(std::move(*bytes)));
  }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override { return open(qvjsonnode::object()); }
  bool start_array(std::size_t) override { return open(qvjsonnode::array()); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool key(string_t& v) override {
    std::string* bytes = take(v);
    if (!bytes || stack_.empty() || !stack_.back().node->is_object()) return false;
    frame& f = stack_.back();
    // A repeated name keeps its place; the last value wins.
    for (size_t i = 0; i < f.members.size(); ++i) {
      if (f.members[i].first == *bytes) {
        f.slot = i;
        return true;
      }
    }
    f.members.emplace_back(std::move(*bytes), qvjsonnode());
    f.slot = f.members.size() - 1;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

private:
  struct frame {
    qvjsonnode* node = nullptr;  // the open container
    std::vector<std::pair<std::string, qvjsonnode>> members;  // an object's, until it closes
    size_t slot = SIZE_MAX;      // the member a key just named, awaiting its value
  };

  bool number(double v) { return place(qvjsonnode(std::isfinite(v) ? v : 0.0)) != nullptr; }

  std::string* take(const string_t& standin) {
    size_t index = 0;
    const char* end = standin.data() + standin.size();
    const auto r = std::from_chars(standin.data(), end, index);
    if (r.ec != std::errc() || r.ptr != end || index >= strings_.size()) return nullptr;
    return &strings_[index];
  }

  // Where the value goes: the root, the end of the open array, or the member a
  // key named. The place stays put while the value is open as a container: its
  // parent grows only after the value closes.
  qvjsonnode* place(qvjsonnode&& v) {
    if (stack_.empty()) {
      root_ = std::move(v);
      return &root_;
    }
    frame& top = stack_.back();
    if (top.node->is_array()) {
      top.node->push_back(std::move(v));
      return &top.node->back();
    }
    if (top.slot >= top.members.size()) return nullptr;
    qvjsonnode& member = top.members[top.slot].second;
    member = std::move(v);
    top.slot = SIZE_MAX;
    return &member;
  }

  bool open(qvjsonnode&& container) {
    if (stack_.size() >= kDocMaxNesting) return false;
    qvjsonnode* placed = place(std::move(container));
    if (!placed) return false;
    stack_.push_back(frame{placed, {}, SIZE_MAX});
    return true;
  }

  bool close() {
    if (stack_.empty()) return false;
    frame& f = stack_.back();
    if (f.node->is_object()) {
      auto& object = f.node->get_ref<qvjsonnode::object_t&>();
      object.reserve(f.members.size());
      for (auto& m : f.members) object.emplace_back(std::move(m.first), std::move(m.second));
    }
    stack_.pop_back();
    return true;
  }

  qvjsonnode& root_;
  std::vector<std::string>& strings_;
  std::vector<frame> stack_;  // open containers, innermost last
};

// ---- writing ---------------------------------------------------------------

// Steps 1 and 2 of the number form; false when the value is not that close to
// its truncation.
bool appendIntegral(std::string& out, double v) {
  char buf[32];
  if (v > 0) {
    const uint64_t t = v >= 0x1p64 ? UINT64_MAX : static_cast<uint64_t>(v);
    if (v - static_cast<double>(t) < 0.00001) {
      out.append(buf, std::to_chars(buf, buf + sizeof buf, t).ptr);
      return true;
    }
  }
  const int64_t t = v >= 0x1p63 ? INT64_MAX : v < -0x1p63 ? INT64_MIN : static_cast<int64_t>(v);
  if (std::fabs(v - static_cast<double>(t)) < 0.00001) {
    out.append(buf, std::to_chars(buf, buf + sizeof buf, t).ptr);
    return true;
  }
  return false;
}

void writeNode(std::string& out, const qvjsonnode& n) {
  using vt = qvjsonnode::value_t;
  switch (n.type()) {
    case vt::object: {
      out += '{';
      bool first = true;
      for (auto it = n.begin(); it != n.end(); ++it) {
        if (!first) out += ',';
        first = false;
        appendJsonString(out, it.key());
        out += ':';
        writeNode(out, it.value());
      }
      out += '}';
      break;
    }
    case vt::array: {
      out += '[';
      bool first = true;
      for (const qvjsonnode& e : n) {
        if (!first) out += ',';
        first = false;
        writeNode(out, e);
      }
      out += ']';
      break;
    }
    case vt::string: appendJsonString(out, n.get_ref<const qvjsonnode::string_t&>()); break;
    case vt::boolean: out += n.get<bool>() ? "true" : "false"; break;
    case vt::number_integer:
    case vt::number_unsigned:
    case vt::number_float: appendJsonNumber(out, n.get<double>()); break;
    default: out += "null"; break;  // never written by the plug-in, kept from foreign text
  }
}

}  // namespace

bool parseJsonText(std::string_view text, qvjsonnode& out) {
  prepared p;
  if (!prepass(text, p)) return false;
  qvjsonnode tree;
  treebuilder builder(tree, p.strings);
  bool ok = false;
  try {
    ok = qvjsonnode::sax_parse(p.text.begin(), p.text.end(), &builder);
  } catch (const std::exception&) {
    ok = false;
  }
  if (!ok || !tree.is_structured()) return false;
  out = std::move(tree);
  return true;
}

int parseDocumentText(std::string_view text, qvjsonnode& out) {
  if (text.size() < kDocMinTextBytes) return kDocTooShort;
  return parseJsonText(text, out) ? kDocOk : kDocParseFailed;
}

qvstring writeJsonText(const qvjsonnode& root) {
  qvstring out;
  if (!root.is_structured()) return out;
  out.reserve(1024);
  writeNode(out, root);
  return out;
}

void appendJsonNumber(std::string& out, double v) {
  if (!std::isfinite(v)) {
    out += '0';
    return;
  }
  if (appendIntegral(out, v)) return;
  char buf[400];  // the largest double has 309 integer digits
  char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6).ptr;
  while (end[-1] == '0') --end;
  if (end[-1] == '.') --end;
  // Near the 0.00001 threshold the six-decimal text may read back just inside it;
  // write what the text reads back as, so rewriting never changes it.
  double back = 0;
  std::from_chars(buf, end, back);
  if (appendIntegral(out, back)) return;
  out.append(buf, end);
}

void appendJsonString(std::string& out, std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '"';
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '/': out += "\\/"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 32 || c > 126) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}
