// The effect base classes on their own: the record they hand the host, calls
// routed to the effect, program numbers kept in range, the editor owned and
// deleted with the effect, exceptions stopped at the dispatcher, the process
// entries and the entry helper. (The plug-in's own answers, and null pointers on
// every opcode, are tested through the real module.)
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "vst/audioeffect.hpp"
#include "vst/pluginentry.hpp"

namespace {

VstIntPtr VSTCALLBACK modernHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

VstIntPtr VSTCALLBACK oldHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

struct ProbeLog {
  int opens = 0, closes = 0, suspends = 0, resumes = 0, replacing = 0;
  bool destroyed = false;
  bool editorDestroyed = false;
};

// Counts what the base class routes to it; everything else keeps the defaults.
class ProbeEffect : public AudioEffectX {
public:
  ProbeEffect(audioMasterCallback master, ProbeLog& log, VstInt32 programs = 1)
      : AudioEffectX(master, programs, 0), log_(log) {}
  ~ProbeEffect() override { log_.destroyed = true; }
  void open() override { ++log_.opens; }
  void close() override { ++log_.closes; }
  void suspend() override { ++log_.suspends; }
  void resume() override { ++log_.resumes; }
  void processReplacing(float**, float** outputs, VstInt32 frames) override {
    ++log_.replacing;
    for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] = 7.0f;
  }
  VstInt32 getChunk(void**, bool) override { return throwOnChunk ? throw std::bad_alloc() : 0; }
  bool throwOnChunk = false;

private:
  ProbeLog& log_;
};

class ProbeEditor : public AEffEditor {
public:
  ProbeEditor(AudioEffect* effect, ProbeLog& log) : AEffEditor(effect), log_(log) {}
  ~ProbeEditor() override { log_.editorDestroyed = true; }
  bool getRect(ERect** rect) override { *rect = &rect_; return true; }
  bool open(void*) override { return true; }

private:
  ERect rect_{0, 0, 480, 840};
  ProbeLog& log_;
};

class ThrowingEffect : public AudioEffectX {
public:
  explicit ThrowingEffect(audioMasterCallback master) : AudioEffectX(master, 1, 0) {
    throw std::bad_alloc();
  }
  void processReplacing(float**, float**, VstInt32) override {}
};

class PlainEffect : public AudioEffectX {
public:
  explicit PlainEffect(audioMasterCallback master) : AudioEffectX(master, 1, 0) {}
  void processReplacing(float**, float**, VstInt32) override {}
};

VstIntPtr call(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
               void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace

TEST(AudioEffect, RecordCarriesMagicObjectAndLayout) {
  ProbeLog log;
  auto* probe = new ProbeEffect(modernHost, log);
  AEffect* e = probe->getAeffect();
  EXPECT_EQ(e->magic, 0x56737450) << "'VstP'";
  EXPECT_EQ(e->object, probe);
  EXPECT_EQ(e->resvd1, 0);
  EXPECT_EQ(e->resvd2, 0);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->flags, 0);
  probe->canProcessReplacing(true);
  probe->programsAreChunks(true);
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsProgramChunks);
  probe->programsAreChunks(false);
  EXPECT_EQ(e->flags, effFlagsCanReplacing);
  EXPECT_EQ(call(e, effClose), 1);
}

TEST(AudioEffect, LifecycleCallsReachTheEffectAndCloseDeletesIt) {
  ProbeLog log;
  auto* probe = new ProbeEffect(modernHost, log, 3);
  AEffect* e = probe->getAeffect();
  call(e, effOpen);
  call(e, effSetSampleRate, 0, 0, nullptr, 88200.0f);
  call(e, effSetBlockSize, 0, 333);
  call(e, effMainsChanged, 0, 1);
  call(e, effMainsChanged, 0, 0);
  call(e, effMainsChanged, 0, 1);
  EXPECT_EQ(log.opens, 1);
  EXPECT_EQ(log.resumes, 2);
  EXPECT_EQ(log.suspends, 1);
  EXPECT_EQ(probe->getSampleRate(), 88200.0f);
  EXPECT_EQ(probe->getBlockSize(), 333);

  // Program numbers outside [0, numPrograms) never reach the effect.
  const struct { VstIntPtr set; VstIntPtr expected; } programs[] = {{2, 2}, {3, 2}, {-1, 2}, {0, 0}};
  for (const auto& p : programs) {
    call(e, effSetProgram, 0, p.set);
    EXPECT_EQ(call(e, effGetProgram), p.expected) << "after effSetProgram " << p.set;
  }

  probe->setEditor(new ProbeEditor(probe, log));
  EXPECT_EQ(e->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* rect = nullptr;
  EXPECT_EQ(call(e, effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 840);
  EXPECT_EQ(call(e, effEditOpen), 1);

  EXPECT_EQ(call(e, effClose), 1);
  EXPECT_EQ(log.closes, 1);
  EXPECT_TRUE(log.destroyed) << "effClose deletes the effect";
  EXPECT_TRUE(log.editorDestroyed) << "the effect owns its editor";
}

TEST(AudioEffect, ExceptionsStopAtTheDispatcher) {
  ProbeLog log;
  auto* probe = new ProbeEffect(modernHost, log);
  probe->throwOnChunk = true;
  void* data = nullptr;
  EXPECT_EQ(call(probe->getAeffect(), effGetChunk, 0, 0, &data), 0);
  call(probe->getAeffect(), effClose);
}

TEST(AudioEffect, ProcessEntriesAndDoubleDefault) {
  ProbeLog log;
  AEffect* e = (new ProbeEffect(modernHost, log))->getAeffect();
  std::vector<float> in(8, 1.0f), out(8, 0.0f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out.data(), out.data()};
  e->processReplacing(e, ins, outs, 8);
  e->process(e, ins, outs, 8);  // the retired accumulating call replaces too
  EXPECT_EQ(log.replacing, 2);
  EXPECT_EQ(out[7], 7.0f);

  std::vector<double> din(4, 1.0), dout(4, -3.0);
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};
  e->processDoubleReplacing(e, dins, douts, 4);
  EXPECT_EQ(dout[0], -3.0) << "double precision is not offered, the default does nothing";
  EXPECT_EQ(e->flags & effFlagsCanDoubleReplacing, 0);
  call(e, effClose);
}

TEST(AudioEffect, EntryHelperRefusesOldHostsAndFailedConstruction) {
  EXPECT_EQ(createVstEffect<PlainEffect>(oldHost), nullptr) << "host version 0";
  EXPECT_EQ(createVstEffect<PlainEffect>(nullptr), nullptr) << "no host callback";
  EXPECT_EQ(createVstEffect<ThrowingEffect>(modernHost), nullptr) << "constructor failed";
  AEffect* e = createVstEffect<PlainEffect>(modernHost);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->magic, kEffectMagic);
  call(e, effClose);
}
