// corvina-edithost: the test host's editor mode. Loads a plug-in, opens its
// editor in a top-level X window of its own (effEditGetRect, effEditOpen with the
// window's id, effEditIdle every 20 ms on this thread) while a second thread
// plays silence through processReplacing in real time, as a host does.
//   corvina-edithost PLUGIN.so [--seconds S] [--rate HZ] [--block N]
// Prints "window 0x<id>" once the editor is open. Ends when the window is closed,
// after S seconds, or on SIGTERM / SIGINT. Exit codes: 0 done, 1 the plug-in could
// not be loaded or there is no display, 2 bad options, 3 the plug-in has no
// editor or its editor did not open.
#include <atomic>
#include <chrono>
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

// [audio] Silence in, output dropped, one block per block's worth of time.
void playSilence(qvhostinstance& host, const Options& o, const std::atomic<bool>& stop) {
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
  while (!stop) {
    host.processBlock(inp.data(), outp.data(), o.block);
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
    std::this_thread::sleep_until(next);
  }
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
  std::atomic<bool> stopAudio{false};
  std::thread audio([&] { playSilence(*host, o, stopAudio); });
  int code = 0;
  if (!host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window->window()))) {
    std::fprintf(stderr, "corvina-edithost: the editor did not open\n");
    code = 3;
  } else {
    window->runIdleLoop([&] { host->dispatch(effEditIdle); }, o.seconds);
    host->dispatch(effEditClose);
  }
  stopAudio = true;
  audio.join();
  host->suspend();
  host->close();
  return code;
}
