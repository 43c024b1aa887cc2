#pragma once
// A recording set wired as the viewer wires it at start-up, and a drive table naming
// card images, for the card access tests.

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sources/DriveTable.h"
#include "sources/MemoryRecordingList.h"
#include "sources/RecordingCollection.h"
#include "tests/kovr/KovrTestCard.h"

namespace cardtest {

inline bool NoLabels(int, std::string&) { return false; }

// The four card folders and the one extension, as the main dialog adds them.
inline void PrepareCollection(RecordingCollection& set) {
  set.languageLookup = &NoLabels;
  for (const char* f : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) set.AddCardFolder(f);
  set.AddExtension("AVI");
}

// Points the drive table variable at a table file for one test.
class DriveTableScope {
 public:
  explicit DriveTableScope(const kovrtest::fs::path& table) {
    if (const char* old = std::getenv(drives::kDriveTableVariable)) {
      had_ = true;
      old_ = old;
    }
    ::setenv(drives::kDriveTableVariable, table.c_str(), 1);
  }
  ~DriveTableScope() {
    if (had_)
      ::setenv(drives::kDriveTableVariable, old_.c_str(), 1);
    else
      ::unsetenv(drives::kDriveTableVariable);
  }

 private:
  bool had_ = false;
  std::string old_;
};

// Records a small simulated recording with the tool; empty path when that fails.
inline kovrtest::fs::path Record(const kovrtest::fs::path& folder, const std::string& name,
                                 const std::string& options) {
  const kovrtest::fs::path out = folder / name;
  const std::string cmd = std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool record '" + out.string() +
                          "' --seconds 2 --size 320x180 --fps 10 " + options + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0 ? out : kovrtest::fs::path();
}

inline std::vector<unsigned char> FileBytes(const kovrtest::fs::path& path) {
  return kovrtest::ReadBytes(path, 0, static_cast<size_t>(kovrtest::fs::file_size(path)));
}

inline void WriteTable(const kovrtest::fs::path& table, const std::string& text) { std::ofstream(table) << text; }

}  // namespace cardtest
