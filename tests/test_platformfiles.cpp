// The platform layer: whole files byte for byte, atomic replacement that keeps
// the old file on any failure, listing and probing, the module folder and ticks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/files.hpp"
#include "tempdir.hpp"

namespace {

std::string contentOf(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(readWholeFile(path, bytes)) << path;
  return bytes;
}

size_t entriesIn(const std::string& folder) {
  return size_t(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Sets a soft resource limit for one scope and restores it afterwards.
class ScopedLimit {
public:
  ScopedLimit(int resource, rlim_t soft) : resource_(resource) {
    getrlimit(resource_, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = soft;
    setrlimit(resource_, &lowered);
  }
  ~ScopedLimit() { setrlimit(resource_, &saved_); }

private:
  int resource_;
  rlimit saved_{};
};

}  // namespace

TEST(PlatformFiles, WholeFilesAndCopiesKeepEveryByte) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(char(i * 7 + (i >> 8)));  // NULs included
  ASSERT_TRUE(writeFileAtomic(dir.file("doc.fxda"), bytes));
  EXPECT_EQ(contentOf(dir.file("doc.fxda")), bytes);
  ASSERT_TRUE(copyFile(dir.file("doc.fxda"), dir.file("doc.bad")));
  EXPECT_EQ(contentOf(dir.file("doc.bad")), bytes);
  ASSERT_TRUE(writeFileAtomic(dir.file("empty"), "", 0));
  EXPECT_EQ(contentOf(dir.file("empty")), "");
  std::string out = "stale";
  EXPECT_FALSE(readWholeFile(dir.file("missing"), out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(copyFile(dir.file("missing"), dir.file("b")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("b")));
}

// The replaced file keeps its permissions, no temporary file stays behind, and
// through a symbolic link the linked file is replaced and the link stays.
TEST(PlatformFiles, AtomicWriteReplacesAndKeepsPermissions) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("corvina-save.fxda");
  ASSERT_TRUE(writeFileAtomic(path, std::string("old")));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(writeFileAtomic(path, std::string("new content")));
  EXPECT_EQ(contentOf(path), "new content");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);
  const std::string link = dir.file("link.fxda");
  std::filesystem::create_symlink(path, link);
  ASSERT_TRUE(writeFileAtomic(link, std::string("through the link")));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(contentOf(path), "through the link");
}

TEST(PlatformFiles, ReaderThreadsSeeOnlyWholeVersions) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("doc");
  const std::string a(20000, 'a'), b(3000, 'b');
  ASSERT_TRUE(writeFileAtomic(path, a));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, reads{0};
  std::thread reader([&] {
    std::string got;
    while (!done.load()) {
      if (readWholeFile(path, got) && got != a && got != b) ++torn;
      ++reads;
    }
  });
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(writeFileAtomic(path, i % 2 ? a : b));
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
}

// A write that fails half-way (the file-size limit binds root too), into a folder
// that does not exist, or into one without write permission.
TEST(PlatformFiles, FailedWriteLeavesOldFileIntact) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("doc");
  ASSERT_TRUE(writeFileAtomic(path, std::string("old")));
  {
    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &saved);
    ScopedLimit limit(RLIMIT_FSIZE, 1000);
    EXPECT_FALSE(writeFileAtomic(path, std::string(5000, 'x')));
    sigaction(SIGXFSZ, &saved, nullptr);
  }
  EXPECT_EQ(contentOf(path), "old");
  EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary file is removed";
  EXPECT_FALSE(writeFileAtomic(dir.file("no/such/folder/doc"), std::string("x")));
  if (geteuid() == 0) return;  // root writes into any folder
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  EXPECT_FALSE(writeFileAtomic(path, std::string("new")));
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(contentOf(path), "old");
}

TEST(PlatformFiles, ListsWavFilesOfAnyCaseSorted) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (const char* name : {"c.Wav", "a.wav", "B.WAV", "notes.txt", "wav", "x.wave", "a.wav.bak"})
    ASSERT_TRUE(writeFileAtomic(dir.file(name), std::string("x")));
  std::filesystem::create_directory(dir.file("folder.wav"));
  std::filesystem::create_symlink(dir.file("a.wav"), dir.file("link.wav"));
  const std::vector<std::string> expected{"B.WAV", "a.wav", "c.Wav", "link.wav"};
  EXPECT_EQ(listWavFiles(dir.path()), expected);
  EXPECT_EQ(listWavFiles(dir.path() + "/"), expected);
  EXPECT_TRUE(listWavFiles(dir.file("missing")).empty());
}

// The size, or the reason the impulse loader's messages name: not found (also a
// file used as a folder), no file handle left, permission denied.
TEST(PlatformFiles, ProbeReportsSizeOrReason) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  ASSERT_TRUE(writeFileAtomic(dir.file("ir.wav"), std::string(1234, 'x')));
  qvfileprobe p = probeFile(dir.file("ir.wav"));
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.size, 1234u);
  for (const std::string& missing : {dir.file("missing.wav"), dir.file("missing/ir.wav"), dir.file("ir.wav/ir.wav")}) {
    p = probeFile(missing);
    EXPECT_FALSE(p.ok) << missing;
    EXPECT_EQ(p.error, qvprobeerror::notFound) << missing;
  }
  const int lowest_free = open("/dev/null", O_RDONLY);
  ASSERT_GE(lowest_free, 0);
  close(lowest_free);
  {
    ScopedLimit limit(RLIMIT_NOFILE, rlim_t(lowest_free));
    p = probeFile(dir.file("ir.wav"));
  }
  EXPECT_EQ(p.error, qvprobeerror::noFileHandle);
  if (geteuid() == 0) return;  // root reads files of any mode
  ASSERT_EQ(chmod(dir.file("ir.wav").c_str(), 0), 0);
  EXPECT_EQ(probeFile(dir.file("ir.wav")).error, qvprobeerror::permissionDenied);
}

TEST(PlatformFiles, ModuleFolderAndTickCount) {
  // The tests link the code statically, so the module is this executable.
  const std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  EXPECT_EQ(moduleFolder(), exe.substr(0, exe.find_last_of('/') + 1));
  EXPECT_EQ(moduleFolder().back(), kPathSeparator);
  const uint32_t t0 = tickCountMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const uint32_t elapsed = tickCountMs() - t0;  // unsigned difference survives a wrap
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 60000u);
}
