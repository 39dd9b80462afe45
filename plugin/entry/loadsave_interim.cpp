// Stand-ins for the engine's document loading and chunk writing, linked only
// while the sources define no qvengine::loadSystem (see plugin/entry/CMakeLists.txt);
// they drop out by themselves when the real ones arrive. They load nothing:
// the plug-in starts with an empty rig, a chunk is a lone NUL, and a chunk
// handed back changes nothing.
#include "plugin/qvengine.hpp"

void qvengine::loadSystem() {}

int qvengine::loadDocument(bool) { return 11; }

void qvengine::buildChunk() { data.chunkText.clear(); }

void qvengine::applyChunk() { postCommand(kCmdSelectPreset, -1.0f); }
