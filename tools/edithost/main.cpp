// corvina-edithost: the test host's editor mode. Loads a plug-in, opens its
// editor in a top-level X window of its own (effEditGetRect, effEditOpen with the
// window's id, effEditIdle every 20 ms on this thread) while a second thread
// plays silence (or noise) through processReplacing in real time, as a host does.
//   corvina-edithost PLUGIN.so [--seconds S] [--rate HZ] [--block N]
// Prints "window 0x<id>" once the editor is open. Ends when the window is closed,
// after S seconds, or on SIGTERM / SIGINT. Exit codes: 0 done, 1 the plug-in could
// not be loaded or there is no display, 2 bad options, 3 the plug-in has no
// editor or its editor did not open.
//
// Lines on standard input steer it (for end-to-end tests), each answered on
// standard output: "noise" and "silence" (the input signal; "ok"), "close" and
// "open" (effEditClose, effEditOpen into the same window; "closed", "opened 1|0"),
// "rms" (the left output's RMS over the last half second: "rms <value>").
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/vsthost/vsthost.hpp"

namespace {
struct Options {
  std::string plugin;
  double seconds = 0;   // 0: until closed
  float rate = 48000;   // Hz
  int block = 256;      // frames
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const bool more = i + 1 < argc;
    if (std::strcmp(argv[i], "--seconds") == 0 && more) o.seconds = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--rate") == 0 && more) o.rate = static_cast<float>(std::atof(argv[++i]));
    else if (std::strcmp(argv[i], "--block") == 0 && more) o.block = std::atoi(argv[++i]);
    else if (argv[i][0] != '-' && o.plugin.empty()) o.plugin = argv[i];
    else return false;
  }
  return !o.plugin.empty() && o.rate >= 1000 && o.block >= 1 && o.block <= 65536;
}

// What the audio thread plays and what it measured, shared with the idle loop.
struct AudioShared {
  std::atomic<bool> stop{false};
  std::atomic<bool> noise{false};
  std::atomic<double> rms{0.0};  // of the left output over the last half second
};

// [audio] Silence or noise in, one block per block's worth of time; the output's
// RMS is kept over half-second windows.
void playSignal(qvhostinstance& host, const Options& o, AudioShared& shared) {
  const AEffect* effect = host.effect();
  std::vector<std::vector<float>> in(static_cast<size_t>(std::max(effect->numInputs, 0)),
                                     std::vector<float>(static_cast<size_t>(o.block), 0.0f));
  std::vector<std::vector<float>> out(static_cast<size_t>(std::max(effect->numOutputs, 0)),
                                      std::vector<float>(static_cast<size_t>(o.block), 0.0f));
  std::vector<float*> inp, outp;
  for (auto& c : in) inp.push_back(c.data());
  for (auto& c : out) outp.push_back(c.data());
  const auto period = std::chrono::duration<double>(o.block / static_cast<double>(o.rate));
  auto next = std::chrono::steady_clock::now();
  uint32_t seed = 22222u;
  double squares = 0.0;
  long frames = 0;
  while (!shared.stop) {
    const bool noise = shared.noise.load();
    for (auto& c : in)
      for (float& v : c) {
        seed = seed * 1664525u + 1013904223u;
        v = noise ? 0.5f * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f) : 0.0f;
      }
    host.processBlock(inp.data(), outp.data(), o.block);
    if (!out.empty())
      for (float v : out[0]) squares += static_cast<double>(v) * v;
    frames += o.block;
    if (frames >= static_cast<long>(o.rate / 2)) {
      shared.rms = std::sqrt(squares / static_cast<double>(frames));
      squares = 0.0;
      frames = 0;
    }
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
    std::this_thread::sleep_until(next);
  }
}
// [ui] Lines waiting on standard input, without blocking.
class stdinlines {
public:
  stdinlines() { fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK); }
  bool next(std::string& line) {
    char buffer[256];
    ssize_t n;
    while ((n = read(0, buffer, sizeof buffer)) > 0) pending_.append(buffer, static_cast<size_t>(n));
    const size_t end = pending_.find('\n');
    if (end == std::string::npos) return false;
    line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return true;
  }

private:
  std::string pending_;
};

void answer(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr, "usage: corvina-edithost PLUGIN.so [--seconds S] [--rate HZ] [--block N]\n");
    return 2;
  }
  auto module = std::make_shared<qvhostmodule>();
  if (module->open(o.plugin) != qvhostresult::ok) {
    std::fprintf(stderr, "corvina-edithost: %s\n", module->error().c_str());
    return 1;
  }
  qvhostoptions options;
  options.sampleRate = o.rate;
  options.blockSize = o.block;
  qvhostresult result = qvhostresult::ok;
  std::unique_ptr<qvhostinstance> host = qvhostinstance::create(module, options, result);
  if (!host) {
    std::fprintf(stderr, "corvina-edithost: the plug-in made no effect (%d)\n", static_cast<int>(result));
    return 1;
  }
  host->open();
  ERect* rect = nullptr;
  if (!(host->effect()->flags & effFlagsHasEditor) || !host->dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
    std::fprintf(stderr, "corvina-edithost: the plug-in has no editor\n");
    return 3;
  }
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  std::unique_ptr<X11HostWindow> window = X11HostWindow::create(width, height, "corvina-edithost");
  if (!window) {
    std::fprintf(stderr, "corvina-edithost: no X display\n");
    return 1;
  }
  host->resume();
  AudioShared shared;
  std::thread audio([&] { playSignal(*host, o, shared); });
  int code = 0;
  void* parent = reinterpret_cast<void*>(window->window());
  if (!host->dispatch(effEditOpen, 0, 0, parent)) {
    std::fprintf(stderr, "corvina-edithost: the editor did not open\n");
    code = 3;
  } else {
    stdinlines commands;
    window->runIdleLoop(
        [&] {
          std::string line;
          while (commands.next(line)) {
            if (line == "noise" || line == "silence") {
              shared.noise = line == "noise";
              answer("ok");
            } else if (line == "close") {
              host->dispatch(effEditClose);
              answer("closed");
            } else if (line == "open") {
              answer(std::string("opened ") + (host->dispatch(effEditOpen, 0, 0, parent) ? "1" : "0"));
            } else if (line == "rms") {
              answer("rms " + std::to_string(shared.rms.load()));
            } else {
              answer("unknown " + line);
            }
          }
          host->dispatch(effEditIdle);
        },
        o.seconds);
    host->dispatch(effEditClose);
  }
  shared.stop = true;
  audio.join();
  host->suspend();
  host->close();
  return code;
}
