// The window's own temporary folder and its end: the folder is made at the start
// under the shared temporary root (another viewer, or a rebuild of the tool, may use
// the same root), the settings are written when the window closes, and a signal ends
// the viewer as Close does.

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "app/CDezirureDovuriDlg.h"
#include "app/LoadWorker.h"
#include "controls/LanguageMessageBox.h"
#include "platform/FileOpen.h"
#include "platform/Paths.h"
#include "settings/ApplicationStrings.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "tools/repair/RecordingRebuild.h"

namespace fs = std::filesystem;

namespace {

// <root>/viewer-<pid>-XXXXXX: what a viewer deletes in it are the rebuild's files.
constexpr const char* kFolderPrefix = "viewer-";

bool IsDiskFull(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

}  // namespace

void CDezirureDovuriDlg::OpenTempFolder() {
  if (!tempFolder.empty()) return;
  const fs::path root = platform::TempFolder();
  // Once per window: the folders of viewers that ended without removing theirs.
  if (!tempRootCleaned) {
    tempRootCleaned = true;
    platform::RemoveEndedProcessFolders(root, kFolderPrefix, repair::IsRebuildFileName);
  }
  if (ownTempFolder.Create(root, kFolderPrefix, repair::IsRebuildFileName, &tempFolderError)) {
    tempFolder = ownTempFolder.Path().string();
  }
}

void CDezirureDovuriDlg::EmptyTempFolder() const { ownTempFolder.Empty(); }

bool CDezirureDovuriDlg::SaveSettings(bool tellUser) {
  settingsSaved = true;
  const fs::path file = SettingsFilePath();
  std::error_code made;
  fs::create_directories(file.parent_path(), made);
  int error = 0;
  if (WriteSettings(file, TheViewerSettings(), &error)) return true;
  // A folder that could not be made says more than the file that then had none.
  std::error_code ignored;
  if (made && !fs::is_directory(file.parent_path(), ignored)) error = made.value();
  if (tellUser) {
    ShowWriteFailure(this, kStrSettingsNotSaved, file.string(), error);
  } else {
    std::fprintf(stderr, "tarvo-viewer: the settings could not be saved in %s: %s\n", file.c_str(),
                 platform::ErrorText(error).c_str());
  }
  return false;
}

void CDezirureDovuriDlg::EndBySignal() {
  // Nobody may be at the screen (a logout, a service manager): no box waits for an
  // answer, and boxes already open are left by the end of every event loop.
  endingBySignal = true;
  worker->RequestStop();
  CloseCommand();
  if (writeSettingsOnClose && !settingsSaved) SaveSettings(false);
  hide();
  QApplication::exit(0);
}

void CDezirureDovuriDlg::LoadShowRepairFailure(int writeError) {
  // Without a folder of its own the rebuild had nowhere to write: why it was not made.
  if (tempFolder.empty() && tempFolderError != 0) writeError = tempFolderError;
  if (writeError == 0) {
    // The card's recording itself could not be read whole: said in the language on
    // screen, in the program's own words when there is no language library.
    if (ShowLanguageMessage(this, kStrRecordingNotRecovered) == QMessageBox::NoButton)
      ShowMessage(this, QString::fromUtf8(ApplicationString(kAppStrRepairFailed)));
    return;
  }
  const std::string folder = tempFolder.empty() ? platform::TempFolder().string() : tempFolder;
  if (!IsDiskFull(writeError)) {
    ShowWriteFailure(this, kStrTempFolderNotWritable, folder, writeError);
    return;
  }
  std::string text;
  if (LoadLanguageString(kStrTempFolderFull, text)) {
    ShowMessage(this, QString::fromStdString(text).arg(QString::fromStdString(folder)));
  }
}
