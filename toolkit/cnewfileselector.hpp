// Choosing a file or a folder with the desktop's dialog: the program named by
// $CORVINA_FILE_CHOOSER, else zenity, else kdialog, found on PATH and run as a
// modal subprocess (the caller's thread waits for it). The chosen path is read
// from the program's standard output, less the one newline that ends it; spaces
// and any other bytes are kept. $CORVINA_FILE_CHOOSER takes zenity's options:
//   --file-selection [--directory] --title=TITLE
#pragma once
#include <string>
#include <vector>

#include "toolkit/cbaseobject.hpp"

class CNewFileSelector : public CBaseObject {
public:
  enum Style { kSelectFile, kSelectDirectory };
  enum class Result {
    chosen = 0,     // a path was chosen
    cancelled = 1,  // the user closed the dialog without a choice
    noChooser = 2,  // no dialog program found
    failed = 3,     // the program could not run or ended abnormally
  };
  // The message the delegate of run() receives when the dialog has ended.
  static constexpr IdStringPtr kSelectEndMessage = "CNewFileSelector Select End Message";

  explicit CNewFileSelector(Style style = kSelectFile) : style_(style) {}

  void setTitle(const std::string& title) { title_ = title; }
  const std::string& getTitle() const { return title_; }
  Style getStyle() const { return style_; }

  // [ui] Runs the dialog and waits for it. True when a path was chosen.
  bool runModal();
  // [ui] runModal, then sends kSelectEndMessage to `delegate` (may be null).
  bool run(CBaseObject* delegate);

  Result getResult() const { return result_; }
  int32_t getNumSelectedFiles() const { return result_ == Result::chosen ? 1 : 0; }
  // The chosen path; empty when there is none.
  std::string getSelectedFile(int32_t index = 0) const;
  // The command line of the last run (program path first), for diagnostics.
  const std::vector<std::string>& getLastCommand() const { return command_; }

private:
  Style style_;
  std::string title_;
  std::string path_;                   // bytes, as the program wrote them
  Result result_ = Result::cancelled;
  std::vector<std::string> command_;
};
