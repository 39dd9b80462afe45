#include "toolkit/cnewfileselector.hpp"

#include <cstdlib>

#include "toolkit/process.hpp"

namespace {
// zenity's and kdialog's cancel exit code.
constexpr int kCancelExit = 1;

std::vector<std::string> commandFor(const std::string& program, bool zenityStyle, CNewFileSelector::Style style,
                                    const std::string& title) {
  const bool folder = style == CNewFileSelector::kSelectDirectory;
  if (zenityStyle) {
    std::vector<std::string> args = {program, "--file-selection"};
    if (folder) args.emplace_back("--directory");
    args.push_back("--title=" + title);
    return args;
  }
  return {program, folder ? "--getexistingdirectory" : "--getopenfilename", ".", "--title", title};
}
}  // namespace

bool CNewFileSelector::runModal() {
  path_.clear();
  command_.clear();
  std::string program;
  bool zenityStyle = true;
  if (const char* own = std::getenv("CORVINA_FILE_CHOOSER"); own && *own) program = findProgram(own);
  if (program.empty()) program = findProgram("zenity");
  if (program.empty()) {
    program = findProgram("kdialog");
    zenityStyle = false;
  }
  if (program.empty()) {
    result_ = Result::noChooser;
    return false;
  }
  command_ = commandFor(program, zenityStyle, style_, title_);
  const ProcessOutput run = runProgram(command_);
  std::string path = run.output;
  if (!path.empty() && path.back() == '\n') path.pop_back();
  if (run.result == ProcessResult::notFound) result_ = Result::noChooser;
  else if (run.result != ProcessResult::ok) result_ = Result::failed;
  else if (run.exitCode == kCancelExit || (run.exitCode <= 0 && path.empty())) result_ = Result::cancelled;
  else if (run.exitCode > 0) result_ = Result::failed;
  else result_ = Result::chosen;
  if (result_ == Result::chosen) path_ = path;
  return result_ == Result::chosen;
}

bool CNewFileSelector::run(CBaseObject* delegate) {
  const bool chosen = runModal();
  if (delegate) delegate->notify(this, kSelectEndMessage);
  return chosen;
}

std::string CNewFileSelector::getSelectedFile(int32_t index) const {
  return index == 0 && result_ == Result::chosen ? path_ : std::string();
}
