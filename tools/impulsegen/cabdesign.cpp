#include "tools/impulsegen/cabdesign.hpp"

#include <algorithm>
#include <cmath>

#include "tools/impulsegen/cabvoice.hpp"
#include "tools/impulsegen/detmath.hpp"
#include "tools/impulsegen/detrandom.hpp"

namespace {

constexpr double kSoundSpeed = 343.0;  // m/s at 20 °C
constexpr double kSamplesPerMetre = kImpulseRate / kSoundSpeed;

// The room the factory cabinets were "recorded" in (metres).
constexpr double kWallBehindMic = 1.8;
constexpr double kSideWallNear = 1.2;
constexpr double kSideWallFar = 1.7;
constexpr double kCeiling = 2.6;
constexpr double kCabToRearWall = 0.45;
constexpr double kSpeakerPitch = 0.33;  // centre to centre on a 4x12 baffle

struct Arrival {
  SoundPath path;
  double extra_m;  // path length beyond the direct one
  double gain;     // relative to the direct sound
};

// Image sources in a rectangular room: each gain is the wall's reflectivity times
// the spreading loss relative to the direct path (d / path).
std::vector<Arrival> arrivals(const CabinetDesc& d) {
  const double dist = d.distance_cm / 100.0;
  const double height = d.cab == CabKind::kClosed4x12 ? 0.6 : 0.35;  // speaker above the floor
  std::vector<Arrival> out;
  auto bounce = [&](SoundPath path, double path_m, double reflectivity) {
    out.push_back({path, path_m - dist, reflectivity * dist / path_m});
  };
  bounce(SoundPath::kReflection, std::sqrt(dist * dist + 4 * height * height), 0.7);  // hard floor
  bounce(SoundPath::kReflection, dist + 2 * kWallBehindMic, 0.6);
  bounce(SoundPath::kReflection, std::sqrt(dist * dist + 4 * kSideWallNear * kSideWallNear), 0.6);
  bounce(SoundPath::kReflection, std::sqrt(dist * dist + 4 * kSideWallFar * kSideWallFar), 0.55);
  bounce(SoundPath::kReflection,
         std::sqrt(dist * dist + 4 * (kCeiling - height) * (kCeiling - height)), 0.5);
  // Second order: floor then ceiling, and the wall behind the mic via the floor.
  bounce(SoundPath::kDiffuse, std::sqrt(dist * dist + 4 * kCeiling * kCeiling), 0.25);
  {
    const double along = dist + 2 * kWallBehindMic;
    bounce(SoundPath::kDiffuse, std::sqrt(along * along + 4 * height * height), 0.25);
  }
  if (d.cab == CabKind::kClosed4x12 && d.spot != MicSpot::kBack) {
    // The other three speakers comb with the aimed one at a distance. No two cones
    // break up alike, so their top is only partly coherent: a darker path, less level.
    const double offsets[] = {kSpeakerPitch, kSpeakerPitch, kSpeakerPitch * 1.41421356237309505};
    for (double r : offsets) {
      const double path_m = std::sqrt(dist * dist + r * r);
      out.push_back({SoundPath::kNeighbour, path_m - dist, 0.6 * dist / path_m});
    }
  }
  if (d.cab == CabKind::kOpen1x12) {
    // The rear wave, opposite in polarity: round the cabinet's sides, and off the
    // wall behind it.
    out.push_back({SoundPath::kDiffuse, 0.5, -0.3 * dist / (dist + 0.5)});
    const double rear = 0.25 + 2 * kCabToRearWall;
    out.push_back({SoundPath::kReflection, rear, -0.5 * dist / (dist + rear)});
  } else {
    // A closed box still radiates its lows backwards.
    const double rear = 0.35 + 2 * kCabToRearWall;
    out.push_back({SoundPath::kDiffuse, rear, 0.3 * dist / (dist + rear)});
  }
  return out;
}

double energy(const std::vector<double>& x, size_t n) {
  double e = 0;
  for (size_t i = 0; i < n && i < x.size(); ++i) e += x[i] * x[i];
  return e;
}

// Decaying noise that starts with the first wall reflections and builds up over a
// few milliseconds, then coloured by the diffuse path's response. Shaping the noise
// before filtering keeps the envelope from modulating low end back in: the tail
// inherits the body's high-pass and carries no DC.
std::vector<double> roomTail(const CabinetDesc& d, const std::vector<double>& diffuse_body,
                             double early_energy, SpectrumWork& work) {
  const size_t len = d.length;
  const double dist = d.distance_cm / 100.0;
  // Reverberant level is fixed by the room, the early sound's falls with distance:
  // their energy ratio grows with the square of the distance (0.5 m: equal for a live room).
  const double ratio = std::min(d.room * (dist / 0.5) * (dist / 0.5), 1.5);
  if (ratio <= 0) return {};
  DetRandom rng(0x7A11ull + 977ull * d.seed);
  const double rt60_s = 0.15 + 0.3 * d.room;
  const double decay = detmath::exp(-6.907755278982137 / (rt60_s * kImpulseRate));  // −60 dB over rt60
  const size_t start = static_cast<size_t>(2 * kSideWallNear * kSamplesPerMetre * 0.8);
  const size_t ramp = static_cast<size_t>(0.008 * kImpulseRate);
  std::vector<double> noise(len, 0.0);
  double env = 1.0;
  for (size_t i = start; i < len; ++i) {
    const double build = i - start < ramp ? static_cast<double>(i - start) / ramp : 1.0;
    noise[i] = rng.noise() * build * env;
    env *= decay;
  }
  std::vector<double> body(diffuse_body.begin(), diffuse_body.begin() + len);
  std::vector<double> tail = work.convolve(noise, body, len);
  const double e = energy(tail, len);
  const double scale = e > 0 ? std::sqrt(ratio * early_energy / e) : 0.0;
  for (double& v : tail) v *= scale;
  return tail;
}

// Cutting a response short leaves a little DC; a cabinet passes none. Subtracting
// a parabola that spans the whole response removes it while touching only the
// lowest few hertz (n ≥ 4506 here).
void removeDc(std::vector<double>& x) {
  const size_t n = x.size();
  double sum = 0, weight = 0;
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / (n - 1);  // 0 at both ends: the fade stays silent
    w[i] = 4.0 * t * (1.0 - t);
    sum += x[i];
    weight += w[i];
  }
  const double c = sum / weight;
  for (size_t i = 0; i < n; ++i) x[i] -= c * w[i];
}

// Smooth cubic fade to zero over the last quarter (at least 1024 samples).
void fadeOut(std::vector<double>& x) {
  const size_t n = x.size();
  const size_t fade = std::min(n, std::max<size_t>(n / 4, 1024));
  for (size_t i = 0; i < fade; ++i) {
    const double t = static_cast<double>(i + 1) / fade;  // 0 → 1 over the fade
    x[n - fade + i] *= 1.0 - t * t * (3.0 - 2.0 * t);
  }
}

}  // namespace

double bandEnergyDb(const std::vector<double>& x, double rate, double lo_hz, double hi_hz, SpectrumWork& work) {
  const std::vector<double> p = work.power(x);
  double e = 0;
  for (int k = 1; k < work.bins() - 1; ++k) {
    const double f = k * work.binHz(rate);
    if (f >= lo_hz && f < hi_hz) e += p[k];
  }
  // Parseval: a bin k in (0, n/2) stands for itself and its mirror image.
  e *= 2.0 / work.size();
  return 10.0 * detmath::log(std::max(e, 1e-300)) / detmath::kLn10;
}

std::vector<double> designCabinet(const CabinetDesc& d, SpectrumWork& work) {
  const int bins = work.bins();
  const double bin_hz = work.binHz(kImpulseRate);
  auto body = [&](SoundPath path) {
    return work.minimumPhase(designPathShape(d, path, bins, bin_hz).lnMagnitude());
  };
  const std::vector<double> bodies[] = {body(SoundPath::kDirect), body(SoundPath::kNeighbour),
                                        body(SoundPath::kReflection), body(SoundPath::kDiffuse)};
  const size_t len = d.length;
  std::vector<double> out(bodies[0].begin(), bodies[0].begin() + len);
  for (const Arrival& a : arrivals(d)) {
    const size_t delay = static_cast<size_t>(a.extra_m * kSamplesPerMetre + 0.5);
    const std::vector<double>& h = bodies[static_cast<int>(a.path)];
    for (size_t i = delay; i < len; ++i) out[i] += a.gain * h[i - delay];
  }
  const std::vector<double> tail = roomTail(d, bodies[3], energy(out, len), work);
  for (size_t i = 0; i < tail.size(); ++i) out[i] += tail[i];
  fadeOut(out);
  removeDc(out);
  // Same loudness for every cabinet; the peak limit wins for very spiky responses.
  const double loud_db = bandEnergyDb(out, kImpulseRate, 100, 6000, work);
  double gain = detmath::dbToGain(kTargetLoudnessDb - loud_db);
  double peak = 0;
  for (double v : out) peak = std::max(peak, std::fabs(v));
  if (peak * gain > kMaxPeak) gain = kMaxPeak / peak;
  // Behind the cabinet the cone moves away from the microphone.
  if (d.spot == MicSpot::kBack) gain = -gain;
  for (double& v : out) v *= gain;
  return out;
}
