// Decoding the whole image list from the embedded skins set, as the editor does
// once per process: 120 entries in list order (one file three times).
#include <benchmark/benchmark.h>

#include "editor/skinfiles.hpp"
#include "resources/resources.hpp"
#include "tools/skingen/pngmemory.hpp"

static void BM_DecodeImageList(benchmark::State& state) {
  size_t png_bytes = 0, pixels = 0;
  for (auto _ : state) {
    png_bytes = pixels = 0;
    for (const qvskinfile& f : kSkinFiles) {
      char name[64];
      qvresource r;
      if (!skinResourceName(f.file, name) || !loadSkinResource(name, r)) {
        state.SkipWithError("an image of the list is not embedded");
        return;
      }
      cairo_surface_t* s = decodePng(r.bytes, r.size);
      benchmark::DoNotOptimize(s);
      png_bytes += r.size;
      pixels += size_t(cairo_image_surface_get_width(s)) * size_t(cairo_image_surface_get_height(s));
      cairo_surface_destroy(s);
    }
  }
  state.counters["png_MB"] = double(png_bytes) / 1e6;
  state.counters["decoded_MB"] = double(pixels) * 4 / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(png_bytes));
}
BENCHMARK(BM_DecodeImageList)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
