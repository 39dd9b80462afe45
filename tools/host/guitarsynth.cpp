#include "tools/host/guitarsynth.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// One plucked string: a delay line of one period whose loop averages two
// neighbours (a gentle low-pass) and loses a little each round.
struct pluck {
  std::vector<float> line;
  size_t pos = 0;
  float loss = 0.996f;       // per round trip; palm-muted notes lose more
  float gain = 0.0f;
  double startSample = 0.0;  // when the pick strikes
  double endSample = 0.0;    // when the fretting hand damps the string
};

// Small deterministic generator: the pick's noise burst.
struct lcg {
  uint32_t s = 0x2545F491u;
  float next() {
    s = s * 1664525u + 1013904223u;
    return float(s >> 8) / float(1u << 24) * 2.0f - 1.0f;
  }
};

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct riffnote {
  double beat;    // start, in beats from the bar's start
  double length;  // beats
  int root;       // MIDI note of the chord's root; the fifth and octave ride on it
  bool muted;     // palm-muted chug
};

// Two bars in E: chugs on the low E, then power chords on G, A and D.
constexpr riffnote kRiff[] = {
    {0.0, 0.5, 40, true},  {0.5, 0.5, 40, true},  {1.0, 0.5, 40, true},  {1.5, 1.0, 43, false},
    {2.5, 0.5, 40, true},  {3.0, 1.0, 45, false}, {4.0, 0.5, 40, true},  {4.5, 0.5, 40, true},
    {5.0, 0.5, 40, true},  {5.5, 1.0, 43, false}, {6.5, 0.5, 38, false}, {7.0, 1.0, 45, false},
};
constexpr double kBeatsPerSecond = 2.0;  // 120 beats per minute
constexpr double kRiffBeats = 8.0;

}  // namespace

std::vector<float> synthGuitarDI(double rate, double seconds) {
  const size_t total = seconds > 0.0 ? size_t(seconds * rate) : 0;
  std::vector<float> out(total, 0.0f);
  if (total == 0 || rate <= 0.0) return out;
  lcg noise;

  const double beatSamples = rate / kBeatsPerSecond;
  for (double bar = 0.0; bar * beatSamples < double(total); bar += kRiffBeats) {
    for (const riffnote& n : kRiff) {
      const int strings[3] = {n.root, n.root + 7, n.root + 12};
      for (int k = 0; k < 3; ++k) {
        pluck p;
        const double period = rate / midiHz(strings[k]);
        p.line.resize(size_t(std::max(2.0, std::round(period))));
        for (float& v : p.line) v = noise.next();
        p.loss = n.muted ? 0.975f : 0.996f;
        p.gain = (n.muted ? 0.28f : 0.2f) * (k == 0 ? 1.0f : 0.8f);
        // A strum: each higher string a few milliseconds after the one below.
        p.startSample = (bar + n.beat) * beatSamples + k * 0.004 * rate;
        p.endSample = p.startSample + n.length * beatSamples;
        const size_t begin = size_t(p.startSample);
        // Let a damped string ring out for 20 ms after the hand stops it.
        const size_t end = std::min(total, size_t(p.endSample + 0.02 * rate));
        const size_t damp = size_t(p.endSample);
        for (size_t i = begin; i < end; ++i) {
          const size_t nextPos = (p.pos + 1) % p.line.size();
          const float y = p.line[p.pos];
          const float loss = i < damp ? p.loss : 0.9f;
          p.line[p.pos] = loss * 0.5f * (y + p.line[nextPos]);
          p.pos = nextPos;
          out[i] += p.gain * y;
        }
      }
    }
  }
  // Keep the peak near 0.5, a hot but unclipped pickup.
  float peak = 0.0f;
  for (float v : out) peak = std::max(peak, std::fabs(v));
  if (peak > 0.0f)
    for (float& v : out) v *= 0.5f / peak;
  return out;
}
