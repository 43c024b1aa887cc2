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
#include "tests/support/ScopedEnv.h"

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
  explicit DriveTableScope(const kovrtest::fs::path& table) : variable_(drives::kDriveTableVariable, table.c_str()) {}

 private:
  testsupport::ScopedEnv variable_;
};

// Records a small simulated recording with the tool; empty path when that fails.
inline kovrtest::fs::path Record(const kovrtest::fs::path& folder, const std::string& name,
                                 const std::string& options) {
  const kovrtest::fs::path out = folder / name;
  const std::string cmd = std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool record '" + out.string() +
                          "' --seconds 2 --size 320x180 --fps 10 " + options + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0 ? out : kovrtest::fs::path();
}

inline void WriteTable(const kovrtest::fs::path& table, const std::string& text) { std::ofstream(table) << text; }

}  // namespace cardtest
