#include "tools/export/ExportMarks.h"

#include <algorithm>

#include "sources/CardConnection.h"

namespace clipexport {

bool ExportMarks::Set(ExportMark& mark, const RecordingEntry& entry, int32_t positionMs) {
  int64_t seconds = 0;
  if (!ClockOfName(entry.recordTime, seconds)) return false;
  mark.set = true;
  mark.clock = seconds * kUnitsPerSecond + int64_t{std::max(positionMs, 0)} * kUnitsPerMs;
  mark.fileName = entry.fileName;
  return true;
}

MarksOnRecording ExportMarks::On(const RecordingEntry& entry, int32_t durationMs) const {
  MarksOnRecording on;
  int64_t seconds = 0;
  if (!ClockOfName(entry.recordTime, seconds) || durationMs <= 0) return on;
  const int64_t begin = seconds * kUnitsPerSecond;
  const int64_t end = begin + int64_t{durationMs} * kUnitsPerMs;
  // A mark belongs to the recording it was set on (a mark at the very end of one
  // recording is not also the start of the next).
  const auto position = [&](const ExportMark& mark) {
    return static_cast<int32_t>((mark.clock - begin) / kUnitsPerMs);
  };
  if (start_.set && start_.fileName == entry.fileName) on.start = position(start_);
  if (end_.set && end_.fileName == entry.fileName) on.end = position(end_);
  if (Complete() && start_.clock < end_.clock && start_.clock < end && end_.clock > begin) {
    on.bandFrom = position(ExportMark{true, std::max(start_.clock, begin), {}});
    on.bandTo = position(ExportMark{true, std::min(end_.clock, end), {}});
  }
  return on;
}

std::vector<JobRecording> JobRecordingsOfRows(const std::vector<const RecordingEntry*>& rows, const void* cardBlock,
                                              std::shared_ptr<std::vector<unsigned char>>& block) {
  block.reset();
  if (cardBlock) {
    const auto* bytes = static_cast<const unsigned char*>(cardBlock);
    block = std::make_shared<std::vector<unsigned char>>(bytes, bytes + kCardConnectionSize);
  }
  std::vector<JobRecording> recordings;
  for (const RecordingEntry* entry : rows) {
    JobRecording r;
    if (entry && JobRecordingOf(*entry, block ? block->data() : nullptr, r)) recordings.push_back(std::move(r));
  }
  return recordings;
}

}  // namespace clipexport
