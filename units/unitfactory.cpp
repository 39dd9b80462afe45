#include "units/unitfactory.hpp"

#include "units/buffer.hpp"
#include "units/clipping.hpp"
#include "units/delay.hpp"
#include "units/dynamics.hpp"
#include "units/graphiceq.hpp"
#include "units/tonestack.hpp"
#include "units/tubegain.hpp"
#include "units/wahfilter.hpp"

const qvblockinfo kBlockTypes[12] = {
    {0, "qvusebuffer", "Buffer"},       {1, "qvusewah", "Filter"},
    {2, "qvuseeq", "Equalizer"},        {3, "qvusclip", "Clipping"},
    {4, "qvuscomp", "Compression"},     {5, "qvusgate", "Gate"},
    {6, "qvusetone", "Tone"},           {7, "qvustubea", "Tube Gain"},
    {8, "qvusegraphiceq", "Graphic EQ"}, {9, "qvusepeak", "Presence"},
    {10, "qvusewahplus", "Auto Wah"},   {11, "qvusedelay", "Delay"},
};

const char* blockDisplayName(int blocktype) {
  if (blocktype < 0 || blocktype > 11) return "";
  return kBlockTypes[blocktype].displayName;
}

std::unique_ptr<qvutil> createUnit(int blocktype, const qvprocstate& state, bool withTable,
                                   bool bringUpToDate) {
  std::unique_ptr<qvutil> unit;
  switch (blocktype) {
    case kBlockBuffer: unit = std::make_unique<qvusebuffer>(state, withTable); break;
    case kBlockFilter: unit = std::make_unique<qvusewah>(state, withTable); break;
    case kBlockEqualizer: unit = std::make_unique<qvuseeq>(state, withTable); break;
    case kBlockClipping: unit = std::make_unique<qvusclip>(state, withTable); break;
    case kBlockCompression: unit = std::make_unique<qvuscomp>(state, withTable); break;
    case kBlockGate: unit = std::make_unique<qvusgate>(state, withTable); break;
    case kBlockTone: unit = std::make_unique<qvusetone>(state, withTable); break;
    case kBlockTubeGain: unit = std::make_unique<qvustubea>(state, withTable); break;
    case kBlockGraphicEq: unit = std::make_unique<qvusegraphiceq>(state, withTable); break;
    case kBlockPresence: unit = std::make_unique<qvusepeak>(state, withTable); break;
    case kBlockAutoWah: unit = std::make_unique<qvusewahplus>(state, withTable); break;
    case kBlockDelay: unit = std::make_unique<qvusedelay>(state, withTable); break;
    default: return nullptr;
  }
  if (withTable && bringUpToDate) unit->update(-1);
  return unit;
}
