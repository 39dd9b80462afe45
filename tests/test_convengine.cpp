// The zero-latency convolution engine against direct convolution: many slots at
// once, long responses in full, slots switched and created between blocks, no
// latency, reference counting, and no allocation while processing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/alloccounter.hpp"
#include "tests/unitrig.hpp"
#include "units/convengine.hpp"

namespace {
std::vector<float> randomSignal(size_t n, unsigned seed) { return noise(n, seed, 1.0f); }

// A loudspeaker-like response: noise under an exponential decay, so late taps are
// small but not negligible.
std::vector<float> randomImpulse(size_t n, unsigned seed) {
  std::vector<float> h = randomSignal(n, seed);
  const double tau = std::max<double>(1.0, n / 3.0);
  for (size_t k = 0; k < n; ++k) h[k] *= static_cast<float>(std::exp(-double(k) / tau));
  return h;
}

// Direct linear convolution in double at output time t; input before `start` is zero.
double direct(const std::vector<float>& h, const std::vector<float>& x, int64_t t,
              int64_t start = 0) {
  double sum = 0.0;
  const int64_t kmax = std::min<int64_t>(static_cast<int64_t>(h.size()) - 1, t - start);
  for (int64_t k = 0; k <= kmax; ++k) sum += double(h[k]) * double(x[t - k]);
  return sum;
}

struct ErrorSum {
  double err = 0, ref = 0;
  void add(double y, double r) { err += (y - r) * (y - r); ref += r * r; }
  double relative() const { return ref > 0 ? std::sqrt(err / ref) : std::sqrt(err); }
};
}  // namespace

TEST(ConvEngine, MatchesDirectConvolutionWithManySlotsAtOnce) {
  struct Case { int64_t length; std::vector<std::pair<int64_t, int64_t>> windows; };
  // Windows [from, to) of output time compared against direct convolution: the whole
  // run for short responses; the start, the stage-5 region and the full tail for long ones.
  const std::vector<Case> cases = {
      {1, {{0, 30000}}},
      {64, {{0, 30000}}},
      {65, {{0, 30000}}},
      {200, {{0, 30000}}},
      {24256, {{0, 30000}}},
      {24257, {{0, 30000}}},
      {100000, {{0, 600}, {23000, 26000}, {99000, 102000}}},
      {480000, {{0, 300}, {40000, 40600}, {478000, 480600}}},
  };
  const int64_t total = 480600;
  const std::vector<float> x = randomSignal(total, 1);

  qvconvengine eng;
  ASSERT_TRUE(eng.ready());
  std::vector<std::vector<float>> h, y;
  std::vector<int> slot;
  for (size_t c = 0; c < cases.size(); ++c) {
    h.push_back(randomImpulse(cases[c].length, 100 + unsigned(c)));
    slot.push_back(eng.createSlot(h.back()));
    ASSERT_GE(slot.back(), 0);
    y.emplace_back(total);
  }
  for (int64_t t = 0; t < total; ++t) {
    eng.process(x[t]);
    for (size_t c = 0; c < cases.size(); ++c) y[c][t] = eng.output(slot[c]);
  }
  for (size_t c = 0; c < cases.size(); ++c) {
    ErrorSum e;
    for (auto [from, to] : cases[c].windows)
      for (int64_t t = from; t < to; ++t) e.add(y[c][t], direct(h[c], x, t));
    EXPECT_LE(e.relative(), 1e-5) << "impulse length " << cases[c].length;
  }
}

// Blocks of 0, 1, 7, 64 and 4096 frames; between blocks a slot is switched off and
// on, another is created mid-stream and one is released. The slot left alone must
// stay exact; a slot that (re)starts hears only the input from its start on.
TEST(ConvEngine, SlotsSwitchedBetweenBlocksStayExact) {
  // Both long enough for deferred products in the largest stage (3 and 4 partitions).
  const std::vector<float> x = randomSignal(50000, 3);
  const std::vector<float> ha = randomImpulse(26000, 4);
  const std::vector<float> hb = randomImpulse(31000, 5);
  const std::vector<float> hc = randomImpulse(300, 6);
  qvconvengine eng;
  const int a = eng.createSlot(ha);
  const int b = eng.createSlot(hb);
  const int spare = eng.createSlot(hc);
  ASSERT_EQ(spare, 2);
  int c = -1;
  int64_t b_start = 0, c_start = 0;
  const int sizes[] = {0, 1, 7, 64, 4096, 333};
  ErrorSum ea, eb, ec;
  int64_t t = 0;
  for (int block = 0; t < static_cast<int64_t>(x.size()); ++block) {
    const int n = static_cast<int>(std::min<int64_t>(sizes[block % 6], x.size() - t));
    for (int i = 0; i < n; ++i, ++t) {
      eng.process(x[t]);
      ea.add(eng.output(a), direct(ha, x, t));
      const double rb = eng.isActive(b) ? direct(hb, x, t, b_start) : 0.0;
      eb.add(eng.output(b), rb);
      if (c >= 0) ec.add(eng.output(c), direct(hc, x, t, c_start));
    }
    if (block == 5) {
      eng.releaseSlot(spare);
      EXPECT_FALSE(eng.slotExists(spare));
      EXPECT_EQ(eng.output(spare), 0.0f);
    }
    if (block == 11) {
      c = eng.createSlot(hc);
      EXPECT_EQ(c, spare) << "a freed index is handed out again";
      c_start = t;
    }
    if (block % 4 == 1) {
      eng.setActive(b, !eng.isActive(b));
      b_start = t;
      if (!eng.isActive(b)) {
        EXPECT_EQ(eng.output(b), 0.0f);
      }
    }
  }
  EXPECT_LE(ea.relative(), 1e-5) << "the untouched slot";
  EXPECT_LE(eb.relative(), 1e-5) << "the slot switched off and on";
  EXPECT_LE(ec.relative(), 1e-5) << "the slot created mid-stream";
}

// Stages no slot needs stay idle; a longer slot added later must still get them right.
TEST(ConvEngine, SlotAddedWhileLargerStagesIdle) {
  const std::vector<float> x = randomSignal(30000, 15);
  const std::vector<float> hs = randomImpulse(100, 16);
  const std::vector<float> hl = randomImpulse(25000, 17);
  qvconvengine eng;
  const int small = eng.createSlot(hs);
  int large = -1;
  const int64_t start = 3001;
  ErrorSum es, el;
  for (int64_t t = 0; t < static_cast<int64_t>(x.size()); ++t) {
    if (t == start) large = eng.createSlot(hl);
    eng.process(x[t]);
    es.add(eng.output(small), direct(hs, x, t));
    if (large >= 0) el.add(eng.output(large), direct(hl, x, t, start));
  }
  EXPECT_LE(es.relative(), 1e-5);
  EXPECT_LE(el.relative(), 1e-5);
}

TEST(ConvEngine, ReferenceCountingAndBadIndices) {
  qvconvengine eng;
  const int s = eng.createSlot(randomImpulse(1000, 7));
  ASSERT_GE(s, 0);
  eng.retainSlot(s);
  EXPECT_EQ(eng.refCount(s), 2);
  eng.releaseSlot(s);
  EXPECT_TRUE(eng.slotExists(s)) << "one reference is still held";
  eng.releaseSlot(s);
  EXPECT_FALSE(eng.slotExists(s));
  for (int bad : {-1, s, 99}) {
    eng.retainSlot(bad);
    eng.releaseSlot(bad);
    eng.setActive(bad, true);
    EXPECT_FALSE(eng.isActive(bad));
    EXPECT_EQ(eng.output(bad), 0.0f);
  }
  const int silent = eng.createSlot({});
  ASSERT_GE(silent, 0) << "an empty response gives a silent slot";
  for (int t = 0; t < 300; ++t) {
    eng.process(1.0f);
    ASSERT_EQ(eng.output(silent), 0.0f);
  }
}

// However the input is cut into calls, every slot gives the same samples as when
// fed one at a time; a slot switched on mid-way (the masked frame) included.
TEST(ConvEngine, BlockCallsGiveTheSamplesOfSingleOnes) {
  const int64_t total = 70000;
  const std::vector<float> x = randomSignal(total, 3);
  const std::vector<std::vector<float>> h = {randomImpulse(100, 30), randomImpulse(3000, 31),
                                             randomImpulse(30000, 32)};  // stage 5 deferred
  qvconvengine single, blocks;
  std::vector<int> slots;
  for (const auto& ir : h) {
    slots.push_back(single.createSlot(ir));
    ASSERT_EQ(blocks.createSlot(ir), slots.back());
  }
  const int sizes[] = {0, 1, 7, 64, 256, 31, 33, 200};
  int64_t differences = 0;
  for (int64_t t = 0, k = 0; t < total; ++k) {
    const bool on = t < 20000 || t >= 30000;  // off, then on again inside a frame
    if (single.isActive(slots[1]) != on) {
      single.setActive(slots[1], on);
      blocks.setActive(slots[1], on);
    }
    const int n = static_cast<int>(std::min<int64_t>(sizes[k % std::size(sizes)], total - t));
    blocks.process(x.data() + t, n);
    for (int i = 0; i < n; ++i) {
      single.process(x[t + i]);
      for (int s : slots)
        if (single.output(s) != blocks.outputs(s)[i]) ++differences;
    }
    t += n;
  }
  EXPECT_EQ(differences, 0);
}

TEST(ConvEngine, ProcessingAllocatesNothing) {
  alloccounter::arm();
  ::operator delete(::operator new(16));
  ASSERT_EQ(alloccounter::disarm(), 1) << "the counting hook is not in place";

  qvconvengine eng;
  const std::vector<float> x = randomSignal(40000, 10);
  const int a = eng.createSlot(randomImpulse(60000, 11));  // deferred products too
  const int b = eng.createSlot(randomImpulse(100, 12));
  double sink = 0;
  long allocations = 0;
  for (int64_t t = 0; t < static_cast<int64_t>(x.size()); t += 1000) {
    if (t == 20000) {
      eng.setActive(b, false);
      eng.createSlot(randomImpulse(9000, 13));  // starts mid-frame: the masked path runs too
    }
    alloccounter::arm();
    for (int64_t i = t; i < t + 500; ++i) {
      eng.process(x[i]);
      sink += eng.output(a) + eng.output(b);
    }
    for (int64_t i = t + 500; i < t + 1000; i += 125) {  // block calls
      eng.process(x.data() + i, 125);
      sink += eng.outputs(a)[124] + eng.outputs(b)[0];
    }
    allocations += alloccounter::disarm();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_TRUE(std::isfinite(sink));
}
