// The dashcam's clock file (time.cfg) as any bytes, read as the settings dialog reads
// a card's; a clock it sets completely is written and read back unchanged.

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "device/DeviceClock.h"
#include "fuzz/FuzzSupport.h"

namespace {

const ChoiceList DeviceClock::*const kLists[] = {&DeviceClock::year, &DeviceClock::month,  &DeviceClock::day,
                                                 &DeviceClock::hour, &DeviceClock::minute, &DeviceClock::second};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::MemoryFile file(data, size);
  DeviceClock first = MakeDeviceClock();
  if (!ReadTimeCfg(file.Path(), first)) std::abort();
  bool complete = true;
  for (const auto list : kLists) {
    if ((first.*list).selected < -1 || (first.*list).selected >= (first.*list).Count()) std::abort();
    complete = complete && (first.*list).selected >= 0;
  }
  if (!complete) return 0;
  // Written where a file can be replaced: the writer renames its new file into place.
  const std::filesystem::path copy = fuzzsupport::ScratchFolder() / "copy";
  if (!WriteTimeCfg(copy, first)) return 0;
  DeviceClock second = MakeDeviceClock();
  if (!ReadTimeCfg(copy, second)) std::abort();
  for (const auto list : kLists)
    if ((first.*list).selected != (second.*list).selected) std::abort();
  return 0;
}
