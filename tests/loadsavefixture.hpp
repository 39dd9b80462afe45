// Shared by the load-and-save tests: a small factory document (two amplifier and
// two pedal definitions written by the engine itself, a preset with full blocks,
// a preset on definitions with pedals and a cab), engines that create their cab
// blocks without impulse files, and rendering a rig.
#pragma once
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "tempdir.hpp"
#include "units/cabsim.hpp"
#include "units/dynamics.hpp"
#include "units/unitfactory.hpp"

namespace lsfix {

inline const char* kSaveName = "./corvina-save.fxda";

// Cab blocks from a short synthetic impulse per catalogue index, so the cab stage
// really convolves.
inline void useTestImpulses(qvengine& e) {
  e.impulseLoaderForTesting = [eng = &e](int32_t index, int32_t) {
    auto b = std::make_unique<qvusconv>(eng->state, true);
    const float ir[4] = {0.6f, 0.3f, -0.2f, 0.05f * static_cast<float>(index + 1)};
    b->slot = eng->chain.cabEngine->createSlot(ir);
    b->impulse = index;
    eng->data.currentCabBlock = static_cast<int32_t>(eng->chain.cabBlocks.append(std::move(b)));
    return true;
  };
}

// A definition object as the engine writes it: full blocks of `types`, each
// parameter moved off its default so positions matter.
inline qvjsonnode definition(const std::string& name, int cid, const std::vector<int>& types,
                             const std::vector<int32_t>& brackets, int bgimg) {
  qvengine scratch("/nonexistent/", kSaveName);
  for (size_t t = 0; t < types.size(); ++t) {
    auto u = createUnit(types[t], scratch.state, true, false);
    for (uint32_t k = 0; k < u->params.count(); ++k)
      u->params[k]->setNormalized(0.2f + 0.07f * static_cast<float>((k + t) % 9));
    u->update(-1);
    scratch.chain.units.append(std::move(u));
  }
  scratch.chain.ampSlot.brackets = brackets;
  scratch.chain.ampSlot.bgimg = 69 + bgimg;
  scratch.chain.ampSlot.logoimg = 94 + 1;
  scratch.chain.ampSlot.knobprof = 2;
  qvjsoncursor n;
  scratch.writePresetNode(name, false, cid, n);
  qvjsonnode j = n.root();
  j["dataind"] = -1.0;
  return j;
}

inline qvjsonnode cabEntry(int uid, float volume) {
  qvjsonnode pars = qvjsonnode::array();
  const float fpos[5] = {volume, 0.3f, 0.1f, 1.0f, 0.0f};
  for (float f : fpos) pars.push_back(qvjsonnode{{"fpos", static_cast<double>(f)}});
  return qvjsonnode{{"sourceuid", uid}, {"pars", pars}};
}

inline qvjsonnode gateEntry(float threshold) {
  qvprocstate st;
  qvusgate gate(st, true);
  gate.params[0]->setNormalized(threshold);
  qvjsoncursor c;
  gate.serialise(c, false);
  return c.root();
}

inline qvjsonnode slotEntry(int dataind, bool active, int positioncode) {
  return qvjsonnode{{"dataind", dataind}, {"active", active}, {"enableantialias", true},
                    {"positioncode", positioncode}};
}

// A preset on amplifier definition `dataind`, in the short form presets use.
inline qvjsonnode shortPreset(const std::string& name, int cid, int dataind,
                              const std::vector<qvjsonnode>& slots) {
  qvjsonnode j = qvjsonnode::parse(R"({"version":1,"name":"","user":false,"categoryid":0,
      "currentconvblock":0,"dataind":0,"active":true,"bgimg":1,"logoimg":2,"knobprof":3,
      "presethinter":1,"buttonx":0,"buttony":0,"vol":0.5,"invol":0.4,"brackets":[],"slots":[],
      "blocks":[],"convblocks":[],"flexblocks":[]})");
  j["name"] = name;
  j["categoryid"] = cid;
  j["dataind"] = dataind;
  j["slots"] = qvjsonnode(slots);
  j["convblocks"] = qvjsonnode::array({cabEntry(2, 0.4f)});
  j["flexblocks"] = qvjsonnode::array({gateEntry(0.1f)});
  return j;
}

inline qvjsonnode settingsNode() {
  const double pos[18] = {0.5, 0.410732, 0, 0.1875, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0.098389, 0.102392, 0.5};
  qvjsonnode pairs = qvjsonnode::array();
  for (int i = 0; i < 18; ++i) pairs.push_back(qvjsonnode::array({i, pos[i]}));
  return qvjsonnode::array({qvjsonnode{{"currentpreset", "Layered OD"}, {"currentcategory", 4}}, pairs});
}

inline qvjsonnode category(int id, const std::string& name) { return qvjsonnode{{"id", id}, {"name", name}}; }

inline qvjsonnode impulse(int uid, int cid, const std::string& name) {
  return qvjsonnode{{"uid", uid}, {"categoryid", cid}, {"file", ""}, {"path", ""}, {"name", name}, {"res", uid}};
}

// Presets after reading: the two "Amp Starters", "Full Clean", "Layered OD".
inline qvjsonnode factoryDocument() {
  qvjsonnode doc = qvjsonnode::object();
  doc["settings"] = settingsNode();
  doc["categories"] = qvjsonnode::array({category(0, "*Amp"), category(1, "*Pedal"), category(2, "*Generic"),
                                        category(7, "Clean"), category(8, "Mellow")});
  qvjsonnode amp0 = definition("Seventy Eight", 0, {kBlockFilter, kBlockTubeGain, kBlockEqualizer, kBlockTubeGain, kBlockPresence}, {1, 4}, 0);
  amp0["convblocks"] = qvjsonnode::array({cabEntry(3, 0.5f)});
  qvjsonnode amp1 = definition("Utility", 0, {kBlockBuffer, kBlockFilter, kBlockFilter}, {2, 3}, 5);
  qvjsonnode ped0 = definition("Sharp Drive", 1, {kBlockFilter, kBlockTubeGain, kBlockTone}, {1, 2}, 12);
  qvjsonnode ped1 = definition("Compa", 1, {kBlockCompression}, {}, 13);
  qvjsonnode full = definition("Full Clean", 7, {kBlockFilter, kBlockEqualizer, kBlockClipping}, {0, 2}, 3);
  full["convblocks"] = qvjsonnode::array({cabEntry(2, 0.6f), cabEntry(3, 0.3f)});
  full["flexblocks"] = qvjsonnode::array({gateEntry(0.05f)});
  qvjsonnode layered = shortPreset("Layered OD", 8, 0, {slotEntry(0, true, 0), slotEntry(1, true, 1)});
  doc["presets"] = qvjsonnode::array({amp0, amp1, ped0, ped1, full, layered});
  doc["impdatcategories"] = qvjsonnode::array({category(1, "Preset 1x12"), category(2, "Preset 4x12")});
  doc["impulses"] = qvjsonnode::array({impulse(2, 1, "big open 1x12"), impulse(3, 2, "57 close 4x12")});
  return doc;
}

inline constexpr int kLayeredOD = 3;   // preset indices after a factory read
inline constexpr int kFullClean = 2;

// An engine in `dir` with the factory document read (and no user document).
inline std::unique_ptr<qvengine> engineIn(const TempDir& dir, const qvjsonnode& factory = factoryDocument()) {
  auto e = std::make_unique<qvengine>(dir.path() + "/", kSaveName);
  useTestImpulses(*e);
  e->data.factoryText = writeJsonText(factory);
  return e;
}

// Runs a fixed signal through the chain and returns both outputs, one after the other.
inline std::vector<float> render(qvengine& e, int frames = 3000) {
  std::vector<float> in(frames), left(frames), right(frames);
  uint32_t seed = 12345;
  for (int i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    in[i] = 0.4f * std::sin(0.031f * static_cast<float>(i)) + 0.2f * noise;
  }
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  e.chain.process(ins, outs, frames);
  e.state.audioIdle.store(1);  // commands keep running on the test's thread
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

// The rig as a preset object's text.
inline std::string rigText(qvengine& e) {
  qvjsoncursor n;
  e.writePresetNode("rig", false, -1, n);
  return n.text();
}

inline std::vector<std::string> presetNames(const qvengine& e) {
  std::vector<std::string> out;
  for (uint32_t k = 0; k < e.data.presets.count(); ++k) out.push_back(e.data.presets[k]->name);
  return out;
}

// The user document written into `dir`, empty when there is none.
inline std::string savedDocument(const TempDir& dir) {
  qvstring bytes;
  readWholeFile(dir.path() + "/" + kSaveName, bytes);
  return bytes;
}

inline std::vector<std::string> drainMessages(qvengine& e) {
  std::vector<std::string> out;
  qvstring text;
  int32_t level = 0;
  while (e.messages.pop(text, level)) out.push_back(std::to_string(level) + ":" + text);
  return out;
}

}  // namespace lsfix
