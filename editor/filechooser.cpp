// The file and folder choosers of the impulse commands: the desktop's dialog run
// modally on the editor's thread; the path it returns goes to the engine, which
// then runs the command on it (and warns about an empty or non-WAV path).
#include <mutex>

#include "editor/qveditor.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cnewfileselector.hpp"

bool qveditor::choosePath(int32_t code) {
  CNewFileSelector selector(code == kCmdImportFolder ? CNewFileSelector::kSelectDirectory
                                                     : CNewFileSelector::kSelectFile);
  selector.setTitle("Please select a impulse response file to load.");
  selector.run(&receiver_);
  if (selector.getResult() == CNewFileSelector::Result::noChooser) {
    engine_->showMessage("Warning: no file chooser found (zenity or kdialog)...", 2);
    return false;
  }
  // Cancelled or failed: an empty path, which the command answers with its warning.
  std::lock_guard<qvlock> hold(engine_->mailbox.commandLock());
  engine_->editorPath = selector.getSelectedFile();
  return true;
}
