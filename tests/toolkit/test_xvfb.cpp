// End to end in a real X window on an Xvfb server the test starts itself: the
// gallery runs as a child of its own top-level window, XTest presses and drags,
// and screenshots (XGetImage) must change where, and only where, they should.
#include "tests/toolkit/xvfbfixture.hpp"
#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/gallery/layout.hpp"

TEST_F(XvfbTest, GalleryInAWindowAnswersRealInput) {
  Child gallery;
  ASSERT_TRUE(gallery.start({CORVINA_GALLERY_PATH, "--window"}, {"DISPLAY=" + display_}));
  const std::string line = readLine(gallery.out, 30000);
  ASSERT_EQ(line.rfind("window 0x", 0), 0u) << "gallery said: " << line;
  const auto top = static_cast<Window>(std::stoul(line.substr(9), nullptr, 16));
  const CRect whole(0, 0, gallery::kWidth, gallery::kHeight);
  // Drawn: the title area is no longer the window's black.
  ASSERT_TRUE(waitFor([&] { return shot(top, CRect(20, 12, 120, 40)) != std::vector<uint32_t>(100 * 28, 0); }, 20000));
  XSync(x_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::vector<uint32_t> start = shot(top, whole);

  // A fast drag up on the first knob: its picture and its value display change.
  const CRect knob = gallery::kKnobs[0];
  const CRect display(knob.left - 10, knob.bottom + 22, knob.right + 10, knob.bottom + 40);
  const auto knobBefore = shot(top, knob);
  const auto displayBefore = shot(top, display);
  moveTo(top, knob.getCenter());
  button(true);
  moveTo(top, knob.getCenter() - CPoint(0, 20));
  moveTo(top, knob.getCenter() - CPoint(0, 40));
  button(false);
  XFlush(x_);
  EXPECT_TRUE(waitFor([&] { return shot(top, knob) != knobBefore && shot(top, display) != displayBefore; }, 10000));
  const CRect untouched = gallery::kScrollView;
  std::vector<uint32_t> scrollStart;
  for (int y = static_cast<int>(untouched.top); y < untouched.bottom; ++y)
    for (int x = static_cast<int>(untouched.left); x < untouched.right; ++x)
      scrollStart.push_back(start[static_cast<size_t>(y * gallery::kWidth + x)]);
  EXPECT_EQ(shot(top, untouched), scrollStart) << "the drag changed nothing else";

  // A press on the long menu opens its list over the window; Escape closes it.
  const CRect underList(400, 214, 460, 228);  // empty panel area the list covers
  const auto areaBefore = shot(top, underList);
  moveTo(top, gallery::kPresetMenu.getCenter());
  button(true);
  button(false);
  XFlush(x_);
  EXPECT_TRUE(waitFor([&] { return shot(top, underList) != areaBefore; }, 10000)) << "the list opened";
  key(XK_Escape);
  XFlush(x_);
  EXPECT_TRUE(waitFor([&] { return shot(top, underList) == areaBefore; }, 10000)) << "the list closed";

  // A press in the text field takes the keyboard; typing and Return commit.
  const auto statusBefore = shot(top, gallery::kStatusLine);
  const auto fieldBefore = shot(top, gallery::kNameField);
  moveTo(top, gallery::kNameField.getCenter());
  button(true);
  button(false);
  key(XK_x);
  key(XK_Return);
  XFlush(x_);
  EXPECT_TRUE(waitFor([&] { return shot(top, gallery::kStatusLine) != statusBefore; }, 10000)) << "committed";
  EXPECT_NE(shot(top, gallery::kNameField), fieldBefore) << "the typed character shows";
}

TEST_F(XvfbTest, ChildWindowIsAnXEmbedClientAndSurvivesItsParent) {
  TestFrame frame(200, 100);
  EXPECT_FALSE(frame->open(reinterpret_cast<void*>(uintptr_t{0x7ffff0}))) << "no such parent window";
  EXPECT_FALSE(frame->isOpen());

  std::unique_ptr<X11HostWindow> host = X11HostWindow::create(200, 100, "host");
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(frame->open(reinterpret_cast<void*>(host->window())));
  const auto child = static_cast<Window>(frame->getNativeWindow());
  frame->idle();

  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom xembed = XInternAtom(x_, "_XEMBED_INFO", False);
  ASSERT_EQ(XGetWindowProperty(x_, child, xembed, 0, 2, False, xembed, &type, &format, &count, &after, &data), Success);
  ASSERT_EQ(count, 2u);
  const auto* info = reinterpret_cast<const long*>(data);
  EXPECT_EQ(info[1] & 1, 1) << "XEMBED_MAPPED";
  XFree(data);
  XSizeHints hints{};
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(x_, child, &hints, &supplied));
  EXPECT_EQ(hints.min_width, 200);
  EXPECT_EQ(hints.max_height, 100);
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  XQueryTree(x_, child, &root, &parent, &children, &n);
  if (children) XFree(children);
  EXPECT_EQ(parent, static_cast<Window>(host->window()));

  // The host destroys its window first; the frame's later drawing and closing must not end the process.
  host.reset();
  auto* view = new CViewContainer(CRect(0, 0, 50, 50));
  view->setBackgroundColor(kWhiteCColor);
  frame->addView(view);
  frame->idle();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  frame->idle();
  SUCCEED();
}

// The test host's editor mode with the demo plug-in, whose editor is made of the kit:
// the block counter it shows moves (audio runs beside the editor), a drag turns
// its knob, and SIGTERM closes the editor and ends the host cleanly.
TEST_F(XvfbTest, EditorHostShowsAPluginEditorWhileAudioPlays) {
  const CRect knob(20, 20, 80, 80);        // as laid out by the demo plug-in
  const CRect counter(100, 40, 230, 60);
  Child host;
  ASSERT_TRUE(host.start({CORVINA_EDITHOST_PATH, CORVINA_DEMO_EDITOR_PATH}, {"DISPLAY=" + display_}));
  const std::string line = readLine(host.out, 30000);
  ASSERT_EQ(line.rfind("window 0x", 0), 0u) << "host said: " << line;
  const auto top = static_cast<Window>(std::stoul(line.substr(9), nullptr, 16));
  const std::vector<uint32_t> black(60 * 60, 0);
  ASSERT_TRUE(waitFor([&] { return shot(top, knob) != black; }, 20000));
  const auto count = shot(top, counter);
  EXPECT_TRUE(waitFor([&] { return shot(top, counter) != count; }, 10000)) << "the block count moves";
  const auto knobBefore = shot(top, knob);
  moveTo(top, knob.getCenter());
  button(true);
  moveTo(top, knob.getCenter() - CPoint(0, 40));
  button(false);
  XFlush(x_);
  EXPECT_TRUE(waitFor([&] { return shot(top, knob) != knobBefore; }, 10000));
  kill(host.pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(host.pid, &status, 0), host.pid);
  host.pid = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

// On a 16-bit display the picture is converted pixel by pixel (5-6-5 bits).
TEST_F(XvfbTest, SixteenBitDisplayGetsConvertedPixels) {
  Child server16;
  const std::string display16 = startServer(server16, 16);
  ASSERT_GT(display16.size(), 1u);
  Display* x16 = XOpenDisplay(display16.c_str());
  ASSERT_NE(x16, nullptr);
  setenv("DISPLAY", display16.c_str(), 1);
  {
    std::unique_ptr<X11HostWindow> host = X11HostWindow::create(60, 20, "host");
    ASSERT_NE(host, nullptr);
    TestFrame frame(60, 20);
    const CColor colors[] = {{255, 0, 0, 255}, {255, 255, 255, 255}, {128, 128, 128, 255}};
    for (int i = 0; i < 3; ++i) {
      auto* patch = new CViewContainer(CRect(i * 20, 0, i * 20 + 20, 20));
      patch->setBackgroundColor(colors[i]);
      frame->addView(patch);
    }
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(host->window())));
    const auto child = static_cast<Window>(frame->getNativeWindow());
    const unsigned long want[] = {0xF800, 0xFFFF, (16ul << 11) | (32ul << 5) | 16ul};
    const auto pixels = [&] {
      std::vector<unsigned long> got;
      for (int i = 0; i < 3; ++i) {
        XImage* image = XGetImage(x16, child, i * 20 + 10, 10, 1, 1, AllPlanes, ZPixmap);
        got.push_back(image ? XGetPixel(image, 0, 0) : 0);
        if (image) XDestroyImage(image);
      }
      return got;
    };
    EXPECT_TRUE(waitFor(
        [&] {
          frame->idle();
          return pixels() == std::vector<unsigned long>(std::begin(want), std::end(want));
        },
        10000))
        << std::hex << pixels()[0] << " " << pixels()[1] << " " << pixels()[2];
  }
  setenv("DISPLAY", display_.c_str(), 1);
  XCloseDisplay(x16);
}
