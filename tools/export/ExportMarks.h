#pragma once
// The start and end marks the viewer sets for an export (keys I and O, or the menu),
// kept as camera-clock times so that they stay right however the list is filtered or
// sorted, and where they fall on the recording being played (for the seek bar).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sources/RecordingEntry.h"
#include "tools/export/ExportJob.h"

namespace clipexport {

struct ExportMark {
  bool set = false;
  int64_t clock = 0;     // 100 ns on the camera clock
  std::string fileName;  // the recording it was set on
};

// Where the marks lie on one recording, in milliseconds from its start; -1 where a
// mark is on another recording, or the range does not reach this one.
struct MarksOnRecording {
  int32_t start = -1;
  int32_t end = -1;
  int32_t bandFrom = -1;  // the part of the range this recording holds
  int32_t bandTo = -1;
  bool operator==(const MarksOnRecording&) const = default;
};

class ExportMarks {
 public:
  // Sets the mark at `positionMs` of `entry`; false (mark kept) when the entry's
  // name holds no date and time.
  bool SetStart(const RecordingEntry& entry, int32_t positionMs) { return Set(start_, entry, positionMs); }
  bool SetEnd(const RecordingEntry& entry, int32_t positionMs) { return Set(end_, entry, positionMs); }
  void Clear() { start_ = end_ = ExportMark{}; }

  const ExportMark& Start() const { return start_; }
  const ExportMark& End() const { return end_; }
  bool Complete() const { return start_.set && end_.set; }

  // The marks on `entry`, a recording of `durationMs`.
  MarksOnRecording On(const RecordingEntry& entry, int32_t durationMs) const;

 private:
  static bool Set(ExportMark& mark, const RecordingEntry& entry, int32_t positionMs);
  ExportMark start_;
  ExportMark end_;
};

// The recordings of the list's rows for an export. Files on a card get their own copy
// of the card connection's block (it only names the connection), held by `block`, so
// the export may outlive the list and the card connection it came from.
std::vector<JobRecording> JobRecordingsOfRows(const std::vector<const RecordingEntry*>& rows, const void* cardBlock,
                                              std::shared_ptr<std::vector<unsigned char>>& block);

}  // namespace clipexport
