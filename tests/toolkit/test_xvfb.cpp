// End to end in a real X window on an Xvfb server the test starts itself: the
// gallery runs as a child of its own top-level window, XTest presses and drags,
// and screenshots (XGetImage) must change where, and only where, they should.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/process.hpp"
#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/gallery/layout.hpp"

// Xlib after GoogleTest: its macros (None, Bool) would break GoogleTest's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
using Clock = std::chrono::steady_clock;

bool waitFor(const std::function<bool()>& done, int timeout_ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

// A line from `fd` within `timeout_ms`, without its newline.
std::string readLine(int fd, int timeout_ms) {
  std::string line;
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    char c;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

// A process we started; stopped and reaped when this goes.
struct Child {
  pid_t pid = -1;
  int out = -1;  // read end of its standard output
  ~Child() {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    if (out >= 0) close(out);
  }
  bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    pid = startProgram(argv, fds[1], env);
    close(fds[1]);
    out = fds[0];
    return pid > 0;
  }
};

// Xvfb on a display number it picks itself (-displayfd).
class XvfbTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    server_ = new Child;
    display_ = startServer(*server_, 24);
    ASSERT_GT(display_.size(), 1u) << "Xvfb gave no display number";
    keepAlive_ = XOpenDisplay(display_.c_str());
    ASSERT_NE(keepAlive_, nullptr);
  }
  // An Xvfb server of `depth` bits in `server`; its display name, or "" on failure.
  // -terminate: the server ends when its last client goes, so it never outlives a
  // test process that died; the caller keeps a connection open meanwhile.
  static std::string startServer(Child& server, int depth) {
    const std::string xvfb = findProgram("Xvfb");
    EXPECT_FALSE(xvfb.empty()) << "Xvfb is needed (Debian package xvfb)";
    if (xvfb.empty() || !server.start({xvfb, "-displayfd", "1", "-screen", "0", "1024x768x" + std::to_string(depth),
                                       "-nolisten", "tcp", "-terminate"}))
      return "";
    const std::string number = readLine(server.out, 20000);
    return number.empty() ? "" : ":" + number;
  }
  static void TearDownTestSuite() {
    if (keepAlive_) XCloseDisplay(keepAlive_);
    keepAlive_ = nullptr;
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (display_.size() <= 1) GTEST_SKIP() << "no Xvfb";
    setenv("DISPLAY", display_.c_str(), 1);
    x_ = XOpenDisplay(display_.c_str());
    ASSERT_NE(x_, nullptr);
  }
  void TearDown() override {
    if (x_) XCloseDisplay(x_);
  }

  // The window's pixels, row by row (0x00RRGGBB).
  std::vector<uint32_t> shot(Window w, const CRect& r) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(x_, w, static_cast<int>(r.left), static_cast<int>(r.top),
                              static_cast<unsigned>(r.getWidth()), static_cast<unsigned>(r.getHeight()), AllPlanes,
                              ZPixmap);
    if (!image) return pixels;
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
  }
  void moveTo(Window w, CPoint p) {
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(x_, w, DefaultRootWindow(x_), static_cast<int>(p.x), static_cast<int>(p.y), &rx, &ry,
                          &child);
    XTestFakeMotionEvent(x_, -1, rx, ry, CurrentTime);
  }
  void button(bool press) { XTestFakeButtonEvent(x_, 1, press ? True : False, CurrentTime); }
  void key(KeySym sym) {
    const KeyCode code = XKeysymToKeycode(x_, sym);
    XTestFakeKeyEvent(x_, code, True, CurrentTime);
    XTestFakeKeyEvent(x_, code, False, CurrentTime);
  }

  static Child* server_;
  static std::string display_;
  static Display* keepAlive_;
  Display* x_ = nullptr;
};
Child* XvfbTest::server_ = nullptr;
Display* XvfbTest::keepAlive_ = nullptr;
std::string XvfbTest::display_;
}  // namespace

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
