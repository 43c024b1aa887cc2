#include "playback/StreamParseFilter.h"

#include <algorithm>
#include <cstring>

#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"

namespace playback {

// Sets the source pads' event, query and activation functions (StreamParseSource.cpp).
void InstallPadFunctions(GstPad* pad);

namespace {

constexpr GstClockTime kNsPerUnit = 100;  // the reader's times are in 100-ns units
constexpr std::uint32_t kAacFrameSamples = 1024;
constexpr int kMaxCameras = 4;

// Serialises reads of a byte source shared by the streaming and the telemetry readers:
// a card file is not safe to read from two threads at once.
class LockedByteSource final : public ByteSource {
 public:
  explicit LockedByteSource(std::unique_ptr<ByteSource> inner) : inner_(std::move(inner)) {}
  int64_t Size() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_->Size();
  }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_->ReadAt(offset, buffer, count);
  }

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<ByteSource> inner_;
};

// A ByteSource view that other readers share without owning it.
class SharedByteSource final : public ByteSource {
 public:
  explicit SharedByteSource(std::shared_ptr<ByteSource> inner) : inner_(std::move(inner)) {}
  int64_t Size() const override { return inner_->Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override { return inner_->ReadAt(offset, buffer, count); }

 private:
  std::shared_ptr<ByteSource> inner_;
};

std::mutex& FactoryMutex() {
  static std::mutex mutex;
  return mutex;
}
CardByteSourceFactory& CardFactory() {
  static CardByteSourceFactory factory;
  return factory;
}

GstCaps* VideoCaps(const avi::VideoFormat& format, const avi::CameraInfo& camera, double frameRate) {
  gint num = 0, den = 1;
  gst_util_double_to_fraction(frameRate > 0 ? frameRate : 30.0, &num, &den);
  GstCaps* caps = nullptr;
  switch (format.codec) {
    case avi::VideoCodec::H264:
    case avi::VideoCodec::None:
      caps = gst_caps_new_simple("video/x-h264", "stream-format", G_TYPE_STRING, "byte-stream", "alignment",
                                 G_TYPE_STRING, "au", nullptr);
      break;
    case avi::VideoCodec::Mjpeg:
      caps = gst_caps_new_empty_simple("image/jpeg");
      break;
    case avi::VideoCodec::Mpeg4:
      caps = gst_caps_new_simple("video/mpeg", "mpegversion", G_TYPE_INT, 4, "systemstream", G_TYPE_BOOLEAN, FALSE,
                                 nullptr);
      if (!format.config.empty()) {
        BufferRef config(gst_buffer_new_memdup(format.config.data(), format.config.size()));
        gst_caps_set_simple(caps, "codec_data", GST_TYPE_BUFFER, config.get(), nullptr);
      }
      break;
    case avi::VideoCodec::Unknown: {
      // No decoder takes these; the graph tells the user which code it was.
      const std::string code(avi::FourCcText(format.fourCc));
      caps = gst_caps_new_simple(kUnsupportedVideoCaps, "fourcc", G_TYPE_STRING, code.c_str(), nullptr);
      break;
    }
  }
  gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, num, den, nullptr);
  if (camera.width > 0 && camera.height > 0)
    gst_caps_set_simple(caps, "width", G_TYPE_INT, camera.width, "height", G_TYPE_INT, camera.height, nullptr);
  return caps;
}

// Null for a sound codec that is not played: the recording then plays without sound.
GstCaps* AudioCaps(const avi::AudioFormat& audio) {
  const int rate = static_cast<int>(std::min<std::uint32_t>(audio.sampleRate, 384000));
  const int channels = std::max(1, static_cast<int>(audio.channels));
  switch (audio.kind) {
    case avi::AudioKind::Pcm: {
      if (audio.bitsPerSample != 8 && audio.bitsPerSample != 16) return nullptr;
      const char* format = audio.bitsPerSample == 8 ? "U8" : "S16LE";
      return gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, format, "layout", G_TYPE_STRING, "interleaved",
                                 "rate", G_TYPE_INT, rate, "channels", G_TYPE_INT, channels, nullptr);
    }
    case avi::AudioKind::Aac: {
      GstCaps* caps = gst_caps_new_simple("audio/mpeg", "mpegversion", G_TYPE_INT, 4, "rate", G_TYPE_INT, rate,
                                          "channels", G_TYPE_INT, channels, nullptr);
      // Raw frames with their configuration; without one they carry ADTS headers,
      // which the decoder's parser reads.
      if (!audio.config.empty()) {
        BufferRef config(gst_buffer_new_memdup(audio.config.data(), audio.config.size()));
        gst_caps_set_simple(caps, "stream-format", G_TYPE_STRING, "raw", "codec_data", GST_TYPE_BUFFER, config.get(),
                            nullptr);
      }
      return caps;
    }
    case avi::AudioKind::Mp3:
      return gst_caps_new_simple("audio/mpeg", "mpegversion", G_TYPE_INT, 1, "rate", G_TYPE_INT, rate, "channels",
                                 G_TYPE_INT, channels, nullptr);
    case avi::AudioKind::ImaAdpcm:
      if (audio.blockAlign == 0) return nullptr;
      return gst_caps_new_simple("audio/x-adpcm", "layout", G_TYPE_STRING, "dvi", "block_align", G_TYPE_INT,
                                 static_cast<int>(audio.blockAlign), "rate", G_TYPE_INT, rate, "channels", G_TYPE_INT,
                                 channels, nullptr);
    case avi::AudioKind::None:
    case avi::AudioKind::Unknown:
      break;
  }
  return nullptr;
}

}  // namespace

void SetCardByteSourceFactory(CardByteSourceFactory factory) {
  std::lock_guard<std::mutex> lock(FactoryMutex());
  CardFactory() = std::move(factory);
}

StreamParseFilter::StreamParseFilter(GstElement* element) : element_(element) {
  combiner_ = gst_flow_combiner_new();
  gst_segment_init(&segment_, GST_FORMAT_TIME);
}

StreamParseFilter::~StreamParseFilter() { gst_flow_combiner_free(combiner_); }

void StreamParseFilter::SetSourceOption(bool option) {
  std::lock_guard<std::mutex> lock(configMutex_);
  sourceOption_ = option;
}

void StreamParseFilter::SetCardSource(void* cardHandle, std::int32_t fileNumber) {
  std::lock_guard<std::mutex> lock(configMutex_);
  cardHandle_ = cardHandle;
  cardFileNumber_ = fileNumber;
}

HResult StreamParseFilter::Load(const std::string& path) {
  std::lock_guard<std::mutex> lock(configMutex_);
  if (loaded_.load()) return kVfwEWrongState;
  if (path.empty()) return kEPointer;
  std::unique_ptr<ByteSource> raw;
  if (cardHandle_) {
    CardByteSourceFactory factory;
    {
      std::lock_guard<std::mutex> factoryLock(FactoryMutex());
      factory = CardFactory();
    }
    if (factory) {
      raw = factory(cardHandle_, cardFileNumber_, path);
    } else {
      auto card = std::make_unique<KovrByteSource>(cardHandle_, path, cardFileNumber_);
      if (card->IsOpen()) raw = std::move(card);
    }
  } else {
    auto file = std::make_unique<FileByteSource>();
    if (file->Open(path)) raw = std::move(file);
  }
  if (!raw) return kEFail;

  // Everything is parsed into locals first; the element changes only on success.
  auto bytes = std::make_shared<LockedByteSource>(std::move(raw));
  auto streamingBytes = std::make_unique<SharedByteSource>(bytes);
  auto reader = std::make_unique<avi::AviReader>(*streamingBytes);
  if (!reader->Open()) return kEFail;
  // Work out cameras and times now rather than in the middle of the first play.
  reader->Chunks();
  const std::vector<avi::CameraInfo> cameras = reader->Cameras();
  if (cameras.size() > static_cast<std::size_t>(kMaxCameras)) return kEFail;
  auto telemetryBytes = std::make_unique<SharedByteSource>(bytes);
  auto telemetryReader = std::make_unique<avi::AviReader>(*telemetryBytes);
  if (!telemetryReader->Open()) return kEFail;

  std::vector<std::int64_t> pictureTimes;
  if (!cameras.empty()) {
    for (const avi::ChunkEntry& chunk : reader->Chunks())
      if (chunk.kind == avi::ChunkKind::Video && chunk.camera == cameras.front().id && chunk.size > 0)
        pictureTimes.push_back(chunk.time);
    // A damaged index may list pictures out of order; a step goes by time.
    std::sort(pictureTimes.begin(), pictureTimes.end());
    pictureTimes.erase(std::unique(pictureTimes.begin(), pictureTimes.end()), pictureTimes.end());
  }

  std::vector<OutStream> streams;
  CapsRef audioCaps(AudioCaps(reader->Audio()));
  if (audioCaps && reader->CountChunks(avi::ChunkKind::Audio) > 0) {
    OutStream audio;
    audio.audio = true;
    audio.caps = std::move(audioCaps);
    audio.needKey = false;
    streams.push_back(std::move(audio));
  }
  for (const avi::CameraInfo& camera : cameras) {
    OutStream video;
    video.camera = camera.id;
    video.caps.reset(VideoCaps(reader->Video(), camera, reader->FrameRate()));
    streams.push_back(std::move(video));
  }
  GstPadTemplate* templ = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(element_), "src_%s");
  int videoNumber = 0;
  for (OutStream& s : streams) {
    std::string name = s.audio ? "Audio" : "Video" + std::to_string(++videoNumber);
    s.pad = gst_pad_new_from_template(templ, name.c_str());
    InstallPadFunctions(s.pad);
  }

  frameDuration_ = reader->FrameDuration() > 0 ? static_cast<GstClockTime>(reader->FrameDuration()) * kNsPerUnit
                                               : GST_CLOCK_TIME_NONE;
  duration_ = reader->Duration() * static_cast<std::int64_t>(kNsPerUnit);
  bytes_ = bytes;
  reader_ = std::move(reader);
  telemetryReader_ = std::move(telemetryReader);
  telemetry_ = std::make_unique<avi::AviTelemetrySource>(*telemetryReader_);
  // The readers keep references to their views; keep the views alive with them.
  streamingView_ = std::move(streamingBytes);
  telemetryView_ = std::move(telemetryBytes);
  streams_ = std::move(streams);
  pictureTimes_ = std::move(pictureTimes);
  for (OutStream& s : streams_) {
    gst_pad_set_element_private(s.pad, this);
    gst_element_add_pad(element_, s.pad);
    gst_flow_combiner_add_pad(combiner_, s.pad);
  }
  gst_element_no_more_pads(element_);
  loaded_ = true;
  return kSOk;
}

int StreamParseFilter::ReadTelemetryRecord(char* buffer, std::int32_t* size, std::int32_t* recordTime) {
  std::lock_guard<std::mutex> lock(telemetryMutex_);
  // Nothing loaded means nothing to deliver, not "try again": a caller looping until
  // the end would otherwise never stop.
  if (!telemetry_) return kEndOfRecords;
  return telemetry_->ReadTelemetryRecord(buffer, size, recordTime);
}

std::int64_t StreamParseFilter::NeighbourPictureTime(std::int64_t time, int direction) {
  // Written once by Load before loaded_ is set, never again.
  if (!loaded_.load() || pictureTimes_.empty() || direction == 0) return -1;
  const auto after = std::upper_bound(pictureTimes_.begin(), pictureTimes_.end(), time);
  // Before the first picture the first one is shown.
  const std::ptrdiff_t shown = std::max<std::ptrdiff_t>(after - pictureTimes_.begin() - 1, 0);
  const std::ptrdiff_t wanted = shown + (direction > 0 ? 1 : -1);
  if (wanted < 0 || wanted >= static_cast<std::ptrdiff_t>(pictureTimes_.size())) return -1;
  return pictureTimes_[static_cast<std::size_t>(wanted)];
}

void StreamParseFilter::Start() {
  GstPad* taskPad = TaskPad();
  if (!taskPad) return;
  GST_PAD_STREAM_LOCK(taskPad);
  gst_segment_init(&segment_, GST_FORMAT_TIME);
  segment_.duration = static_cast<guint64>(duration_.load());
  segmentSeqnum_ = gst_util_seqnum_next();
  nextChunk_ = 0;
  groupId_ = gst_util_group_id_next();
  for (OutStream& s : streams_) {
    s.segmentPending = true;
    s.needKey = !s.audio;
    s.eos = false;
  }
  gst_flow_combiner_reset(combiner_);
  GST_PAD_STREAM_UNLOCK(taskPad);
  gst_pad_start_task(taskPad, &StreamParseFilter::TaskLoop, this, nullptr);
}

void StreamParseFilter::StopTask() {
  if (GstPad* taskPad = TaskPad()) gst_pad_stop_task(taskPad);
}

void StreamParseFilter::TaskLoop(gpointer self) { static_cast<StreamParseFilter*>(self)->Loop(); }

StreamParseFilter::OutStream* StreamParseFilter::StreamOfChunk(const avi::ChunkEntry& chunk) {
  for (OutStream& s : streams_) {
    if (chunk.kind == avi::ChunkKind::Audio && s.audio && chunk.stream == reader_->AudioStream()) return &s;
    if (chunk.kind == avi::ChunkKind::Video && !s.audio && s.camera == chunk.camera) return &s;
  }
  return nullptr;
}

GstClockTime StreamParseFilter::ChunkDuration(const avi::ChunkEntry& chunk) const {
  if (chunk.kind == avi::ChunkKind::Video) return frameDuration_;
  const avi::AudioFormat& audio = reader_->Audio();
  if (audio.sampleRate == 0) return GST_CLOCK_TIME_NONE;
  if (audio.kind == avi::AudioKind::Aac) return gst_util_uint64_scale(kAacFrameSamples, GST_SECOND, audio.sampleRate);
  // Compressed frames of other codecs: their parsers know.
  if (audio.kind != avi::AudioKind::Pcm || audio.blockAlign == 0) return GST_CLOCK_TIME_NONE;
  return gst_util_uint64_scale(chunk.size / audio.blockAlign, GST_SECOND, audio.sampleRate);
}

std::string StreamParseFilter::PadNameOf(const OutStream& stream) { return PadName(stream.pad); }

void StreamParseFilter::SendHeaders(OutStream& stream) {
  if (!stream.started) {
    CharsRef id(gst_pad_create_stream_id(stream.pad, element_, stream.audio ? "audio" : PadNameOf(stream).c_str()));
    GstEvent* start = gst_event_new_stream_start(id.get());
    gst_event_set_group_id(start, groupId_);
    gst_pad_push_event(stream.pad, start);
    gst_pad_push_event(stream.pad, gst_event_new_caps(stream.caps.get()));
    stream.started = true;
  }
  if (stream.segmentPending) {
    GstEvent* segment = gst_event_new_segment(&segment_);
    gst_event_set_seqnum(segment, segmentSeqnum_);
    gst_pad_push_event(stream.pad, segment);
    stream.segmentPending = false;
  }
}

void StreamParseFilter::PushEosAll() {
  for (OutStream& s : streams_) {
    if (s.eos) continue;
    SendHeaders(s);
    GstEvent* eos = gst_event_new_eos();
    gst_event_set_seqnum(eos, segmentSeqnum_);
    gst_pad_push_event(s.pad, eos);
    s.eos = true;
  }
}

void StreamParseFilter::PauseOnFlow(GstFlowReturn flow) {
  gst_pad_pause_task(TaskPad());
  if (flow == GST_FLOW_EOS || flow == GST_FLOW_FLUSHING) {
    if (flow == GST_FLOW_EOS) PushEosAll();
    return;
  }
  if (flow == GST_FLOW_NOT_LINKED || flow < GST_FLOW_EOS) {
    GST_ELEMENT_FLOW_ERROR(element_, flow);
    PushEosAll();
  }
}

void StreamParseFilter::Loop() {
  const std::size_t count = reader_->ChunkCount();
  // One chunk per turn, so that a flush or pause is noticed between chunks.
  while (nextChunk_ < count) {
    const avi::ChunkEntry chunk = reader_->Chunk(nextChunk_++);
    OutStream* stream = StreamOfChunk(chunk);
    if (!stream || stream->eos) continue;
    if (stream->needKey) {
      if (!chunk.keyFrame) continue;
      stream->needKey = false;
    }
    const GstClockTime pts = static_cast<GstClockTime>(std::max<std::int64_t>(chunk.time, 0)) * kNsPerUnit;
    if (GST_CLOCK_TIME_IS_VALID(segment_.stop) && pts >= segment_.stop) {
      SendHeaders(*stream);
      GstEvent* eos = gst_event_new_eos();
      gst_event_set_seqnum(eos, segmentSeqnum_);
      gst_pad_push_event(stream->pad, eos);
      stream->eos = true;
      if (std::all_of(streams_.begin(), streams_.end(), [](const OutStream& s) { return s.eos; }))
        gst_pad_pause_task(TaskPad());
      return;
    }
    // The chunk is read straight into the buffer that carries it downstream; one that
    // cannot be read whole (a damaged or cut-off recording) is skipped.
    if (chunk.size == 0) continue;
    BufferRef read(gst_buffer_new_allocate(nullptr, chunk.size, nullptr));
    if (!read) continue;
    GstMapInfo map;
    if (!gst_buffer_map(read.get(), &map, GST_MAP_WRITE)) continue;
    const std::int64_t got = reader_->ReadChunkData(chunk, map.data, static_cast<std::int64_t>(chunk.size));
    gst_buffer_unmap(read.get(), &map);
    if (got != static_cast<std::int64_t>(chunk.size)) continue;
    SendHeaders(*stream);
    GstBuffer* buffer = read.release();
    // A picture's place in the file is its decoding time. Where the codec reorders
    // pictures (B-frames) that is not when it is shown: only key frames are shown at
    // it, and the decoder, which knows the order, gives the others their times.
    const bool reorderable = !stream->audio && !chunk.keyFrame;
    GST_BUFFER_PTS(buffer) = reorderable ? GST_CLOCK_TIME_NONE : pts;
    GST_BUFFER_DTS(buffer) = pts;
    GST_BUFFER_DURATION(buffer) = ChunkDuration(chunk);
    if (!stream->audio && !chunk.keyFrame) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT);
    position_ = static_cast<std::int64_t>(pts);
    const GstFlowReturn pushed = gst_pad_push(stream->pad, buffer);
    if (pushed == GST_FLOW_EOS) {
      // This branch wants no more (its segment ended); the others go on.
      stream->eos = true;
    }
    const GstFlowReturn combined = gst_flow_combiner_update_pad_flow(combiner_, stream->pad, pushed);
    if (combined != GST_FLOW_OK) PauseOnFlow(combined);
    return;
  }
  PushEosAll();
  gst_pad_pause_task(TaskPad());
}

bool StreamParseFilter::HandleSeek(GstEvent* event) {
  gdouble rate = 1.0;
  GstFormat format = GST_FORMAT_UNDEFINED;
  GstSeekFlags flags = GST_SEEK_FLAG_NONE;
  GstSeekType startType = GST_SEEK_TYPE_NONE, stopType = GST_SEEK_TYPE_NONE;
  gint64 start = 0, stop = 0;
  gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
  if (format != GST_FORMAT_TIME || rate <= 0.0 || !loaded_.load()) return false;
  GstPad* taskPad = TaskPad();
  if (!taskPad) return false;
  const guint32 seqnum = gst_event_get_seqnum(event);
  {
    // Every sink of the pipeline passes the same seek upstream; act on it once.
    std::lock_guard<std::mutex> lock(seekMutex_);
    if (seqnum == lastSeekSeqnum_) return true;
    lastSeekSeqnum_ = seqnum;
  }
  const bool flush = (flags & GST_SEEK_FLAG_FLUSH) != 0;
  if (flush) {
    for (OutStream& s : streams_) {
      GstEvent* flushStart = gst_event_new_flush_start();
      gst_event_set_seqnum(flushStart, seqnum);
      gst_pad_push_event(s.pad, flushStart);
    }
  }
  gst_pad_pause_task(taskPad);
  GST_PAD_STREAM_LOCK(taskPad);
  GstSegment segment = segment_;
  gboolean update = FALSE;
  const bool done = gst_segment_do_seek(&segment, rate, format, flags, startType, static_cast<guint64>(start), stopType,
                                        static_cast<guint64>(stop), &update);
  if (flush) {
    for (OutStream& s : streams_) {
      GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
      gst_event_set_seqnum(flushStop, seqnum);
      gst_pad_push_event(s.pad, flushStop);
    }
  }
  if (done) {
    segment_ = segment;
    segmentSeqnum_ = seqnum;
    nextChunk_ = reader_->Seek(static_cast<std::int64_t>(segment_.position / kNsPerUnit));
    position_ = static_cast<std::int64_t>(segment_.position);
    for (OutStream& s : streams_) {
      s.segmentPending = true;
      s.needKey = !s.audio;
      s.eos = false;
    }
    gst_flow_combiner_reset(combiner_);
  }
  // Pads are inactive before the pipeline reaches PAUSED; the task starts then.
  if (GST_PAD_MODE(taskPad) == GST_PAD_MODE_PUSH)
    gst_pad_start_task(taskPad, &StreamParseFilter::TaskLoop, this, nullptr);
  GST_PAD_STREAM_UNLOCK(taskPad);
  return done;
}

gboolean StreamParseFilter::HandleQuery(GstPad* pad, GstQuery* query) {
  switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_CAPS: {
      CapsRef caps;
      for (OutStream& s : streams_)
        if (s.pad == pad) caps.reset(gst_caps_ref(s.caps.get()));
      if (!caps) caps.reset(gst_pad_get_pad_template_caps(pad));
      GstCaps* filter = nullptr;
      gst_query_parse_caps(query, &filter);
      if (filter) caps.reset(gst_caps_intersect_full(filter, caps.get(), GST_CAPS_INTERSECT_FIRST));
      gst_query_set_caps_result(query, caps.get());
      return TRUE;
    }
    case GST_QUERY_DURATION: {
      GstFormat format;
      gst_query_parse_duration(query, &format, nullptr);
      if (format != GST_FORMAT_TIME || !loaded_.load()) return FALSE;
      gst_query_set_duration(query, GST_FORMAT_TIME, duration_.load());
      return TRUE;
    }
    case GST_QUERY_POSITION: {
      GstFormat format;
      gst_query_parse_position(query, &format, nullptr);
      if (format != GST_FORMAT_TIME || !loaded_.load()) return FALSE;
      gst_query_set_position(query, GST_FORMAT_TIME, position_.load());
      return TRUE;
    }
    case GST_QUERY_SEEKING: {
      GstFormat format;
      gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
      if (format != GST_FORMAT_TIME) return FALSE;
      gst_query_set_seeking(query, GST_FORMAT_TIME, loaded_.load(), 0, duration_.load());
      return TRUE;
    }
    default:
      return gst_pad_query_default(pad, GST_OBJECT_CAST(element_), query);
  }
}

}  // namespace playback
