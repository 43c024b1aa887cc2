#pragma once
// Shared set-up of the picker suites: one offscreen QApplication whose user config
// folder is temporary (the file dialog keeps its own state there, the profile lives
// there), drive tables, profile files and a wait that keeps the event loop running.

#include <QString>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace pickertest {

using TempFolder = testsupport::TempFolder;

// Starts the application once and points XDG_CONFIG_HOME at a temporary folder.
void EnsureApplication();

// Runs the event loop until `done` holds or `timeoutMs` passed; the final `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

// Writes a drive table (lines "ROOT|DEVICE|FLAGS") and makes the drive lookup use it
// while the object lives.
class DriveTableScope {
 public:
  DriveTableScope(const std::filesystem::path& file, const std::vector<std::string>& lines);
  ~DriveTableScope();
  DriveTableScope(const DriveTableScope&) = delete;
  DriveTableScope& operator=(const DriveTableScope&) = delete;
};

// Writes "FolderHistory" entries Folder0000.. = `entries` (and "Folder" = `last` when
// not empty) into the INI file `file`.
void WriteHistory(const QString& file, const std::vector<std::string>& entries, const std::string& last = {});

// "Folder0000", "Folder0001", ...
std::string HistoryKey(int index);

// Every key of section "FolderHistory" in `file` with its value.
std::map<std::string, std::string> ReadHistory(const QString& file);

// "/base/<stem>0", "/base/<stem>1", ... (paths only, nothing is created).
std::vector<std::string> NumberedPaths(const std::string& base, int count);

// Where the suites keep their pictures: <build>/screenshots.
std::filesystem::path ScreenshotFolder();

}  // namespace pickertest
