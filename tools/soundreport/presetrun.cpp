#include "tools/soundreport/presetrun.hpp"

#include <algorithm>
#include <cmath>

#include "resources/resources.hpp"

namespace {
constexpr int kBlock = 256;  // a common host block
}

srpresetrun::srpresetrun(float rate) : eng_("/nonexistent/", "./corvina-save.fxda") {
  eng_.setSampleRate(rate, true);
  qvresource doc;
  if (!loadDataResource("CORVINA-INIT.FXDA", doc)) return;
  eng_.data.factoryText.assign(reinterpret_cast<const char*>(doc.bytes), doc.size);
  loadCode_ = eng_.loadDocument(true);
  factoryFactor_ = eng_.state.settingInt(kSetOversampling);
}

std::string srpresetrun::presetName(uint32_t index) const {
  return eng_.data.presets[index]->name.c_str();
}

std::string srpresetrun::categoryName(uint32_t index) const {
  const int32_t id = eng_.data.presets[index]->categoryid;
  const auto& cats = eng_.data.presetCategories;
  for (uint32_t c = 0; c < cats.count(); ++c)
    if (cats[c]->id == id) return cats[c]->name.c_str();
  return "?";
}

int srpresetrun::render(uint32_t index, const std::vector<float>& in, std::vector<float>& out,
                        int factor) {
  const int f = factor > 0 ? factor : factoryFactor_;
  // The stepped setting reads 16 · position + 1.
  eng_.state.settings[kSetOversampling]->setNormalized(static_cast<float>(f - 1) / 16.0f);
  const int code = eng_.loadPreset(eng_.data.presets[index]->node, -1, false);
  qvaliasoptions& o = eng_.chain.aliasOptions;
  o.stopband = o.stopband || forced_.stopband;
  o.filterOrder = std::max(o.filterOrder, forced_.filterOrder);
  o.stages.antiderivative = std::max(o.stages.antiderivative, forced_.stages.antiderivative);
  o.stages.lowpass = o.stages.lowpass || forced_.stages.lowpass;
  o.minFactor = std::max(o.minFactor, forced_.minFactor);
  eng_.settingChanged(kSetOversampling);
  out.assign(in.size(), 0.0f);
  std::vector<float> left(in), right(in.size(), 0.0f), outRight(in.size(), 0.0f);
  for (size_t at = 0; at < in.size(); at += kBlock) {
    const int n = static_cast<int>(std::min<size_t>(kBlock, in.size() - at));
    float* inputs[2] = {left.data() + at, right.data() + at};
    float* outputs[2] = {out.data() + at, outRight.data() + at};
    eng_.processReplacing(inputs, outputs, n);
  }
  return code;
}

std::vector<float> testSine(double freq_hz, double level_db, double seconds, double rate) {
  const size_t n = static_cast<size_t>(seconds * rate);
  const double a = std::pow(10.0, level_db / 20.0);
  const double w = 2.0 * 3.141592653589793 * freq_hz / rate;
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>(a * std::sin(w * static_cast<double>(i)));
  return out;
}
