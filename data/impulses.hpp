// Impulse responses on their way from the catalogue to a cab sim: decoding a
// factory impulse (once, cached at its file rate) or reading a user file, then
// converting to the host rate. The engine hands the samples to a convolution slot
// (qvengine::loadImpulse).
#pragma once
#include <cstdint>
#include <vector>

#include "data/records.hpp"

// The decoded samples of one factory impulse at its file rate. Kept for the life
// of the engine, so a later rate change converts from the original again instead
// of from an already converted copy, and the resource is decoded only once.
struct qvfactorysamples {
  int32_t res = -1;            // DATA resource the samples came from
  int sampleRate = 0;          // file rate, Hz
  std::vector<float> samples;  // first channel, empty until decoded
};

// [ui or between blocks] The samples of catalogue entry `entry` at `hostRate`
// into `out`: a factory entry through `cache` (its bufferIndex is kept pointing
// at its cache entry), a user file from disk, refused beyond the size limit when
// `limitSize`. False, with the editor's text for the reason in `error`, when it
// cannot be read.
bool readImpulseSamples(std::vector<qvfactorysamples>& cache, qvimpulse& entry, float hostRate,
                        bool limitSize, std::vector<float>& out, qvstring& error);
