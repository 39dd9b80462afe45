// corvina-render: renders audio through the Corvina plug-in the way a host
// drives it (entry point, dispatcher, processReplacing in blocks), lists the
// presets, and measures how fast each preset runs.
//
//   corvina-render --list [--document FILE]
//   corvina-render [--preset NAME | --chunk FILE] [--oversampling N] [--block N]
//                  [--save-chunk FILE] [--document FILE] IN.wav OUT.wav
//   corvina-render --bench [--preset NAME] [--rate HZ] [--seconds S]
//
// A preset is handed to the plug-in as a chunk: the preset's object from the
// loaded documents, exactly what a host would store for that rig.
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/jsontext.hpp"
#include "platform/files.hpp"
#include "tools/host/cmdline.hpp"
#include "tools/host/cputime.hpp"
#include "tools/host/guitarsynth.hpp"
#include "tools/host/pluginstage.hpp"
#include "tools/host/vsthost.hpp"

namespace {

constexpr int kExitNoPreset = 3;   // unknown preset name

const char* const kUsage =
    "usage:\n"
    "  corvina-render --list [--document FILE]\n"
    "  corvina-render [--preset NAME | --chunk FILE] [--oversampling N] [--block N]\n"
    "                 [--save-chunk FILE] [--document FILE] IN.wav OUT.wav\n"
    "  corvina-render --bench [--preset NAME] [--rate HZ] [--seconds S]\n"
    "options for all modes: --plugin PATH (default: corvina.so beside this tool,\n"
    "  then the build's own, then ~/.vst/corvina.so)\n"
    "Renders a mono or stereo WAV at its own sample rate to a stereo 32-bit float WAV.\n"
    "Only the factory content is used unless --document names a data document.\n";

struct options {
  bool list = false;
  bool bench = false;
  std::string preset, chunkFile, saveChunk, document, plugin;
  int oversampling = 0;  // 0: as the documents say
  int block = 256;
  double rate = 48000.0;
  double seconds = 10.0;
  std::vector<std::string> files;
};

// 0 on success, otherwise the exit code after printing the reason.
int parseOptions(int argc, char** argv, options& o) {
  cmdline c(argc, argv, "corvina-render", kUsage);
  while (c.next()) {
    if (c.asksForHelp()) {
      c.printUsage();
      std::exit(kExitOk);
    } else if (c.is("--list")) {
      o.list = true;
    } else if (c.is("--bench")) {
      o.bench = true;
    } else if (c.is("--preset")) {
      if (!c.value(o.preset)) return c.fail("--preset needs a name");
    } else if (c.is("--chunk")) {
      if (!c.value(o.chunkFile)) return c.fail("--chunk needs a file");
    } else if (c.is("--save-chunk")) {
      if (!c.value(o.saveChunk)) return c.fail("--save-chunk needs a file");
    } else if (c.is("--document")) {
      if (!c.value(o.document)) return c.fail("--document needs a file");
    } else if (c.is("--plugin")) {
      if (!c.value(o.plugin)) return c.fail("--plugin needs a path");
    } else if (c.is("--oversampling")) {
      if (!c.integer(1, 16, o.oversampling))
        return c.fail("--oversampling takes a factor from 1 to 16");
    } else if (c.is("--block")) {
      if (!c.integer(1, 1 << 20, o.block))
        return c.fail("--block takes a block size from 1 to 1048576 samples");
    } else if (c.is("--rate")) {
      if (!c.number(8000.0, 768000.0, o.rate))
        return c.fail("--rate takes a sample rate from 8000 to 768000 Hz");
    } else if (c.is("--seconds")) {
      if (!c.number(0.001, 3600.0, o.seconds))
        return c.fail("--seconds takes a duration from 0.001 to 3600");
    } else if (c.arg().size() > 1 && c.arg()[0] == '-') {
      return c.fail("unknown option " + c.arg());
    } else {
      o.files.push_back(c.arg());
    }
  }
  if (o.list && o.bench) return c.fail("--list and --bench do not go together");
  if (!o.preset.empty() && !o.chunkFile.empty())
    return c.fail("--preset and --chunk do not go together");
  if (o.list || o.bench) {
    if (!o.files.empty()) return c.fail("unexpected file " + o.files[0]);
    if (o.list && !o.preset.empty()) return c.fail("--list takes no preset");
    if (o.bench && !o.chunkFile.empty()) return c.fail("--bench takes no chunk");
  } else if (o.files.size() != 2) {
    return c.fail("give an input and an output WAV file");
  }
  return 0;
}

// The built plug-in: --plugin, else beside this tool, else the build's own,
// else the user's LinuxVST folder.
std::string findPlugin(const options& o) {
  if (!o.plugin.empty()) return o.plugin;
  std::vector<std::string> candidates;
  if (const std::string self = executableFolder(); !self.empty())
    candidates.push_back(self + "corvina.so");
#ifdef CORVINA_PLUGIN_BUILD_PATH
  candidates.push_back(CORVINA_PLUGIN_BUILD_PATH);
#endif
  if (const char* home = std::getenv("HOME"))
    candidates.push_back(std::string(home) + "/.vst/corvina.so");
  std::error_code ec;
  for (const std::string& c : candidates)
    if (std::filesystem::is_regular_file(c, ec)) return c;
  return candidates.empty() ? std::string("corvina.so") : candidates.front();
}

// Stages the plug-in with the requested document (and oversampling factor).
int prepareStage(const options& o, pluginstage& stage) {
  std::string error;
  const std::string plugin = findPlugin(o);
  if (!stage.create(plugin, error)) {
    std::fprintf(stderr, "corvina-render: %s\n", error.c_str());
    return kExitFailed;
  }
  qvstring document;
  if (!o.document.empty() && !readWholeFile(o.document, document)) {
    std::fprintf(stderr, "corvina-render: cannot read the document %s\n", o.document.c_str());
    return kExitFailed;
  }
  if (!document.empty()) {
    qvjsonnode parsed;
    if (parseDocumentText(document, parsed) != kDocOk) {
      std::fprintf(stderr, "corvina-render: %s is not a Corvina data document\n",
                   o.document.c_str());
      return kExitFailed;
    }
  }
  if (o.oversampling > 0) {
    qvstring changed;
    if (!documentWithOversampling(document, o.oversampling, changed, error)) {
      std::fprintf(stderr, "corvina-render: %s: %s\n", o.document.c_str(), error.c_str());
      return kExitFailed;
    }
    document = changed;
  }
  if (!document.empty() && !stage.writeDocument(document, error)) {
    std::fprintf(stderr, "corvina-render: %s\n", error.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

std::unique_ptr<qvhostinstance> startPlugin(const pluginstage& stage, float rate, int block) {
  std::string error;
  auto host = openStagedPlugin(stage, rate, block, error);
  if (!host) std::fprintf(stderr, "corvina-render: %s\n", error.c_str());
  return host;
}

int runList(const options& o) {
  pluginstage stage;
  if (int rc = prepareStage(o, stage)) return rc;
  presetbook book;
  book.load(stage);
  for (size_t i = 0; i < book.names.size(); ++i)
    std::printf("%zu\t%s\n", i, book.names[i].c_str());
  return kExitOk;
}

// Reads a mono or stereo sound file into two channels.
bool readInput(const std::string& path, std::vector<float> channels[2], int& rate) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "corvina-render: cannot read %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  if (info.channels < 1 || info.channels > 2 || info.samplerate <= 0 || info.frames < 0) {
    std::fprintf(stderr, "corvina-render: %s has %d channels; give a mono or stereo file\n",
                 path.c_str(), info.channels);
    sf_close(file);
    return false;
  }
  // An hour at 192 kHz is far beyond any riff; a larger count is a damaged header.
  if (info.frames > sf_count_t(3600) * 192000) {
    std::fprintf(stderr, "corvina-render: %s is too long to render in one go\n", path.c_str());
    sf_close(file);
    return false;
  }
  std::vector<float> interleaved(size_t(info.frames) * size_t(info.channels));
  const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  if (got < 0) {
    std::fprintf(stderr, "corvina-render: cannot decode %s\n", path.c_str());
    return false;
  }
  for (int c = 0; c < 2; ++c) channels[c].resize(size_t(got));
  for (sf_count_t i = 0; i < got; ++i)
    for (int c = 0; c < 2; ++c)
      channels[c][size_t(i)] = interleaved[size_t(i) * size_t(info.channels) +
                                           size_t(std::min(c, info.channels - 1))];
  rate = info.samplerate;
  return true;
}

bool writeOutput(const std::string& path, const std::vector<float> channels[2], int rate) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "corvina-render: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  // No PEAK chunk: it carries a time stamp, and the same render should give the
  // same bytes.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  const size_t n = channels[0].size();
  std::vector<float> interleaved(n * 2);
  for (size_t i = 0; i < n; ++i) {
    interleaved[2 * i] = channels[0][i];
    interleaved[2 * i + 1] = channels[1][i];
  }
  const bool ok = sf_writef_float(file, interleaved.data(), sf_count_t(n)) == sf_count_t(n);
  sf_close(file);
  if (!ok) std::fprintf(stderr, "corvina-render: writing %s failed\n", path.c_str());
  return ok;
}

// The chunk to hand over before the first block, or empty for none. A chunk
// file must hold a JSON object: anything else would only be refused by the
// plug-in without a word to us.
int chooseChunk(const options& o, const pluginstage& stage, qvstring& chunk, bool& give) {
  give = false;
  if (!o.chunkFile.empty()) {
    if (!readWholeFile(o.chunkFile, chunk)) {
      std::fprintf(stderr, "corvina-render: cannot read the chunk %s\n", o.chunkFile.c_str());
      return kExitFailed;
    }
    qvjsonnode node;
    if (!parseJsonText(chunk, node) || !node.is_object()) {
      std::fprintf(stderr, "corvina-render: %s is not a Corvina chunk (a JSON preset object)\n",
                   o.chunkFile.c_str());
      return kExitFailed;
    }
    give = true;
    return kExitOk;
  }
  // With a staged document the plug-in builds no rig on its own: pick the
  // first-run preset by name, as it would have.
  const std::string name = !o.preset.empty() ? o.preset
                           : stage.hasDocument() ? std::string(kStartPreset)
                                                 : std::string();
  if (name.empty()) return kExitOk;
  presetbook book;
  book.load(stage);
  const int index = book.find(name);
  if (index < 0 && o.preset.empty()) {
    std::fprintf(stderr, "corvina-render: warning: the documents hold no preset \"%s\"; "
                 "rendering the plug-in's start-up rig\n", name.c_str());
    return kExitOk;
  }
  if (index < 0) {
    std::fprintf(stderr, "corvina-render: no preset named \"%s\" (see corvina-render --list)\n",
                 name.c_str());
    return kExitNoPreset;
  }
  chunk = book.chunks[size_t(index)];
  give = true;
  return kExitOk;
}

int runRender(const options& o) {
  std::vector<float> in[2];
  int rate = 0;
  if (!readInput(o.files[0], in, rate)) return kExitFailed;

  pluginstage stage;
  if (int rc = prepareStage(o, stage)) return rc;
  qvstring chunk;
  bool give = false;
  if (int rc = chooseChunk(o, stage, chunk, give)) return rc;

  auto host = startPlugin(stage, float(rate), o.block);
  if (!host) return kExitFailed;
  if (give) giveChunk(*host, chunk);
  host->resume();

  const int64_t n = int64_t(in[0].size());
  std::vector<float> out[2] = {std::vector<float>(in[0].size()), std::vector<float>(in[0].size())};
  const float* inputs[2] = {in[0].data(), in[1].data()};
  const bool progress = ::isatty(STDERR_FILENO) && n > int64_t(rate) * 10;
  // Progress in steps of about a second of audio.
  const int64_t step = std::max<int64_t>(o.block, (int64_t(rate) / o.block) * o.block);
  for (int64_t done = 0; done < n; done += step) {
    const int64_t frames = std::min(step, n - done);
    float* outputs[2] = {out[0].data() + done, out[1].data() + done};
    const float* ins[2] = {inputs[0] + done, inputs[1] + done};
    host->process(ins, outputs, frames, o.block);
    if (progress)
      std::fprintf(stderr, "\rcorvina-render: %3d%%", int(100 * (done + frames) / n));
  }
  if (progress) std::fputs("\n", stderr);

  if (!o.saveChunk.empty()) {
    const std::vector<uint8_t> saved = host->getChunk();
    if (!writeFileAtomic(o.saveChunk, saved.data(), saved.size())) {
      std::fprintf(stderr, "corvina-render: cannot write the chunk %s\n", o.saveChunk.c_str());
      return kExitFailed;
    }
  }
  host->suspend();
  host->close();
  return writeOutput(o.files[1], out, rate) ? kExitOk : kExitFailed;
}

// Seconds of audio per second of CPU time for one rig (`chunk` empty: the
// plug-in's start-up rig).
double benchOne(const pluginstage& stage, const qvstring* chunk, const std::vector<float>& di,
                double rate) {
  constexpr int kBlock = 256;
  auto host = startPlugin(stage, float(rate), kBlock);
  if (!host) return -1.0;
  if (chunk) giveChunk(*host, *chunk);
  host->resume();
  std::vector<float> left(di.size()), right(di.size());
  const float* inputs[2] = {di.data(), di.data()};
  float* outputs[2] = {left.data(), right.data()};
  const double start = processCpuSeconds();
  host->process(inputs, outputs, int64_t(di.size()), kBlock);
  const double used = processCpuSeconds() - start;
  host->close();
  return used > 0.0 ? double(di.size()) / rate / used : INFINITY;
}

int runBench(const options& o) {
  pluginstage stage;
  if (int rc = prepareStage(o, stage)) return rc;
  presetbook book;
  book.load(stage);
  const std::vector<float> di = synthGuitarDI(o.rate, o.seconds);
  std::vector<int> chosen;
  if (!o.preset.empty()) {
    const int index = book.find(o.preset);
    if (index < 0) {
      std::fprintf(stderr, "corvina-render: no preset named \"%s\" (see corvina-render --list)\n",
                   o.preset.c_str());
      return kExitNoPreset;
    }
    chosen.push_back(index);
  } else {
    for (size_t i = 0; i < book.names.size(); ++i) chosen.push_back(int(i));
  }
  if (chosen.empty()) {
    // No presets loaded at all: measure the rig the plug-in starts with.
    const double factor = benchOne(stage, nullptr, di, o.rate);
    if (factor < 0.0) return kExitFailed;
    std::printf("(start-up rig)\t%.1f\n", factor);
    return kExitOk;
  }
  for (int index : chosen) {
    const double factor = benchOne(stage, &book.chunks[size_t(index)], di, o.rate);
    if (factor < 0.0) return kExitFailed;
    std::printf("%s\t%.1f\n", book.names[size_t(index)].c_str(), factor);
    std::fflush(stdout);
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  options o;
  if (int rc = parseOptions(argc, argv, o)) return rc;
  if (o.list) return runList(o);
  if (o.bench) return runBench(o);
  return runRender(o);
}
