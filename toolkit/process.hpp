// Running another program: found on PATH, started without a shell (arguments
// reach it byte for byte), its standard output read until it exits. The file
// chooser runs its dialog program this way; tests start helper servers with it.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

enum class ProcessResult {
  ok = 0,        // ran and exited; see exitCode
  notFound = 1,  // no such program, or not executable
  failed = 2,    // could not start, or ended by a signal
};

struct ProcessOutput {
  ProcessResult result = ProcessResult::failed;
  int exitCode = -1;   // when result is ok; -1 when it could not be known
  std::string output;  // everything written to standard output
};

// [ui] The full path of `program`: itself when it contains a '/', else the first
// executable of that name in the folders of $PATH; empty when there is none.
std::string findProgram(const std::string& program);

// [ui] Runs `argv` (argv[0] a path from findProgram) with standard input from
// /dev/null and waits for it to exit, collecting its standard output.
ProcessOutput runProgram(const std::vector<std::string>& argv);

// [any] Starts `argv` without waiting; its standard output goes to `outFd` (-1 to
// inherit ours), its standard input comes from `inFd` (-1: /dev/null), and
// `extraEnv` ("NAME=value" entries) is added to our environment. Returns the
// process id, or -1.
pid_t startProgram(const std::vector<std::string>& argv, int outFd = -1,
                   const std::vector<std::string>& extraEnv = {}, int inFd = -1);
