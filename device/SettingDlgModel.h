#pragma once
// What the settings dialog holds and decides, without its widgets: the dashcam half
// (device settings and clock, read from and written to the chosen card), the viewer
// half (capture folder, jump step, rear mirror) and the rules that tie them to the
// model list, the card list and the buttons. The dialog shows this state in its
// controls and hands every user action to it.

#include <filesystem>
#include <string>
#include <vector>

#include "device/CardList.h"
#include "device/ChoiceList.h"
#include "device/DeviceClock.h"
#include "device/DeviceSettings.h"
#include "settings/ViewerSettings.h"
#include "telemetry/SeekMarkers.h"

namespace device {

// A file of the dialog's OK that could not be written: the message for it (a string
// number that takes the path and the reason), the path and the errno.
struct FileWriteFailure {
  int message = 0;
  std::string path;
  int error = 0;
};

// The card files of the card chosen last and the volume label (always the model
// name). The main window keeps them for its life, as the card files and the format
// use them; the settings dialog's model works on the window's copy.
struct CardFilePaths {
  std::filesystem::path setupCfg;
  std::filesystem::path timeCfg;
  std::string volumeLabel;
};

constexpr int kJumpStepMin = 1;
constexpr int kJumpStepMax = 10;
constexpr int kJumpStepDefault = 5;

class SettingDlgModel {
 public:
  // `files` must outlive the model.
  SettingDlgModel(TextLookup text, CardFilePaths& files);

  const CardFilePaths& CardFiles() const { return files_; }

  // --- dashcam half ---
  ChoiceList modelList;  // one entry, "Tarvo"
  DeviceSettings device;
  DeviceClock clock;
  bool clockBox = false;  // write time.cfg on OK; the clock lists are enabled with it
  std::vector<CardEntry> cards;
  int selectedCard = -1;
  // Lists shown disabled for the one model, never written.
  ChoiceList parkingMode;   // 1034
  ChoiceList drivingAlert;  // 1123

  // --- viewer half ---
  std::string saveDirectory;                      // 1040
  int jumpStep = 0;                               // track bar 1053 position; 0 until set
  std::string jumpStepText;                       // value label 1054
  bool rearMirror = false;                        // 1044
  int language = 0;                               // the language choice: the viewer's language (0..11)
  bool speedInMiles = false;                      // the speed unit: mph rather than km/h
  std::string timeZone;                           // the clock's IANA zone; empty for the camera's clock
  int markerThreshold = kDefaultMarkerThreshold;  // the seek bar markers' G, in hundredths

  // Start-up: `viewer` is the record as option.ini left it (or as the viewer runs when
  // the file cannot be read). `foundCards` fills the card list, nothing selected.
  void Startup(const ViewerSettings& viewer, std::vector<CardEntry> foundCards);

  int ModelIndex() const { return modelList.selected; }
  const CardEntry* SelectedCard() const;

  // A selection change of the model list.
  void ModelChosen(int index);
  // A selection change of the card list (-1: none): reads the card's files.
  void CardChosen(int index);
  // A new card list after a device change. The card chosen before stays chosen when it
  // is still listed (its files are not read again); otherwise nothing is chosen.
  void CardsChanged(std::vector<CardEntry> foundCards);
  // The Default button (and, with viewer defaults suppressed, a card without files).
  void Default();
  // A click on the 12 V or 24 V button.
  void VehicleVoltage(bool volt24);
  // A click on the clock box, with its new state.
  void ClockBox(bool checked);
  // The track bar moved to `position`.
  void JumpStep(int position);

  // OK with a card chosen: setup.cfg (for model 0) and time.cfg (clock box checked).
  // With no card chosen nothing is written to any card. The files that could not be
  // written, in that order.
  std::vector<FileWriteFailure> WriteCardFiles() const;
  // Stores the viewer half into `viewer` (its language, speed unit and time zone;
  // MODEL = the model index), reloads the language library for the language and
  // writes option.ini to `settingsFile`; the failure, if it could not.
  std::vector<FileWriteFailure> StoreViewerOptions(ViewerSettings& viewer,
                                                   const std::filesystem::path& settingsFile) const;

 private:
  void ApplyModel();
  // Every device control cleared, then the defaults and the current time.
  void ResetDeviceHalf();
  void DefaultDeviceOnly();

  TextLookup text_;
  CardFilePaths& files_;
  bool suppressViewerDefaults_ = false;
};

}  // namespace device
