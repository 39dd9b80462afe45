#include "units/paramtables.hpp"

namespace {
// nametag, type, defa, xscale, xlow, uscale, ulow, vis
constexpr qvparamspec kBuffer[] = {
    {"Volume", 1, 0, 2, -1, 2, -1, true},
};
constexpr qvparamspec kFilter[] = {
    {"Dry", 1, 0, 1, 0, 1, 0, false},
    {"Cutoff", 2, 20000, 20000, 5, 20000, 5, true},
    {"Reso", 3, 0, 50, 0, 50, 0, false},
    {"Filter Con", 5, 0, 2, 0, 2, 0, false},
    {"Filter Ord", 5, 1, 4, 1, 4, 1, false},
};
constexpr qvparamspec kEqualizer[] = {
    {"Volume", 3, 1, 2, 0, 10, 0, false},
    {"Bass", 3, 1, 3, 0, 10, 0, true},
    {"Mid", 3, 1, 2, 0.22f, 10, 0, true},
    {"Treb", 3, 1, 3, 0, 10, 0, true},
    {"Bass-Hz", 2, 400, 20000, 5, 20000, 5, false},
    {"Treb-Hz", 2, 6000, 20000, 5, 20000, 5, false},
};
constexpr qvparamspec kClipping[] = {
    {"Volume", 3, 1, 10, 0, 10, 0, false},
    {"Soft", 1, 3, 20, 1, 1, 0, false},
    {"Asym Boost", 1, 0, 15, 0, 1, 0, false},
    {"Asym Bias", 1, 0, 1, 0, 1, 0, false},
    {"Gain", 3, 2, 50, 0, 10, 0, true},
    {"Rectify", 1, 0, 1, 0, 1, 0, false},
    {"Threshold", 1, 0.84f, 1, 0, 1, 0, false},
};
constexpr qvparamspec kCompression[] = {
    {"Threshold", 3, 0.1f, 0.85f, 0, 10, 0, false},
    {"Attack", 1, 0, 2, 0, 10, 0, true},
    {"Release", 1, 0, 1.3f, 0, 10, 0, true},
    {"TrigCoef", 1, 0.05f, 1, 0, 10, 0, false},
    {"Ratio", 1, 0.3f, 0.9f, 0, 1, 0, true},
    {"Drive", 3, 1, 400, 0, 10, 0, true},
};
constexpr qvparamspec kGate[] = {
    {"Threshold", 3, 0, 0.7f, 0, 10, 0, true},
    {"Attack", 1, 0, 2, 0, 10, 0, true},
    {"Release", 1, 0, 2, 0, 10, 0, true},
    {"TrigCoef", 1, 0.05f, 1, 0, 10, 0, false},
};
constexpr qvparamspec kTone[] = {
    {"Volume", 3, 1, 10, 0, 10, 0, true},
    {"Tone", 1, 0, 1, 0, 10, 0, true},
    {"Dry", 3, 0, 1, 0, 1, 0, false},
    {"Bass-Hz", 2, 700, 20000, 5, 20000, 5, false},
    {"Treb-Hz", 2, 900, 20000, 5, 20000, 5, false},
    {"Mode", 5, 0, 2, 0, 2, 0, false},
};
constexpr qvparamspec kTubeGain[] = {
    {"Volume", 3, 1, 5, 0, 10, 0, false},
    {"Gain", 3, 1, 50, 0, 10, 0, true},
    {"Bias", 1, 0, 2, -1, 2, -1, true},
    {"Env At", 1, 0, 2, 0, 10, 0, false},
    {"Sag", 1, 0, 0.9f, 0, 10, 0, false},
    {"Shift", 1, 0, 0.5f, 0, 10, 0, false},
    {"Cross", 1, 0, 1, 0, 10, 0, false},
    {"Mode", 5, 2, 9, 1, 9, 1, false},
};
// The band names are replaced by the band frequencies when the unit updates.
constexpr qvparamspec kGraphicEq[] = {
    {"Bd", 1, 0, 40, -20, 40, -20, true}, {"Bd", 1, 0, 40, -20, 40, -20, true},
    {"Bd", 1, 0, 40, -20, 40, -20, true}, {"Bd", 1, 0, 40, -20, 40, -20, true},
    {"Bd", 1, 0, 40, -20, 40, -20, true}, {"Bd", 1, 0, 40, -20, 40, -20, true},
    {"Bd", 1, 0, 40, -20, 40, -20, true}, {"Bd", 1, 0, 40, -20, 40, -20, true},
    {"PHz", 1, 0, 150, -75, 150, -75, false},
    {"Vol", 3, 1, 10, 0, 10, 0, false},
};
constexpr qvparamspec kPresence[] = {
    {"Presence", 1, 0, 10, -5, 10, -5, true},
    {"Freq", 2, 6300, 20000, 5, 20000, 5, false},
    {"Width", 1, 9000, 20000, 1, 20000, 1, false},
};
constexpr qvparamspec kAutoWah[] = {
    {"Dry", 1, 0, 1, 0, 1, 0, false},
    {"Cutoff", 2, 330, 9000, 5, 9000, 5, true},
    {"Reso", 3, 18, 50, 0, 50, 0, true},
    {"Filter Con", 5, 1, 3, 1, 3, 1, false},
    {"Filter Ord", 5, 2, 4, 1, 4, 1, false},
    {"Drive", 3, 2, 50, 0, 1, 0, true},
    {"Attack", 3, 0, 5, 0, 10, 0, true},
    {"Width", 1, 1500, 6000, -3000, 2, -1, true},
};
constexpr qvparamspec kDelay[] = {
    {"Level", 3, 0.25f, 1, 0, 1, 0, true},
    {"Delay", 2, 0.36f, 3, 0.001f, 3, 0, true},
    {"Feedback", 1, 0.25f, 1, 0, 1, 0, true},
    {"Tone", 3, 1, 1, 0, 10, 0, true},
};
constexpr qvparamspec kCabSim[] = {
    {"Volume", 3, 0.18f, 1.7f, 0, 10, 0, true},
    {"Pan", 1, 1, 2, 0, 2, -1, true},
    {"Dry", 1, 0, 1, 0, 1, 0, true},
    {"Enabled", 4, 1, 1, 0, 10, 0, true},
    {"Invert", 4, 0, 1, 0, 10, 0, true},
};
}  // namespace

std::span<const qvparamspec> paramTable(int blocktype) {
  switch (blocktype) {
    case kBlockBuffer: return kBuffer;
    case kBlockFilter: return kFilter;
    case kBlockEqualizer: return kEqualizer;
    case kBlockClipping: return kClipping;
    case kBlockCompression: return kCompression;
    case kBlockGate: return kGate;
    case kBlockTone: return kTone;
    case kBlockTubeGain: return kTubeGain;
    case kBlockGraphicEq: return kGraphicEq;
    case kBlockPresence: return kPresence;
    case kBlockAutoWah: return kAutoWah;
    case kBlockDelay: return kDelay;
    case kBlockCabSim: return kCabSim;
    default: return {};
  }
}
