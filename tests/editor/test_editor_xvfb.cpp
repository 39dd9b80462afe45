// The plug-in's editor end to end in a real X window: corvina.so loaded by the
// test host's editor mode on an Xvfb server of the test's own, while its audio
// thread plays.
#include <filesystem>

#include "tests/tempdir.hpp"
#include "tests/toolkit/xvfbfixture.hpp"

namespace {

constexpr CRect kWholeEditor(0, 0, 840, 480);
constexpr CRect kMeters(1, 372, 21, 462);

// The editor's child windows of `top`.
std::vector<Window> children(Display* x, Window top) {
  Window root, parent, *kids = nullptr;
  unsigned int n = 0;
  std::vector<Window> out;
  if (XQueryTree(x, top, &root, &parent, &kids, &n)) out.assign(kids, kids + n);
  if (kids) XFree(kids);
  return out;
}

}  // namespace

TEST_F(XvfbTest, PluginEditorOpensMetersFollowTheAudioAndItReopens) {
  TempDir dir;
  const std::string plugin = dir.file("corvina.so");
  std::filesystem::copy_file(CORVINA_PLUGIN_PATH, plugin);
  Child host;
  ASSERT_TRUE(host.start({CORVINA_EDITHOST_PATH, plugin}, {"DISPLAY=" + display_}, true));
  const std::string line = readLine(host.out, 60000);
  ASSERT_EQ(line.rfind("window 0x", 0), 0u) << "edithost said: " << line;
  const auto top = static_cast<Window>(std::stoul(line.substr(9), nullptr, 16));

  // One child window of the host's, 840 x 480, drawn.
  std::vector<Window> kids = children(x_, top);
  ASSERT_EQ(kids.size(), 1u);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(x_, kids[0], &a));
  EXPECT_EQ(a.width, 840);
  EXPECT_EQ(a.height, 480);
  const auto blank = [&](const std::vector<uint32_t>& p) {
    return p.empty() || std::all_of(p.begin(), p.end(), [&](uint32_t v) { return v == p[0]; });
  };
  ASSERT_TRUE(waitFor([&] { return !blank(shot(top, kWholeEditor)); }, 20000)) << "a drawn frame";

  // The meters rest in silence and move with noise.
  EXPECT_EQ(host.ask("silence"), "ok");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::vector<uint32_t> resting = shot(top, kMeters);
  EXPECT_EQ(host.ask("noise"), "ok");
  EXPECT_TRUE(waitFor([&] { return shot(top, kMeters) != resting; }, 10000)) << "meters move with noise";
  EXPECT_EQ(host.ask("silence"), "ok");
  EXPECT_TRUE(waitFor([&] { return shot(top, kMeters) == resting; }, 10000)) << "and rest again";

  // Closed and opened again into the same window.
  EXPECT_EQ(host.ask("close"), "closed");
  EXPECT_TRUE(waitFor([&] { return children(x_, top).empty(); }, 10000)) << "the child window went";
  EXPECT_EQ(host.ask("open"), "opened 1");
  EXPECT_TRUE(waitFor([&] { return children(x_, top).size() == 1; }, 10000));
  EXPECT_TRUE(waitFor([&] { return shot(top, kMeters) == resting && !blank(shot(top, kWholeEditor)); }, 20000));
}
