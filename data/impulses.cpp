// Loading an impulse response into a cab sim. Factory impulses are decoded once
// from the embedded resources and kept at their file rate; user files are read
// from disk on every load (the file may have changed). Either way the samples are
// converted to the host rate and set up as a new convolution slot, so a failed
// load leaves the playing block exactly as it was.
#include <memory>

#include "data/impulseerrors.hpp"
#include "data/resample.hpp"
#include "data/wavread.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
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

bool qvengine::loadImpulse(int32_t index, int32_t block) {
  data.errorText.clear();
  if (index < 0 || static_cast<uint32_t>(index) >= data.impulses.count()) return false;
  if (block < -1 || (block >= 0 && static_cast<uint32_t>(block) >= chain.cabBlocks.count()))
    return false;

  qvimpulse& entry = *data.impulses[static_cast<uint32_t>(index)];
  std::vector<float> samples;
  const bool read =
      entry.res >= 0
          ? readFactoryImpulse(factoryImpulses, entry, state.sampleRate, samples, data.errorText)
          : readUserImpulse(entry, state.sampleRate,
                            state.settingInt(kSetLimitImpulseFiles) == 1, samples,
                            data.errorText);
  if (!read) return false;

  const int slot = chain.cabEngine->createSlot(samples);
  if (slot < 0) {
    data.errorText = "Convolution slot could not be created.";
    return false;
  }

  if (block < 0) {
    auto cab = std::make_unique<qvusconv>(state, true);  // a "New Sim" with default parameters
    cab->slot = slot;
    cab->impulse = index;
    data.currentCabBlock = static_cast<int32_t>(chain.cabBlocks.append(std::move(cab)));
    return true;
  }
  qvusconv& cab = *chain.cabBlocks[static_cast<uint32_t>(block)];
  if (cab.slot >= 0) chain.cabEngine->releaseSlot(cab.slot);
  cab.slot = slot;
  cab.impulse = index;
  chain.cabEngine->setActive(slot, cab.params[qvusconv::kEnabled]->xi != 0);
  return true;
}

void qvengine::reloadCabImpulses() {
  for (uint32_t b = 0; b < chain.cabBlocks.count(); ++b) {
    const int32_t index = chain.cabBlocks[b]->impulse;
    // A block whose file has gone since keeps playing its impulse at the old rate
    // rather than disappearing from the rig.
    if (index >= 0) loadImpulse(index, static_cast<int32_t>(b));
  }
  chain.updateCabActivity();
}
