// Our test host on the demo gain plug-in loaded as a module: loading and its
// failures, and block splitting against the exact gain, which every test of the
// real plug-in relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/host/vsthost.hpp"

namespace {

std::shared_ptr<qvhostmodule> gainModule() {
  auto module = std::make_shared<qvhostmodule>();
  EXPECT_EQ(module->open(CORVINA_GAINPLUG_PATH), qvhostresult::ok) << module->error();
  return module;
}

std::unique_ptr<qvhostinstance> gainInstance(qvhostoptions options = {}) {
  qvhostresult result = qvhostresult::cannotOpen;
  auto host = qvhostinstance::create(gainModule(), options, result);
  EXPECT_EQ(result, qvhostresult::ok);
  if (host)
    host->open();
  return host;
}

void setGain(qvhostinstance& host, const char* text) {
  host.setChunk(text, std::strlen(text) + 1);
}

}  // namespace

TEST(VstHost, ModuleExportsEntryAndMainAlias) {
  auto module = gainModule();
  EXPECT_NE(module->entry(), nullptr);
  EXPECT_TRUE(module->mainIsEntryAlias()) << "main must sit at the address of VSTPluginMain";

  qvhostmodule missing;
  EXPECT_EQ(missing.open("/nonexistent/plugin.so"), qvhostresult::cannotOpen);
  EXPECT_FALSE(missing.error().empty());
  qvhostmodule not_a_plugin;
  EXPECT_EQ(not_a_plugin.open("libm.so.6"), qvhostresult::noEntryPoint);
}

TEST(VstHost, ProcessesInAnyBlockSize) {
  auto host = gainInstance();
  ASSERT_TRUE(host);
  host->resume();
  setGain(*host, "-0.5");
  constexpr int64_t n = 10007;
  std::vector<float> left(n), right(n);
  for (int64_t i = 0; i < n; ++i) {
    left[i] = static_cast<float>(i % 101) / 50.0f - 1.0f;
    right[i] = static_cast<float>(i % 37) / 18.0f - 1.0f;
  }
  const float* in[] = {left.data(), right.data()};
  for (VstInt32 block : {1, 7, 4096}) {
    std::vector<float> out_l(n, 9.0f), out_r(n, 9.0f);
    float* out[] = {out_l.data(), out_r.data()};
    host->process(in, out, n, block);
    for (int64_t i = 0; i < n; ++i) {
      ASSERT_EQ(out_l[i], left[i] * -0.5f) << "block " << block << " frame " << i;
      ASSERT_EQ(out_r[i], right[i] * -0.5f) << "block " << block << " frame " << i;
    }
  }

  // A block of no frames touches nothing; in-place buffers work.
  std::vector<float> buf(16, 2.0f);
  float* io[] = {buf.data(), buf.data() + 8};
  host->processBlock(io, io, 0);
  EXPECT_EQ(buf[0], 2.0f);
  host->processBlock(io, io, 8);
  EXPECT_EQ(buf[0], -1.0f);
  EXPECT_EQ(buf[15], -1.0f);

  host->suspend();
  host->close();
  EXPECT_EQ(host->effect(), nullptr);
  host->close();  // a second close is harmless
}
