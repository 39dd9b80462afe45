// Impulse responses on their way from the catalogue to a cab sim: the engine's
// cache of decoded factory impulses. The loader itself is qvengine::loadImpulse
// (data/impulses.cpp): decode, convert to the host rate, hand the samples to a new
// convolution slot of the chain.
#pragma once
#include <cstdint>
#include <vector>

// The decoded samples of one factory impulse at its file rate. Kept for the life
// of the engine, so a later rate change converts from the original again instead
// of from an already converted copy, and the resource is decoded only once.
struct qvfactorysamples {
  int32_t res = -1;            // DATA resource the samples came from
  int sampleRate = 0;          // file rate, Hz
  std::vector<float> samples;  // first channel, empty until decoded
};
