// Prints the spectral and temporal measures of the generated factory responses.
// Usage: impulse_report <folder holding impulses.tsv and the WAV files>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/impulsegen/generate.hpp"
#include "tools/impulsegen/measures.hpp"
#include "tools/impulsegen/wavio.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <impulse folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::ifstream manifest(dir / kImpulseManifest);
  if (!manifest) {
    std::fprintf(stderr, "impulse_report: no %s in %s\n", kImpulseManifest, argv[1]);
    return 1;
  }
  std::printf("%3s %-26s %5s %6s %6s | %6s %6s %6s %6s %6s %6s | %5s %5s %6s | %6s\n", "res", "name", "len",
              "pk ms", "peak", "<200", "-800", "-3k", "3-5k", "5-7k", ">7k", "lt2%", "lt5%", "dirhi", "loud");
  std::string line;
  int failures = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string res, category, file, name;
    std::getline(fields, res, '\t');
    std::getline(fields, category, '\t');
    std::getline(fields, file, '\t');
    std::getline(fields, name);
    std::vector<double> x;
    WavInfo info;
    std::string error;
    if (readImpulseWav((dir / file).string(), x, info, error) != 0) {
      std::fprintf(stderr, "impulse_report: %s\n", error.c_str());
      ++failures;
      continue;
    }
    const ImpulseMeasures m = measureImpulse(x, info.rate);
    std::printf("%3s %-26s %5d %6.2f %6.3f |", res.c_str(), name.c_str(), m.length, m.peak_ms, m.peak);
    for (double b : m.band_db) std::printf(" %6.1f", b);
    std::printf(" | %5.1f %5.1f %6.1f | %6.1f\n", 100 * m.late2, 100 * m.late5, m.direct_high_db, m.loudness_db);
  }
  std::printf("bands: energy in dB relative to the whole response; lt2/lt5: share of energy from 2/5 ms "
              "after the onset; dirhi: energy above 3 kHz in the first 2 ms, dB of the whole; loud: energy 100 Hz-6 kHz, dB\n");
  return failures == 0 ? 0 : 1;
}
