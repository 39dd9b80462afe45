// The boxes end to end in a real X window: corvina.so in the test host's editor
// mode while noise plays, driven by XTest's mouse and keyboard. A rig is built
// and saved as a preset under a typed name, found again after the host starts
// anew; an impulse file comes through a chooser script; a folder that cannot be
// written gives the save warning while the rig plays on.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tests/tempdir.hpp"
#include "tests/toolkit/xvfbfixture.hpp"

namespace {

// Window places of what the tests press (the window is 840 x 480).
const CPoint kSetAmp(164, 330);
const CPoint kAmpEntry6(170, 124);     // "Set Amp" entry 6: amplifier definition 5
const CPoint kPedalTab(11, 195);
const CPoint kAmpTab(11, 90);
const CPoint kAddPre(90, 61);
const CPoint kPedalEntry4(60, 153);    // "+Pre" entry 4: pedal definition 3
const CPoint kShowPresets(98, 37);
const CPoint kPresetName(312, 62);
const CPoint kSaveAsNew(536, 62);
const CPoint kOpenFile(660, 436);      // the cab-sim panel's "open file"
const CRect kMessageLine(200, 1, 700, 19);

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A mono 16-bit WAV of a short decaying click.
void writeClickWav(const std::string& path) {
  const int frames = 256, rate = 48000;
  std::string b = "RIFF";
  auto u32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) b.push_back(static_cast<char>(v >> (8 * k))); };
  auto u16 = [&](uint16_t v) { for (int k = 0; k < 2; ++k) b.push_back(static_cast<char>(v >> (8 * k))); };
  u32(36 + frames * 2);
  b += "WAVEfmt ";
  u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
  b += "data";
  u32(frames * 2);
  for (int i = 0; i < frames; ++i) u16(static_cast<uint16_t>(static_cast<int16_t>(20000.0 / (1 + i))));
  std::ofstream(path, std::ios::binary) << b;
}

class BoxesXvfb : public XvfbTest {
protected:
  void SetUp() override {
    XvfbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(dir.ok());
    plugin = dir.file("corvina.so");
    std::filesystem::copy_file(CORVINA_PLUGIN_PATH, plugin);
  }
  // Starts the host on the plug-in copy and waits for its drawn window.
  void start(Child& host, const std::vector<std::string>& env = {}) {
    std::vector<std::string> all = {"DISPLAY=" + display_};
    all.insert(all.end(), env.begin(), env.end());
    ASSERT_TRUE(host.start({CORVINA_EDITHOST_PATH, plugin}, all, true));
    const std::string line = readLine(host.out, 60000);
    ASSERT_EQ(line.rfind("window 0x", 0), 0u) << "edithost said: " << line;
    top = static_cast<Window>(std::stoul(line.substr(9), nullptr, 16));
    ASSERT_TRUE(waitFor([&] { return shot(top, CRect(48, 27, 148, 47)) != std::vector<uint32_t>(100 * 20, 0); },
                        20000));
  }
  void press(CPoint at) {
    moveTo(top, at);
    XFlush(x_);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    button(true);
    button(false);
    XFlush(x_);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  // Upper-case letters with Shift held, as a keyboard types them.
  void type(const std::string& text) {
    const KeyCode shift = XKeysymToKeycode(x_, XK_Shift_L);
    for (char c : text) {
      const bool upper = std::isupper(static_cast<unsigned char>(c)) != 0;
      if (upper) XTestFakeKeyEvent(x_, shift, True, CurrentTime);
      key(c == ' ' ? XK_space : static_cast<KeySym>(std::tolower(static_cast<unsigned char>(c))));
      if (upper) XTestFakeKeyEvent(x_, shift, False, CurrentTime);
    }
    XFlush(x_);
  }
  // The output is a finite number and the plug-in sounds.
  void expectPlaying(Child& host, const char* when) {
    const std::string rms = host.ask("rms");
    ASSERT_EQ(rms.rfind("rms ", 0), 0u) << rms;
    const double v = std::stod(rms.substr(4));
    EXPECT_TRUE(std::isfinite(v)) << when;
    EXPECT_GT(v, 1e-5) << when;
  }
  std::string document() const { return readText(dir.file("corvina-save.fxda")); }

  TempDir dir;
  std::string plugin;
  Window top = 0;
};

// The preset named `name` in the user document, or null.
nlohmann::json presetNamed(const std::string& doc, const std::string& name) {
  const nlohmann::json root = nlohmann::json::parse(doc, nullptr, false);
  if (!root.is_object() || !root.contains("presets")) return nullptr;
  for (const nlohmann::json& p : root["presets"])
    if (p.value("name", "") == name) return p;
  return nullptr;
}

}  // namespace

TEST_F(BoxesXvfb, ARigBuiltWithTheMouseIsSavedUnderATypedNameAndFoundAgain) {
  {
    Child host;
    start(host);
    EXPECT_EQ(host.ask("noise"), "ok");
    press(kSetAmp);
    press(kAmpEntry6);
    press(kPedalTab);
    press(kAddPre);
    press(kPedalEntry4);
    expectPlaying(host, "after the amplifier and the pedal");
    press(kAmpTab);
    press(kShowPresets);
    press(kPresetName);
    key(XK_End);
    for (int k = 0; k < 30; ++k) key(XK_BackSpace);
    type("Night Rig");
    key(XK_Return);
    press(kSaveAsNew);
    ASSERT_TRUE(waitFor([&] { return !presetNamed(document(), "Night Rig").is_null(); }, 10000))
        << "the preset is in the user document";
    expectPlaying(host, "after saving");
  }
  // The host starts again on the same copy: the document it reads holds the rig.
  Child again;
  start(again);
  const nlohmann::json preset = presetNamed(document(), "Night Rig");
  ASSERT_FALSE(preset.is_null());
  EXPECT_EQ(preset.value("dataind", -1), 5) << "the amplifier chosen from Set Amp";
  bool pedal = false;
  for (const nlohmann::json& s : preset["slots"]) pedal |= s.value("dataind", -1) == 3;
  EXPECT_TRUE(pedal) << "the pedal added with +Pre";
  EXPECT_EQ(again.ask("noise"), "ok");
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  expectPlaying(again, "after the restart");
}

TEST_F(BoxesXvfb, AnImpulseFileComesThroughTheChooserScript) {
  const std::string wav = dir.file("room one.wav");
  writeClickWav(wav);
  const std::string script = dir.file("chooser");
  std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' '" << wav << "'\n";
  chmod(script.c_str(), 0755);
  Child host;
  start(host, {"CORVINA_FILE_CHOOSER=" + script});
  EXPECT_EQ(host.ask("noise"), "ok");
  press(kOpenFile);
  ASSERT_TRUE(waitFor([&] { return document().find("room one.wav") != std::string::npos; }, 10000))
      << "the impulse is in the catalogue";
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  expectPlaying(host, "with the new impulse");
}

TEST_F(BoxesXvfb, AFolderThatCannotBeWrittenWarnsAndTheRigPlaysOn) {
  Child host;
  start(host);
  EXPECT_EQ(host.ask("noise"), "ok");
  // Read-only; for root, who may write anyway, a folder stands where the document goes.
  std::filesystem::remove(dir.file("corvina-save.fxda"));
  if (geteuid() == 0) std::filesystem::create_directories(dir.file("corvina-save.fxda/held"));
  chmod(dir.path().c_str(), 0555);
  press(kShowPresets);
  press(kSaveAsNew);
  // The warning's colour on the message line.
  auto warned = [&] {
    for (uint32_t p : shot(top, kMessageLine))
      if ((p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 120 && (p >> 8 & 0xFF) < 200 && (p & 0xFF) < 120) return true;
    return false;
  };
  EXPECT_TRUE(waitFor(warned, 5000)) << "the save warning shows";
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  expectPlaying(host, "after the failed save");
  chmod(dir.path().c_str(), 0755);
}
