#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "data/impulseerrors.hpp"
#include "data/wavread.hpp"
#include "platform/files.hpp"
#include "tests/impulsefixture.hpp"

namespace {

// A test signal within ±0.9 that uses the low bits: a chirp plus a small ramp.
std::vector<float> testSignal(int n) {
  std::vector<float> x(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    x[size_t(i)] = float(0.8 * std::sin(0.0003 * i * i) + 0.1 * (i % 97) / 97.0);
  return x;
}

// The loader's text for a file that failed, from the probe and the decoder.
std::string failureText(const std::string& path) {
  std::vector<float> samples;
  qvwavinfo info;
  EXPECT_LT(readWavFile(path, samples, info), 1) << path;
  EXPECT_TRUE(samples.empty());
  return impulseFileErrorText(path, probeFile(path), info.headerType);
}

}  // namespace

// Mono in every sample format (RIFX too) and multichannel files (their first
// channel), from a file and from a memory image alike.
TEST(WavRead, EverySampleFormatAndChannelCountReadsTheSameSamples) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::vector<float> x = testSignal(5000);
  struct Row {
    const char* name;
    int format, channels;
    int code;        // sub-format code reported in info.format
    double quantum;  // one step of the format
  } rows[] = {
      {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, SF_FORMAT_PCM_16, 1.0 / 32768},
      {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, SF_FORMAT_PCM_24, 1.0 / 8388608},
      {"pcm32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, SF_FORMAT_PCM_32, 1.0 / 2147483648.0},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, SF_FORMAT_FLOAT, 0},
      {"rifx24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24 | SF_ENDIAN_BIG, 1, SF_FORMAT_PCM_24, 1.0 / 8388608},
      {"stereo.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, SF_FORMAT_FLOAT, 0},
      {"three.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 3, SF_FORMAT_FLOAT, 0},
  };
  for (const Row& row : rows) {
    std::vector<float> interleaved;
    for (float v : x)
      for (int c = 0; c < row.channels; ++c) interleaved.push_back(c == 0 ? v : -0.5f * v + 0.1f * c);
    const std::string path = dir.file(row.name);
    ASSERT_TRUE(writeSound(path, 96000, interleaved, row.channels, row.format)) << row.name;
    qvstring image;
    ASSERT_TRUE(readWholeFile(path, image));
    for (bool from_memory : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (from_memory ? " from memory" : " from file"));
      std::vector<float> got;
      qvwavinfo info;
      const int rate = from_memory ? readWavMemory(image.data(), image.size(), got, info)
                                   : readWavFile(path, got, info);
      EXPECT_EQ(rate, 96000);
      EXPECT_EQ(info.headerType, kHeaderRiff);
      EXPECT_EQ(info.format, row.code);
      EXPECT_EQ(info.channels, row.channels);
      ASSERT_EQ(got.size(), x.size());
      double worst = 0;
      for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::fabs(double(got[i]) - x[i]));
      // Half a step of rounding, plus up to one step because libsndfile scales by
      // 2^(bits-1) - 1 when writing and by 2^(bits-1) when reading.
      EXPECT_LE(worst, row.quantum * 1.5 + 1e-7);
    }
  }
}

TEST(WavRead, DamagedSamplesAndForgedSizesStayBounded) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("ir.wav");
  std::vector<float> x = testSignal(4000);
  x[5] = std::numeric_limits<float>::quiet_NaN();
  x[6] = std::numeric_limits<float>::infinity();
  ASSERT_TRUE(writeSound(path, 96000, x));
  qvstring image;
  ASSERT_TRUE(readWholeFile(path, image));

  std::vector<float> got;
  qvwavinfo info;
  ASSERT_EQ(readWavMemory(image.data(), image.size(), got, info), 96000);
  ASSERT_EQ(got.size(), x.size());
  EXPECT_EQ(got[5], 0.0f) << "NaN stored as 0";
  EXPECT_EQ(got[6], 0.0f) << "infinity stored as 0";
  EXPECT_EQ(got[7], x[7]);

  // Cut inside the samples: what is there is read, nothing is invented.
  const size_t data_at = image.find("data") + 8;
  ASSERT_NE(data_at, qvstring::npos + 8);
  qvstring cut = image.substr(0, data_at + 1000 * 4 + 2);
  ASSERT_EQ(readWavMemory(cut.data(), cut.size(), got, info), 96000);
  ASSERT_EQ(got.size(), 1000u);
  EXPECT_EQ(got[999], x[999]);

  // A data chunk that claims 4 GiB behind 40 bytes of samples.
  qvstring forged = image.substr(0, data_at + 40);
  for (int i = 1; i <= 4; ++i) forged[data_at - i] = char(0xff);
  forged[4] = forged[5] = forged[6] = forged[7] = char(0xff);
  int rc = readWavMemory(forged.data(), forged.size(), got, info);
  EXPECT_TRUE(rc == 96000 || rc < 0) << rc;
  EXPECT_LE(got.size(), 10u);

  // Every prefix of the image decodes to a prefix of the samples or fails cleanly.
  for (size_t n = 0; n < data_at + 64; ++n) {
    rc = readWavMemory(image.data(), n, got, info);
    if (rc < 1) {
      EXPECT_TRUE(got.empty()) << n;
      continue;
    }
    ASSERT_LE(got.size(), x.size()) << n;
    for (size_t i = 7; i < got.size(); ++i) ASSERT_EQ(got[i], x[i]) << n;
  }
  EXPECT_EQ(readWavMemory(nullptr, 100, got, info), kWavCannotOpen);
}

TEST(WavRead, FailuresGiveTheLoadersMessages) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string good = dir.file("good.wav");
  ASSERT_TRUE(writeSound(good, 96000, testSignal(100), 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24));
  qvstring image;
  ASSERT_TRUE(readWholeFile(good, image));

  const std::string truncated = dir.file("truncated.wav");
  ASSERT_TRUE(writeFileAtomic(truncated, image.substr(0, 30)));
  EXPECT_EQ(failureText(truncated),
            truncated + "\n - File was opened but an unknown error occured. Size: 30");

  const std::string text = dir.file("notes.wav");
  ASSERT_TRUE(writeFileAtomic(text, qvstring("just some text, no sound at all")));
  EXPECT_EQ(failureText(text),
            text + "\n - File appears to be an unsupported format. Size: 31  Type: 0");

  const std::string missing = dir.file("missing.wav");
  EXPECT_EQ(failureText(missing), missing + "\n - Could not open file: File or path not found. ");

  qvfileprobe no_handle;
  no_handle.error = qvprobeerror::noFileHandle;
  EXPECT_EQ(impulseFileErrorText("a.wav", no_handle, 0),
            "a.wav\n - Could not open file: No file handle available. ");
  qvfileprobe odd;
  odd.error = qvprobeerror::unknown;
  EXPECT_EQ(impulseFileErrorText("a.wav", odd, 0), "a.wav\n - Could not open file: Unknown error. ");

  EXPECT_EQ(impulseTooLargeText(), "File was larger than max set in options: 100000");
  EXPECT_STREQ(kResourceNotLoadedText, "Resource not loaded.");
  if (geteuid() == 0) return;  // root reads files of any mode
  ASSERT_EQ(chmod(good.c_str(), 0), 0);
  EXPECT_EQ(failureText(good), good + "\n - Could not open file: Permission denied. ");
}
