#include "sources/CardRecording.h"

#include "sources/avi/KovrByteSource.h"

namespace {

// Names handed to the card library are at most this long, as the camera's own are.
constexpr size_t kLongestCardPath = 260;

}  // namespace

repair::PrepareOutcome PrepareCardRecording(void* device, const RecordingEntry& entry,
                                            const std::filesystem::path& tempFolder) {
  repair::PrepareOutcome outcome;
  if (!device || entry.cardFileNumber <= 0 || entry.fileName.size() > kLongestCardPath) return outcome;
  KovrByteSource source(device, entry.fileName, entry.cardFileNumber);
  if (!source.IsOpen()) return outcome;
  // The temporary files are named after the card's name, which the repair keeps
  // inside the temporary folder whatever it holds.
  return repair::PrepareRecording(source, entry.fileName, tempFolder);
}
