// Default parameter tables of every block type, in pind order.
#pragma once
#include <span>

struct qvparamspec {
  const char* nametag;
  int type;
  float defa, xscale, xlow, uscale, ulow;
  bool vis;
};

// Block type numbers.
enum qvblocktype : int {
  kBlockBuffer = 0,
  kBlockFilter = 1,
  kBlockEqualizer = 2,
  kBlockClipping = 3,
  kBlockCompression = 4,
  kBlockGate = 5,
  kBlockTone = 6,
  kBlockTubeGain = 7,
  kBlockGraphicEq = 8,
  kBlockPresence = 9,
  kBlockAutoWah = 10,
  kBlockDelay = 11,
  kBlockCabSim = 999
};

// [any] The table of a block type (0..11 or 999); empty for any other number.
std::span<const qvparamspec> paramTable(int blocktype);
