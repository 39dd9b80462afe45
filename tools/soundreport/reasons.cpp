// Why a factory preset misses an aliasing target, found with the report's lines
// (corvina-soundreport --lines --preset NAME), the settled figures and by running
// the rig with units switched off or oversampled.
#include "tools/soundreport/verdict.hpp"

namespace {
const srcause kEcho{
    "echoes still settling",
    "Echoes with much feedback are still building up and dying away in the analysed seconds, and "
    "that change in level spreads every harmonic into its neighbourhood. Settled (12 s), the preset "
    "is far below both targets."};
const srcause kOctave{
    "octave-up fuzz above the rig's band",
    "The \"Octa Rock\" fuzz rectifies: for a 3520 Hz tone its output (7040 Hz and up) lies above "
    "this rig's filters and cab, so almost nothing harmonic is left to compare with, and the "
    "remainder (mostly its 14th harmonic, folded to 1280 Hz at the end of the fuzz's range where "
    "the filter holds it 97 dB down) reads large. At 997 Hz, within the guitar's range, these "
    "presets meet the target."};
const srcause kWah{
    "auto-wah at the host rate",
    "The \"AutoWah\" pedal runs at the host rate (its definition has no oversampled range): its "
    "envelope follower rectifies the signal, and the folded harmonics of that envelope sweep a "
    "sharp resonance. With the wah oversampled (brackets 0 1 in its definition) these presets meet "
    "both targets (\"The Zapper\" -94.1 / -78.7 dB, \"dUber Wah\" -87.6 / -80.2, \"Cyber Wah Laser "
    "Mode\" -90.7 / -90.9), but every wah then costs about 1700 instructions more per sample and "
    "\"dUber Wah\" would become the slowest preset by far; the definition keeps none."};
const srcause kRounding{
    "filter rounding noise against a dark cab",
    "Not aliasing: rounding noise of the amplifier's single-precision 90 Hz high-pass, gathered "
    "near its corner (the lines near 100 Hz stay with every other unit off, and at every "
    "oversampling factor). The \"back of cab\" impulse passes it but almost silences a 3520 Hz "
    "tone, so the ratio reads large; at 997 Hz the preset meets the target."};

struct reason {
  const char* preset;
  const srcause* cause;
};

const reason kReasons[] = {
    {"Slow Mo Solo", &kEcho},        {"Unclear Amp", &kEcho},  {"Robotic", &kOctave},
    {"Busted Integrator", &kOctave}, {"Eviler Fuzz", &kOctave}, {"Not Sitar", &kOctave},
    {"The Zapper", &kWah},           {"dUber Wah", &kWah},     {"Cyber Wah Laser Mode", &kWah},
    {"Monster Rock Crappy", &kRounding},
};
}  // namespace

const srcause* missReason(const std::string& preset) {
  for (const reason& r : kReasons)
    if (preset == r.preset) return r.cause;
  return nullptr;
}
