// Writes the test resource set's impulse: RIFF/WAVE, PCM 24-bit, mono, 96000 Hz,
// the layout of a factory impulse. The header is written by hand so the bytes do
// not depend on a library's choices (no extra chunks, no time stamps).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/testimpulse.hpp"

namespace {

void put32(std::vector<unsigned char>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xff);
}
void put16(std::vector<unsigned char>& b, uint16_t v) {
  b.push_back(v & 0xff);
  b.push_back(v >> 8);
}
void putTag(std::vector<unsigned char>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_test_wav OUT.wav\n");
    return 2;
  }
  const uint32_t data_bytes = uint32_t(kTestImpulseCount) * 3;
  std::vector<unsigned char> b;
  putTag(b, "RIFF");
  put32(b, 4 + (8 + 16) + (8 + data_bytes));
  putTag(b, "WAVE");
  putTag(b, "fmt ");
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, 1);  // channels
  put32(b, kTestImpulseRate);
  put32(b, kTestImpulseRate * 3);  // bytes per second
  put16(b, 3);                     // block align
  put16(b, 24);                    // bits per sample
  putTag(b, "data");
  put32(b, data_bytes);
  for (int n = 0; n < kTestImpulseCount; ++n) {
    uint32_t v = uint32_t(testImpulseSample(n));
    for (int i = 0; i < 3; ++i) b.push_back((v >> (8 * i)) & 0xff);
  }

  FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "gen_test_wav: could not write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
