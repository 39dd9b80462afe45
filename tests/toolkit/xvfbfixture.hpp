// End-to-end tests in real X windows: an Xvfb server the tests start themselves
// (one per test program), processes started and stopped around a test, and
// XTest input with XGetImage screenshots.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/process.hpp"

// Xlib after GoogleTest: its macros (None, Bool) would break GoogleTest's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using Clock = std::chrono::steady_clock;

inline bool waitFor(const std::function<bool()>& done, int timeout_ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

// A line from `fd` within `timeout_ms`, without its newline.
inline std::string readLine(int fd, int timeout_ms) {
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
  int in = -1;   // write end of its standard input, when asked for
  ~Child() {
    if (in >= 0) close(in);
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    if (out >= 0) close(out);
  }
  bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
             bool withInput = false) {
    int fds[2], ins[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    if (withInput && pipe2(ins, O_CLOEXEC) != 0) return false;
    pid = startProgram(argv, fds[1], env, ins[0]);
    close(fds[1]);
    if (ins[0] >= 0) close(ins[0]);
    out = fds[0];
    in = ins[1];
    return pid > 0;
  }
  // A line to its standard input, then the line it answers (empty after `timeout_ms`).
  std::string ask(const std::string& line, int timeout_ms = 10000) {
    const std::string text = line + "\n";
    if (in < 0 || write(in, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return "";
    return readLine(out, timeout_ms);
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

  static inline Child* server_ = nullptr;
  static inline std::string display_;
  static inline Display* keepAlive_ = nullptr;
  Display* x_ = nullptr;
};
