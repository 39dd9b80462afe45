#include <gtest/gtest.h>

#include <cstring>

#include "data/wavread.hpp"
#include "platform/files.hpp"
#include "resources/resources.hpp"
#include "tests/fixtures/testimpulse.hpp"

// The tests link the test resource set (tests/CMakeLists.txt): the document
// tests/data/test-doc.fxda as "TEST-DOC.FXDA" and the generated impulse as id 2.

namespace {

qvstring bytesOf(const qvresource& r) {
  return qvstring(reinterpret_cast<const char*>(r.bytes), r.size);
}

}  // namespace

TEST(Resources, ByNameIgnoringCase) {
  qvstring file;
  ASSERT_TRUE(readWholeFile(CORVINA_TEST_DOC, file));
  for (const char* name : {"TEST-DOC.FXDA", "test-doc.fxda", "Test-Doc.FxDa"}) {
    qvresource r;
    ASSERT_TRUE(loadDataResource(name, r)) << name;
    EXPECT_EQ(bytesOf(r), file) << name;
    EXPECT_EQ(r.bytes[r.size], 0) << "a NUL follows the text";
  }
  qvresource twice_a, twice_b;
  ASSERT_TRUE(loadDataResource("test-doc.fxda", twice_a));
  ASSERT_TRUE(loadDataResource("TEST-DOC.FXDA", twice_b));
  EXPECT_EQ(twice_a.bytes, twice_b.bytes) << "nothing is copied";

  qvresource r;
  for (const char* name : {"TEST-DOC.FXD", "TEST-DOC.FXDAX", "", "corvina-init.fxda"})
    EXPECT_FALSE(loadDataResource(name, r)) << name;
  EXPECT_FALSE(loadDataResource(nullptr, r));
}

TEST(Resources, ByIdGivesTheEmbeddedImpulse) {
  qvstring file;
  ASSERT_TRUE(readWholeFile(CORVINA_TEST_WAV, file));
  qvresource r;
  ASSERT_TRUE(loadDataResourceById(2, r));
  EXPECT_EQ(bytesOf(r), file);
  // A name-only resource has no id, and -1 does not find it.
  for (int id : {-1, 0, 1, 3, 30}) EXPECT_FALSE(loadDataResourceById(id, r)) << id;

  ASSERT_TRUE(loadDataResourceById(2, r));
  std::vector<float> samples;
  qvwavinfo info;
  ASSERT_EQ(readWavMemory(r.bytes, r.size, samples, info), kTestImpulseRate);
  EXPECT_EQ(info.headerType, kHeaderRiff);
  EXPECT_EQ(info.format, 3) << "PCM 24-bit";
  ASSERT_EQ(samples.size(), size_t(kTestImpulseCount));
  for (int n = 0; n < kTestImpulseCount; ++n)
    ASSERT_EQ(samples[size_t(n)], float(testImpulseSample(n)) / 8388608.0f) << n;
}
