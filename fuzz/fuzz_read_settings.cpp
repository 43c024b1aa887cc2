// The viewer's settings file (config/option.ini) as any bytes: read over the defaults,
// the language and the jump step within their ranges, written back and read again, which must give the
// same settings.

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "settings/TextParsing.h"
#include "settings/ViewerSettings.h"

namespace {

bool Same(const ViewerSettings& a, const ViewerSettings& b) {
  // A value is written up to its first line break (the file's lines must stay whole)
  // and read back without control characters at its ends.
  return TrimControlChars(SingleLineText(a.saveDirectory)) == b.saveDirectory && a.playValue == b.playValue &&
         a.rearMirror == b.rearMirror && a.language == b.language && a.defaultLanguage == b.defaultLanguage &&
         a.model == b.model && a.speedInMiles == b.speedInMiles &&
         TrimControlChars(SingleLineText(a.timeZone)) == b.timeZone;
}

// Whatever the file says, the viewer never runs with a language that has no library
// (every label blank) or a jump step that stands still or goes the wrong way.
bool WithinRanges(const ViewerSettings& s) {
  return s.language >= kFirstLanguage && s.language <= kLastLanguage && s.playValue >= kShortestJump;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An empty SAVE_DIRECTORY makes the capture folder under the documents folder.
  ::setenv("HOME", fuzzsupport::ScratchFolder().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", fuzzsupport::ScratchFolder().c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::MemoryFile file(data, size);
  ViewerSettings first;
  first.saveDirectory = "/captures";                    // the viewer's record always names a folder
  if (!ReadSettings(file.Path(), first)) std::abort();  // a readable file always reads
  if (!WithinRanges(first)) std::abort();
  // Written where a file can be replaced: the writer renames its new file into place.
  const std::filesystem::path copy = fuzzsupport::ScratchFolder() / "copy";
  if (!WriteSettings(copy, first)) return 0;
  ViewerSettings second;
  second.playValue = -12345;  // not a default: the file must set every field again
  second.saveDirectory = "unset";
  if (!ReadSettings(copy, second)) std::abort();
  if (!Same(first, second)) std::abort();
  return 0;
}
