// File access of the plug-in: whole-file reads, atomic whole-file writes, the
// "*.wav" listing of a folder for impulse imports, the read-only probe whose
// failure reasons the impulse loader reports, and the plug-in's own folder.
// Paths are byte strings; nothing converts encodings. Nothing here runs on the
// audio thread's per-sample path: every call may block on the file system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The documented paths use a backslash; every rule about "the last separator"
// applies to this character on the system we were built for.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Why a probe could not open a file. The impulse loader turns each into its text.
enum class qvprobeerror {
  none,
  notFound,          // no such file, or a path component is missing or not a folder
  permissionDenied,  // access refused
  noFileHandle,      // the process or the system has no file handle left
  unknown,           // anything else
};

struct qvfileprobe {
  bool ok = false;                           // the file opened read-only
  uint64_t size = 0;                         // bytes, when ok
  qvprobeerror error = qvprobeerror::none;   // why not, when !ok
  int errnum = 0;                            // the system's error number, for logs
};

// [any] Reads the whole file into `bytes`. False (and `bytes` empty) when the
// file cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

// [any] Replaces `path` with `size` bytes so that the file holds either its old or
// its new content, whatever happens: the bytes go to a temporary file in the same
// folder, are flushed to the disk, and the temporary file is renamed over the
// target. An existing target keeps its permission bits; a symbolic link is
// followed and the file it names replaced. False when any step
// fails; the temporary file is then removed and the target is untouched.
bool writeFileAtomic(const std::string& path, const void* bytes, size_t size);
inline bool writeFileAtomic(const std::string& path, const std::string& bytes) {
  return writeFileAtomic(path, bytes.data(), bytes.size());
}

// [any] Copies `from` to `to` (replacing `to` atomically). False when `from`
// cannot be read or `to` cannot be written.
bool copyFile(const std::string& from, const std::string& to);

// [any] Makes the folder `path` (its parent must exist). True when it exists
// afterwards, made now or before.
bool makeFolder(const std::string& path);

// [any] Names (without the folder) of the regular files in `folder` whose name
// ends in ".wav" in any letter case, as a folder search for "*.wav" finds them,
// sorted bytewise. Empty when the folder cannot be read. The importer applies its
// own, case-sensitive rule on top.
std::vector<std::string> listWavFiles(const std::string& folder);

// [any] Opens `path` read-only and closes it again; on success the size in bytes,
// otherwise the reason.
qvfileprobe probeFile(const std::string& path);

// [any] Folder of the module file (the plug-in library, or the executable when
// linked statically into one) that holds this code, ending in kPathSeparator.
// Empty when the system cannot tell.
std::string moduleFolder();

// [any] Milliseconds from a monotonic clock; wraps after about 49.7 days, so
// compare ticks by unsigned difference.
uint32_t tickCountMs();
