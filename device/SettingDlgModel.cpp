#include "device/SettingDlgModel.h"

#include <utility>

#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/TextParsing.h"

namespace device {

SettingDlgModel::SettingDlgModel(TextLookup text, CardFilePaths& files) : text_(std::move(text)), files_(files) {}

const CardEntry* SettingDlgModel::SelectedCard() const {
  if (selectedCard < 0 || selectedCard >= static_cast<int>(cards.size())) return nullptr;
  return &cards[static_cast<size_t>(selectedCard)];
}

void SettingDlgModel::Startup(const ViewerSettings& viewer, std::vector<CardEntry> foundCards) {
  FillDeviceChoices(device, text_);
  FillClockLists(clock);
  parkingMode.Clear();
  parkingMode.Add(text_(kStrParkingMotion));
  parkingMode.Add(text_(kStrParkingTimeLapse));
  drivingAlert.Clear();
  drivingAlert.Add(text_(kStrAlertOff));
  drivingAlert.Add(text_(kStrAlertOn));
  modelList.Clear();
  modelList.Add(kDeviceModelName);
  modelList.Select(viewer.model);
  cards = std::move(foundCards);
  selectedCard = -1;
  // Only the one model's set-up fills the cut-off list; another model starts with it
  // empty until a vehicle voltage is clicked.
  if (ModelIndex() != 0) device.batteryCutOffVolt.Clear();
  ApplyModel();
  saveDirectory = viewer.saveDirectory;
  jumpStep = viewer.playValue;
  jumpStepText = std::to_string(viewer.playValue);
  rearMirror = viewer.rearMirror;
  language = viewer.language;
  speedInMiles = viewer.speedInMiles;
  timeZone = viewer.timeZone;
  markerThreshold = viewer.markerThreshold;
  clockBox = false;
  if (ModelIndex() == 0) ResetDeviceHalf();
}

void SettingDlgModel::ApplyModel() {
  device.modelName = modelList.SelectedText();
  files_.volumeLabel = device.modelName;
  ApplyModelRules(device, ModelIndex(), text_);
}

void SettingDlgModel::ModelChosen(int index) {
  if (!modelList.Select(index)) modelList.selected = -1;
  ApplyModel();
  CardChosen(selectedCard);
}

void SettingDlgModel::ResetDeviceHalf() {
  ClearDeviceSettings(device);
  clockBox = false;
  ::ApplyDeviceDefaults(device, text_);
  SetClockToNow(clock);
}

void SettingDlgModel::DefaultDeviceOnly() {
  suppressViewerDefaults_ = true;
  Default();
}

void SettingDlgModel::CardChosen(int index) {
  selectedCard = index >= 0 && index < static_cast<int>(cards.size()) ? index : -1;
  const CardEntry* card = SelectedCard();
  if (!card) {
    DefaultDeviceOnly();
    return;
  }
  CardFilePaths& paths = files_;
  paths.setupCfg = std::filesystem::path(card->root) / kSetupCfgFileName;
  paths.timeCfg = std::filesystem::path(card->root) / kTimeCfgFileName;
  if (ModelIndex() == 0 && !ReadSetupCfg(paths.setupCfg, device, text_)) DefaultDeviceOnly();
  ReadTimeCfg(paths.timeCfg, clock);
}

void SettingDlgModel::CardsChanged(std::vector<CardEntry> foundCards) {
  const CardEntry* before = SelectedCard();
  int keep = -1;
  if (before) {
    for (size_t i = 0; i < foundCards.size(); ++i)
      if (SameCard(foundCards[i], *before)) keep = static_cast<int>(i);
  }
  cards = std::move(foundCards);
  selectedCard = keep;
}

void SettingDlgModel::Default() {
  if (ModelIndex() == 0) ResetDeviceHalf();
  if (!suppressViewerDefaults_) {
    saveDirectory = DefaultCaptureFolder();
    jumpStepText = std::to_string(kJumpStepDefault);
    jumpStep = kJumpStepDefault;
    rearMirror = false;
  }
  suppressViewerDefaults_ = false;
}

void SettingDlgModel::VehicleVoltage(bool volt24) { SelectVehicleVoltage(device, volt24, text_); }

void SettingDlgModel::ClockBox(bool checked) {
  clockBox = checked;
  if (checked) SetClockToNow(clock);
}

void SettingDlgModel::JumpStep(int position) {
  jumpStep = position;
  jumpStepText = std::to_string(position);
}

std::vector<FileWriteFailure> SettingDlgModel::WriteCardFiles() const {
  std::vector<FileWriteFailure> failures;
  if (!SelectedCard()) return failures;
  const CardFilePaths& paths = files_;
  int error = 0;
  if (ModelIndex() == 0 && !WriteSetupCfg(paths.setupCfg, device, &error))
    failures.push_back({kStrCardSetupNotWritten, paths.setupCfg.string(), error});
  if (clockBox && !WriteTimeCfg(paths.timeCfg, clock, &error))
    failures.push_back({kStrCardClockNotWritten, paths.timeCfg.string(), error});
  return failures;
}

std::vector<FileWriteFailure> SettingDlgModel::StoreViewerOptions(ViewerSettings& viewer,
                                                                  const std::filesystem::path& settingsFile) const {
  viewer.saveDirectory = saveDirectory;
  viewer.playValue = AtoiValue(jumpStepText);
  viewer.rearMirror = rearMirror;
  // Language, unit and zone are the ones chosen in the dialog, which start at the
  // viewer's own.
  viewer.language = language;
  viewer.speedInMiles = speedInMiles;
  viewer.timeZone = timeZone;
  viewer.markerThreshold = markerThreshold;
  LoadLanguageLibrary(viewer);
  viewer.model = ModelIndex();
  int error = 0;
  if (WriteSettings(settingsFile, viewer, &error)) return {};
  return {{kStrSettingsNotSaved, settingsFile.string(), error}};
}

}  // namespace device
