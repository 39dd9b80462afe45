#include "units/tubegain.hpp"

#include "units/stagepieces.hpp"

qvustubea::qvustubea(const qvprocstate& state, bool withTable) : qvutil(state, -1) {
  if (withTable) buildParams(paramTable(kBlockTubeGain));
}

void qvustubea::update(int which) {
  const float fs = sampleRate();
  const float n = rateFactor();
  if (!initialised_) {
    env_.release = env_.level = timeCoef(0.07f, n, fs);
    initialised_ = true;
    env_.gain = 1.0f;
    env_.openThr = 0.17f;
    env_.closeThr = 0.153f;
  }
  if (which == kMode || which == -1) curve_.build(pvi(kMode) - 1);
  k_.volume = pv(kVolume);
  k_.gain = pv(kGain);
  k_.sag = pv(kSag);
  k_.shift = pv(kShift);
  k_.cross = pv(kCross);
  k_.dynamic = k_.sag > 0.0f || k_.shift > 0.0f || k_.cross > 0.0f;
  env_.attack = timeCoef(pv(kEnvAt) + 0.01f, n, fs);
  const float bias = pv(kBias);
  curve_.inOffset = 0.0f;
  curve_.outOffset = 0.0f;
  curve_.outOffset = -curve_.evaluate(bias);
  curve_.inOffset = bias;
  k_.envScale = 0.4f;
  if (which == kCross || which == -1) {
    k_.xc = -k_.cross;
    k_.xk = crossKnee(k_.xc);
  }
  aa_.refresh([this](qvpiecewisecubic& pieces) { return tubeCurvePieces(curve_, pieces); },
              static_cast<double>(fs) * n);
}

void qvustubea::setStageOptions(const qvstageoptions& options) {
  if (!aa_.setOptions(options)) return;
  update(-1);
  aa_.restart();
}

void qvustubea::processBlock(float* samples, int nframes) noexcept {
  if (aa_.active()) {
    if (!aa_.averaging()) {
      for (int i = 0; i < nframes; ++i) samples[i] = qvustubea::process(samples[i]);
    } else if (!k_.dynamic) {
      // Without the envelope the curve's input is the scaled sample: the averaged
      // curve takes the whole block at once.
      const float gain = k_.gain, volume = k_.volume;
      for (int i = 0; i < nframes; ++i) samples[i] = samples[i] * gain;
      aa_.averagedCurve(samples, nframes);
      for (int i = 0; i < nframes; ++i) samples[i] = -volume * samples[i];
      aa_.behind(samples, nframes);
    } else {
      for (int at = 0; at < nframes; at += kDynamicRun)
        averagedDynamic(samples + at, nframes - at < kDynamicRun ? nframes - at : kDynamicRun);
    }
    return;
  }
  const qvtubecurve curve = curve_;
  const qvtubesettings k = k_;
  qvenvfollow env = env_;
  int i = 0;
  if (!k.dynamic) {
    // Without the envelope the samples do not depend on each other: four at a
    // time where they share a segment, one by one where they do not.
    for (; i + 4 <= nframes; i += 4) {
      qvfloat4 y;
      if (curve.evaluate4(loadFloat4(samples + i) * k.gain, y)) {
        storeFloat4(samples + i, -k.volume * y);
      } else {
        for (int j = i; j < i + 4; ++j) samples[j] = stage(curve, k, env, samples[j]);
      }
    }
  }
  for (; i < nframes; ++i) samples[i] = stage(curve, k, env, samples[i]);
  env_ = env;
}

// The envelope follows the stage's input, never its output: the curve's inputs
// and the sag of a run come first, the averaged curve takes them all at once,
// and cross and sag's level drop follow, each as stage() has them.
void qvustubea::averagedDynamic(float* samples, int n) noexcept {
  const qvtubesettings k = k_;
  double sag[kDynamicRun];
  for (int i = 0; i < n; ++i) {
    float x = samples[i] * k.gain;
    const float e = env_.follow(k.envScale * x);
    sag[i] = static_cast<double>(k.sag) * e;
    x = static_cast<float>(x * (1.0 + sag[i]));
    samples[i] = x - k.shift * e;
  }
  aa_.averagedCurve(samples, n);
  for (int i = 0; i < n; ++i) {
    float y = samples[i];
    if (k.cross != 0.0f) {
      const float sign = y >= 0.0f ? 1.0f : -1.0f;
      const float a = (y >= 0.0f ? y : -y) + k.xc;
      y = sign * (crossKnee(a) - k.xk);
    }
    float g = static_cast<float>(1.0 - 0.65 * sag[i]);
    if (g < 0.0f) g = 0.0f;
    samples[i] = -k.volume * (g * y);
  }
  aa_.behind(samples, n);
}
