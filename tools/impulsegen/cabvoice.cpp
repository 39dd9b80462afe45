// Numbers are voicing choices made by ear against the usual shape of measured guitar
// cabinets: a speaker resonance near 70 to 90 Hz, a closed box adding a low bump, an
// open back cancelling the lows, cone break-up peaks and dips between 2 and 5 kHz
// and a steep fall above 5 to 7 kHz.
#include "tools/impulsegen/cabvoice.hpp"

#include <algorithm>

#include "tools/impulsegen/detmath.hpp"
#include "tools/impulsegen/detrandom.hpp"

namespace {

struct Bell {
  double f0, gain_db, q;
};

struct ConeDesign {
  Bell breakup[5];   // the cone's own peaks and dips
  double rolloff_hz; // where the response falls away
};

// chime: open American-style 1x12; vintage: low-power British, mid hump, early top
// fall; modern: higher-power British, bright bite at 2.5 and 4 kHz; heavy: modern with
// scooped low mids.
const ConeDesign kCones[] = {
    {{{1250, 1.5, 1.2}, {2400, 4.0, 2.5}, {3000, -3.5, 5}, {3700, 5.0, 3}, {4600, -4.0, 5}}, 6800},
    {{{950, 2.5, 1.0}, {1800, 3.5, 2.0}, {2600, -3.0, 4}, {3400, 3.5, 3}, {4300, -5.0, 4}}, 4900},
    {{{1400, 2.0, 1.5}, {2500, 5.0, 3.0}, {3200, -5.0, 5}, {4200, 6.0, 3.5}, {5200, -6.0, 5}}, 6000},
    {{{550, -3.0, 0.9}, {2200, 4.0, 2.5}, {3000, -4.0, 5}, {3900, 6.0, 3}, {4900, -6.0, 5}}, 5800},
};

struct SpotDesign {
  double breakup_scale;  // how strongly the microphone hears the break-up
  double top_tilt_db;    // shelf from 2.5 kHz: the centre is brightest
  double rolloff_scale;  // the cone's outer parts stop radiating earlier
};

const SpotDesign kSpots[] = {
    {1.3, 2.5, 1.1},    // centre (dust cap)
    {1.0, 0.0, 1.0},    // cap edge
    {0.75, -3.0, 0.9},  // cone
    {0.55, -6.0, 0.8},  // edge of the cone, side of the speaker
    {0.25, 0.0, 1.0},   // behind the cabinet: shaped separately
};

double clampTo(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

double log2Of(double x) { return detmath::log(x) / detmath::kLn2; }

void addEnclosure(LogShape& s, CabKind cab) {
  switch (cab) {
    case CabKind::kClosed4x12:  // four cones in a sealed box: resonance bump and thick low mids
      s.highPass2(72, 1.25);
      s.bell(110, 2.0, 1.0);
      s.bell(230, 4.0, 0.9);
      s.bell(420, 1.0, 1.2);
      break;
    case CabKind::kClosed1x12:  // small sealed box: tighter, higher bump
      s.highPass2(88, 1.1);
      s.bell(135, 2.0, 1.3);
      s.bell(300, 1.0, 1.0);
      break;
    case CabKind::kOpen1x12:  // the rear wave cancels the lows: a dipole's extra 6 dB/oct
      s.highPass2(78, 0.75);
      s.highPass1(130);
      s.bell(380, -4.0, 0.9);
      s.bell(750, -1.0, 1.2);
      break;
  }
}

void addMicrophone(LogShape& s, MicKind mic, int bins) {
  switch (mic) {
    case MicKind::kDynamic:  // "57": bass roll-off, presence rise around 5 kHz
      s.highPass2(65, 0.8);
      s.bell(1200, -1.0, 1.0);
      s.bell(5200, 3.5, 1.1);
      s.lowPass2(13000, 0.7);
      break;
    case MicKind::kRibbon:  // "punch": full low mids, gently falling top
      s.highPass2(35, 0.7);
      s.bell(250, 1.5, 0.8);
      s.bell(1500, 1.0, 0.9);
      s.lowPass2(7500, 0.55);
      break;
    case MicKind::kCondenser:  // "aura": flat, extended, a little air
      s.highPass2(28, 0.7);
      s.bell(3500, 1.0, 0.7);
      s.bell(10000, 3.0, 0.8);
      break;
    case MicKind::kBlend: {  // dynamic and ribbon averaged: the balanced pair
      LogShape dyn(bins, s.binHz()), rib(bins, s.binHz());
      addMicrophone(dyn, MicKind::kDynamic, bins);
      addMicrophone(rib, MicKind::kRibbon, bins);
      s.add(dyn, 0.5);
      s.add(rib, 0.5);
      break;
    }
  }
}

double proximityStrengthDb(MicKind mic) {
  switch (mic) {
    case MicKind::kDynamic: return 5.0;
    case MicKind::kRibbon: return 7.5;  // figure of eight: the strongest lift
    case MicKind::kCondenser: return 3.0;
    case MicKind::kBlend: return 6.0;
  }
  return 0.0;
}

// Cone, placement and angle: everything that depends on where the cone is heard.
void addConeAndPlacement(LogShape& s, const CabinetDesc& d, DetRandom& rng) {
  const ConeDesign& cone = kCones[static_cast<int>(d.cone)];
  const SpotDesign& spot = kSpots[static_cast<int>(d.spot)];
  const double off = d.angle_deg / 90.0;
  const double breakup_scale = spot.breakup_scale * (1.0 - 0.4 * off);
  for (const Bell& b : cone.breakup) {
    // Every speaker is a little different: move each peak a few per cent.
    const double f0 = b.f0 * (1.0 + rng.between(-0.03, 0.03));
    const double gain = b.gain_db + rng.between(-0.8, 0.8);
    s.bell(f0, f0 >= 1500 ? gain * breakup_scale : gain, b.q);
  }
  // Draws are sequenced one per statement: the order in which a call's arguments
  // are evaluated differs between compilers.
  auto randomBell = [&](double lo_hz, double hi_hz, double max_db, double q_lo, double q_hi) {
    const double f0 = rng.between(lo_hz, hi_hz);
    const double gain = rng.between(-max_db, max_db);
    const double q = rng.between(q_lo, q_hi);
    s.bell(f0, gain, q);
  };
  for (int i = 0; i < 3; ++i) randomBell(400, 2000, 1.2, 1.5, 3);
  // Above the roll-off the cone moves in pieces: small sharp ripples.
  for (int i = 0; i < 5; ++i) randomBell(5500, 14000, 4, 4, 8);
  const double rolloff = cone.rolloff_hz * spot.rolloff_scale * (1.0 - 0.25 * off);
  s.butterLowPass(rolloff, 4);
  s.lowPass2(rolloff * 1.6, 0.9);
  if (spot.top_tilt_db != 0) s.highShelf(2500, spot.top_tilt_db);
  if (off > 0) s.highShelf(2000, -12.0 * off);
  if (d.spot == MicSpot::kBack) {
    // Behind a closed box only the panels and the sound bending round the cabinet
    // arrive: dark and boomy.
    s.lowPass2(1000, 0.8);
    s.butterLowPass(2500, 3);
    s.bell(120, 5.0, 1.3);
    s.bell(260, 2.0, 1.5);
  }
}

void addDistance(LogShape& s, const CabinetDesc& d) {
  // Close in, the capsule hears the patch of cone in front of it, fizz and all;
  // further back it hears the whole cone, whose break-up partly averages out.
  const double beam_db = clampTo(3.0 * log2Of(d.distance_cm / 2.0), 0.0, 12.0);
  if (beam_db > 0) s.highShelf(2500, -beam_db);
  if (d.distance_cm < 1.0) s.highShelf(3000, 2.0 * (1.0 - d.distance_cm));  // right on the grille: harsh
}

void addTweaks(LogShape& s, const CabinetDesc& d) {
  if (d.bright_db != 0) s.bell(4000, d.bright_db, 0.8);
  if (d.tight_hz > 0) s.highPass2(d.tight_hz, 0.6);
  if (d.boost_db != 0) s.bell(900, d.boost_db, 0.6);
  if (d.body_db != 0) s.lowShelf(160, d.body_db);
}

}  // namespace

double proximityDb(const CabinetDesc& d) {
  // Full lift at 1 cm, none from 40 cm on (log distance in between).
  const double k = 1.0 - detmath::log(d.distance_cm) / detmath::log(40.0);
  return proximityStrengthDb(d.mic) * clampTo(k, 0.0, 1.25);
}

LogShape designPathShape(const CabinetDesc& d, SoundPath path, int bins, double bin_hz) {
  LogShape s(bins, bin_hz);
  // The same seed for every path: the reflections come from the same speaker.
  DetRandom rng(0x5EEDC0DEull * (d.seed + 1) + static_cast<uint64_t>(d.res));
  addEnclosure(s, d.cab);
  addConeAndPlacement(s, d, rng);
  addMicrophone(s, d.mic, bins);
  addDistance(s, d);
  addTweaks(s, d);
  switch (path) {
    case SoundPath::kDirect: {
      const double prox = proximityDb(d);
      if (prox > 0) s.lowShelf(170, prox);
      break;
    }
    case SoundPath::kNeighbour:  // another speaker, heard off its axis
      s.highShelf(2500, -4.0);
      s.lowPass1(6000);
      break;
    case SoundPath::kReflection:  // off the cone's axis, then a wall soaks up top
      s.highShelf(1200, -3.0);
      s.lowPass1(3500);
      break;
    case SoundPath::kDiffuse:  // many bounces
      s.highShelf(600, -3.0);
      s.lowPass2(1800, 0.7);
      break;
  }
  s.limitFloor(90.0);
  return s;
}
