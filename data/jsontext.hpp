// The data document's text forms: reading a document text into a node tree and
// writing a tree back as compact text. The node model is nlohmann's ordered_json
// (members keep insertion order); the text rules are our own, so a document
// written by any version of the plug-in reads back and rewrites byte for byte.
//
// Strings are byte strings. The reading pre-pass decodes every string literal
// itself (escapes included) and hands the parser a numbered stand-in for it; the
// tree then takes the decoded bytes back, so any byte value 0..255 survives
// write -> read -> write unchanged and the parser never sees non-ASCII text.
// Escapes read as: \uXXXX up to 00FF is that single byte (\u0000 a NUL byte,
// hex digits of either case); above 00FF, and a surrogate pair, is the
// character's UTF-8 bytes (what a foreign UTF-8 document means by it); a lone
// surrogate or an unknown escape makes the text fail to parse.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "data/qvstring.hpp"

using qvjsonnode = nlohmann::ordered_json;

// Reader result codes shared with the document loader.
constexpr int kDocOk = 0;
constexpr int kDocTooShort = 11;       // text of 20 bytes or fewer (also: no file)
constexpr int kDocParseFailed = 3282;  // text does not parse

// Texts this short are never parsed: the first run has no user document, and
// the file reader hands over a one-character stand-in.
constexpr size_t kDocMinTextBytes = 21;
// Nesting deeper than this fails to parse: the tree's copy and our writer recurse
// per level, and no document we write comes near it (the cursor stops at 35).
constexpr uint32_t kDocMaxNesting = 256;

// [any] Applies the reading rules (white space and comments dropped outside
// strings, the text cut at a stray "/" or a byte outside 32..126) and parses the
// rest. The root must be an object or an array. On success `out` holds the tree
// (every number as a double) and true is returned; on failure `out` is untouched.
bool parseJsonText(std::string_view text, qvjsonnode& out);

// [any] parseJsonText behind the document's length rule: kDocOk, kDocTooShort
// or kDocParseFailed.
int parseDocumentText(std::string_view text, qvjsonnode& out);

// [any] Compact text of a tree; a root that is neither an object nor an array
// gives "". Members in insertion order, numbers and strings in the forms below.
qvstring writeJsonText(const qvjsonnode& root);

// [any] Number form: within 0.00001 of an integer (truncation toward zero)
// writes that integer, otherwise six decimals without trailing zeros. A value
// whose six-decimal text would itself read back within 0.00001 of an integer is
// written as that integer, so written text always rewrites identically.
// NaN and infinities are written as 0.
void appendJsonNumber(std::string& out, double v);

// [any] String form: the bytes between double quotes, with \" \\ \/ \b \f \n \r
// \t and \u00XX (upper-case hex) for every other byte outside 32..126.
void appendJsonString(std::string& out, std::string_view bytes);
