#include "units/convengine.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "units/qvsimd.hpp"

// Timing. Sample number t is the t-th sample since the last reset; `now_` counts the
// samples processed. A slot's ring cell t & ringMask holds the pending output of time
// t. Stage m's block boundaries fall where now_ is a multiple of Bm, so all stages
// are aligned (boundaries of larger stages are also boundaries of smaller ones), and
// all work falls on a 32-sample grid.
//
// Deadlines. At a boundary n (newest input n−1) the frame holds times n−4Bm .. n−1.
// For a partition starting at tap s, overlap-save yields the valid outputs of times
// n−Bm+s .. n+s−1, written at ring position n + (s−Bm). They lie in the future as long
// as the partition is processed no later than s−Bm samples after the boundary. A
// stage's first partition starts at s = 6Bm−320: the slack is 0 for stage 0 (done at
// the boundary itself), 320 for stage 1 and grows from there; partition 1 of a stage
// (done half a block later) has 3Bm more. A block's partitions must also be done
// before the next boundary overwrites the stage's spectrum.
//
// Deferred products. Partition j of a stage starts 3Bm·j taps after partition 0, so
// what it yields for block b lands exactly where partition 0 of block b + 3j lands.
// Its product with block b's input spectrum is therefore not inverted on its own:
// it is added, at its own work slot, to a spectrum waiting for block b + 3j, and
// partition 0 of that block adds the waiting sum to its product before the one
// inverse transform of the stage's block. The result is the same linear
// convolution for one complex multiply-add per partition instead of an inverse FFT;
// a stage costs one forward and one inverse transform per block whatever the
// response's length. Partition j is multiplied at work slot floor(j·slots/np) of
// its block, spread evenly (two partitions: the boundary and half a block later),
// long before block b + 3j begins. Responses beyond 24256 taps give the largest
// stage (Bm = 2048) a partition for every further 6144 taps, convolved in full.
//
// Starting a slot. A slot created (or switched on) at sample T convolves the input
// from T on: the head sums only samples since T, nothing of a block begun before T
// is processed for it (those outputs depend on earlier input only), and a frame
// that reaches back before T is transformed once more for that slot with the
// earlier samples zeroed. The shared stage positions never restart, so the other
// slots' pending output stays aligned.

namespace {
using v4f = qvfloat4;

inline v4f load4(const float* p) { return loadFloat4(p); }

// Σ a[i]·b[i]: four independent vector sums, so the adds do not wait on each other.
inline float dot(const float* a, const float* b, int n) noexcept {
  v4f s0{}, s1{}, s2{}, s3{};
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    s0 += load4(a + i) * load4(b + i);
    s1 += load4(a + i + 4) * load4(b + i + 4);
    s2 += load4(a + i + 8) * load4(b + i + 8);
    s3 += load4(a + i + 12) * load4(b + i + 12);
  }
  const v4f s = (s0 + s1) + (s2 + s3);
  float sum = (s[0] + s[1]) + (s[2] + s[3]);
  for (; i < n; ++i) sum += a[i] * b[i];
  return sum;
}

// The spectral multiply-accumulate: out = x · h (Accumulate: out += x · h) for
// `pairs` pairs of bins, a pair per vector (interleaved re, im):
// (xr + i·xi)(hr + i·hi) = x·(hr, hr) + swap(x)·(−hi, hi). A partition's spectrum is
// stored in that form (packPartition), so the loop is two multiplies and an add.
template <bool Accumulate>
inline void complexMultiply(const fftwf_complex* x, const float* h, fftwf_complex* out,
                            int pairs) noexcept {
  const float* xf = x[0];
  float* of = out[0];
  for (int g = 0; g < pairs; ++g) {
    const v4f a = load4(xf + 4 * g);
    const v4f a_sw = __builtin_shufflevector(a, a, 1, 0, 3, 2);
    v4f r = a * load4(h + 8 * g) + a_sw * load4(h + 8 * g + 4);
    if constexpr (Accumulate) r += load4(of + 4 * g);
    storeFloat4(of + 4 * g, r);
  }
}

// A partition's spectrum (bins complex values) in the form complexMultiply reads:
// per pair of bins (hr0, hr0, hr1, hr1, −hi0, hi0, −hi1, hi1), the odd last bin
// paired with a zero.
void packPartition(const fftwf_complex* h, int bins, float* out) {
  for (int k = 0; k < bins; k += 2) {
    const float hr0 = h[k][0], hi0 = h[k][1];
    const float hr1 = k + 1 < bins ? h[k + 1][0] : 0.0f, hi1 = k + 1 < bins ? h[k + 1][1] : 0.0f;
    float* g = out + 4 * k;
    g[0] = hr0, g[1] = hr0, g[2] = hr1, g[3] = hr1;
    g[4] = -hi0, g[5] = hi0, g[6] = -hi1, g[7] = hi1;
  }
}

// dst[i] += src[i], four at a time.
inline void addInto(float* dst, const float* src, int n) noexcept {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const v4f r = load4(dst + i) + load4(src + i);
    std::memcpy(dst + i, &r, sizeof r);
  }
  for (; i < n; ++i) dst[i] += src[i];
}

int64_t nextPowerOfTwo(int64_t n) {
  int64_t p = 1;
  while (p < n) p <<= 1;
  return p;
}
}  // namespace

qvconvengine::qvconvengine() {
  bool ok = true;
  int block = kHeadLength;
  for (int m = 0; m < kStageCount; ++m, block *= 2) {
    Stage& st = stages_[m];
    st.block = block;
    st.partLength = 3 * block;
    st.fftSize = 4 * block;
    st.bins = st.fftSize / 2 + 1;
    st.pairs = (st.bins + 1) / 2;
    st.plan = fftPlanFor(st.fftSize);
    st.spectrum = makeFftwBuffer<fftwf_complex>(2 * st.pairs);  // the odd last pair's zero stays
    ok = ok && st.plan && st.spectrum;
  }
  history_ = makeFftwBuffer<float>(2 * kHistoryLength);
  product_ = makeFftwBuffer<fftwf_complex>(2 * stages_[kStageCount - 1].pairs);
  timeBuffer_ = makeFftwBuffer<float>(kMaxFftSize);
  ready_ = ok && history_ && product_ && timeBuffer_;
}

qvconvengine::~qvconvengine() = default;

qvconvengine::Slot* qvconvengine::find(int slot) const noexcept {
  if (slot < 0 || static_cast<size_t>(slot) >= slots_.size()) return nullptr;
  return slots_[slot].get();
}

int qvconvengine::createSlot(std::span<const float> ir) {
  if (!ready_) return kConvNoPlans;
  try {
    auto s = std::make_unique<Slot>();
    const int64_t length = static_cast<int64_t>(ir.size());
    s->length = length;
    s->headLength = static_cast<int>(std::min<int64_t>(length, kHeadLength));
    for (int k = 0; k < s->headLength; ++k) s->headReversed[s->headLength - 1 - k] = ir[k];

    // Partitions 192, 192, 384, 384, ...: the stage moves up after every second
    // partition and stays at the largest one.
    qvfftwbuffer<float> frame = makeFftwBuffer<float>(kMaxFftSize);
    qvfftwbuffer<fftwf_complex> spectrum = makeFftwBuffer<fftwf_complex>(kMaxFftSize / 2 + 1);
    if (!frame || !spectrum) return kConvNoMemory;
    int64_t tap = kHeadLength;
    int m = 0;
    int count = 0;
    while (tap < length) {
      const Stage& st = stages_[m];
      Partition p;
      p.spectrum = makeFftwBuffer<float>(8 * static_cast<size_t>(st.pairs), false);
      if (!p.spectrum) return kConvNoMemory;
      const int64_t n = std::min<int64_t>(st.partLength, length - tap);
      const float scale = 1.0f / static_cast<float>(st.fftSize);  // the inverse is unscaled
      std::fill_n(frame.get(), st.fftSize, 0.0f);
      for (int64_t k = 0; k < n; ++k) frame[k] = ir[tap + k] * scale;
      fftwf_execute_dft_r2c(st.plan->forward, frame.get(), spectrum.get());
      packPartition(spectrum.get(), st.bins, p.spectrum.get());
      p.offset = tap - st.block;
      s->stages[m].parts.push_back(std::move(p));
      tap += st.partLength;
      if (++count % 2 == 0 && m + 1 < kStageCount) ++m;
    }
    for (int k = 0; k < kStageCount; ++k) {
      SlotStage& ss = s->stages[k];
      if (ss.parts.empty()) continue;
      ss.startSpectrum = makeFftwBuffer<fftwf_complex>(2 * stages_[k].pairs);
      if (!ss.startSpectrum) return kConvNoMemory;
      // Partition j's product waits 3·j blocks, up to 3·(np−1); one more buffer
      // holds the block being consumed.
      const int np = static_cast<int>(ss.parts.size());
      if (np > 1) {
        ss.deferred.resize(kBlocksPerPartition * (np - 1) + 1);
        for (auto& d : ss.deferred) {
          d = makeFftwBuffer<fftwf_complex>(2 * stages_[k].pairs, false);  // restartSlot clears
          if (!d) return kConvNoMemory;
        }
      }
    }
    // Outputs are written at most (last partition start − 1) samples ahead.
    const int64_t ring_length = nextPowerOfTwo(std::max<int64_t>(length, 1));
    s->ring = makeFftwBuffer<float>(static_cast<size_t>(ring_length), false);  // restartSlot clears
    if (!s->ring) return kConvNoMemory;
    s->ringMask = ring_length - 1;
    restartSlot(*s);

    size_t index = 0;
    while (index < slots_.size() && slots_[index]) ++index;
    if (index == slots_.size()) slots_.push_back(nullptr);
    // Room for every slot in the live list, so that switching slots on and off
    // never allocates.
    live_.reserve(slots_.size());
    s->serial = nextSerial_++;
    slots_[index] = std::move(s);
    rebuildLive();
    return static_cast<int>(index);
  } catch (const std::bad_alloc&) {
    return kConvNoMemory;
  }
}

void qvconvengine::restartSlot(Slot& s) {
  std::fill_n(s.ring.get(), s.ringMask + 1, 0.0f);
  s.start = now_;
  s.out.fill(0.0f);
  // Nothing is due before each stage's next boundary, which sees only input from the
  // start on (earlier samples of its frame are masked, see beginBlock).
  for (int k = 0; k < kStageCount; ++k) {
    SlotStage& ss = s.stages[k];
    for (auto& d : ss.deferred) std::fill_n(d.get()[0], 4 * stages_[k].pairs, 0.0f);
    ss.next = static_cast<int>(ss.parts.size());
    ss.nextDue = kNever;
    ss.source = nullptr;
  }
}

void qvconvengine::retainSlot(int slot) {
  if (Slot* s = find(slot)) ++s->refs;
}

void qvconvengine::releaseSlot(int slot) {
  Slot* s = find(slot);
  if (!s || --s->refs > 0) return;
  slots_[slot].reset();
  rebuildLive();
}

void qvconvengine::setActive(int slot, bool on) {
  Slot* s = find(slot);
  if (!s || s->active == on) return;
  s->active = on;
  if (on) {
    // Its ring stopped advancing while it was off: start over rather than play stale
    // or misplaced partial sums.
    restartSlot(*s);
  }
  rebuildLive();
}

void qvconvengine::dropSlot(int slot) noexcept {
  if (!find(slot)) return;
  slots_[static_cast<size_t>(slot)].reset();
  rebuildLive();
}

uint64_t qvconvengine::serialOf(int slot) const {
  const Slot* s = find(slot);
  return s ? s->serial : 0;
}

bool qvconvengine::isActive(int slot) const {
  const Slot* s = find(slot);
  return s && s->active;
}

bool qvconvengine::slotExists(int slot) const { return find(slot) != nullptr; }

int qvconvengine::refCount(int slot) const {
  const Slot* s = find(slot);
  return s ? s->refs : 0;
}

int64_t qvconvengine::impulseLength(int slot) const {
  const Slot* s = find(slot);
  return s ? s->length : 0;
}

int qvconvengine::partitionCount(int slot, int m) const {
  const Slot* s = find(slot);
  if (!s || m < 0 || m >= kStageCount) return 0;
  return static_cast<int>(s->stages[m].parts.size());
}

void qvconvengine::rebuildLive() noexcept {
  live_.clear();
  for (Stage& st : stages_) st.inUse = false;
  for (auto& s : slots_) {
    if (!s || !s->active) continue;
    live_.push_back(s.get());
    for (int m = 0; m < kStageCount; ++m)
      if (!s->stages[m].parts.empty()) stages_[m].inUse = true;
  }
}

void qvconvengine::reset() {
  if (history_) std::fill_n(history_.get(), 2 * kHistoryLength, 0.0f);
  now_ = 0;
  for (Stage& st : stages_) st.position = 0;
  // With the history silent, input before 0 is zero anyway: no masking is needed.
  for (auto& s : slots_)
    if (s) restartSlot(*s);
}

void qvconvengine::process(const float* x, int n) noexcept {
  lastCount_ = n;
  if (!ready_) return;
  // Runs of samples up to the next point of the work grid: the heads of a run read
  // only history written before their own sample, and stage work falls between runs
  // exactly where it falls between single samples.
  for (int done = 0; done < n;) {
    const int to_grid = kWorkGrid - static_cast<int>(now_ & (kWorkGrid - 1));
    const int run = std::min(n - done, to_grid);
    float* const hist = history_.get();
    for (int i = 0; i < run; ++i) {
      // Written twice, so the newest kHistoryLength samples always end at
      // history_[w + kHistoryLength] without a wrap.
      const int w = static_cast<int>((now_ + i) & (kHistoryLength - 1));
      hist[w] = x[done + i];
      hist[w + kHistoryLength] = x[done + i];
    }
    runHeads(done, run);
    now_ += run;
    done += run;
    if ((now_ & (kWorkGrid - 1)) == 0) runStages();
  }
}

void qvconvengine::runHeads(int from, int n) noexcept {
  const float* const hist = history_.get();
  for (Slot* s : live_) {
    float* const ring = s->ring.get();
    for (int i = 0; i < n; ++i) {
      const int64_t t = now_ + i;
      const float* const newest = hist + (t & (kHistoryLength - 1)) + kHistoryLength;
      // The first taps act on the current sample: no latency. Right after a start
      // only the samples since the start count.
      int taps = s->headLength;
      if (t - s->start < taps) taps = static_cast<int>(t - s->start) + 1;
      const float head = dot(s->headReversed.data() + (s->headLength - taps), newest - taps + 1, taps);
      float& cell = ring[t & s->ringMask];
      s->out[static_cast<size_t>(from + i)] = cell + head;
      cell = 0.0f;  // reused for time t + ring length
    }
  }
}

void qvconvengine::runStages() noexcept {
  for (int m = 0; m < kStageCount; ++m) {
    Stage& st = stages_[m];
    // A stage no live slot needs skips its transforms; a slot that needs it later
    // starts at a boundary, which reads its frame afresh from the history.
    if (!st.inUse) continue;
    const int since = static_cast<int>(now_ & (st.block - 1));
    if (since == 0) beginBlock(st, m);
    runDue(st, m, since);
  }
}

void qvconvengine::beginBlock(Stage& st, int m) noexcept {
  st.position = now_;
  const int n = st.fftSize;
  // The frame (its newest sample at now_ − 1) is transformed where it lies in the
  // history: a boundary falls on a multiple of the block, so the frame starts on
  // one too and has the alignment the plans were made for; an r2c transform
  // leaves its input alone.
  float* const frame =
      history_.get() + ((now_ - 1) & (kHistoryLength - 1)) + kHistoryLength - n + 1;
  fftwf_execute_dft_r2c(st.plan->forward, frame, st.spectrum.get());

  const int64_t frame_start = now_ - n;  // time of frame[0]
  for (Slot* s : live_) {
    SlotStage& ss = s->stages[m];
    if (ss.parts.empty()) continue;
    ss.next = 0;
    ss.nextDue = 0;
    ss.source = st.spectrum.get();
    if (s->start > 0 && s->start > frame_start) {
      // The slot started inside this frame: its own transform without the earlier input.
      float* masked = timeBuffer_.get();
      const int zeros = static_cast<int>(s->start - frame_start);
      std::fill_n(masked, zeros, 0.0f);
      std::memcpy(masked + zeros, frame + zeros, sizeof(float) * (n - zeros));
      fftwf_execute_dft_r2c(st.plan->forward, masked, ss.startSpectrum.get());
      ss.source = ss.startSpectrum.get();
    }
  }
}

void qvconvengine::runDue(Stage& st, int m, int since) noexcept {
  for (Slot* s : live_) {
    SlotStage& ss = s->stages[m];
    // Partition j of np is due at work slot floor(j·slots/np) of the block's
    // slots = Bm/32: with two partitions that is the boundary and half a block later;
    // a long response's partitions of the largest stage spread evenly over its block.
    while (since >= ss.nextDue) {
      runPartition(st, ss, ss.next, *s);
      const int64_t np = static_cast<int64_t>(ss.parts.size());
      ++ss.next;
      const int64_t slots = st.block / kWorkGrid;
      ss.nextDue = ss.next < np ? static_cast<int>(kWorkGrid * (ss.next * slots / np)) : kNever;
    }
  }
}

void qvconvengine::runPartition(const Stage& st, SlotStage& ss, int j, Slot& s) noexcept {
  const Partition& p = ss.parts[j];
  const int64_t block_index = st.position / st.block;
  const int64_t ndeferred = static_cast<int64_t>(ss.deferred.size());
  if (j >= 1) {
    // Partition j lands 3·j blocks after partition 0 of this block, exactly where
    // partition 0 of block b + 3·j lands: its product joins that block's inverse
    // transform instead of taking one of its own. The last partition's product
    // comes first (it is due 3·j blocks ahead, the most) and starts the sum.
    fftwf_complex* acc = ss.deferred[(block_index + kBlocksPerPartition * j) % ndeferred].get();
    if (j + 1 == static_cast<int>(ss.parts.size())) {
      complexMultiply<false>(ss.source, p.spectrum.get(), acc, st.pairs);
    } else {
      complexMultiply<true>(ss.source, p.spectrum.get(), acc, st.pairs);
    }
    return;
  }
  // Partition 0 adds its product to the sum waiting for this block and inverts
  // it in place: the transform overwrites the sum, which the next block due in
  // that buffer starts afresh. (Right after a start, when no block started a sum,
  // the buffers are still clear from restartSlot.)
  fftwf_complex* spectrum = product_.get();
  if (ndeferred > 0) {
    spectrum = ss.deferred[block_index % ndeferred].get();
    complexMultiply<true>(ss.source, p.spectrum.get(), spectrum, st.pairs);
  } else {
    complexMultiply<false>(ss.source, p.spectrum.get(), spectrum, st.pairs);
  }
  fftwf_execute_dft_c2r(st.plan->inverse, spectrum, timeBuffer_.get());
  // Overlap-save: the last Bm samples are the valid linear convolution.
  const float* valid = timeBuffer_.get() + 3 * st.block;
  float* ring = s.ring.get();
  const int64_t ring_length = s.ringMask + 1;
  const int64_t first = (st.position + p.offset) & s.ringMask;
  const int head = static_cast<int>(std::min<int64_t>(st.block, ring_length - first));
  addInto(ring + first, valid, head);
  addInto(ring, valid + head, st.block - head);
}
