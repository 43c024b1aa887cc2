#pragma once
// The dashcam's settings file setup.cfg in the root of its memory card: twelve lines,
// each a 26-character label and a value, CR LF line ends. The camera's firmware reads
// it, so the layout is kept byte for byte.

#include <filesystem>
#include <string>

#include "device/ChoiceList.h"

inline constexpr char kDeviceModelName[] = "Tarvo";  // the one model offered
inline constexpr char kHardwareVersion[] = "V1.0.0";
inline constexpr char kDefaultSoftwareVersion[] = "V1.00";
inline constexpr char kSetupCfgFileName[] = "setup.cfg";

// The checked button of the vehicle-voltage radio group.
enum class CarVoltage { kNone, k12V, k24V };

// The device half of the settings dialog: what the card file holds, as the dialog's
// controls hold it (lists with a selected index, a check box, a radio group).
struct DeviceSettings {
  std::string modelName = kDeviceModelName;  // text of the selected model, "" for none
  std::string softwareVersion = kDefaultSoftwareVersion;
  std::string cardProductName;  // Product Name of the card file read last
  ChoiceList accTriggerLevel;   // 270, 161, 160, 159, 158, 157, 156
  ChoiceList recVideoQuality;   // 172, 171, 170 (file value index + 1)
  bool recAudioEnable = false;
  ChoiceList spkVol;         // 236, "Level 1" ... "Level 5"
  ChoiceList videoChannels;  // 175, 174 (file value index + 1)
  CarVoltage carBatteryVolt = CarVoltage::k12V;
  ChoiceList batteryCutOffVolt;  // 155 and six voltages of the vehicle voltage
  ChoiceList powerOffTimer;      // "6H", "12H", "24H", "48H" (file value index + 1)
  ChoiceList lcdOffTime;         // 214, 215, 216, 217, 220
};

// Fills every list with the choices of the "Tarvo" model (texts through `text`);
// nothing selected. The cut-off list follows carBatteryVolt.
void FillDeviceChoices(DeviceSettings& settings, const TextLookup& text);

// Rebuilds the cut-off list with the seven entries of the 12 V or the 24 V vehicle
// (string 155 first); nothing selected.
void RebuildCutOffList(ChoiceList& list, bool volt24, const TextLookup& text);

// The cut-off list as the settings dialog builds it for a model: the seven entries
// for "Tarvo", string 155 and the first four voltages for any other model name
// (also the empty name of no selection); nothing selected.
void RebuildCutOffListForModel(ChoiceList& list, bool volt24, const std::string& modelName, const TextLookup& text);

// A click on a vehicle-voltage radio button: checks it and rebuilds the cut-off list
// for that voltage, keeping the selected position (the first when none was selected).
void SelectVehicleVoltage(DeviceSettings& settings, bool volt24, const TextLookup& text);

// The per-model content of the lists that differ between models: quality and speaker
// volume always, LCD Off Time only for model index 0 (other models leave it empty).
// The refilled lists have no selection.
void ApplyModelRules(DeviceSettings& settings, int modelIndex, const TextLookup& text);

// Every list without selection, audio unchecked, 12 V checked.
void ClearDeviceSettings(DeviceSettings& settings);

// Clears, then applies the defaults: trigger 3, quality 3, audio on, speaker 3,
// two channels, 12 V with the cut-off list rebuilt and "11.9V", power off "12H",
// LCD entry 1, software version "V1.00".
void ApplyDeviceDefaults(DeviceSettings& settings, const TextLookup& text);

// The "Tarvo" lists with the defaults applied.
DeviceSettings MakeDefaultDeviceSettings(const TextLookup& text);

// Writes the twelve lines as the whole of `path`, replaced in one piece and flushed to
// the card (platform::WriteWholeFile). False when the file cannot be created or
// written, with the errno in `error`.
bool WriteSetupCfg(const std::filesystem::path& path, const DeviceSettings& settings, int* error = nullptr);

// Reads the card's file back into `settings` by line position and value range. False
// when the file cannot be opened (the caller then applies the defaults); true however
// many lines were usable.
bool ReadSetupCfg(const std::filesystem::path& path, DeviceSettings& settings, const TextLookup& text);
