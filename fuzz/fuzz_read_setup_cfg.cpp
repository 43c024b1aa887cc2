// The dashcam's settings file (setup.cfg) as any bytes, read as the settings dialog
// reads a card's; what it makes of them is written and read back unchanged.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "device/DeviceSettings.h"
#include "fuzz/FuzzSupport.h"
#include "settings/TextParsing.h"

namespace {

std::string Text(int number) { return "text " + std::to_string(number); }

bool SameLists(const DeviceSettings& a, const DeviceSettings& b) {
  const ChoiceList DeviceSettings::*lists[] = {
      &DeviceSettings::accTriggerLevel, &DeviceSettings::recVideoQuality,   &DeviceSettings::spkVol,
      &DeviceSettings::videoChannels,   &DeviceSettings::batteryCutOffVolt, &DeviceSettings::powerOffTimer,
      &DeviceSettings::lcdOffTime};
  for (const auto list : lists)
    if ((a.*list).entries != (b.*list).entries || (a.*list).selected != (b.*list).selected) return false;
  // A value is written up to its first line break (the file's lines must stay whole)
  // and read back without control characters at its ends.
  return a.modelName == b.modelName && TrimControlChars(SingleLineText(a.softwareVersion)) == b.softwareVersion &&
         a.recAudioEnable == b.recAudioEnable && a.carBatteryVolt == b.carBatteryVolt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::MemoryFile file(data, size);
  DeviceSettings first = MakeDefaultDeviceSettings(Text);
  if (!ReadSetupCfg(file.Path(), first, Text)) std::abort();
  for (const ChoiceList* list : {&first.accTriggerLevel, &first.recVideoQuality, &first.spkVol, &first.videoChannels,
                                 &first.batteryCutOffVolt, &first.powerOffTimer, &first.lcdOffTime})
    if (list->selected < -1 || list->selected >= list->Count()) std::abort();
  // Written where a file can be replaced: the writer renames its new file into place.
  const std::filesystem::path copy = fuzzsupport::ScratchFolder() / "copy";
  if (!WriteSetupCfg(copy, first)) return 0;
  DeviceSettings second = MakeDefaultDeviceSettings(Text);
  if (!ReadSetupCfg(copy, second, Text)) std::abort();
  if (!SameLists(first, second)) std::abort();
  return 0;
}
