// Any bytes as the host's chunk: the load must never crash or leak, a chunk that
// fails leaves the rig playing, and whatever rig a chunk builds must run.
// The engine reads a small factory document with amplifier and pedal definitions
// so chunks can refer to them; cab blocks get a short synthetic impulse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/loadsavefixture.hpp"

namespace {

qvengine& engine() {
  static qvengine* e = [] {
    auto* made = new qvengine("/nonexistent/", lsfix::kSaveName);
    lsfix::useTestImpulses(*made);
    made->data.factoryText = writeJsonText(lsfix::factoryDocument());
    if (made->loadDocument(true) != 0) std::abort();
    return made;
  }();
  return *e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qvengine& e = engine();
  e.data.chunkText.assign(reinterpret_cast<const char*>(data), size);
  e.applyChunk();  // no audio thread: parses and loads here
  qvstring text;
  int32_t level = 0;
  while (e.messages.pop(text, level)) {
  }
  float in[64], left[64], right[64];
  for (int i = 0; i < 64; ++i) in[i] = (i % 16 < 8 ? 0.5f : -0.5f);
  float* ins[2] = {in, in};
  float* outs[2] = {left, right};
  e.chain.process(ins, outs, 64);
  e.state.audioIdle.store(1);
  e.buildChunk();  // the rig writes back whatever it is
  return 0;
}
