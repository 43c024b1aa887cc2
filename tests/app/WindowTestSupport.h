#pragma once
// Shared set-up of the main window suites: one QApplication, skin resources, settings
// kept in a temporary folder, and a folder of recording-named files for the list.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

class CDezirureDovuriDlg;

namespace apptest {

// Starts the application once (offscreen) and points the settings at a temporary
// config folder so no test reads or writes the user's files.
void EnsureApplication();

// The QT_QPA_PLATFORM value the suite runs under (for child processes).
std::string OffscreenPlatform();

// Writes small files named like a dashcam's recordings (normal, event and parking,
// one and two channels) into `folder`; their paths.
std::vector<std::string> MakeSampleRecordings(const std::filesystem::path& folder);

// The message boxes the window showed since the last Clear, answered without a
// person: with `answer` when the box offers it, else with its first button.
struct Messages {
  std::vector<QString> texts;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  void Clear() { texts.clear(); }
};
Messages& ShownMessages();

// Lists `paths` as Open would after the folder picker (the loading dialog with its
// delay cut to nothing) and waits until the dialog is done; the rows listed.
int ListPaths(CDezirureDovuriDlg& dlg, const std::vector<std::string>& paths);

// Runs the event loop until `done` holds or `ms` pass; whether it holds.
template <typename Pred>
bool WaitUntil(Pred done, int ms);
bool WaitUntilFor(const std::function<bool()>& done, int ms);
template <typename Pred>
bool WaitUntil(Pred done, int ms) {
  return WaitUntilFor(std::function<bool()>(done), ms);
}

// Makes English the viewer's language, its library loaded (suites set it in SetUp and
// again in TearDown, so a test that switched language leaves none behind).
void UseEnglish();

// Where the suites keep the pictures they take: <build>/screenshots.
std::filesystem::path ScreenshotFolder();

}  // namespace apptest
