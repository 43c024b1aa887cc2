#pragma once
// The recordings an export reads and the plan of the range over them: which part of
// which recording goes into the clip. The viewer fills the recordings from its list
// (files, or files on the open card), tarvo-tool from the paths it is given.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sources/RecordingEntry.h"
#include "sources/avi/ByteSource.h"
#include "tools/export/ExportRange.h"

namespace clipexport {

struct JobRecording {
  std::string fileName;  // as the list shows it
  std::string path;      // the file; for a file on a card, its name there
  // For a file on a card: the card connection's block and the file's number.
  void* cardHandle = nullptr;
  int32_t cardFileNumber = -1;
  int64_t clockStart = 0;  // camera clock at the start, from the name (seconds)

  bool OnCard() const { return cardHandle != nullptr; }
};

// A recording of the list, or false when its name holds no date and time.
bool JobRecordingOf(const RecordingEntry& entry, void* cardHandle, JobRecording& recording);

// The recording's bytes, from the file or through the card library; null when it
// cannot be opened.
std::unique_ptr<ByteSource> OpenJobRecording(const JobRecording& recording);

// Reads the recording's length and its first camera's frame times.
bool ReadTimeline(const JobRecording& recording, TimelineRecording& timeline, std::string& error);

struct ExportPlan {
  std::vector<JobRecording> recordings;  // the recordings the parts refer to
  std::vector<TimelineRecording> timelines;
  RangePlan range;
  int64_t from = 0;  // the range asked for, 100 ns on the camera clock
  int64_t to = 0;
  // The recording, position (to the millisecond) and clock time of the range's
  // first frame.
  const JobRecording& FirstRecording() const { return recordings[range.parts.front().recording]; }
  int32_t FirstFrameMs() const { return static_cast<int32_t>(RoundToMs(range.parts.front().start) / kUnitsPerMs); }
  int64_t FirstFrameClock() const {
    return FirstRecording().clockStart * kUnitsPerSecond + int64_t{FirstFrameMs()} * kUnitsPerMs;
  }
};

// Plans [from, to) over `recordings` (in any order). Only the recordings whose names
// put them near the range are read. False with `error` when the range cannot be
// laid over them.
bool PlanExport(std::vector<JobRecording> recordings, int64_t from, int64_t to, ExportPlan& plan, std::string& error);

}  // namespace clipexport
