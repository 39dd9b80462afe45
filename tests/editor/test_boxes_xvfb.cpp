// The boxes end to end in a real X window: corvina.so in the test host's editor
// mode while noise plays, driven by XTest's mouse and keyboard. A rig is built
// (with an impulse file through a chooser script) and saved as a preset under a
// typed name, found again after the host starts anew; a folder that cannot be
// written gives the save warning while the rig plays on.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

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

// A mono 16-bit WAV at 48 kHz of a short decaying click.
void writeClickWav(const std::string& path) {
  const uint32_t n = 256;
  const uint32_t header[] = {0x46464952, 36 + 2 * n, 0x45564157, 0x20746d66, 16, 0x00010001, 48000, 96000,
                             0x00100002, 0x61746164, 2 * n};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header), sizeof header);  // little-endian, as RIFF is
  for (uint32_t i = 0; i < n; ++i) {
    const int16_t v = static_cast<int16_t>(20000 / (1 + i));
    out.write(reinterpret_cast<const char*>(&v), 2);
  }
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
  std::string document() const {
    std::ifstream in(dir.file("corvina-save.fxda"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

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
  const std::string wav = dir.file("room one.wav");
  writeClickWav(wav);
  const std::string script = dir.file("chooser");
  std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' '" << wav << "'\n";
  chmod(script.c_str(), 0755);
  {
    Child host;
    start(host, {"CORVINA_FILE_CHOOSER=" + script});
    EXPECT_EQ(host.ask("noise"), "ok");
    press(kSetAmp);
    press(kAmpEntry6);
    press(kOpenFile);  // the impulse file through the chooser script
    press(kPedalTab);
    press(kAddPre);
    press(kPedalEntry4);
    expectPlaying(host, "after the amplifier, the impulse and the pedal");
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
  const std::string doc = document();
  const nlohmann::json preset = presetNamed(doc, "Night Rig");
  ASSERT_FALSE(preset.is_null());
  EXPECT_EQ(preset.value("dataind", -1), 5) << "the amplifier chosen from Set Amp";
  bool pedal = false;
  for (const nlohmann::json& s : preset["slots"]) pedal |= s.value("dataind", -1) == 3;
  EXPECT_TRUE(pedal) << "the pedal added with +Pre";
  EXPECT_NE(doc.find("room one.wav"), std::string::npos) << "the impulse is in the catalogue";
  EXPECT_EQ(again.ask("noise"), "ok");
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  expectPlaying(again, "after the restart");
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
