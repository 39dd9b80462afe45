// Sound-file decoding through libsndfile: files by path, WAVE images through the
// library's virtual I/O over a borrowed byte range.
#include "data/wavread.hpp"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct sndfileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using sndfilePtr = std::unique_ptr<SNDFILE, sndfileCloser>;

int headerTypeOf(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
      return kHeaderRiff;
    case SF_FORMAT_AU:
      return kHeaderAu;
    case SF_FORMAT_AIFF:
      return kHeaderAiff;
    case SF_FORMAT_RF64:
      return kHeaderRf64;
    case SF_FORMAT_W64:
      return kHeaderW64;
    case SF_FORMAT_FLAC:
      return kHeaderFlac;
    case SF_FORMAT_OGG:
      return kHeaderOgg;
    case SF_FORMAT_CAF:
      return kHeaderCaf;
    default:
      return kHeaderOther;
  }
}

// Reads the first channel of an opened file, in slices, so the list only grows
// with samples that really arrived.
int decodeFirstChannel(SNDFILE* file, const SF_INFO& sf, std::vector<float>& samples,
                       qvwavinfo& info) {
  info.format = sf.format & SF_FORMAT_SUBMASK;
  info.headerType = headerTypeOf(sf.format);
  info.sampleRate = sf.samplerate;
  info.channels = sf.channels;
  if (sf.channels < 1 || sf.samplerate < 1) return kWavCannotOpen;
  if (sf.frames > kWavMaxFrames) return kWavTooLong;

  const int nchannels = sf.channels;
  const sf_count_t slice_frames = std::max(1, 16384 / nchannels);
  std::vector<float> slice(size_t(slice_frames) * size_t(nchannels));
  // The header's count is only a hint: a forged one must not allocate for us.
  samples.reserve(size_t(std::clamp<sf_count_t>(sf.frames, 0, 1 << 20)));
  for (;;) {
    sf_count_t want = std::min<sf_count_t>(slice_frames, kWavMaxFrames - sf_count_t(samples.size()));
    if (want <= 0) break;
    sf_count_t got = sf_readf_float(file, slice.data(), want);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      float x = slice[size_t(i) * size_t(nchannels)];
      samples.push_back(std::isfinite(x) ? x : 0.0f);
    }
    if (got < want) break;
  }
  if (sf_error(file) != SF_ERR_NO_ERROR) {
    samples.clear();
    return kWavReadFailed;
  }
  return sf.samplerate;
}

// A borrowed byte range seen as a read-only file by libsndfile.
struct memoryImage {
  const unsigned char* bytes;
  sf_count_t size;
  sf_count_t pos;
};

sf_count_t memLength(void* user) { return static_cast<memoryImage*>(user)->size; }

sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<memoryImage*>(user);
  sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
  // Offsets come from the file's own chunk sizes; keep the sum from overflowing.
  if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
  m->pos = base + offset;
  return m->pos;
}

sf_count_t memRead(void* dst, sf_count_t count, void* user) {
  auto* m = static_cast<memoryImage*>(user);
  if (count <= 0 || m->pos >= m->size) return 0;
  sf_count_t n = std::min(count, m->size - m->pos);
  std::memcpy(dst, m->bytes + m->pos, size_t(n));
  m->pos += n;
  return n;
}

sf_count_t memWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memTell(void* user) { return static_cast<memoryImage*>(user)->pos; }

}  // namespace

int sniffHeaderType(const void* bytes, size_t size) {
  if (size < 12) return kHeaderUnknown;
  const char* p = static_cast<const char*>(bytes);
  bool riff = std::memcmp(p, "RIFF", 4) == 0 || std::memcmp(p, "RIFX", 4) == 0;
  return riff && std::memcmp(p + 8, "WAVE", 4) == 0 ? kHeaderRiff : kHeaderUnknown;
}

int readWavFile(const qvstring& path, std::vector<float>& samples, qvwavinfo& info) {
  samples.clear();
  info = qvwavinfo{};
  SF_INFO sf{};
  sndfilePtr file(sf_open(path.c_str(), SFM_READ, &sf));
  if (!file) {
    // The library gives no container for a file it rejects; the first bytes
    // still tell a damaged WAVE file from something else.
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      unsigned char head[12];
      size_t n = std::fread(head, 1, sizeof head, f);
      std::fclose(f);
      info.headerType = sniffHeaderType(head, n);
    }
    return kWavCannotOpen;
  }
  int rc = decodeFirstChannel(file.get(), sf, samples, info);
  if (rc < 1) samples.clear();
  return rc;
}

int readWavMemory(const void* bytes, size_t size, std::vector<float>& samples,
                  qvwavinfo& info) {
  samples.clear();
  info = qvwavinfo{};
  if (!bytes) return kWavCannotOpen;
  info.headerType = sniffHeaderType(bytes, size);
  if (info.headerType != kHeaderRiff) return kWavCannotOpen;

  memoryImage image{static_cast<const unsigned char*>(bytes), sf_count_t(size), 0};
  SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
  SF_INFO sf{};
  sndfilePtr file(sf_open_virtual(&io, SFM_READ, &sf, &image));
  if (!file) return kWavCannotOpen;
  int rc = decodeFirstChannel(file.get(), sf, samples, info);
  if (rc < 1) samples.clear();
  return rc;
}
