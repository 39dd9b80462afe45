// Impulse-response decoding: the first channel of a sound file (from disk) or of a
// RIFF/WAVE image held in memory (the factory impulses), as 32-bit floats, with
// the container kind, sample format and rate the impulse loader reports. Any
// sample format the sound-file library reads is converted to float (integers
// scaled to ±1). Memory stays bounded on hostile headers: at most kWavMaxFrames
// frames are accepted, and samples are stored as they are actually read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/qvstring.hpp"

// Container kinds, as reported in the loader's "Type: " text. RIFF/RIFX WAVE is 3,
// the number the messages expect; a file the library cannot open still gets 3 when
// its first twelve bytes say RIFF/RIFX ... WAVE, and 0 otherwise.
enum qvheadertype : int {
  kHeaderUnknown = 0,  // not a container the library reads
  kHeaderAu = 1,       // NeXT/Sun .au/.snd
  kHeaderAiff = 2,     // AIFF and AIFC
  kHeaderRiff = 3,     // RIFF (little-endian) and RIFX (big-endian) WAVE, WAVE_FORMAT_EXTENSIBLE
  kHeaderRf64 = 4,     // RF64
  kHeaderW64 = 5,      // Sony Wave64
  kHeaderFlac = 6,
  kHeaderOgg = 7,      // Ogg Vorbis / Opus
  kHeaderCaf = 8,      // Apple CAF
  kHeaderOther = 9,    // any other container the library reads
};

struct qvwavinfo {
  int format = 0;      // sample format: libsndfile's sub-format code (SF_FORMAT_PCM_16 = 2,
                       // PCM_24 = 3, PCM_32 = 4, FLOAT = 6, ...), 0 when not opened
  int headerType = kHeaderUnknown;  // container, see qvheadertype
  int sampleRate = 0;  // Hz, 0 when not opened
  int channels = 0;    // channels in the file (only the first is decoded)
};

// Result codes besides a sample rate (which is always 1 or more).
inline constexpr int kWavCannotOpen = -1;   // missing, unreadable or not a sound file
inline constexpr int kWavTooLong = -2;      // more than kWavMaxFrames frames
inline constexpr int kWavReadFailed = -3;   // header fine, samples could not be decoded

// 2^26 frames (256 MiB of floats): nearly 12 minutes at 96 kHz, far beyond any
// impulse response, yet it keeps a forged frame count from exhausting memory.
inline constexpr int64_t kWavMaxFrames = int64_t(1) << 26;

// [any, not audio] Decodes the first channel of the file at `path`. Returns its
// sample rate, or a negative code (samples then empty). `info` is filled as far as
// the file could be read, the header type even when the library rejects the file.
// Non-finite float samples are stored as 0, so a damaged file cannot silence the
// convolution for good.
int readWavFile(const qvstring& path, std::vector<float>& samples, qvwavinfo& info);

// [any, not audio] The same for a RIFF/RIFX WAVE image of `size` bytes in memory
// (borrowed for the call). Images of other containers are refused.
int readWavMemory(const void* bytes, size_t size, std::vector<float>& samples,
                  qvwavinfo& info);

// [any] Header type from the first bytes of a file image: kHeaderRiff for
// "RIFF"/"RIFX" at 0 and "WAVE" at 8, else kHeaderUnknown.
int sniffHeaderType(const void* bytes, size_t size);
