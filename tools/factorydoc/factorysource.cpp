#include "tools/factorydoc/factorysource.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>

#include "units/unitfactory.hpp"

namespace {

// A word of a line: bare text, or the text between double quotes (quoted), or a
// bare head directly followed by a quoted tail (Gain:"Drive").
struct Token {
  std::string text;    // the whole token with quotes removed
  bool quoted = false; // the token was a quoted string on its own
  std::string head;    // for head:"tail" tokens, the part before the quote
  std::string tail;    // and the quoted part
  bool hasTail = false;
};

struct Failure {
  std::string message;
};

// Splits a line into tokens; "#" outside quotes starts a comment.
std::vector<Token> tokenize(const std::string& line) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') { ++i; continue; }
    if (c == '#') break;
    Token t;
    if (c == '"') {
      size_t end = line.find('"', i + 1);
      if (end == std::string::npos) throw Failure{"unterminated quoted text"};
      t.text = line.substr(i + 1, end - i - 1);
      t.quoted = true;
      i = end + 1;
    } else {
      size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '"' && line[i] != '#')
        ++i;
      t.head = line.substr(start, i - start);
      t.text = t.head;
      if (i < line.size() && line[i] == '"') {
        size_t end = line.find('"', i + 1);
        if (end == std::string::npos) throw Failure{"unterminated quoted text"};
        t.tail = line.substr(i + 1, end - i - 1);
        t.hasTail = true;
        t.text += t.tail;
        i = end + 1;
      }
    }
    if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
      throw Failure{"no space after '" + t.text + "'"};
    out.push_back(std::move(t));
  }
  return out;
}

float toNumber(const std::string& s, const char* what) {
  if (s.empty()) throw Failure{std::string("missing ") + what};
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (*end != '\0' || errno != 0 || !std::isfinite(v))
    throw Failure{std::string("bad ") + what + " '" + s + "'"};
  return static_cast<float>(v);
}

int toInt(const std::string& s, const char* what) {
  float v = toNumber(s, what);
  if (v != std::floor(v) || std::fabs(v) > 1e6)
    throw Failure{std::string(what) + " must be a whole number, not '" + s + "'"};
  return static_cast<int>(v);
}

const std::string& quotedArg(const std::vector<Token>& t, size_t i, const char* what) {
  if (i >= t.size() || !t[i].quoted)
    throw Failure{std::string("expected ") + what + " in double quotes"};
  if (t[i].text.empty()) throw Failure{std::string(what) + " is empty"};
  return t[i].text;
}

void expectCount(const std::vector<Token>& t, size_t n, const char* usage) {
  if (t.size() != n) throw Failure{std::string("expected: ") + usage};
}

// Name=value, and with allowLooks also Name:show, Name:hide, Name:"Label".
fdParamEdit parseEdit(const Token& t, bool allowLooks) {
  fdParamEdit e;
  if (t.quoted) throw Failure{"expected Name=value, not a quoted text"};
  size_t eq = t.head.find('=');
  size_t colon = t.head.find(':');
  if (eq != std::string::npos && (colon == std::string::npos || eq < colon)) {
    if (t.hasTail) throw Failure{"a value is a number, not a quoted text: '" + t.text + "'"};
    e.param = t.head.substr(0, eq);
    e.value = toNumber(t.head.substr(eq + 1), "value");
  } else if (colon != std::string::npos && allowLooks) {
    e.param = t.head.substr(0, colon);
    std::string rest = t.head.substr(colon + 1);
    if (t.hasTail && rest.empty()) {
      if (t.tail.empty()) throw Failure{"empty label for '" + e.param + "'"};
      e.kind = fdParamEdit::kLabel;
      e.label = t.tail;
    } else if (!t.hasTail && rest == "show") {
      e.kind = fdParamEdit::kShow;
    } else if (!t.hasTail && rest == "hide") {
      e.kind = fdParamEdit::kHide;
    } else {
      throw Failure{"expected Name:show, Name:hide or Name:\"Label\", not '" + t.text + "'"};
    }
  } else {
    throw Failure{allowLooks ? "expected Name=value, Name:show, Name:hide or Name:\"Label\", not '" +
                                   t.text + "'"
                             : "expected Name=value, not '" + t.text + "'"};
  }
  if (e.param.empty()) throw Failure{"missing parameter name in '" + t.text + "'"};
  return e;
}

std::vector<fdParamEdit> parseEdits(const std::vector<Token>& t, size_t from, bool allowLooks) {
  std::vector<fdParamEdit> out;
  for (size_t i = from; i < t.size(); ++i) out.push_back(parseEdit(t[i], allowLooks));
  return out;
}

enum class Context { kNone, kAmp, kPedal, kPreset };

class Reader {
public:
  Reader(fdSource& src, const std::string& file) : src_(src), file_(file) {}

  void line(const std::vector<Token>& t, int lineNo) {
    where_ = {file_, lineNo};
    const std::string& kw = t[0].text;
    if (t[0].quoted) throw Failure{"a line starts with a keyword, not a quoted text"};
    if (kw == "setting") return setting(t);
    if (kw == "current") return current(t);
    if (kw == "category") return category(t, src_.categories);
    if (kw == "impcategory") return category(t, src_.impulseCategories);
    if (kw == "impulse") return impulse(t);
    if (kw == "ampdef" || kw == "pedaldef") return definition(t, kw == "ampdef");
    if (kw == "presets") return presetCategory(t);
    if (kw == "preset") return preset(t);
    if (kw == "skin" || kw == "brackets" || kw == "block") return definitionLine(t);
    if (kw == "cab") return cab(t);
    if (kw == "antialias") return antialias(t);
    if (kw == "amp" || kw == "pedal" || kw == "tweak" || kw == "nocab" || kw == "gate" ||
        kw == "vol" || kw == "invol")
      return presetLine(t);
    throw Failure{"unknown keyword '" + kw + "'"};
  }

private:
  void endBlock() { ctx_ = Context::kNone; }

  void setting(const std::vector<Token>& t) {
    endBlock();
    expectCount(t, 3, "setting <index 0..17> <position>");
    int i = toInt(t[1].text, "setting index");
    if (i < 0 || i > 17) throw Failure{"setting index must be 0..17"};
    if (src_.settings[i]) throw Failure{"setting " + std::to_string(i) + " given twice"};
    src_.settings[i] = toNumber(t[2].text, "position");
  }

  void current(const std::vector<Token>& t) {
    endBlock();
    expectCount(t, 3, "current \"<preset name>\" <category index>");
    src_.currentPreset = quotedArg(t, 1, "preset name");
    src_.currentCategory = toInt(t[2].text, "category index");
  }

  void category(const std::vector<Token>& t, std::vector<fdCategory>& list) {
    endBlock();
    expectCount(t, 3, "category|impcategory <id> \"<name>\"");
    list.push_back({toInt(t[1].text, "id"), quotedArg(t, 2, "name")});
  }

  void impulse(const std::vector<Token>& t) {
    endBlock();
    expectCount(t, 4, "impulse <uid> <category id> \"<name>\"");
    src_.impulses.push_back({toInt(t[1].text, "uid"), toInt(t[2].text, "category id"),
                             quotedArg(t, 3, "name")});
  }

  void definition(const std::vector<Token>& t, bool amp) {
    expectCount(t, 2, amp ? "ampdef \"<name>\"" : "pedaldef \"<name>\"");
    auto& list = amp ? src_.amps : src_.pedals;
    list.push_back({});
    def_ = &list.back();
    def_->name = quotedArg(t, 1, "definition name");
    def_->where = where_;
    ctx_ = amp ? Context::kAmp : Context::kPedal;
  }

  void definitionLine(const std::vector<Token>& t) {
    if (ctx_ != Context::kAmp && ctx_ != Context::kPedal)
      throw Failure{"'" + t[0].text + "' belongs inside an ampdef or pedaldef"};
    const std::string& kw = t[0].text;
    if (kw == "skin") {
      expectCount(t, 4, "skin <bgimg> <logoimg or -1> <knobprof>");
      def_->bgimg = toInt(t[1].text, "bgimg");
      def_->logoimg = toInt(t[2].text, "logoimg");
      def_->knobprof = toInt(t[3].text, "knobprof");
      if (def_->bgimg < 0 || def_->bgimg > 24) throw Failure{"bgimg must be 0..24"};
      if (def_->logoimg < -1 || def_->logoimg > 25) throw Failure{"logoimg must be -1..25"};
      if (def_->knobprof < 1 || def_->knobprof > 13) throw Failure{"knobprof must be 1..13"};
    } else if (kw == "brackets") {
      if (t.size() % 2 != 1) throw Failure{"brackets come in pairs: brackets <first> <after>"};
      def_->brackets.clear();
      for (size_t i = 1; i < t.size(); ++i) def_->brackets.push_back(toInt(t[i].text, "bracket"));
    } else {
      if (t.size() < 2) throw Failure{"expected: block <type> [edits]"};
      fdBlock b;
      b.sblock = blockTypeByName(t[1].text);
      if (b.sblock < 0) throw Failure{"unknown block type '" + t[1].text + "'"};
      b.edits = parseEdits(t, 2, true);
      b.where = where_;
      def_->blocks.push_back(std::move(b));
    }
  }

  void cab(const std::vector<Token>& t) {
    fdCab c;
    c.impulse = quotedArg(t, 1, "impulse name");
    c.edits = parseEdits(t, 2, false);
    c.where = where_;
    if (ctx_ == Context::kAmp) {
      def_->cabs.push_back(std::move(c));
    } else if (ctx_ == Context::kPreset) {
      if (preset_->cabsGiven && preset_->cabs.empty()) throw Failure{"'cab' after 'nocab'"};
      preset_->cabsGiven = true;
      preset_->cabs.push_back(std::move(c));
    } else {
      throw Failure{"'cab' belongs inside an ampdef or a preset (pedals have no cab)"};
    }
  }

  // antialias [stopband] [order=N] [antiderivative[=2]] [stagelowpass] [factor=N] | antialias off
  void antialias(const std::vector<Token>& t) {
    qvaliasoptions o;
    if (t.size() == 2 && t[1].text == "off") {
      // nothing on: a preset's way to drop its amplifier's options
    } else {
      if (t.size() < 2)
        throw Failure{"expected: antialias [stopband] [order=N] [antiderivative[=2]] [stagelowpass] [factor=N]"
                      " or antialias off"};
      for (size_t i = 1; i < t.size(); ++i) {
        const std::string& w = t[i].text;
        if (t[i].quoted) throw Failure{"antialias takes bare words"};
        if (w == "stopband") o.stopband = true;
        else if (w == "antiderivative") o.stages.antiderivative = 1;
        else if (w.rfind("antiderivative=", 0) == 0) {
          o.stages.antiderivative = toInt(w.substr(15), "antiderivative order");
          if (o.stages.antiderivative < 1 || o.stages.antiderivative > kMaxAntiderivativeOrder)
            throw Failure{"antiderivative order must be 1 or 2"};
        }
        else if (w == "stagelowpass") o.stages.lowpass = true;
        else if (w.rfind("order=", 0) == 0) {
          o.filterOrder = toInt(w.substr(6), "filter order");
          if (o.filterOrder < kMinFilterOrder || o.filterOrder > kMaxFilterOrder || o.filterOrder % 2)
            throw Failure{"the anti-alias filter order is even, 8..16"};
        } else if (w.rfind("factor=", 0) == 0) {
          o.minFactor = toInt(w.substr(7), "factor");
          if (o.minFactor < 2 || o.minFactor > kMaxMinFactor) throw Failure{"factor must be 2..16"};
        } else {
          throw Failure{"unknown antialias option '" + w + "'"};
        }
      }
    }
    // A rig's options come from its preset (or the amplifier it is built on), so a
    // pedal has none of its own.
    if (ctx_ == Context::kAmp) def_->antialias = o;
    else if (ctx_ == Context::kPreset) preset_->antialias = o;
    else throw Failure{"'antialias' belongs inside an ampdef or a preset"};
  }

  void presetCategory(const std::vector<Token>& t) {
    endBlock();
    expectCount(t, 2, "presets \"<category name>\"");
    category_ = quotedArg(t, 1, "category name");
  }

  void preset(const std::vector<Token>& t) {
    expectCount(t, 2, "preset \"<name>\"");
    if (category_.empty()) throw Failure{"a preset needs a 'presets \"<category>\"' line before it"};
    src_.presets.push_back({});
    preset_ = &src_.presets.back();
    preset_->name = quotedArg(t, 1, "preset name");
    preset_->category = category_;
    preset_->where = where_;
    ctx_ = Context::kPreset;
  }

  void presetLine(const std::vector<Token>& t) {
    const std::string& kw = t[0].text;
    if (ctx_ != Context::kPreset) throw Failure{"'" + kw + "' belongs inside a preset"};
    fdPreset& p = *preset_;
    if (kw == "amp") {
      expectCount(t, 2, "amp \"<amplifier definition>\"");
      if (!p.amp.empty()) throw Failure{"a preset has one amp"};
      p.amp = quotedArg(t, 1, "amplifier definition");
    } else if (kw == "pedal") {
      if (t.size() < 3 || t.size() > 4) throw Failure{"expected: pedal \"<definition>\" pre|post [off]"};
      fdPedalUse u;
      u.definition = quotedArg(t, 1, "pedal definition");
      if (t[2].text == "post") u.afterAmp = true;
      else if (t[2].text != "pre") throw Failure{"a pedal goes 'pre' or 'post' the amp"};
      if (t.size() == 4) {
        if (t[3].text != "off") throw Failure{"expected 'off' or nothing after pre|post"};
        u.active = false;
      }
      if (!u.afterAmp && !p.pedals.empty() && p.pedals.back().afterAmp)
        throw Failure{"list the 'pre' pedals before the 'post' ones"};
      u.where = where_;
      p.pedals.push_back(std::move(u));
    } else if (kw == "tweak") {
      fdTweak w;
      size_t next = 0;
      if (t.size() >= 3 && t[1].text == "amp") {
        w.slot = 0;
        w.block = toInt(t[2].text, "block index");
        next = 3;
      } else if (t.size() >= 4 && t[1].text == "pedal") {
        w.slot = toInt(t[2].text, "pedal slot");
        w.block = toInt(t[3].text, "block index");
        if (w.slot < 1) throw Failure{"pedal slots count from 1"};
        next = 4;
      } else {
        throw Failure{"expected: tweak amp <block> Name=value ... or tweak pedal <slot> <block> Name=value ..."};
      }
      if (w.block < 0) throw Failure{"block indices count from 0"};
      w.edits = parseEdits(t, next, false);
      if (w.edits.empty()) throw Failure{"a tweak changes at least one knob"};
      w.where = where_;
      p.tweaks.push_back(std::move(w));
    } else if (kw == "nocab") {
      expectCount(t, 1, "nocab");
      if (p.cabsGiven) throw Failure{"'nocab' with cabs given"};
      p.cabsGiven = true;
    } else if (kw == "gate") {
      p.gate = parseEdits(t, 1, false);
    } else {
      expectCount(t, 2, "vol|invol <position>");
      float v = toNumber(t[1].text, "position");
      if (v < 0 || v > 1) throw Failure{"a position lies in 0..1"};
      (kw == "vol" ? p.vol : p.invol) = v;
    }
  }

  fdSource& src_;
  std::string file_;
  fdWhere where_;
  Context ctx_ = Context::kNone;
  fdDefinition* def_ = nullptr;
  fdPreset* preset_ = nullptr;
  std::string category_;
};

template <class T, class Key>
std::string firstDuplicate(const std::vector<T>& v, Key key) {
  std::set<decltype(key(v[0]))> seen;
  for (const T& x : v)
    if (!seen.insert(key(x)).second) {
      // Appended, not "'" + ...: GCC 12 warns falsely (-Wrestrict) in Release builds.
      std::string quoted(1, '\'');
      return quoted.append(key(x)).append(1, '\'');
    }
  return "";
}

}  // namespace

std::string normalisedName(const std::string& s) {
  std::string out;
  for (unsigned char c : s)
    if (c != ' ') out += static_cast<char>(std::tolower(c));
  return out;
}

int blockTypeByName(const std::string& name) {
  std::string want = normalisedName(name);
  for (const qvblockinfo& b : kBlockTypes)
    if (normalisedName(b.displayName) == want) return b.sblock;
  return -1;
}

std::string readFactorySource(const std::string& text, const std::string& fileName, fdSource& src) {
  Reader reader(src, fileName);
  size_t pos = 0;
  int lineNo = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    ++lineNo;
    std::string line = text.substr(pos, end - pos);
    try {
      std::vector<Token> tokens = tokenize(line);
      if (!tokens.empty()) reader.line(tokens, lineNo);
    } catch (const Failure& f) {
      return fileName + ":" + std::to_string(lineNo) + ": " + f.message;
    }
    pos = end + 1;
  }
  return "";
}

std::string checkFactorySource(const fdSource& src) {
  for (size_t i = 0; i < src.settings.size(); ++i)
    if (!src.settings[i]) return "setting " + std::to_string(i) + " is missing";
  auto byName = [](const auto& x) { return x.name; };
  auto byId = [](const auto& x) { return std::to_string(x.id); };
  if (auto d = firstDuplicate(src.categories, byId); !d.empty()) return "category id " + d + " twice";
  if (auto d = firstDuplicate(src.categories, byName); !d.empty()) return "category " + d + " twice";
  if (auto d = firstDuplicate(src.impulseCategories, byId); !d.empty())
    return "impulse category id " + d + " twice";
  if (auto d = firstDuplicate(src.impulses, byName); !d.empty()) return "impulse " + d + " twice";
  if (auto d = firstDuplicate(src.amps, byName); !d.empty()) return "ampdef " + d + " twice";
  if (auto d = firstDuplicate(src.pedals, byName); !d.empty()) return "pedaldef " + d + " twice";
  if (auto d = firstDuplicate(src.presets, byName); !d.empty()) return "preset " + d + " twice";
  std::set<int> uids;
  for (const fdImpulse& imp : src.impulses) {
    if (imp.uid < 2 || imp.uid > 30) return "impulse '" + imp.name + "': factory uids are 2..30";
    if (!uids.insert(imp.uid).second) return "impulse uid " + std::to_string(imp.uid) + " twice";
    bool known = false;
    for (const fdCategory& c : src.impulseCategories) known |= c.id == imp.categoryid;
    if (!known) return "impulse '" + imp.name + "': no impulse category " + std::to_string(imp.categoryid);
  }
  bool currentFound = false;
  for (const fdPreset& p : src.presets) {
    currentFound |= p.name == src.currentPreset;
    if (p.amp.empty()) return p.where.text() + ": preset '" + p.name + "' names no amp";
    int id = -1;
    for (const fdCategory& c : src.categories)
      if (c.name == p.category) id = c.id;
    if (id < 3) return p.where.text() + ": preset '" + p.name + "': '" + p.category +
                       "' is not a category for presets (ids 3 and up)";
  }
  if (!currentFound) return "current preset '" + src.currentPreset + "' is not a preset";
  return "";
}
