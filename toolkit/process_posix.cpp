// posix_spawn with a pipe: no shell, so quotes, spaces and any bytes in the
// arguments reach the program unchanged.
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "toolkit/process.hpp"

extern char** environ;

namespace {
bool isExecutableFile(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}
}  // namespace

std::string findProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return isExecutableFile(program) ? program : std::string();
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (isExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

pid_t startProgram(const std::vector<std::string>& argv, int outFd, const std::vector<std::string>& extraEnv,
                   int inFd) {
  if (argv.empty()) return -1;
  std::vector<std::string> args = argv;
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> argp = pointersTo(args);
  std::vector<char*> envp = pointersTo(env);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (inFd >= 0) posix_spawn_file_actions_adddup2(&actions, inFd, STDIN_FILENO);
  else posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

ProcessOutput runProgram(const std::vector<std::string>& argv) {
  ProcessOutput out;
  if (argv.empty() || !isExecutableFile(argv[0])) {
    out.result = ProcessResult::notFound;
    return out;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return out;
  const pid_t pid = startProgram(argv, fds[1]);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return out;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n > 0) out.output.append(buffer, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) break;
  }
  close(fds[0]);
  int status = 0;
  pid_t waited;
  do waited = waitpid(pid, &status, 0);
  while (waited < 0 && errno == EINTR);
  if (waited < 0) {
    // A host that ignores SIGCHLD reaps children itself: the exit code is lost,
    // and the output is all there is to go by.
    out.result = ProcessResult::ok;
    return out;
  }
  if (WIFEXITED(status)) {
    out.result = ProcessResult::ok;
    out.exitCode = WEXITSTATUS(status);
  }
  return out;
}
