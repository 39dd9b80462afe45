// corvina-demo-editor.so: a plug-in whose editor is made of the GUI kit, to try
// corvina-edithost with (and its end-to-end test): one knob, and a counter of the
// audio blocks processed that the editor's idle shows, so one sees that audio and
// editor run side by side. It passes its input through.
#include <atomic>
#include <cstdio>
#include <string>

#include "toolkit/canimknob.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextlabel.hpp"
#include "vst/pluginentry.hpp"

namespace {
constexpr int kWidth = 240;
constexpr int kHeight = 120;
constexpr CRect kKnob{20, 20, 80, 80};     // the end-to-end test drags this knob
constexpr CRect kCounter{100, 40, 230, 60};

// Pictures from dark to light, so every value draws differently.
CBitmap* greyStrip(int frames, int side) {
  auto* strip = new CBitmap(side, side * frames);
  CairoContextPtr cr(cairo_create(strip->getSurface()));
  for (int f = 0; f < frames; ++f) {
    const double v = static_cast<double>(f) / (frames - 1);
    cairo_set_source_rgb(cr.get(), v, v, 1 - v);
    cairo_rectangle(cr.get(), 0, side * f, side, side);
    cairo_fill(cr.get());
  }
  return strip;
}

class kiteditor final : public AEffEditor {
public:
  kiteditor(AudioEffect* effect, const std::atomic<long>& blocks) : AEffEditor(effect), blocks_(blocks) {}
  ~kiteditor() override { close(); }
  bool getRect(ERect** rect) override {
    *rect = &rect_;
    return true;
  }
  bool open(void* parentWindow) override {
    frame_ = new CFrame(CRect(0, 0, kWidth, kHeight));
    if (!frame_->open(parentWindow)) {
      close();
      return false;
    }
    frame_->setBackgroundColor(CColor{30, 30, 30, 255});
    CBitmap* strip = greyStrip(31, 60);
    frame_->addView(new CAnimKnob(kKnob, nullptr, 1, 31, 60, strip));
    strip->forget();
    counter_ = new CTextLabel(kCounter, "blocks: 0");
    frame_->addView(counter_);
    return true;
  }
  void close() override {
    if (frame_) frame_->forget();
    frame_ = nullptr;
    counter_ = nullptr;
  }
  void idle() override {
    if (!frame_) return;
    counter_->setText("blocks: " + std::to_string(blocks_.load(std::memory_order_relaxed)));
    frame_->idle();
  }

private:
  ERect rect_{0, 0, kHeight, kWidth};
  const std::atomic<long>& blocks_;
  CFrame* frame_ = nullptr;
  CTextLabel* counter_ = nullptr;  // owned by the frame
};

class demoplug final : public AudioEffectX {
public:
  explicit demoplug(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, 1, 0) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(vstFourCC('q', 'v', 'e', 'd'));
    canProcessReplacing(true);
    setEditor(new kiteditor(this, blocks_));
  }
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
    for (int c = 0; c < 2; ++c)
      for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i];
    blocks_.fetch_add(1, std::memory_order_relaxed);
  }

private:
  std::atomic<long> blocks_{0};  // written by the audio thread, read by the editor's idle
};
}  // namespace

QV_VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  return createVstEffect<demoplug>(audioMaster);
}
