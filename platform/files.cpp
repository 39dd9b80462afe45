// POSIX implementation of the file access in platform/files.hpp. A Windows build
// provides the same functions from its own source (CreateFile, MoveFileEx with
// MOVEFILE_REPLACE_EXISTING, FindFirstFile, GetModuleFileName, GetTickCount).
#if !defined(_WIN32)
#include "platform/files.hpp"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// Closes a descriptor on every path out of a function.
class fdholder {
public:
  explicit fdholder(int fd) : fd_(fd) {}
  ~fdholder() { close(); }
  fdholder(const fdholder&) = delete;
  fdholder& operator=(const fdholder&) = delete;
  int get() const { return fd_; }
  // Closes now; false when the close reported an error (a delayed write error).
  bool close() {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

private:
  int fd_;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool writeAll(int fd, const unsigned char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= size_t(w);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  size_t cut = path.find_last_of(kPathSeparator);
  if (cut == std::string::npos) return ".";
  if (cut == 0) return "/";
  return path.substr(0, cut);
}

// Makes the rename itself durable; a failure here does not undo the save.
void syncFolder(const std::string& folder) {
  int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Temporary files are named after the target, the process and a counter, so two
// instances saving beside each other never share one.
std::atomic<uint32_t> tempCounter{0};

qvprobeerror probeErrorFromErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return qvprobeerror::notFound;
    case EACCES:
    case EPERM:
      return qvprobeerror::permissionDenied;
    case EMFILE:
    case ENFILE:
      return qvprobeerror::noFileHandle;
    default:
      return qvprobeerror::unknown;
  }
}

bool endsWithWavAnyCase(const char* name) {
  size_t n = std::char_traits<char>::length(name);
  if (n < 4) return false;
  const char* ext = name + n - 4;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  return ext[0] == '.' && lower(ext[1]) == 'w' && lower(ext[2]) == 'a' && lower(ext[3]) == 'v';
}

}  // namespace

bool readWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  fdholder fd(openRetrying(path.c_str(), O_RDONLY));
  if (fd.get() < 0) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(size_t(st.st_size));
  // Read to the end rather than trusting the size: the file may change under us.
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd.get(), buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      bytes.clear();
      return false;
    }
    if (r == 0) break;
    bytes.append(buf, size_t(r));
  }
  return true;
}

bool writeFileAtomic(const std::string& link_or_path, const void* bytes, size_t size) {
  if (link_or_path.empty()) return false;
  // A document reached through a symbolic link is replaced where it lives; renaming
  // over the link itself would turn it into a file of its own.
  std::string path = link_or_path;
  if (char* full = ::realpath(link_or_path.c_str(), nullptr)) {
    path = full;
    std::free(full);
  }
  int fd = -1;
  std::string temp;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp" + std::to_string(::getpid()) + "-" +
           std::to_string(tempCounter.fetch_add(1, std::memory_order_relaxed));
    // 0666 less the umask, as any newly created document would get.
    fd = openRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  fdholder out(fd);

  struct stat old;
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(out.get(), old.st_mode & 07777);

  bool ok = writeAll(out.get(), static_cast<const unsigned char*>(bytes), size) &&
            ::fsync(out.get()) == 0;
  ok = out.close() && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  syncFolder(folderOf(path));
  return true;
}

bool copyFile(const std::string& from, const std::string& to) {
  std::string bytes;
  return readWholeFile(from, bytes) && writeFileAtomic(to, bytes);
}

bool makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st{};
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> listWavFiles(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  std::string base = folder;
  if (!base.empty() && base.back() != kPathSeparator) base += kPathSeparator;
  while (struct dirent* e = ::readdir(dir)) {
    if (!endsWithWavAnyCase(e->d_name)) continue;
    struct stat st;  // follows links: a link to a WAV file counts as one
    if (::stat((base + e->d_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

qvfileprobe probeFile(const std::string& path) {
  qvfileprobe probe;
  fdholder fd(openRetrying(path.c_str(), O_RDONLY));
  if (fd.get() < 0) {
    probe.errnum = errno;
    probe.error = probeErrorFromErrno(probe.errnum);
    return probe;
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) {
    probe.errnum = errno;
    probe.error = qvprobeerror::unknown;
    return probe;
  }
  probe.ok = true;
  probe.size = uint64_t(st.st_size);
  return probe;
}

std::string moduleFolder() {
  Dl_info info{};
  // Any address inside this module names the module's file.
  if (::dladdr(reinterpret_cast<void*>(&moduleFolder), &info) == 0 || !info.dli_fname ||
      !*info.dli_fname)
    return {};
  std::string file = info.dli_fname;
  // The loader keeps the name it was given, which may be relative to a folder
  // the host has since left; resolve it while we can.
  if (char* full = ::realpath(info.dli_fname, nullptr)) {
    file = full;
    std::free(full);
  }
  size_t cut = file.find_last_of(kPathSeparator);
  if (cut == std::string::npos) return {};
  return file.substr(0, cut + 1);
}

uint32_t tickCountMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
  return uint32_t(ms);  // keeps the low 32 bits: the count wraps
}

#endif  // !_WIN32
