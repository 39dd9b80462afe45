#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "data/jsontext.hpp"

namespace {

std::string number(double v) {
  std::string s;
  appendJsonNumber(s, v);
  return s;
}

std::string quoted(const std::string& bytes) {
  std::string s;
  appendJsonString(s, bytes);
  return s;
}

// A document just long enough to be parsed, holding one string member.
std::string docWith(const std::string& valueText) {
  return "{\"padding-padding\":0,\"v\":" + valueText + "}";
}

}  // namespace

TEST(JsonText, NumberForms) {
  const double inf = std::numeric_limits<double>::infinity();
  struct { double v; const char* text; } rows[] = {
      {1.000004, "1"},          {0.999999, "0.999999"},   {-1, "-1"},
      {0.1f, "0.1"},            {0.5, "0.5"},             {0.410732, "0.410732"},
      {0, "0"},                 {-0.0, "0"},              {-0.5, "-0.5"},
      {-2.000003, "-2"},        {2.9999996, "3"},         {0.00001, "0.00001"},
      {123.4567894, "123.456789"}, {0.0000004, "0"},      {1e20, "100000000000000000000"},
      {0x1p64, "18446744073709551615"}, {-0x1p63, "-9223372036854775808"},
      {std::nan(""), "0"},      {inf, "0"},               {-inf, "0"},
      // Six decimals "4294967296.00001" read back just under the threshold, so the
      // value is written as the integer the text would rewrite to.
      {0x1p32 + 11 * 0x1p-20, "4294967296"},
  };
  for (const auto& r : rows) EXPECT_EQ(number(r.v), r.text) << "value " << r.v;
}

TEST(JsonText, NumbersNearTheThresholdRewriteIdentically) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> jitter(-1e-9, 1e-9);
  for (int i = 0; i < 20000; ++i) {
    const double whole = std::ldexp(1.0, static_cast<int>(rng() % 40)) + static_cast<double>(rng() % 1000);
    const double v = (rng() & 1 ? 1 : -1) * (whole + 0.00001 + jitter(rng) * (1 + whole * 1e-6));
    const std::string once = number(v);
    const std::string twice = number(std::stod(once));
    ASSERT_EQ(once, twice) << "value " << v;
  }
}

TEST(JsonText, StringEscapes) {
  EXPECT_EQ(quoted("a/b"), "\"a\\/b\"");
  EXPECT_EQ(quoted("\xE9"), "\"\\u00E9\"");
  EXPECT_EQ(quoted(std::string("\"\\\b\f\n\r\t\x01\x1f\x7f ~", 12)),
            "\"\\\"\\\\\\b\\f\\n\\r\\t\\u0001\\u001F\\u007F ~\"");
  EXPECT_EQ(quoted(std::string(1, '\0')), "\"\\u0000\"");

  qvjsonnode root = qvjsonnode::object();
  root["na/me\xE9"] = "x";
  EXPECT_EQ(writeJsonText(root), "{\"na\\/me\\u00E9\":\"x\"}") << "names are escaped the same way";
}

TEST(JsonText, EscapesReadBackAsBytes) {
  struct { const char* literal; std::string bytes; } rows[] = {
      {"\"\\u00E9\"", "\xE9"},
      {"\"\\u00e9\"", "\xE9"},
      {"\"\\u0000x\"", std::string("\0x", 2)},
      {"\"\\/\\\"\\\\\\b\\f\\n\\r\\t\"", "/\"\\\b\f\n\r\t"},
      {"\"\\u20AC\"", "\xE2\x82\xAC"},               // foreign characters above 00FF: UTF-8
      {"\"\\uD83D\\uDE00\"", "\xF0\x9F\x98\x80"},   // a surrogate pair: one character
      {"\"raw \xC3\xA9 \x80\xFF\"", "raw \xC3\xA9 \x80\xFF"},  // raw bytes are taken verbatim
      {"\"tab\tin\nside\"", "tab\tin\nside"},
  };
  for (const auto& r : rows) {
    qvjsonnode root;
    ASSERT_EQ(parseDocumentText(docWith(r.literal), root), kDocOk) << r.literal;
    EXPECT_EQ(root["v"].get<std::string>(), r.bytes) << r.literal;
  }
}

TEST(JsonText, ReadingRules) {
  const std::string body = "{\"settings\":[{\"currentpreset\":\"A\"}],\"n\":[1,2.5,true]}";
  struct { std::string text; int code; } rows[] = {
      {body, kDocOk},
      {"// the user's document\n" + body, kDocOk},
      {"# comment\r\n" + body + "\n# trailing", kDocOk},
      {"/* a\nblock */ {\"settings\" : [ {\"currentpreset\":\"A\"} ] ,\t\"n\":[1,2.5,true]}", kDocOk},
      {body + std::string(1, '\0') + "ignored after the chunk's NUL", kDocOk},
      {"{\"settings\":[{\"currentpreset\":\"A\"}],\x01\"n\":[1,2.5,true]}", kDocParseFailed},
      {"{\"settings\":[{\"currentpreset\":\"A\"}],/\"n\":[1,2.5,true]}", kDocParseFailed},
      {"{\"settings\":[{\"currentpreset\":\"A\"}],\xE9\"n\":[1,2.5,true]}", kDocParseFailed},
      {"{\"a\":\"\\x\",\"b\":\"long enough text\"}", kDocParseFailed},
      {"{\"a\":\"\\uDE00\",\"b\":\"long enough text\"}", kDocParseFailed},
      {"{\"a\":\"never closed, long enough text", kDocParseFailed},
      {"\"a string root, long enough text\"", kDocParseFailed},
      {"12345678901234567890123", kDocParseFailed},
      {"{\"a\":1,\"b\":2,\"cde\":3}", kDocOk},      // 21 bytes: parsed
      {"{\"a\":1,\"b\":2,\"cd\":3}", kDocTooShort},  // 20 bytes: not parsed
      {"", kDocTooShort},
      {"^", kDocTooShort},
  };
  for (const auto& r : rows) {
    qvjsonnode root;
    EXPECT_EQ(parseDocumentText(r.text, root), r.code) << r.text;
  }
  qvjsonnode root;
  ASSERT_EQ(parseDocumentText("// the user's document\n" + body, root), kDocOk);
  EXPECT_EQ(writeJsonText(root), body);
  qvjsonnode kept = {{"kept", 1}};
  EXPECT_FALSE(parseJsonText("{\"a\":1,\x01\"b\":2222222222222}", kept));
  EXPECT_EQ(kept, (qvjsonnode{{"kept", 1}})) << "a failed parse leaves the tree alone";
}

TEST(JsonText, NestingIsBounded) {
  auto nested = [](uint32_t levels) { return std::string(levels, '[') + std::string(levels, ']'); };
  qvjsonnode root;
  EXPECT_TRUE(parseJsonText(nested(kDocMaxNesting), root));
  EXPECT_EQ(writeJsonText(root), nested(kDocMaxNesting));
  EXPECT_FALSE(parseJsonText(nested(kDocMaxNesting + 1), root));
  EXPECT_FALSE(parseJsonText(nested(100000), root)) << "deep text fails instead of exhausting the stack";
}

TEST(JsonText, WriterShapes) {
  EXPECT_EQ(writeJsonText(qvjsonnode(5.0)), "");
  EXPECT_EQ(writeJsonText(qvjsonnode("text")), "");
  EXPECT_EQ(writeJsonText(qvjsonnode::array()), "[]");
  qvjsonnode root = qvjsonnode::object();
  root["z"] = 1.0;
  root["a"] = qvjsonnode::array({true, false, qvjsonnode::object()});
  root["m"] = "s";
  EXPECT_EQ(writeJsonText(root), "{\"z\":1,\"a\":[true,false,{}],\"m\":\"s\"}") << "insertion order";
}

TEST(JsonText, NumbersAndRepeatedNamesReadAsTheDocumentMeansThem) {
  qvjsonnode root;
  ASSERT_TRUE(parseJsonText("{\"i\":7,\"u\":18446744073709551615,\"f\":-2.5e-1,\"i\":8}", root));
  EXPECT_TRUE(root["i"].is_number_float()) << "every number is held as a double";
  EXPECT_EQ(writeJsonText(root), "{\"i\":8,\"u\":18446744073709551615,\"f\":-0.25}");
  EXPECT_FALSE(parseJsonText("{\"big\":1e400,\"padding\":\"padding\"}", root)) << "beyond double range";
}

namespace {

std::string randomBytes(std::mt19937& rng, size_t maxLen) {
  std::string s(rng() % (maxLen + 1), '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

}  // namespace

TEST(JsonText, AnyByteStringRoundTripsAsNameAndValue) {
  std::mt19937 rng(1234);
  for (int i = 0; i < 2000; ++i) {
    qvjsonnode root = qvjsonnode::object();
    root["padding so the text is long enough"] = true;
    const std::string name = randomBytes(rng, 40);
    const std::string value = randomBytes(rng, 40);
    root[name] = value;
    const std::string text = writeJsonText(root);
    qvjsonnode back;
    ASSERT_EQ(parseDocumentText(text, back), kDocOk) << text;
    ASSERT_EQ(back.size(), root.size());
    auto it = back.find(name);
    ASSERT_NE(it, back.end()) << "name lost: " << text;
    ASSERT_EQ(it->get<std::string>(), value) << text;
  }
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  qvjsonnode root = {{every, every}};
  qvjsonnode back;
  ASSERT_TRUE(parseJsonText(writeJsonText(root), back));
  EXPECT_EQ(back, root) << "all 256 byte values survive";
}
