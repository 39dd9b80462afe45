// Reading and writing a data document somewhat larger than the factory copy
// (about 680 KB: 143 presets of 9 full blocks each, the factory holds 370 KB),
// the work of every start-up and every save.
#include <benchmark/benchmark.h>

#include <string>

#include "data/jsoncursor.hpp"

namespace {

std::string factorySizedDocument() {
  qvjsoncursor w;
  w.selectArray("settings");
  w.openObject(nullptr);
  w.addString("currentpreset", "Layered OD");
  w.addInt("currentcategory", 4);
  w.close();
  w.selectArray("presets");
  for (int p = 0; p < 143; ++p) {
    w.openObject(nullptr);
    w.addNumber("version", 1);
    w.addString("name", "Preset/" + std::to_string(p) + " \xE9");
    w.addBool("user", false);
    w.addInt("dataind", -1);
    w.openArray("blocks");
    for (int b = 0; b < 9; ++b) {
      w.openObject(nullptr);
      w.addInt("sblock", b % 12);
      w.addInt("blockgroup", 0);
      w.openArray("pars");
      for (int k = 0; k < 3; ++k) {
        w.openObject(nullptr);
        w.addNumber("defa", 0.5f);
        w.addInt("pind", k);
        w.addInt("type", 2);
        w.addNumber("xscale", 20000);
        w.addNumber("xlow", 5);
        w.addNumber("uscale", 20000);
        w.addNumber("ulow", 5);
        w.addBool("setvis", true);
        w.addString("nametag", "Cutoff");
        w.addInt("posmode", 0);
        w.addInt("posx", -1);
        w.addInt("posy", -1);
        w.addNumber("fpos", 0.130414f + 0.01f * static_cast<float>(k + b));
        w.close();
      }
      w.close();
      w.close();
    }
    w.close();
    w.close();
  }
  return w.text();
}

void BM_ParseDocument(benchmark::State& state) {
  const std::string text = factorySizedDocument();
  for (auto _ : state) {
    qvjsonnode root;
    benchmark::DoNotOptimize(parseDocumentText(text, root));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["doc_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ParseDocument)->Unit(benchmark::kMillisecond);

void BM_WriteDocument(benchmark::State& state) {
  qvjsonnode root;
  parseDocumentText(factorySizedDocument(), root);
  size_t bytes = 0;
  for (auto _ : state) {
    const qvstring text = writeJsonText(root);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
