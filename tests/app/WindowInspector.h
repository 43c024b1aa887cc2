#pragma once
// The one way the app suites reach into the main window: its state, its controls and
// the questions it asks a person. Tests only; the window names this class its friend.

#include <memory>
#include <utility>

#include "app/CDezirureDovuriDlg.h"
#include "app/WindowDialogs.h"

namespace app {

class WindowInspector {
 public:
  explicit WindowInspector(CDezirureDovuriDlg& window) : dlg_(window) {}

  // Answers the window's dialogs (folder picker, printer, settings) from `dialogs`.
  void AnswerDialogsWith(std::unique_ptr<WindowDialogs> dialogs) { dlg_.dialogs = std::move(dialogs); }

 private:
  CDezirureDovuriDlg& dlg_;
};

}  // namespace app
