#pragma once
// Formatting the chosen card for the dashcam, everything but the questions: keeping
// the card's setup.cfg and installer in a folder of ours, the card-file-system path
// (partitions, card file system, FAT32 on partition 1 through format.sh) or the plain
// path (FAT32 on the card's volume), putting the kept files back and the message that
// tells the user how it went. Runs on any thread; formatting takes seconds to minutes.

#include <filesystem>
#include <string>
#include <vector>

#include "device/CardList.h"
#include "device/CardVolume.h"
#include "device/ChoiceList.h"
#include "sources/DiskService.h"

namespace device {

inline constexpr char kInstallerFileName[] = "Tarvo Viewer.msi";
inline constexpr char kFormatScriptName[] = "format.sh";

// Our own result codes beside those of the partition-and-format sequence.
constexpr int kFormatFat32Failed = 1006;    // format.sh did not write FAT32
constexpr int kFormatKeepFailed = 1007;     // the card's files could not be kept safe first
constexpr int kFormatUnmountFailed = 1008;  // the card's volume could not be taken off

// The message for a card device that could not be opened: refused (340) or failed
// (341) with the system's own words.
std::string AccessMessage(const drives::AccessError& error, const std::string& device, const TextLookup& text);

// `text` with "%1" ... "%9" replaced by the values in one pass, so a value that holds a
// mark itself (a folder named "%2") stays as it is.
std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values);

enum class FormatPath { kCardFileSystem, kPlain };

// The card-file-system path for a card that carries the card file system and for the
// model "Tarvo"; the plain path for anything else.
FormatPath ChooseFormatPath(const CardEntry& card, const std::string& modelName);

struct FormatRequest {
  CardEntry card;
  std::string modelName;
  std::string volumeLabel;              // the model name
  std::filesystem::path programFolder;  // format.sh and the installer live here
  std::filesystem::path safeFolder;     // kept files go to a new folder inside it
  bool legacySystem = false;
};

struct FormatOutcome {
  bool successful = false;  // the card was formatted (its recordings are gone)
  int code = 0;             // the sequence's code; 0 when it did not run
  std::string message;      // for a message box; "" for none
  // Where the kept files stayed because they could not go back on the card ("" when
  // everything went back), and which.
  std::filesystem::path keptFolder;
  std::vector<std::string> keptFiles;
};

class CardFormatter {
 public:
  CardFormatter(FormatRequest request, TextLookup text, ProgramRunner run);

  FormatOutcome Run(FormatPath path);

 private:
  struct Kept {
    std::string name;
    bool fromCard = false;  // moved off the card (else it is the program's installer)
  };
  // Where partition 1's FAT sits on the disk, once it has been written.
  struct FatPlace {
    bool ready = false;
    uint64_t startSector = 0;
  };

  bool KeepFiles();
  bool UnmountCard();
  void FormatCardFileSystem();
  void FormatPlain();
  // FAT32 into the card's sectors [startSector, + sectorCount): format.sh on the device,
  // or, for a card this process may not open by name, on a file of ours that
  // CopyFatToCard then writes through a descriptor.
  bool WriteFat(uint64_t startSector, uint64_t sectorCount);
  bool CopyFatToCard();
  bool RunScript(uint64_t startSector, uint64_t sectorCount);
  void PutBack();
  bool PutIntoFat(const std::filesystem::path& source, const std::string& name);
  void ComposeMessage();

  FormatRequest request_;
  TextLookup text_;
  ProgramRunner run_;
  FormatPath path_ = FormatPath::kCardFileSystem;
  MountedVolume volume_;                  // the volume at the card's root
  std::vector<MountedVolume> unmounted_;  // every volume taken off for the format
  bool cardTouched_ = false;
  FatPlace fat_;
  std::string fatTarget_;  // where format.sh and mtools write: the card or a file of ours
  uint64_t fatSectors_ = 0;
  std::filesystem::path keepFolder_;
  std::vector<Kept> kept_;
  bool hadInstaller_ = false;
  FormatOutcome outcome_;
};

}  // namespace device
