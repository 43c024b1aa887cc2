#pragma once
// Deciding whether a recording can be played as it is, and rebuilding it into the
// temporary folder when it cannot: a cut-off recording is repaired, an intact one
// without sound gets a silent track. The input is only ever read.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sources/avi/ByteSource.h"
#include "tools/repair/AviRebuild.h"

namespace repair {

inline constexpr std::string_view kHeaderSuffix = "_hdlr";
inline constexpr std::string_view kBodySuffix = "_movi";
inline constexpr std::string_view kRepairSuffix = "_REPAIR.avi";
inline constexpr std::string_view kAddAudioSuffix = "_AddAudio.avi";

struct RecordingHead {
  uint32_t riffSize = 0;        // R: 0 when a power cut ended the recording
  uint32_t headerListSize = 0;  // S
  // The writing was cut off: R = 0, or the file ends before its sizes or its index.
  bool cutOff = false;
  // No sound: in the camera's own layout two streams, the second one text (the byte
  // at 232); in any other, no sound stream among its stream lists.
  bool noAudio = false;
  std::vector<uint8_t> bytes;  // the first 20 + S bytes
};

// Reads the first 20 + S bytes and walks the list headers of the rest; false when the
// head cannot be read whole.
bool ReadRecordingHead(ByteSource& input, RecordingHead& head);

// Played as it is: intact and with sound.
inline bool PlaysDirectly(const RecordingHead& head) { return !head.cutOff && !head.noAudio; }

// tempFolder/<name><suffix>, where a name holding "/" or ".." still stays inside
// tempFolder.
std::filesystem::path TemporaryPath(const std::filesystem::path& tempFolder, const std::string& fileName,
                                    std::string_view suffix);

// Whether a file of a temporary folder is one the rebuild makes: a header or body
// copy, a rebuilt recording, or one of those being written.
bool IsRebuildFileName(std::string_view name);

enum class PrepareResult {
  PlayDirectly,       // nothing to do: play the input
  Rebuilt,            // output holds the rebuilt recording
  Reused,             // an earlier _AddAudio.avi is still there
  NotReadable,        // the head of the input cannot be read
  CannotCreateFiles,  // kAppStrRepairFailed: the copies cannot be written, or the input read whole
  RebuildFailed,      // see rebuild
};

struct PrepareOutcome {
  PrepareResult result = PrepareResult::NotReadable;
  RebuildResult rebuild = RebuildResult::Rebuilt;
  std::filesystem::path output;
  // The errno of a failed write into the temporary folder (CannotCreateFiles, or
  // RebuildFailed with CannotWrite), 0 otherwise: ENOSPC tells a full disk.
  int writeError = 0;
};

// Copies the head and the rest of input into the header and body files, as a card
// recording (read only from start to end through the card library) needs before its
// rebuild; false, with neither file left, when either cannot be written whole (the
// errno in `writeError`) or the input fails to read before its end.
bool WriteTemporaryFiles(ByteSource& input, const RecordingHead& head, const std::filesystem::path& headerFile,
                         const std::filesystem::path& bodyFile, int* writeError = nullptr);

// The whole road for one recording: decision, rebuild. A local file (FileByteSource)
// is rebuilt straight from its own bytes; any other input (a card file) is first
// copied into the temporary header and body files. fileName names the temporary files.
PrepareOutcome PrepareRecording(ByteSource& input, const std::string& fileName,
                                const std::filesystem::path& tempFolder);

}  // namespace repair
