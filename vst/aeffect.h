/* The VST 2.4 binary interface between a host and an effect, as the plug-in
 * exports it: the AEffect record, the function pointer types, the dispatcher and
 * host-callback opcodes the effect answers or uses, flags and string limits.
 * Plain C (C99 and later, and C++): fixed-width types, data and function
 * pointers only. Only what our effect and our own test host need is declared. */
#ifndef CORVINA_VST_AEFFECT_H
#define CORVINA_VST_AEFFECT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of every function pointer below: the platform's C default
 * (cdecl on 32-bit Windows; x86_64 and aarch64 have only one). */
#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

typedef int32_t VstInt32;   /* every int argument and field of the interface */
typedef intptr_t VstIntPtr; /* pointer-sized values: dispatcher result and `value` */

struct AEffect;

/* Host callback handed to the entry point. `effect` is null while the entry point
 * runs (the effect does not exist yet). */
typedef VstIntPtr(VSTCALLBACK *audioMasterCallback)(struct AEffect *effect, VstInt32 opcode,
                                                     VstInt32 index, VstIntPtr value, void *ptr,
                                                     float opt);
/* [ui] Host to effect: one operation per opcode; 0 unless the opcode defines a result. */
typedef VstIntPtr(VSTCALLBACK *AEffectDispatcherProc)(struct AEffect *effect, VstInt32 opcode,
                                                       VstInt32 index, VstIntPtr value,
                                                       void *ptr, float opt);
/* [audio] `inputs[c]`/`outputs[c]` hold `sampleFrames` samples per channel. */
typedef void(VSTCALLBACK *AEffectProcessProc)(struct AEffect *effect, float **inputs,
                                              float **outputs, VstInt32 sampleFrames);
typedef void(VSTCALLBACK *AEffectProcessDoubleProc)(struct AEffect *effect, double **inputs,
                                                    double **outputs, VstInt32 sampleFrames);
/* [any] Automatable parameter value, normalised to [0, 1]. */
typedef void(VSTCALLBACK *AEffectSetParameterProc)(struct AEffect *effect, VstInt32 index,
                                                   float parameter);
typedef float(VSTCALLBACK *AEffectGetParameterProc)(struct AEffect *effect, VstInt32 index);

/* Entry point exported by the library: returns the new effect, or null. */
typedef struct AEffect *(VSTCALLBACK *VstPluginMainProc)(audioMasterCallback audioMaster);

/* The four-character code 'VstP' a valid AEffect carries in `magic`. */
#define kEffectMagic ((VstInt32)0x56737450)

/* The interface version this layer implements (2.4). */
enum { kVstVersion = 2400 };

/* One effect instance as the host sees it. The effect fills every field; the host
 * may use `resvd1` for its own bookkeeping and reads the rest. */
typedef struct AEffect {
  VstInt32 magic;                    /* kEffectMagic */
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;        /* accumulating process, unused since 2.4 */
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;                /* automatable parameters, the same in every program */
  VstInt32 numInputs;                /* audio channels in */
  VstInt32 numOutputs;               /* audio channels out */
  VstInt32 flags;                    /* effFlags* bits */
  VstIntPtr resvd1;                  /* for the host; 0 from the effect */
  VstIntPtr resvd2;                  /* 0 */
  VstInt32 initialDelay;             /* latency reported to the host, samples */
  VstInt32 realQualities;            /* unused, 0 */
  VstInt32 offQualities;             /* unused, 0 */
  float ioRatio;                     /* unused, 1 */
  void *object;                      /* the effect's own object (our C++ instance) */
  void *user;                        /* free for the effect's user code */
  VstInt32 uniqueID;                 /* four-character identity used for save and load */
  VstInt32 version;                  /* the effect's own version */
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];                   /* zero */
} AEffect;

/* Bits of AEffect.flags. */
enum {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12
};

/* Dispatcher opcodes (host to effect). `index`, `value`, `ptr` and `opt` carry the
 * arguments noted; the others are 0. */
enum {
  effOpen = 0,                  /* after creation, before any other call */
  effClose = 1,                 /* the effect deletes itself; the AEffect is gone afterwards */
  effSetProgram = 2,            /* value: program number */
  effGetProgram = 3,            /* result: program number */
  effSetProgramName = 4,        /* ptr: name, at most kVstMaxProgNameLen chars + NUL */
  effGetProgramName = 5,        /* ptr: host buffer for the name */
  effGetParamLabel = 6,         /* index: parameter; ptr: host buffer ("dB", "ms") */
  effGetParamDisplay = 7,       /* index: parameter; ptr: host buffer for the value text */
  effGetParamName = 8,          /* index: parameter; ptr: host buffer for the name */
  effSetSampleRate = 10,        /* opt: rate in Hz */
  effSetBlockSize = 11,         /* value: largest block the host will pass */
  effMainsChanged = 12,         /* value: 0 suspend, 1 resume */
  effEditGetRect = 13,          /* ptr: ERect** receiving the editor's size; result 1 if any */
  effEditOpen = 14,             /* ptr: the parent window; result 1 if opened */
  effEditClose = 15,
  effEditIdle = 19,             /* periodic call on the host's user-interface thread */
  effIdentify = 22,             /* old, answered with 0 */
  effGetChunk = 23,             /* ptr: void** receiving the state; index: 1 program, 0 bank;
                                   result: size in bytes, memory owned by the effect */
  effSetChunk = 24,             /* ptr: state bytes; value: size; index as for effGetChunk */
  effProcessEvents = 25,        /* ptr: VstEvents* */
  effCanBeAutomated = 26,       /* index: parameter; result 1 if automatable */
  effString2Parameter = 27,
  effGetProgramNameIndexed = 29,/* index: program; ptr: host buffer; result 1 if written */
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,      /* result: a kPlugCateg* value */
  effSetBypass = 44,            /* value: 1 bypass; result 1 if the effect bypasses softly */
  effGetEffectName = 45,        /* ptr: host buffer, kVstMaxEffectNameLen + 1 bytes */
  effGetVendorString = 47,      /* ptr: host buffer, kVstMaxVendorStrLen + 1 bytes */
  effGetProductString = 48,     /* ptr: host buffer, kVstMaxProductStrLen + 1 bytes */
  effGetVendorVersion = 49,     /* result: the effect's version number */
  effVendorSpecific = 50,
  effCanDo = 51,                /* ptr: capability text; result 1 yes, -1 no, 0 unknown */
  effGetTailSize = 52,          /* result: samples of output after silent input; 0 default */
  effGetParameterProperties = 56,
  effGetVstVersion = 58,        /* result: kVstVersion */
  effEditKeyDown = 59,          /* index: character; value: virtual key (VKEY_*); opt: modifier bits;
                                   result 1 if the editor used the key */
  effEditKeyUp = 60,            /* as effEditKeyDown */
  effStartProcess = 71,         /* audio processing is about to start */
  effStopProcess = 72,          /* audio processing has stopped */
  effSetProcessPrecision = 77   /* value: 0 single, 1 double */
};

/* Host-callback opcodes (effect to host) that the effect uses. */
enum {
  audioMasterAutomate = 0,      /* index: parameter; opt: new value */
  audioMasterVersion = 1,       /* result: the host's interface version, 0 for a pre-2 host */
  audioMasterIdle = 3,
  audioMasterGetTime = 7,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,   /* index: width; value: height */
  audioMasterGetSampleRate = 16,/* result: rate in Hz */
  audioMasterGetBlockSize = 17, /* result: block size in samples */
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44
};

/* Plug-in categories answered to effGetPlugCategory. */
enum {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2
};

/* Longest texts, in chars without the NUL, that the host's buffers hold. */
enum {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32
};

/* Editor rectangle in pixels, relative to the parent window. */
/* Keys the host passes to the editor (effEditKeyDown, effEditKeyUp). */
enum {
  VKEY_BACK = 1, VKEY_TAB = 2, VKEY_RETURN = 4, VKEY_ESCAPE = 6, VKEY_SPACE = 7, VKEY_END = 9,
  VKEY_HOME = 10, VKEY_LEFT = 11, VKEY_UP = 12, VKEY_RIGHT = 13, VKEY_DOWN = 14, VKEY_PAGEUP = 15,
  VKEY_PAGEDOWN = 16, VKEY_ENTER = 19, VKEY_DELETE = 22
};
enum { MODIFIER_SHIFT = 1, MODIFIER_ALTERNATE = 2, MODIFIER_COMMAND = 4, MODIFIER_CONTROL = 8 };

typedef struct VstKeyCode {
  int32_t character;  /* ASCII character, 0 for none */
  uint8_t virt;       /* VKEY_*, 0 for none */
  uint8_t modifier;   /* MODIFIER_* bits */
} VstKeyCode;

typedef struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
} ERect;

/* One timed event; `type` tells its real layout (MIDI, SysEx), `byteSize` its size. */
typedef struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;     /* size of the whole event in bytes, minus 8 */
  VstInt32 deltaFrames;  /* offset into the current block, samples */
  VstInt32 flags;
  char data[16];
} VstEvent;

/* The events of one block: `events` really holds `numEvents` pointers. */
typedef struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;    /* 0 */
  VstEvent *events[2];
} VstEvents;

/* Hosts rely on the exact layout: check it where the compiler can. */
#if defined(__cplusplus)
#define VST_ABI_ASSERT(cond, text) static_assert(cond, text)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define VST_ABI_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#if defined(VST_ABI_ASSERT) && UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
VST_ABI_ASSERT(sizeof(AEffect) == 192, "AEffect is 192 bytes on 64-bit hosts");
VST_ABI_ASSERT(offsetof(AEffect, dispatcher) == 8, "AEffect.dispatcher at 8");
VST_ABI_ASSERT(offsetof(AEffect, setParameter) == 24, "AEffect.setParameter at 24");
VST_ABI_ASSERT(offsetof(AEffect, numPrograms) == 40, "AEffect.numPrograms at 40");
VST_ABI_ASSERT(offsetof(AEffect, flags) == 56, "AEffect.flags at 56");
VST_ABI_ASSERT(offsetof(AEffect, resvd1) == 64, "AEffect.resvd1 at 64");
VST_ABI_ASSERT(offsetof(AEffect, initialDelay) == 80, "AEffect.initialDelay at 80");
VST_ABI_ASSERT(offsetof(AEffect, ioRatio) == 92, "AEffect.ioRatio at 92");
VST_ABI_ASSERT(offsetof(AEffect, object) == 96, "AEffect.object at 96");
VST_ABI_ASSERT(offsetof(AEffect, uniqueID) == 112, "AEffect.uniqueID at 112");
VST_ABI_ASSERT(offsetof(AEffect, processReplacing) == 120, "AEffect.processReplacing at 120");
VST_ABI_ASSERT(offsetof(AEffect, processDoubleReplacing) == 128,
               "AEffect.processDoubleReplacing at 128");
VST_ABI_ASSERT(offsetof(AEffect, future) == 136, "AEffect.future at 136");
VST_ABI_ASSERT(sizeof(ERect) == 8, "ERect is four int16");
VST_ABI_ASSERT(sizeof(VstKeyCode) == 8, "VstKeyCode is an int32 and two bytes, padded");
VST_ABI_ASSERT(sizeof(VstEvent) == 32, "VstEvent is 32 bytes");
VST_ABI_ASSERT(offsetof(VstEvents, events) == 16, "VstEvents.events at 16");
#elif defined(VST_ABI_ASSERT) && UINTPTR_MAX == 0xFFFFFFFFu
VST_ABI_ASSERT(sizeof(AEffect) == 144, "AEffect is 144 bytes on 32-bit hosts");
VST_ABI_ASSERT(offsetof(AEffect, uniqueID) == 72, "AEffect.uniqueID at 72");
VST_ABI_ASSERT(offsetof(AEffect, future) == 88, "AEffect.future at 88");
#endif
#undef VST_ABI_ASSERT

#ifdef __cplusplus
}
#endif

#endif
