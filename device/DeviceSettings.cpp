#include "device/DeviceSettings.h"

#include <array>
#include <cstdio>
#include <system_error>

#include "device/CardTextFile.h"
#include "platform/WholeFile.h"
#include "settings/StringIds.h"
#include "settings/TextParsing.h"

namespace {

constexpr std::array<const char*, 12> kLabels = {
    "Product Name            : ", "H/W Version             : ", "S/W Version             : ",
    "Acc Trigger Level       : ", "REC Video Qulity        : ", "REC Audio Enable        : ",
    "SPK Vol                 : ", "Video Channles          : ", "Car Battery Volt        : ",
    "Battery CutOff Volt     : ", "Power Off Timer         : ", "LCD Off Time            : "};

// Where the value starts: every label is 24 characters, a colon and a blank.
constexpr std::size_t kValueColumn = 26;

enum Position {
  kProductName = 0,
  kHwVersion,
  kSwVersion,
  kAccTriggerLevel,
  kRecVideoQuality,
  kRecAudioEnable,
  kSpkVol,
  kVideoChannels,
  kCarBatteryVolt,
  kBatteryCutOffVolt,
  kPowerOffTimer,
  kLcdOffTime
};

constexpr std::array<const char*, 6> kCutOff12V = {"11.5V", "11.7V", "11.9V", "12.1V", "12.3V", "12.5V"};
constexpr std::array<const char*, 6> kCutOff24V = {"23.0V", "23.4V", "23.8V", "24.2V", "24.3V", "24.4V"};

void SelectIndex(ChoiceList& list, int value) { list.Select(value); }

// For the lists written as index + 1.
void SelectOneBased(ChoiceList& list, int value, int highest) {
  if (value >= 1 && value <= highest) list.Select(value - 1);
}

void ApplyLine(int position, const std::string& value, DeviceSettings& s, const TextLookup& text) {
  const int number = AtoiValue(value);
  switch (position) {
    case kProductName:
      s.cardProductName = value;
      break;
    case kHwVersion:
      break;
    case kSwVersion:
      if (s.cardProductName == s.modelName) s.softwareVersion = value;
      break;
    case kAccTriggerLevel:
      SelectIndex(s.accTriggerLevel, number);
      break;
    case kRecVideoQuality:
      SelectOneBased(s.recVideoQuality, number, 3);
      break;
    case kRecAudioEnable:
      s.recAudioEnable = number != 0;
      break;
    case kSpkVol:
      SelectIndex(s.spkVol, number);
      break;
    case kVideoChannels:
      SelectOneBased(s.videoChannels, number, 2);
      break;
    case kCarBatteryVolt:
      s.carBatteryVolt = number != 0 ? CarVoltage::k24V : CarVoltage::k12V;
      RebuildCutOffList(s.batteryCutOffVolt, number != 0, text);
      break;
    case kBatteryCutOffVolt:
      SelectIndex(s.batteryCutOffVolt, number);
      break;
    case kPowerOffTimer:
      SelectOneBased(s.powerOffTimer, number, 4);
      break;
    case kLcdOffTime:
      SelectIndex(s.lcdOffTime, number);
      break;
    default:
      break;  // later lines are read and ignored
  }
}

}  // namespace

void RebuildCutOffList(ChoiceList& list, bool volt24, const TextLookup& text) {
  list.Clear();
  list.Add(text(kStrCutOffNone));
  for (const char* volts : volt24 ? kCutOff24V : kCutOff12V) list.Add(volts);
}

void RebuildCutOffListForModel(ChoiceList& list, bool volt24, const std::string& modelName, const TextLookup& text) {
  RebuildCutOffList(list, volt24, text);
  if (modelName != kDeviceModelName) list.entries.resize(5);
}

void SelectVehicleVoltage(DeviceSettings& s, bool volt24, const TextLookup& text) {
  const int keep = s.batteryCutOffVolt.selected < 0 ? 0 : s.batteryCutOffVolt.selected;
  s.carBatteryVolt = volt24 ? CarVoltage::k24V : CarVoltage::k12V;
  RebuildCutOffListForModel(s.batteryCutOffVolt, volt24, s.modelName, text);
  s.batteryCutOffVolt.Select(keep);
}

void ApplyModelRules(DeviceSettings& s, int modelIndex, const TextLookup& text) {
  s.spkVol.Clear();
  s.recVideoQuality.Clear();
  s.lcdOffTime.Clear();
  s.recVideoQuality.Add(text(kStrQualityLow));
  if (modelIndex == 0) {
    for (int number : {kStrLcdAlwaysOn, kStrLcd1Minute, kStrLcd3Minutes, kStrLcd5Minutes, kStrLcd10Minutes})
      s.lcdOffTime.Add(text(number));
    s.spkVol.Add(text(kStrSpeakerMute));
    s.recVideoQuality.Add(text(kStrQualityMedium));
  }
  for (const char* level : {"Level 1", "Level 2", "Level 3", "Level 4", "Level 5"}) s.spkVol.Add(level);
  s.recVideoQuality.Add(text(kStrQualityHigh));
}

void FillDeviceChoices(DeviceSettings& s, const TextLookup& text) {
  s.accTriggerLevel.Clear();
  for (int number : {kStrTriggerOff, kStrTriggerVeryLow, kStrTriggerLow, kStrTriggerMedium, kStrTriggerHigh,
                     kStrTriggerVeryHigh, kStrTriggerHighest})
    s.accTriggerLevel.Add(text(number));
  ApplyModelRules(s, 0, text);
  s.videoChannels.Clear();
  for (int number : {kStrChannelsOne, kStrChannelsTwo}) s.videoChannels.Add(text(number));
  RebuildCutOffList(s.batteryCutOffVolt, s.carBatteryVolt == CarVoltage::k24V, text);
  s.powerOffTimer.Clear();
  for (const char* hours : {"6H", "12H", "24H", "48H"}) s.powerOffTimer.Add(hours);
}

void ClearDeviceSettings(DeviceSettings& s) {
  for (ChoiceList* list : {&s.accTriggerLevel, &s.recVideoQuality, &s.spkVol, &s.videoChannels, &s.batteryCutOffVolt,
                           &s.powerOffTimer, &s.lcdOffTime})
    list->selected = -1;
  s.recAudioEnable = false;
  s.carBatteryVolt = CarVoltage::k12V;
}

void ApplyDeviceDefaults(DeviceSettings& s, const TextLookup& text) {
  ClearDeviceSettings(s);
  s.softwareVersion = kDefaultSoftwareVersion;
  s.accTriggerLevel.Select(3);
  s.recVideoQuality.Select(2);
  s.recAudioEnable = true;
  s.spkVol.Select(3);
  s.videoChannels.Select(1);
  s.carBatteryVolt = CarVoltage::k12V;
  RebuildCutOffList(s.batteryCutOffVolt, false, text);
  s.batteryCutOffVolt.Select(3);
  s.powerOffTimer.Select(1);
  s.lcdOffTime.Select(1);
}

DeviceSettings MakeDefaultDeviceSettings(const TextLookup& text) {
  DeviceSettings s;
  FillDeviceChoices(s, text);
  ApplyDeviceDefaults(s, text);
  return s;
}

bool WriteSetupCfg(const std::filesystem::path& path, const DeviceSettings& s, int* error) {
  // A list without selection writes -1, or 0 where the file counts from 1.
  const auto index = [](const ChoiceList& list) { return std::to_string(list.selected); };
  const auto oneBased = [](const ChoiceList& list) {
    return std::to_string(list.selected < 0 ? 0 : list.selected + 1);
  };
  const std::array<std::string, 12> values = {s.modelName,
                                              kHardwareVersion,
                                              s.softwareVersion,
                                              index(s.accTriggerLevel),
                                              oneBased(s.recVideoQuality),
                                              s.recAudioEnable ? "1" : "0",
                                              index(s.spkVol),
                                              oneBased(s.videoChannels),
                                              s.carBatteryVolt == CarVoltage::k12V ? "0" : "1",
                                              index(s.batteryCutOffVolt),
                                              oneBased(s.powerOffTimer),
                                              index(s.lcdOffTime)};
  std::string bytes;
  for (std::size_t i = 0; i < values.size(); ++i) {
    bytes += kLabels[i];
    bytes += SingleLineText(values[i]);
    bytes += "\r\n";
  }
  return platform::WriteWholeFile(path, bytes, error);
}

bool ReadSetupCfg(const std::filesystem::path& path, DeviceSettings& settings, const TextLookup& text) {
  CardTextFile file;
  if (!file.Open(path)) return false;
  DeviceSettings parsed = settings;
  // The software version only ever comes from the card being read, never from a
  // card read earlier in the same dialog.
  parsed.cardProductName.clear();
  parsed.softwareVersion = kDefaultSoftwareVersion;
  std::string line;
  std::size_t length = 0;
  for (int position = 0; file.ReadLine(line, length); ++position) {
    if (length <= kValueColumn) break;
    const std::string value =
        TrimControlChars(UpToNul(std::string_view(line).substr(std::min(kValueColumn, line.size()))));
    ApplyLine(position, value, parsed, text);
  }
  settings = std::move(parsed);
  return true;
}
