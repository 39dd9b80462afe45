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
  size_t n = 0;
  for (auto& e : std::filesystem::directory_iterator(folder)) {
    (void)e;
    ++n;
  }
  return n;
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

TEST(PlatformFiles, WholeFileRoundTripKeepsEveryByte) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(char(i * 7 + (i >> 8)));  // NULs included
  ASSERT_TRUE(writeFileAtomic(dir.file("doc.fxda"), bytes));
  EXPECT_EQ(contentOf(dir.file("doc.fxda")), bytes);
  ASSERT_TRUE(writeFileAtomic(dir.file("empty"), "", 0));
  EXPECT_EQ(contentOf(dir.file("empty")), "");

  std::string out = "stale";
  EXPECT_FALSE(readWholeFile(dir.file("missing"), out));
  EXPECT_TRUE(out.empty());
}

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
  EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file left behind";

  // Through a symbolic link the linked file is replaced and the link stays.
  const std::string link = dir.file("link.fxda");
  std::filesystem::create_symlink(path, link);
  ASSERT_TRUE(writeFileAtomic(link, std::string("through the link")));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(contentOf(path), "through the link");
}

TEST(PlatformFiles, ReaderSeesOnlyWholeVersions) {
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

TEST(PlatformFiles, FailedWriteLeavesOldFileIntact) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("doc");
  ASSERT_TRUE(writeFileAtomic(path, std::string("old")));

  // A write that fails half-way: the file-size limit binds root too.
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

  // A folder that does not exist.
  EXPECT_FALSE(writeFileAtomic(dir.file("no/such/folder/doc"), std::string("x")));
}

TEST(PlatformFiles, UnwritableFolderReportsFailure) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("doc");
  ASSERT_TRUE(writeFileAtomic(path, std::string("old")));
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  EXPECT_FALSE(writeFileAtomic(path, std::string("new")));
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(contentOf(path), "old");
}

TEST(PlatformFiles, CopyFile) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  std::string bytes("user\0document", 13);
  ASSERT_TRUE(writeFileAtomic(dir.file("a"), bytes));
  ASSERT_TRUE(copyFile(dir.file("a"), dir.file("a.bad")));
  EXPECT_EQ(contentOf(dir.file("a.bad")), bytes);
  EXPECT_EQ(contentOf(dir.file("a")), bytes);
  EXPECT_FALSE(copyFile(dir.file("missing"), dir.file("b")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("b")));
}

TEST(PlatformFiles, ListsWavFilesOfAnyCaseSorted) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  for (const char* name : {"c.Wav", "a.wav", "B.WAV", "notes.txt", "wav", "x.wave", "a.wav.bak"})
    ASSERT_TRUE(writeFileAtomic(dir.file(name), std::string("x")));
  std::filesystem::create_directory(dir.file("folder.wav"));
  std::filesystem::create_symlink(dir.file("a.wav"), dir.file("link.wav"));
  std::vector<std::string> expected{"B.WAV", "a.wav", "c.Wav", "link.wav"};
  EXPECT_EQ(listWavFiles(dir.path()), expected);
  EXPECT_EQ(listWavFiles(dir.path() + "/"), expected);
  EXPECT_TRUE(listWavFiles(dir.file("missing")).empty());
}

TEST(PlatformFiles, ProbeReportsSizeOrReason) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  ASSERT_TRUE(writeFileAtomic(dir.file("ir.wav"), std::string(1234, 'x')));

  qvfileprobe p = probeFile(dir.file("ir.wav"));
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.size, 1234u);

  struct Row {
    std::string path;
    qvprobeerror expected;
  } rows[] = {
      {dir.file("missing.wav"), qvprobeerror::notFound},
      {dir.file("missing/ir.wav"), qvprobeerror::notFound},
      {dir.file("ir.wav/ir.wav"), qvprobeerror::notFound},  // a file used as a folder
  };
  for (const Row& row : rows) {
    p = probeFile(row.path);
    EXPECT_FALSE(p.ok) << row.path;
    EXPECT_EQ(p.error, row.expected) << row.path;
  }
}

TEST(PlatformFiles, ProbeWithoutFileHandles) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  ASSERT_TRUE(writeFileAtomic(dir.file("ir.wav"), std::string("x")));
  int lowest_free = open("/dev/null", O_RDONLY);
  ASSERT_GE(lowest_free, 0);
  close(lowest_free);
  qvfileprobe p;
  {
    ScopedLimit limit(RLIMIT_NOFILE, rlim_t(lowest_free));
    p = probeFile(dir.file("ir.wav"));
  }
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error, qvprobeerror::noFileHandle);
}

TEST(PlatformFiles, ProbeOfUnreadableFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files of any mode";
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  ASSERT_TRUE(writeFileAtomic(dir.file("ir.wav"), std::string("x")));
  ASSERT_EQ(chmod(dir.file("ir.wav").c_str(), 0), 0);
  qvfileprobe p = probeFile(dir.file("ir.wav"));
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error, qvprobeerror::permissionDenied);
}

TEST(PlatformFiles, ModuleFolderIsTheExecutablesFolder) {
  // The tests link the code statically, so the module is this executable.
  std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  std::string folder = moduleFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), kPathSeparator);
  EXPECT_EQ(folder, exe.substr(0, exe.find_last_of('/') + 1));
}

TEST(PlatformFiles, TickCountAdvancesWithTime) {
  uint32_t t0 = tickCountMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  uint32_t elapsed = tickCountMs() - t0;  // unsigned difference survives a wrap
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 60000u);
}
