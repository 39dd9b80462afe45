// The AEffect's function pointers are plain C entry points: each finds the C++
// object through AEffect.object and forwards. No C++ exception may cross back into
// the host, so the dispatcher (the one entry that allocates) stops them here.
#include "vst/audioeffect.hpp"

#include <cstring>

namespace {

AudioEffect* effectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr VSTCALLBACK dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                    void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (!effect)
    return 0;
  try {
    if (opcode == effClose) {
      // The host gives the instance up: nothing may touch it afterwards.
      effect->close();
      delete effect;
      return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

// The accumulating call was retired in 2.4; hosts that still use it clear their
// outputs first, so replacing gives them the same result.
void VSTCALLBACK processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  effectOf(e)->processReplacing(inputs, outputs, frames);
}

void VSTCALLBACK processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                       VstInt32 frames) {
  effectOf(e)->processReplacing(inputs, outputs, frames);
}

void VSTCALLBACK processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs,
                                             VstInt32 frames) {
  effectOf(e)->processDoubleReplacing(inputs, outputs, frames);
}

void VSTCALLBACK setParameterEntry(AEffect* e, VstInt32 index, float value) {
  effectOf(e)->setParameter(index, value);
}

float VSTCALLBACK getParameterEntry(AEffect* e, VstInt32 index) {
  return effectOf(e)->getParameter(index);
}

char* text(void* ptr) { return static_cast<char*>(ptr); }

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
  std::memset(&cEffect, 0, sizeof cEffect);
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEntry;
  cEffect.process = processEntry;
  cEffect.setParameter = setParameterEntry;
  cEffect.getParameter = getParameterEntry;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 2;
  cEffect.numOutputs = 2;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingEntry;
  cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  if (editor != newEditor) delete editor;
  editor = newEditor;
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstInt32 AudioEffect::hostVersion() {
  if (!audioMaster)
    return 0;
  return static_cast<VstInt32>(audioMaster(&cEffect, audioMasterVersion, 0, 0, nullptr, 0.0f));
}

// Calls that write into host memory need that memory: a null pointer is answered
// with 0 instead of being handed on.
VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  switch (opcode) {
  case effOpen:
    open();
    return 0;
  case effSetProgram:
    if (value >= 0 && value < numPrograms)
      setProgram(static_cast<VstInt32>(value));
    return 0;
  case effGetProgram:
    return getProgram();
  case effSetProgramName:
    if (ptr)
      setProgramName(text(ptr));
    return 0;
  case effGetProgramName:
    if (ptr)
      getProgramName(text(ptr));
    return 0;
  case effGetParamLabel:
    if (ptr)
      getParameterLabel(index, text(ptr));
    return 0;
  case effGetParamDisplay:
    if (ptr)
      getParameterDisplay(index, text(ptr));
    return 0;
  case effGetParamName:
    if (ptr)
      getParameterName(index, text(ptr));
    return 0;
  case effSetSampleRate:
    setSampleRate(opt);
    return 0;
  case effSetBlockSize:
    setBlockSize(static_cast<VstInt32>(value));
    return 0;
  case effMainsChanged:
    if (value)
      resume();
    else
      suspend();
    return 0;
  // Without an editor the host is told there is none (0) and nothing else happens.
  case effEditGetRect:
    if (!editor || !ptr)
      return 0;
    return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
  case effEditOpen:
    return editor && editor->open(ptr) ? 1 : 0;
  case effEditClose:
    if (editor)
      editor->close();
    return 0;
  case effEditIdle:
    if (editor)
      editor->idle();
    return 0;
  case effEditKeyDown:
  case effEditKeyUp: {
    if (!editor)
      return 0;
    VstKeyCode key{index, static_cast<uint8_t>(value), static_cast<uint8_t>(opt)};
    return (opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key)) ? 1 : 0;
  }
  case effGetChunk:
    if (!ptr)
      return 0;
    return getChunk(static_cast<void**>(ptr), index != 0);
  case effSetChunk:
    return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
  default:
    return 0;
  }
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  switch (opcode) {
  case effProcessEvents:
    return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
  case effCanBeAutomated:
    return canParameterBeAutomated(index) ? 1 : 0;
  case effGetProgramNameIndexed:
    // The category travels in `value`, the program in `index`.
    return ptr && getProgramNameIndexed(static_cast<VstInt32>(value), index, text(ptr)) ? 1 : 0;
  case effGetPlugCategory:
    return getPlugCategory();
  case effSetBypass:
    return setBypass(value != 0) ? 1 : 0;
  case effGetEffectName:
    return ptr && getEffectName(text(ptr)) ? 1 : 0;
  case effGetVendorString:
    return ptr && getVendorString(text(ptr)) ? 1 : 0;
  case effGetProductString:
    return ptr && getProductString(text(ptr)) ? 1 : 0;
  case effGetVendorVersion:
    return getVendorVersion();
  case effCanDo:
    return ptr ? canDo(text(ptr)) : 0;
  case effGetTailSize:
    return getGetTailSize();
  case effGetVstVersion:
    return getVstVersion();
  case effStartProcess:
    return startProcess();
  case effStopProcess:
    return stopProcess();
  default:
    return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

VstInt32 AudioEffectX::getPlugCategory() {
  return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

float AudioEffectX::updateSampleRate() {
  if (audioMaster) {
    VstIntPtr rate = audioMaster(&cEffect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    if (rate > 0)
      sampleRate = static_cast<float>(rate);
  }
  return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
  if (audioMaster) {
    VstIntPtr size = audioMaster(&cEffect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
    if (size > 0)
      blockSize = static_cast<VstInt32>(size);
  }
  return blockSize;
}
