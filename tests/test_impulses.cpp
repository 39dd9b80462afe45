// The factory impulse responses as built (CORVINA_IMPULSE_DIR, designed from
// CORVINA_IMPULSE_DESC): file format, matched loudness, byte-identical generation
// and the designer's portable maths. (impulse_report prints how each response
// follows its name.)
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/impulsegen/cabdesc.hpp"
#include "tools/impulsegen/cabdesign.hpp"
#include "tools/impulsegen/detmath.hpp"
#include "tools/impulsegen/generate.hpp"
#include "tools/impulsegen/measures.hpp"
#include "tools/impulsegen/shape.hpp"
#include "tools/impulsegen/wavio.hpp"

namespace {

namespace fs = std::filesystem;

struct Factory {
  CabinetDesc desc;
  std::vector<double> samples;
  WavInfo info;
  ImpulseMeasures m;
};

std::string readBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Loaded once: every test reads the same 29 files.
const std::vector<Factory>& factorySet() {
  static const std::vector<Factory> set = [] {
    std::vector<Factory> out;
    std::vector<CabinetDesc> descs;
    std::string error;
    if (loadCabinets(CORVINA_IMPULSE_DESC, descs, error) != DescResult::kOk) {
      ADD_FAILURE() << error;
      return out;
    }
    for (const CabinetDesc& d : descs) {
      Factory f{d, {}, {}, {}};
      if (readImpulseWav((fs::path(CORVINA_IMPULSE_DIR) / impulseFileName(d.res)).string(), f.samples, f.info,
                         error) != 0)
        ADD_FAILURE() << error;
      f.m = measureImpulse(f.samples, kImpulseRate);
      out.push_back(std::move(f));
    }
    return out;
  }();
  return set;
}

}  // namespace

TEST(FactoryImpulses, FilesAre24BitMonoAt96kWithinTheLengthRange) {
  for (const Factory& f : factorySet()) {
    SCOPED_TRACE(f.desc.name);
    EXPECT_EQ(f.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(f.info.channels, 1);
    EXPECT_EQ(f.info.rate, 96000);
    EXPECT_GE(f.info.frames, 4506);
    EXPECT_LE(f.info.frames, 32514);
    EXPECT_EQ(f.info.frames, f.desc.length);
    // The plain 44-byte header the plug-in's own RIFF reader expects, nothing more.
    EXPECT_EQ(readBytes(fs::path(CORVINA_IMPULSE_DIR) / impulseFileName(f.desc.res)).size(),
              44u + 3u * f.desc.length);
    // Audible, not clipped, faded to silence at the end, and no DC (a loudspeaker
    // passes none): the samples sum to the response's gain at 0 Hz.
    EXPECT_GT(std::fabs(f.m.peak), 0.05);
    EXPECT_LE(std::fabs(f.m.peak), kMaxPeak + 1e-6);
    EXPECT_EQ(f.samples.back(), 0.0);
    double dc_gain = 0;
    for (double v : f.samples) dc_gain += v;
    EXPECT_LT(std::fabs(dc_gain), 1e-3) << "−60 dB at 0 Hz";
  }
}

TEST(FactoryImpulses, LoudnessIsMatched) {
  for (const Factory& f : factorySet()) {
    if (std::fabs(f.m.peak) >= kMaxPeak - 1e-3) continue;  // peak-limited: quieter by design
    EXPECT_NEAR(f.m.loudness_db, kTargetLoudnessDb, 0.2) << f.desc.name;
  }
}

TEST(FactoryImpulses, GenerationIsByteIdentical) {
  // The build ran the generator once; run it again here and compare every byte.
  const fs::path dir = fs::temp_directory_path() / ("corvina_impulses_" + std::to_string(getpid()));
  std::string error;
  ASSERT_EQ(generateImpulses(CORVINA_IMPULSE_DESC, dir.string(), error), 0) << error;
  for (int res = kFirstImpulseRes; res <= kLastImpulseRes; ++res) {
    const std::string again = readBytes(dir / impulseFileName(res));
    EXPECT_FALSE(again.empty());
    EXPECT_TRUE(again == readBytes(fs::path(CORVINA_IMPULSE_DIR) / impulseFileName(res))) << impulseFileName(res);
  }
  EXPECT_EQ(readBytes(dir / kImpulseManifest), readBytes(fs::path(CORVINA_IMPULSE_DIR) / kImpulseManifest));
  fs::remove_all(dir);
  // In one process too: a design leaves nothing behind that changes the next.
  ASSERT_EQ(factorySet().size(), 29u);
  SpectrumWork work(kDesignFftSize);
  const CabinetDesc& d = factorySet()[20].desc;
  const std::vector<double> first = designCabinet(d, work);
  designCabinet(factorySet()[3].desc, work);
  SpectrumWork fresh(kDesignFftSize);
  EXPECT_TRUE(first == designCabinet(d, fresh));
}

TEST(ImpulseDesign, PortableMathsMatchesTheCLibrary) {
  for (double x : {-700.0, -20.5, -1.0, -1e-9, 0.0, 0.3, 1.0, 2.302585, 88.0, 700.0})
    EXPECT_NEAR(detmath::exp(x) / std::exp(x), 1.0, 4e-16) << "exp " << x;
  for (double x : {1e-300, 1e-5, 0.5, 0.7071, 1.0, 1.5, 10.0, 12345.678, 1e300})
    EXPECT_NEAR(detmath::log(x), std::log(x), 4e-16 * std::max(1.0, std::fabs(std::log(x)))) << "log " << x;
  for (double x : {-100.0, -3.5, -0.7, 0.0, 0.2, 0.785, 1.6, 3.14159, 5.0, 60.0, 1000.0}) {
    EXPECT_NEAR(detmath::sin(x), std::sin(x), 1e-15 * std::max(1.0, std::fabs(x))) << "sin " << x;
    EXPECT_NEAR(detmath::cos(x), std::cos(x), 1e-15 * std::max(1.0, std::fabs(x))) << "cos " << x;
  }
}
