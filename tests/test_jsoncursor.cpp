// The document cursor: its nesting limit on both sides, the writer's member
// order and replaced members, and the lenient conversions of the reader. (The
// loader's tests and the document fuzz target walk the rest of the reader.)
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/jsoncursor.hpp"

// 35 levels open, the 36th is refused on both sides; what a refused container
// would have held never lands in its parent, and closing stops at 0.
TEST(JsonCursor, ThirtyFiveLevelsOpenTheThirtySixthIsRefused) {
  qvjsoncursor c;
  ASSERT_TRUE(c.selectArray("deep"));
  for (uint32_t level = 1; level <= 35; ++level) ASSERT_TRUE(c.openArray(nullptr)) << "level " << level;
  EXPECT_FALSE(c.openObject(nullptr));
  EXPECT_FALSE(c.openArray(nullptr));
  c.addInt(nullptr, 1);
  c.close();
  c.close();
  c.addInt(nullptr, 2);
  EXPECT_EQ(c.depth(), 35u) << "closing refused containers keeps the level";
  for (int k = 0; k < 40; ++k) c.close();
  EXPECT_EQ(c.depth(), 0u);
  EXPECT_TRUE(c.currentIsArray()) << "still on the selected array";
  const std::string text = c.text();
  EXPECT_EQ(text, "{\"deep\":[" + std::string(35, '[') + "2" + std::string(35, ']') + "]}");
  // The reader's entry 0 is the root itself: its 35 levels end one above.
  qvjsoncursor r;
  ASSERT_EQ(r.parse(text), kDocOk);
  ASSERT_TRUE(r.enter("deep"));
  for (uint32_t level = 2; level <= 35; ++level) ASSERT_TRUE(r.enterAt(0)) << "level " << level;
  EXPECT_FALSE(r.enterAt(0)) << "the stack is full";
}

TEST(JsonCursor, WriterBuildsTheDocumentInOrder) {
  qvjsoncursor w;
  ASSERT_TRUE(w.selectArray("settings"));
  ASSERT_TRUE(w.openObject(nullptr));
  w.addString("currentpreset", "Layered OD");
  w.addInt("currentcategory", 4);
  w.close();
  ASSERT_TRUE(w.openArray(nullptr));
  ASSERT_TRUE(w.openArray(nullptr));
  w.addInt(nullptr, 1);
  w.addNumber(nullptr, 0.410732f);
  w.close();
  w.close();
  w.close();
  EXPECT_EQ(w.depth(), 0u);

  ASSERT_TRUE(w.selectArray("presets"));
  ASSERT_TRUE(w.openObject(nullptr));
  w.addNumber("version", 1.0f);
  w.addString("name", "A/B");
  w.addBool("user", false);
  w.addInt("dataind", 3);
  w.addNumber("vol", std::nanf(""));
  w.addNumber("invol", -INFINITY);
  ASSERT_TRUE(w.openArray("brackets"));
  w.close();
  w.addInt("dataind", -1);  // written again: replaced, now last
  w.close();

  ASSERT_TRUE(w.selectArray("settings"));
  EXPECT_EQ(w.count(), 2u) << "an existing array is selected, not duplicated";
  w.addInt(nullptr, 9);

  EXPECT_EQ(w.text(),
            "{\"settings\":[{\"currentpreset\":\"Layered OD\",\"currentcategory\":4},[[1,0.410732]],9],"
            "\"presets\":[{\"version\":1,\"name\":\"A\\/B\",\"user\":false,\"vol\":0,\"invol\":0,"
            "\"brackets\":[],\"dataind\":-1}]}");

  w.clearRoot();
  EXPECT_EQ(w.text(), "{}");
  w.setRoot(qvjsonnode::array());
  EXPECT_FALSE(w.selectArray("x")) << "only an object root has named arrays";
  w.setRoot(qvjsonnode{{"x", 1}});
  EXPECT_FALSE(w.selectArray("x")) << "a member that is not an array is left alone";
  EXPECT_EQ(w.text(), "{\"x\":1}");
}

TEST(JsonCursor, ReadConversions) {
  qvjsoncursor r;
  ASSERT_EQ(r.parse("{\"a\":3.9,\"b\":-3.9,\"c\":1e12,\"d\":-1e12,\"e\":\"42\",\"f\":\" 2.5x\","
                    "\"g\":true,\"h\":false,\"i\":\"abc\",\"j\":null,\"k\":[1],\"l\":\"nan\",\"m\":1e300}"),
            kDocOk);
  struct { const char* name; int32_t i; float f; bool b; } rows[] = {
      {"a", 3, 3.9f, true},         {"b", -3, -3.9f, true},
      {"c", INT32_MAX, 1e12f, true}, {"d", INT32_MIN, -1e12f, true},
      {"e", 42, 42.0f, true},       {"f", 2, 2.5f, true},
      {"g", 1, 1.0f, true},         {"h", 0, 0.0f, false},
      {"i", 0, 0.0f, false},        {"j", 0, 0.0f, false},
      {"k", 0, 0.0f, false},        {"l", 0, 0.0f, false},
      {"m", INT32_MAX, 3.4028235e38f, true},
  };
  for (const auto& row : rows) {
    int32_t i = 77;
    float f = 77;
    bool b = !row.b;
    EXPECT_TRUE(r.getInt(row.name, i));
    EXPECT_TRUE(r.getNumber(row.name, f));
    EXPECT_TRUE(r.getBool(row.name, b));
    EXPECT_EQ(i, row.i) << row.name;
    EXPECT_FLOAT_EQ(f, row.f) << row.name;
    EXPECT_EQ(b, row.b) << row.name;
  }
  qvstring s;
  EXPECT_TRUE(r.getString("a", s));
  EXPECT_EQ(s, "3.9");
  EXPECT_TRUE(r.getString("g", s));
  EXPECT_EQ(s, "true");
}
