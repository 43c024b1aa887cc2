#pragma once
// What the settings dialog needs of the main window while it is open: which card the
// shown recordings came from, dropping them when that card has been formatted, and
// whether the system refuses card formatting.

#include <string>

namespace device {
struct CardFilePaths;
}

class SettingDlgHost {
 public:
  virtual ~SettingDlgHost() = default;
  // The root of the card or drive the listed recordings were read from ("/media/u/CAM/";
  // a trailing "/" does not matter), "" when none are listed.
  virtual std::string LoadedDrive() const = 0;
  // Clear recordings: stop playback, empty the file list and say that nothing is listed.
  virtual void ClearRecordings() = 0;
  // The legacy-system flag; no Linux system is one.
  virtual bool LegacySystem() const { return false; }
  // Where the chosen card's files and the volume label are kept beyond the dialog (the
  // main window's); null lets the dialog keep them itself.
  virtual device::CardFilePaths* CardFiles() { return nullptr; }
};
