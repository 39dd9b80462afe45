#include "data/impulses.hpp"

#include "data/impulseerrors.hpp"
#include "data/resample.hpp"
#include "data/wavread.hpp"
#include "platform/files.hpp"
#include "resources/resources.hpp"

namespace {

// The cache entry of a factory catalogue entry: the one its bufferIndex names,
// else one already made for the same resource (the catalogue is rebuilt with
// bufferIndex -1 on every document load), else a new empty one.
qvfactorysamples& factoryCacheFor(std::vector<qvfactorysamples>& cache, qvimpulse& entry) {
  const int32_t at = entry.bufferIndex;
  if (at >= 0 && static_cast<size_t>(at) < cache.size() && cache[size_t(at)].res == entry.res)
    return cache[size_t(at)];
  for (size_t k = 0; k < cache.size(); ++k) {
    if (cache[k].res == entry.res) {
      entry.bufferIndex = static_cast<int32_t>(k);
      return cache[k];
    }
  }
  cache.push_back(qvfactorysamples{entry.res, 0, {}});
  entry.bufferIndex = static_cast<int32_t>(cache.size() - 1);
  return cache.back();
}

// Decoded factory samples at hostRate into `out`; false with the error text set.
bool readFactoryImpulse(std::vector<qvfactorysamples>& cache, qvimpulse& entry, float hostRate,
                        std::vector<float>& out, qvstring& error) {
  qvfactorysamples& cached = factoryCacheFor(cache, entry);
  if (cached.samples.empty()) {
    qvresource r;
    qvwavinfo info;
    if (loadDataResourceById(entry.res, r))
      cached.sampleRate = readWavMemory(r.bytes, r.size, cached.samples, info);
    if (cached.sampleRate < 1) cached.samples.clear();
  }
  out = cached.samples;  // the cache keeps the file-rate original
  if (out.empty() || resampleImpulse(out, float(cached.sampleRate), hostRate) == kResampleFailed) {
    error = kResourceNotLoadedText;
    return false;
  }
  return true;
}

// The samples of a user file at hostRate into `out`; false with the error text set.
bool readUserImpulse(const qvimpulse& entry, float hostRate, bool limitSize,
                     std::vector<float>& out, qvstring& error) {
  const qvfileprobe probe = probeFile(entry.path);
  if (!probe.ok) {
    error = impulseFileErrorText(entry.path, probe, kHeaderUnknown);
    return false;
  }
  qvwavinfo info;
  const int rate = readWavFile(entry.path, out, info);
  // A file with no samples, or one the converter refuses (a forged rate asking
  // for more samples than any impulse has), fails like an unreadable one.
  if (rate < 1 || out.empty() || resampleImpulse(out, info, hostRate) == kResampleFailed) {
    out.clear();
    error = impulseFileErrorText(entry.path, probe, info.headerType);
    return false;
  }
  if (limitSize && out.size() > static_cast<size_t>(kImpulseSizeLimit)) {
    out.clear();
    error = impulseTooLargeText(kImpulseSizeLimit);
    return false;
  }
  return true;
}

}  // namespace

bool readImpulseSamples(std::vector<qvfactorysamples>& cache, qvimpulse& entry, float hostRate,
                        bool limitSize, std::vector<float>& out, qvstring& error) {
  return entry.res >= 0 ? readFactoryImpulse(cache, entry, hostRate, out, error)
                        : readUserImpulse(entry, hostRate, limitSize, out, error);
}
