// The host side of the entry-point handshake and the dispatcher wrappers. The
// callback finds its instance through AEffect.resvd1 (the field the interface
// leaves to the host); while the entry point runs there is no AEffect yet, so the
// instance being created is announced in a per-thread pointer for that call only.
#include "tools/host/vsthost.hpp"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace {

thread_local qvhostinstance* t_creating = nullptr;  // set only around the entry call

// Buffers the host lends for texts: far larger than any limit, and pre-filled with
// a byte no effect writes by chance, so untouched buffers can be told apart.
constexpr size_t kTextBufferSize = 256;
constexpr char kUntouched = static_cast<char>(0xA5);

}  // namespace

qvhostmodule::~qvhostmodule() {
  if (handle_)
    dlclose(handle_);
}

qvhostresult qvhostmodule::open(const std::string& path) {
  if (handle_) {
    dlclose(handle_);
    handle_ = nullptr;
    entry_ = nullptr;
    main_ = nullptr;
  }
  error_.clear();
  // RTLD_LOCAL: two plug-ins (or a plug-in and this process) never bind each
  // other's symbols.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* message = dlerror();
    error_ = message ? message : "cannot load " + path;
    return qvhostresult::cannotOpen;
  }
  void* vst_main = dlsym(handle_, "VSTPluginMain");
  main_ = dlsym(handle_, "main");
  void* chosen = vst_main ? vst_main : main_;
  if (!chosen) {
    error_ = path + " exports neither VSTPluginMain nor main";
    return qvhostresult::noEntryPoint;
  }
  entry_ = reinterpret_cast<VstPluginMainProc>(chosen);
  return qvhostresult::ok;
}

qvhostinstance::qvhostinstance(std::shared_ptr<qvhostmodule> module, const qvhostoptions& options)
    : module_(std::move(module)), options_(options) {}

std::unique_ptr<qvhostinstance> qvhostinstance::create(std::shared_ptr<qvhostmodule> module,
                                                       const qvhostoptions& options,
                                                       qvhostresult& result) {
  if (!module || !module->entry()) {
    result = qvhostresult::noEntryPoint;
    return nullptr;
  }
  std::unique_ptr<qvhostinstance> host(new qvhostinstance(module, options));
  t_creating = host.get();
  AEffect* effect = module->entry()(hostCallback);
  t_creating = nullptr;
  if (!effect) {
    result = qvhostresult::noEffect;
    return nullptr;
  }
  if (effect->magic != kEffectMagic) {
    // Not an effect we may talk to: its dispatcher cannot be trusted to close it.
    result = qvhostresult::badMagic;
    return nullptr;
  }
  effect->resvd1 = reinterpret_cast<VstIntPtr>(host.get());
  host->effect_ = effect;
  host->in_.assign(static_cast<size_t>(std::max(effect->numInputs, 0)), nullptr);
  host->out_.assign(static_cast<size_t>(std::max(effect->numOutputs, 0)), nullptr);
  result = qvhostresult::ok;
  return host;
}

qvhostinstance::~qvhostinstance() { close(); }

VstIntPtr qvhostinstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  if (!effect_)
    return 0;
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void qvhostinstance::open() {
  dispatch(effOpen);
  setSampleRate(options_.sampleRate);
  setBlockSize(options_.blockSize);
}

void qvhostinstance::setSampleRate(float rate) {
  options_.sampleRate = rate;
  dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void qvhostinstance::setBlockSize(VstInt32 frames) {
  options_.blockSize = frames;
  dispatch(effSetBlockSize, 0, frames);
}

void qvhostinstance::resume() { dispatch(effMainsChanged, 0, 1); }
void qvhostinstance::suspend() { dispatch(effMainsChanged, 0, 0); }

void qvhostinstance::close() {
  if (!effect_)
    return;
  dispatch(effClose);
  effect_ = nullptr;
}

VstIntPtr qvhostinstance::canDo(const char* capability) {
  // The interface takes a mutable pointer; the effect only reads it.
  return dispatch(effCanDo, 0, 0, const_cast<char*>(capability));
}

qvhosttext qvhostinstance::queryText(VstInt32 opcode, VstInt32 index) {
  char buffer[kTextBufferSize];
  std::memset(buffer, kUntouched, sizeof buffer);
  qvhosttext out;
  out.result = dispatch(opcode, index, 0, buffer);
  out.written = std::any_of(buffer, buffer + sizeof buffer, [](char c) { return c != kUntouched; });
  if (out.written) {
    const void* nul = std::memchr(buffer, 0, sizeof buffer);
    out.length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : sizeof buffer;
    out.text.assign(buffer, out.length);
  }
  return out;
}

std::vector<uint8_t> qvhostinstance::getChunk(bool isPreset) {
  void* data = nullptr;
  VstIntPtr size = dispatch(effGetChunk, isPreset ? 1 : 0, 0, &data);
  if (size <= 0 || !data)
    return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr qvhostinstance::setChunk(const void* data, size_t size, bool isPreset) {
  return dispatch(effSetChunk, isPreset ? 1 : 0, static_cast<VstIntPtr>(size),
                  const_cast<void*>(data));
}

float qvhostinstance::getParameter(VstInt32 index) {
  return effect_ ? effect_->getParameter(effect_, index) : 0.0f;
}

void qvhostinstance::setParameter(VstInt32 index, float value) {
  if (effect_)
    effect_->setParameter(effect_, index, value);
}

void qvhostinstance::processBlock(float* const* inputs, float* const* outputs, VstInt32 frames) {
  if (effect_)
    effect_->processReplacing(effect_, const_cast<float**>(inputs), const_cast<float**>(outputs),
                              frames);
}

void qvhostinstance::process(const float* const* inputs, float* const* outputs, int64_t nframes,
                             VstInt32 block) {
  if (!effect_)
    return;
  block = std::max<VstInt32>(block, 1);
  for (int64_t done = 0; done < nframes; done += block) {
    const auto frames = static_cast<VstInt32>(std::min<int64_t>(block, nframes - done));
    for (size_t c = 0; c < in_.size(); ++c)
      in_[c] = const_cast<float*>(inputs[c]) + done;
    for (size_t c = 0; c < out_.size(); ++c)
      out_[c] = outputs[c] + done;
    effect_->processReplacing(effect_, in_.data(), out_.data(), frames);
  }
}

int qvhostinstance::hostCalls(VstInt32 opcode) const {
  if (opcode < 0 || opcode >= static_cast<VstInt32>(calls_.size()))
    return 0;
  return calls_[static_cast<size_t>(opcode)].load(std::memory_order_relaxed);
}

VstIntPtr VSTCALLBACK qvhostinstance::hostCallback(AEffect* effect, VstInt32 opcode,
                                                   VstInt32 index, VstIntPtr value, void* ptr,
                                                   float opt) {
  qvhostinstance* host = effect && effect->resvd1
                             ? reinterpret_cast<qvhostinstance*>(effect->resvd1)
                             : t_creating;
  if (host)
    return host->answer(opcode, index, value, ptr, opt);
  // An effect we did not create through create(): answer as a plain 2.4 host.
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

VstIntPtr qvhostinstance::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
  (void)index;
  (void)value;
  (void)opt;
  if (opcode >= 0 && opcode < static_cast<VstInt32>(calls_.size()))
    calls_[static_cast<size_t>(opcode)].fetch_add(1, std::memory_order_relaxed);
  switch (opcode) {
  case audioMasterVersion:
    return options_.hostVersion;
  case audioMasterGetSampleRate:
    return static_cast<VstIntPtr>(options_.sampleRate);
  case audioMasterGetBlockSize:
    return options_.blockSize;
  case audioMasterGetVendorString:
  case audioMasterGetProductString:
    if (!ptr)
      return 0;
    std::strncpy(static_cast<char*>(ptr), "corvina-vsthost", kVstMaxProductStrLen);
    return 1;
  case audioMasterGetVendorVersion:
    return 1000;
  default:
    return 0;
  }
}
