#pragma once
// The inside of the stream-parse source element: loading, pads, the streaming task,
// seeks and queries. StreamParseSource.cpp wraps it as a GStreamer element.

#include <gst/base/gstflowcombiner.h>
#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"

namespace playback {

class StreamParseFilter final : public StreamParseControl, public FileSource {
 public:
  explicit StreamParseFilter(GstElement* element);
  ~StreamParseFilter() override;
  StreamParseFilter(const StreamParseFilter&) = delete;
  StreamParseFilter& operator=(const StreamParseFilter&) = delete;

  // StreamParseControl
  void SetSourceOption(bool option) override;
  void SetCardSource(void* cardHandle, std::int32_t fileNumber) override;
  int ReadTelemetryRecord(char* buffer, std::int32_t* size, std::int32_t* recordTime) override;
  std::int64_t NeighbourPictureTime(std::int64_t time, int direction) override;
  // FileSource
  HResult Load(const std::string& path) override;

  // Element state changes, called around the parent class's change.
  bool Loaded() const { return loaded_.load(); }
  void Start();     // READY -> PAUSED, after the pads were activated
  void StopTask();  // pad deactivation

  bool HandleSeek(GstEvent* event);
  gboolean HandleQuery(GstPad* pad, GstQuery* query);

 private:
  struct OutStream {
    GstPad* pad = nullptr;  // owned by the element
    bool audio = false;
    int camera = -1;
    CapsRef caps;
    bool started = false;  // stream-start and caps sent
    bool segmentPending = true;
    bool needKey = true;
    bool eos = false;
  };

  static void TaskLoop(gpointer self);
  void Loop();
  void PushEosAll();
  void PauseOnFlow(GstFlowReturn flow);
  OutStream* StreamOfChunk(const avi::ChunkEntry& chunk);
  void SendHeaders(OutStream& stream);
  GstClockTime ChunkDuration(const avi::ChunkEntry& chunk) const;
  static std::string PadNameOf(const OutStream& stream);
  GstPad* TaskPad() const { return streams_.empty() ? nullptr : streams_.front().pad; }

  GstElement* element_;
  std::mutex configMutex_;  // source option, card source, Load
  bool sourceOption_ = false;
  void* cardHandle_ = nullptr;
  std::int32_t cardFileNumber_ = -1;
  std::atomic<bool> loaded_{false};

  std::shared_ptr<ByteSource> bytes_;
  // The readers refer to these views of bytes_; they live exactly as long.
  std::unique_ptr<ByteSource> streamingView_;
  std::unique_ptr<ByteSource> telemetryView_;
  // Streaming side: used by the task, and by seeks while the task is paused.
  std::unique_ptr<avi::AviReader> reader_;
  std::vector<OutStream> streams_;  // fixed once loaded
  // The first camera's picture times in file order, fixed once loaded (frame steps).
  std::vector<std::int64_t> pictureTimes_;
  GstFlowCombiner* combiner_ = nullptr;
  GstSegment segment_{};
  guint32 segmentSeqnum_ = 0;
  std::size_t nextChunk_ = 0;
  std::uint32_t groupId_ = 0;
  GstClockTime frameDuration_ = GST_CLOCK_TIME_NONE;

  std::mutex seekMutex_;
  guint32 lastSeekSeqnum_ = GST_SEQNUM_INVALID;

  std::atomic<std::int64_t> duration_{0};  // ns
  std::atomic<std::int64_t> position_{0};  // ns, last pushed

  // Telemetry side: its own reader over the same bytes, so that the record call never
  // moves the streaming task's place.
  std::mutex telemetryMutex_;
  std::unique_ptr<avi::AviReader> telemetryReader_;
  std::unique_ptr<avi::AviTelemetrySource> telemetry_;
};

}  // namespace playback
