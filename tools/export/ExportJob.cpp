#include "tools/export/ExportJob.h"

#include <algorithm>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"

namespace clipexport {

namespace {
// No dashcam recording lasts longer; older ones cannot hold the start.
constexpr int64_t kLongestRecording = int64_t{24} * 3600 * kUnitsPerSecond;
}  // namespace

bool JobRecordingOf(const RecordingEntry& entry, void* cardHandle, JobRecording& recording) {
  JobRecording r;
  if (!ClockOfName(entry.recordTime, r.clockStart)) return false;
  r.fileName = entry.fileName;
  if (entry.cardFileNumber > 0 && cardHandle) {
    r.path = entry.fileName;
    r.cardHandle = cardHandle;
    r.cardFileNumber = entry.cardFileNumber;
  } else {
    r.path = entry.path;
  }
  recording = std::move(r);
  return true;
}

std::unique_ptr<ByteSource> OpenJobRecording(const JobRecording& recording) {
  if (recording.OnCard()) {
    auto card = std::make_unique<KovrByteSource>(recording.cardHandle, recording.path, recording.cardFileNumber);
    if (!card->IsOpen()) return nullptr;
    return card;
  }
  auto file = std::make_unique<FileByteSource>();
  if (!file->Open(recording.path)) return nullptr;
  return file;
}

bool ReadTimeline(const JobRecording& recording, TimelineRecording& timeline, std::string& error) {
  const std::unique_ptr<ByteSource> bytes = OpenJobRecording(recording);
  if (!bytes) {
    error = "cannot read " + recording.fileName;
    return false;
  }
  avi::AviReader reader(*bytes);
  if (!reader.Open() || reader.Cameras().empty()) {
    error = recording.fileName + " is no recording with pictures";
    return false;
  }
  timeline = TimelineRecording{};
  timeline.fileName = recording.fileName;
  timeline.clockStart = recording.clockStart;
  timeline.duration = reader.Duration();
  timeline.cameras = reader.CameraCount();
  const int camera = reader.Cameras().front().id;
  for (const avi::ChunkEntry& chunk : reader.Chunks())
    if (chunk.kind == avi::ChunkKind::Video && chunk.camera == camera) timeline.frameTimes.push_back(chunk.time);
  // A damaged recording may list its pictures out of order; the range counts times.
  std::sort(timeline.frameTimes.begin(), timeline.frameTimes.end());
  return true;
}

bool PlanExport(std::vector<JobRecording> recordings, int64_t from, int64_t to, ExportPlan& plan, std::string& error) {
  plan = ExportPlan{};
  plan.from = from;
  plan.to = to;
  std::stable_sort(recordings.begin(), recordings.end(),
                   [](const JobRecording& a, const JobRecording& b) { return a.clockStart < b.clockStart; });
  const auto begin = [&](std::size_t i) { return recordings[i].clockStart * kUnitsPerSecond; };
  const auto add = [&](std::size_t i) {
    TimelineRecording timeline;
    if (!ReadTimeline(recordings[i], timeline, error)) return false;
    plan.recordings.push_back(recordings[i]);
    plan.timelines.push_back(std::move(timeline));
    return true;
  };
  // Only the recordings the range passes through are read. A list may hold event
  // recordings inside a normal drive; the range starts in the latest recording that
  // holds its start and goes on with the one that begins where the last one ends.
  std::size_t i = recordings.size();
  for (std::size_t k = recordings.size(); k-- > 0;) {
    if (begin(k) > from) continue;
    if (from - begin(k) > kLongestRecording) break;
    if (!add(k)) return false;
    if (from < begin(k) + plan.timelines.back().duration) {
      i = k;
      break;
    }
    plan.recordings.pop_back();
    plan.timelines.pop_back();
  }
  if (i == recordings.size()) {
    error = "no recording holds the start " + ClockText(from);
    return false;
  }
  while (to > begin(i) + plan.timelines.back().duration) {
    const int64_t end = begin(i) + plan.timelines.back().duration;
    std::size_t next = recordings.size();
    for (std::size_t k = i + 1; k < recordings.size() && begin(k) <= end + kConsecutiveTolerance; ++k)
      if (std::abs(begin(k) - end) <= kConsecutiveTolerance) {
        next = k;
        break;
      }
    if (next == recordings.size()) break;  // the range's plan says where the drive ends
    if (!add(next)) return false;
    i = next;
  }
  plan.range = PlanRange(plan.timelines, from, to);
  if (!plan.range.Ok()) {
    error = plan.range.error;
    return false;
  }
  return true;
}

}  // namespace clipexport
