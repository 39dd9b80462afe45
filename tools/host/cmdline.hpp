// The command line of our tools: options that take a value ("--seconds 5"),
// numbers read whole and checked against their range, one way to report a bad
// command line, and the exit codes the tools share.
#pragma once
#include <string>

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // input, output or plug-in trouble
inline constexpr int kExitUsage = 2;   // bad options

// False unless all of `text` is an integer within low..high.
bool parseIntOption(const std::string& text, int low, int high, int& out);
// False unless all of `text` is a finite number within low..high.
bool parseNumberOption(const std::string& text, double low, double high, double& out);

// Walks the arguments once, in order:
//   for (cmdline c(argc, argv, "tool", kUsage); c.next();)
//     if (c.is("--seconds")) { if (!c.number(0.001, 3600, s)) return c.fail("..."); }
class cmdline {
public:
  cmdline(int argc, char** argv, const char* tool, const char* usage)
      : argc_(argc), argv_(argv), tool_(tool), usage_(usage) {}

  // Moves to the next argument; false after the last.
  bool next();
  const std::string& arg() const { return arg_; }
  bool is(const char* name) const { return arg_ == name; }
  // "--help" or "-h".
  bool asksForHelp() const { return arg_ == "--help" || arg_ == "-h"; }

  // The argument after the current option; false when there is none.
  bool value(std::string& out);
  bool integer(int low, int high, int& out);
  bool number(double low, double high, double& out);

  // Prints "<tool>: <message>" and the usage on standard error; returns kExitUsage.
  int fail(const std::string& message) const;
  // Prints the usage on standard output.
  void printUsage() const;
  const char* tool() const { return tool_; }

private:
  int argc_;
  char** argv_;
  const char* tool_;
  const char* usage_;
  int at_ = 0;  // index of the current argument
  std::string arg_;
};

// The folder of the running executable, ending in '/', or "" when unknown.
std::string executableFolder();
