#include "tools/perfreport/hostbench.hpp"

#include <algorithm>
#include <limits>

#include "tools/host/cputime.hpp"

bool stagedrig::create(const std::string& plugin, int oversampling, std::string& error) {
  if (!stage.create(plugin, error)) return false;
  if (oversampling > 0) {
    qvstring document;
    if (!documentWithOversampling(qvstring(), oversampling, document, error)) return false;
    if (!stage.writeDocument(document, error)) return false;
  }
  book.load(stage);
  return true;
}

namespace {

// Plays `frames` frames of `signal` (looping; silence when empty) from `offset`
// on, block by block, and returns the process CPU seconds it took.
double play(qvhostinstance& host, const std::vector<float>& signal, size_t offset, size_t frames) {
  static const std::vector<float> zeros(kHostBlock, 0.0f);
  std::vector<float> left(kHostBlock), right(kHostBlock), in(kHostBlock);
  float* outputs[2] = {left.data(), right.data()};
  const double start = processCpuSeconds();
  for (size_t done = 0; done < frames; done += kHostBlock) {
    const int n = int(std::min<size_t>(kHostBlock, frames - done));
    const float* source = zeros.data();
    if (!signal.empty()) {
      const size_t at = (offset + done) % signal.size();
      if (at + size_t(n) <= signal.size()) {
        source = signal.data() + at;
      } else {
        for (int i = 0; i < n; ++i) in[size_t(i)] = signal[(at + size_t(i)) % signal.size()];
        source = in.data();
      }
    }
    float* inputs[2] = {const_cast<float*>(source), const_cast<float*>(source)};
    host.processBlock(inputs, outputs, n);
  }
  return processCpuSeconds() - start;
}

std::unique_ptr<qvhostinstance> openWith(const pluginstage& stage, const qvstring& chunk,
                                         double rate, std::string& error) {
  auto host = openStagedPlugin(stage, float(rate), kHostBlock, error);
  if (!host) return nullptr;
  giveChunk(*host, chunk);
  host->resume();
  return host;
}

}  // namespace

double realTimeFactor(const pluginstage& stage, const qvstring& chunk, const std::vector<float>& di,
                      double rate, int warmup, std::string& error) {
  auto host = openWith(stage, chunk, rate, error);
  if (!host) return -1.0;
  play(*host, di, 0, size_t(warmup) * kHostBlock);
  const double used = play(*host, di, 0, di.size());
  host->suspend();
  host->close();
  return used > 0.0 ? double(di.size()) / rate / used : std::numeric_limits<double>::infinity();
}

bool silenceCost(const pluginstage& stage, const qvstring& chunk, const std::vector<float>& di,
                 double rate, int cycles, silencecost& out, std::string& error) {
  // Two instances of the preset, block by block in turn: `probe` plays signal
  // and then silence, `reference` plays signal all along. The silence phase's
  // cost is compared with the reference's over the same moments, so a neighbour
  // taking the core (or its other hyperthread) for a while weighs on both.
  auto reference = openWith(stage, chunk, rate, error);
  auto probe = reference ? openWith(stage, chunk, rate, error) : nullptr;
  if (!probe) return false;
  const std::vector<float> none;
  const size_t skip = std::min(di.size() / 2, size_t(rate / 4));
  play(*reference, di, 0, skip);
  play(*probe, di, 0, skip);
  size_t at = skip;
  double signal = 0.0, silence = 0.0;
  size_t blocks = 0;
  for (int c = 0; c < std::max(1, cycles); ++c) {
    for (size_t done = 0; done < di.size(); done += kHostBlock, at += kHostBlock) {
      play(*reference, di, at, kHostBlock);
      play(*probe, di, at, kHostBlock);
    }
    for (size_t done = 0; done < di.size(); done += kHostBlock, at += kHostBlock, ++blocks) {
      // Alternating which runs first, so neither always finds the caches the other left.
      if (blocks % 2) {
        signal += play(*reference, di, at, kHostBlock);
        silence += play(*probe, none, 0, kHostBlock);
      } else {
        silence += play(*probe, none, 0, kHostBlock);
        signal += play(*reference, di, at, kHostBlock);
      }
    }
  }
  for (auto* host : {reference.get(), probe.get()}) {
    host->suspend();
    host->close();
  }
  out.signalPerBlock = signal / double(blocks);
  out.silencePerBlock = silence / double(blocks);
  return true;
}
