// corvina-startprobe: how long a host waits for Corvina to start and how much
// memory it takes, measured in a fresh process (nothing loaded or warmed by
// earlier work). It links only the small host, so the libraries the plug-in
// pulls in count towards it as they would in a real host.
//
//   corvina-startprobe PLUGIN INSTANCES RATE
//
// For each instance: VSTPluginMain, effOpen, the sample rate, effMainsChanged 1
// and one 256-frame block. Prints one line:
//   wall_ms=W cpu_ms=C dlopen_ms=D rss_before_kb=B rss_after_kb=A
// (C: the process's CPU time over the same span, which a loaded machine does
// not stretch as it stretches W).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tools/host/cmdline.hpp"
#include "tools/host/cputime.hpp"
#include "tools/host/vsthost.hpp"

namespace {

double wallMs() { return 1e3 * wallSeconds(); }
double cpuMs() { return 1e3 * processCpuSeconds(); }

// The resident set in kB from /proc/self/status, -1 when it cannot be read.
long residentKb() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
  std::fclose(f);
  return kb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: corvina-startprobe PLUGIN INSTANCES RATE\n");
    return kExitUsage;
  }
  int count = 0;
  double rate = 0.0;
  if (!parseIntOption(argv[2], 1, 1024, count) || !parseNumberOption(argv[3], 8000.0, 768000.0, rate)) {
    std::fprintf(stderr, "corvina-startprobe: bad instance count or rate\n");
    return kExitUsage;
  }
  // The buffers exist before the first reading, so they are not counted.
  constexpr int kBlock = 256;
  std::vector<float> in(kBlock), left(kBlock), right(kBlock);
  for (int i = 0; i < kBlock; ++i) in[size_t(i)] = 0.3f * float(i % 64) / 64.0f;
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {left.data(), right.data()};
  std::vector<std::unique_ptr<qvhostinstance>> instances;
  instances.reserve(size_t(count));

  const long before = residentKb();
  const double start = wallMs();
  const double startCpu = cpuMs();
  auto module = std::make_shared<qvhostmodule>();
  if (module->open(argv[1]) != qvhostresult::ok) {
    std::fprintf(stderr, "corvina-startprobe: %s\n", module->error().c_str());
    return kExitFailed;
  }
  const double loaded = wallMs();
  qvhostoptions options;
  options.sampleRate = float(rate);
  options.blockSize = kBlock;
  for (int i = 0; i < count; ++i) {
    qvhostresult result = qvhostresult::ok;
    auto host = qvhostinstance::create(module, options, result);
    if (!host) {
      std::fprintf(stderr, "corvina-startprobe: no effect (code %d)\n", int(result));
      return kExitFailed;
    }
    host->open();
    host->resume();
    host->processBlock(inputs, outputs, kBlock);
    instances.push_back(std::move(host));
  }
  const double done = wallMs();
  const double doneCpu = cpuMs();
  const long after = residentKb();
  std::printf("wall_ms=%.3f cpu_ms=%.3f dlopen_ms=%.3f rss_before_kb=%ld rss_after_kb=%ld\n",
              done - start, doneCpu - startCpu, loaded - start, before, after);
  return 0;
}
