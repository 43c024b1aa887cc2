// The stream-parse source element on its own: pads, caps, the end of each pad, seeks
// and the record call, against what the recording reader says of the same file.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PlaybackTestSupport.h"
#include "kovr/Kovr.h"
#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"

using namespace playback;
using namespace playback_test;

namespace {

GstElement* NewSource() {
  EXPECT_TRUE(EnsureGStreamer());
  return GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make(kStreamParseFactory, "VKStreamParseFilter")));
}

std::vector<std::string> PadNames(GstElement* element) {
  std::vector<std::string> names;
  for (GList* l = element->srcpads; l; l = l->next) names.push_back(PadName(GST_PAD(l->data)));
  return names;
}

GstCaps* PadCaps(GstElement* element, const char* pad) {
  GstPad* p = gst_element_get_static_pad(element, pad);
  if (!p) return nullptr;
  GstCaps* caps = gst_pad_query_caps(p, nullptr);
  gst_object_unref(p);
  return caps;
}

struct Record {
  int result;
  std::string bytes;
  std::int32_t time;
};

std::vector<Record> AllRecords(TelemetryRecordSource* source) {
  std::vector<Record> records;
  for (int i = 0; i < 100000; ++i) {
    char buffer[1024] = {};
    std::int32_t size = 1024, time = 0;
    const int result = source->ReadTelemetryRecord(buffer, &size, &time);
    if (result == 38) break;
    records.push_back({result, std::string(buffer, static_cast<std::size_t>(size)), time});
  }
  return records;
}

// Counts what each source pad sends, for a pipeline of the source and fakesinks.
struct PadLog {
  std::atomic<int> buffers{0};
  std::atomic<int> eos{0};
  std::atomic<int> deltaFirst{0};  // first buffer after a (re)start was not a key frame
  std::atomic<bool> first{true};
  std::atomic<std::int64_t> firstPts{-1};
  std::atomic<double> segmentRate{0};
};

GstPadProbeReturn LogProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* log = static_cast<PadLog*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (log->first.exchange(false)) {
      log->firstPts = static_cast<std::int64_t>(GST_BUFFER_PTS(buffer));
      if (GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT)) ++log->deltaFirst;
    }
    ++log->buffers;
  } else if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) ++log->eos;
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      log->segmentRate = segment->rate;
    }
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
      log->first = true;
      log->buffers = 0;
    }
  }
  return GST_PAD_PROBE_OK;
}

// The source with a fakesink on every pad, not synchronised to the clock.
class SourcePipeline {
 public:
  explicit SourcePipeline(const std::string& path) {
    EXPECT_TRUE(EnsureGStreamer());
    pipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
    source = gst_element_factory_make(kStreamParseFactory, "VKStreamParseFilter");
    gst_bin_add(GST_BIN(pipeline), source);
    loaded = FileSourceOf(source)->Load(path);
    for (GList* l = source->srcpads; l; l = l->next) {
      GstPad* pad = GST_PAD(l->data);
      GstElement* sink = gst_element_factory_make("fakesink", nullptr);
      // One task feeds every pad, so no sink may hold it up while prerolling.
      g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
      gst_bin_add(GST_BIN(pipeline), sink);
      GstPad* in = gst_element_get_static_pad(sink, "sink");
      gst_pad_link(pad, in);
      gst_object_unref(in);
      auto* log = new PadLog;
      logs.push_back(log);
      names.push_back(PadName(pad));
      gst_pad_add_probe(pad,
                        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                     GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                        LogProbe, log, nullptr);
    }
  }
  ~SourcePipeline() {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    for (PadLog* log : logs) delete log;
  }
  // Runs until the pipeline reports the end (or an error); true at the end.
  bool RunToEnd() {
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    GstMessage* message = gst_bus_timed_pop_filtered(bus, 20 * GST_SECOND,
                                                     static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool end = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    return end;
  }
  PadLog& Log(const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return *logs[i];
    static PadLog none;
    ADD_FAILURE() << "no pad " << name;
    return none;
  }

  GstElement* pipeline = nullptr;
  GstElement* source = nullptr;
  HResult loaded = kEFail;
  std::vector<PadLog*> logs;
  std::vector<std::string> names;
};

struct ReaderFacts {
  std::vector<avi::CameraInfo> cameras;
  avi::AudioFormat audio;
  int64_t duration = 0;
};

ReaderFacts FactsOf(const std::filesystem::path& path) {
  FileByteSource bytes;
  EXPECT_TRUE(bytes.Open(path));
  avi::AviReader reader(bytes);
  EXPECT_TRUE(reader.Open());
  return {reader.Cameras(), reader.Audio(), reader.Duration()};
}

}  // namespace

TEST(StreamParseSourcePads, AudioFirstThenOneVideoPadPerCameraInChannelOrder) {
  GstElement* source = NewSource();
  ASSERT_EQ(FileSourceOf(source)->Load(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(PadNames(source), (std::vector<std::string>{"Audio", "Video1", "Video2"}));
  // The channel order follows the cameras: front 320 wide, rear 192.
  GstCaps* front = PadCaps(source, "Video1");
  GstCaps* rear = PadCaps(source, "Video2");
  int width = 0;
  ASSERT_NE(front, nullptr);
  ASSERT_NE(rear, nullptr);
  EXPECT_STREQ(gst_structure_get_name(gst_caps_get_structure(front, 0)), "video/x-h264");
  gst_structure_get_int(gst_caps_get_structure(front, 0), "width", &width);
  EXPECT_EQ(width, 320);
  gst_structure_get_int(gst_caps_get_structure(rear, 0), "width", &width);
  EXPECT_EQ(width, 192);
  gst_caps_unref(front);
  gst_caps_unref(rear);
  gst_object_unref(source);
}

TEST(StreamParseSourcePads, PcmSoundOffersRawAudioFirst) {
  GstElement* source = NewSource();
  ASSERT_EQ(FileSourceOf(source)->Load(Recording("two-pcm").string()), kSOk);
  GstCaps* caps = PadCaps(source, "Audio");
  ASSERT_NE(caps, nullptr);
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  EXPECT_STREQ(gst_structure_get_name(s), "audio/x-raw");
  EXPECT_STREQ(gst_structure_get_string(s, "format"), "S16LE");
  int rate = 0;
  gst_structure_get_int(s, "rate", &rate);
  EXPECT_EQ(rate, static_cast<int>(FactsOf(Recording("two-pcm")).audio.sampleRate));
  gst_caps_unref(caps);
  gst_object_unref(source);
}

TEST(StreamParseSourcePads, AacSoundCarriesTheRecordingsCodecData) {
  GstElement* source = NewSource();
  ASSERT_EQ(FileSourceOf(source)->Load(Recording("two-aac").string()), kSOk);
  GstCaps* caps = PadCaps(source, "Audio");
  ASSERT_NE(caps, nullptr);
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  EXPECT_STREQ(gst_structure_get_name(s), "audio/mpeg");
  const GValue* value = gst_structure_get_value(s, "codec_data");
  ASSERT_NE(value, nullptr);
  GstBuffer* config = gst_value_get_buffer(value);
  const std::vector<uint8_t> expected = FactsOf(Recording("two-aac")).audio.config;
  ASSERT_EQ(gst_buffer_get_size(config), expected.size());
  EXPECT_EQ(gst_buffer_memcmp(config, 0, expected.data(), expected.size()), 0);
  gst_caps_unref(caps);
  gst_object_unref(source);
}

TEST(StreamParseSourcePads, NoSoundMeansNoAudioPadAndFourCamerasFourVideoPads) {
  GstElement* silent = NewSource();
  ASSERT_EQ(FileSourceOf(silent)->Load(Recording("two-none").string()), kSOk);
  EXPECT_EQ(PadNames(silent), (std::vector<std::string>{"Video1", "Video2"}));
  gst_object_unref(silent);
  GstElement* four = NewSource();
  ASSERT_EQ(FileSourceOf(four)->Load(Recording("four-aac").string()), kSOk);
  EXPECT_EQ(PadNames(four), (std::vector<std::string>{"Audio", "Video1", "Video2", "Video3", "Video4"}));
  gst_object_unref(four);
}

TEST(StreamParseSourceLoad, AFileThatIsNoRecordingIsRefusedWithoutPads) {
  const auto junk = ScratchFolder() / "junk.avi";
  std::ofstream(junk) << "RIFX this is not a recording at all";
  GstElement* source = NewSource();
  EXPECT_LT(FileSourceOf(source)->Load(junk.string()), 0);
  EXPECT_LT(FileSourceOf(source)->Load((ScratchFolder() / "missing.avi").string()), 0);
  EXPECT_TRUE(PadNames(source).empty());
  // A refused source cannot start either.
  EXPECT_EQ(gst_element_set_state(source, GST_STATE_PAUSED), GST_STATE_CHANGE_FAILURE);
  gst_element_set_state(source, GST_STATE_NULL);
  gst_object_unref(source);
}

TEST(StreamParseSourceLoad, ASecondLoadIsRefusedAndKeepsTheFirst) {
  GstElement* source = NewSource();
  ASSERT_EQ(FileSourceOf(source)->Load(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(FileSourceOf(source)->Load(Recording("one-aac").string()), kVfwEWrongState);
  EXPECT_EQ(PadNames(source).size(), 3u);
  gst_object_unref(source);
}

TEST(StreamParseSourceLoad, OnlyOurElementOffersTheInterfaces) {
  ASSERT_TRUE(EnsureGStreamer());
  GstElement* other = GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("fakesrc", nullptr)));
  EXPECT_EQ(StreamParseControlOf(other), nullptr);
  EXPECT_EQ(FileSourceOf(other), nullptr);
  gst_object_unref(other);
}

TEST(StreamParseSourceCard, ACardSourceReadsThroughTheCardFactoryWithHandleAndNumber) {
  int card = 7;
  void* seenHandle = nullptr;
  std::int32_t seenNumber = 0;
  std::string seenName;
  const auto file = Recording("two-pcm");
  SetCardByteSourceFactory([&](void* handle, std::int32_t number, const std::string& name) {
    seenHandle = handle;
    seenNumber = number;
    seenName = name;
    auto bytes = std::make_unique<FileByteSource>();
    bytes->Open(file);
    return std::unique_ptr<ByteSource>(std::move(bytes));
  });
  GstElement* source = NewSource();
  StreamParseControlOf(source)->SetCardSource(&card, 42);
  EXPECT_EQ(FileSourceOf(source)->Load("REC_20240512_083015_2.avi"), kSOk);
  EXPECT_EQ(seenHandle, &card);
  EXPECT_EQ(seenNumber, 42);
  EXPECT_EQ(seenName, "REC_20240512_083015_2.avi");
  EXPECT_EQ(PadNames(source).size(), 3u);
  gst_object_unref(source);
  SetCardByteSourceFactory(nullptr);
  // A card handle that names no open connection fails the load instead of reading
  // the name as a path.
  unsigned char closedConnection[KOVR_CONNECTION_BLOCK_SIZE] = {};
  GstElement* orphan = NewSource();
  StreamParseControlOf(orphan)->SetCardSource(closedConnection, 42);
  EXPECT_LT(FileSourceOf(orphan)->Load(file.string()), 0);
  gst_object_unref(orphan);
}

TEST(StreamParseSourceTelemetry, TheRecordCallGivesExactlyWhatTheReaderGives) {
  const auto file = Recording("two-pcm");
  FileByteSource bytes;
  ASSERT_TRUE(bytes.Open(file));
  avi::AviReader reader(bytes);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource direct(reader);
  const std::vector<Record> expected = AllRecords(&direct);
  ASSERT_GT(expected.size(), 10u);

  GstElement* source = NewSource();
  ASSERT_EQ(FileSourceOf(source)->Load(file.string()), kSOk);
  const std::vector<Record> got = AllRecords(StreamParseControlOf(source));
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].result, 0);
    EXPECT_EQ(got[i].bytes, expected[i].bytes) << i;
    EXPECT_EQ(got[i].time, expected[i].time) << i;
  }
  // Once everything was delivered, every further call says so.
  char buffer[1024];
  std::int32_t size = 1024, time = 0;
  EXPECT_EQ(StreamParseControlOf(source)->ReadTelemetryRecord(buffer, &size, &time), 38);
  gst_object_unref(source);
}

TEST(StreamParseSourceTelemetry, BeforeALoadTheRecordCallEndsAtOnce) {
  GstElement* source = NewSource();
  char buffer[1024];
  std::int32_t size = 1024, time = 0;
  EXPECT_EQ(StreamParseControlOf(source)->ReadTelemetryRecord(buffer, &size, &time), 38);
  gst_object_unref(source);
}

TEST(StreamParseSourceStreaming, EveryPadCarriesItsWholeStreamAndEnds) {
  const auto file = Recording("two-pcm");
  SourcePipeline p(file.string());
  ASSERT_EQ(p.loaded, kSOk);
  ASSERT_TRUE(p.RunToEnd());
  const ReaderFacts facts = FactsOf(file);
  EXPECT_EQ(p.Log("Video1").buffers.load(), facts.cameras[0].frameCount);
  EXPECT_EQ(p.Log("Video2").buffers.load(), facts.cameras[1].frameCount);
  EXPECT_GT(p.Log("Audio").buffers.load(), 0);
  for (const char* pad : {"Audio", "Video1", "Video2"}) EXPECT_EQ(p.Log(pad).eos.load(), 1) << pad;
  EXPECT_EQ(p.Log("Video1").deltaFirst.load(), 0);
  EXPECT_EQ(p.Log("Video1").firstPts.load(), 0);
}

TEST(StreamParseSourceStreaming, AnswersDurationAndSeeking) {
  const auto file = Recording("two-pcm");
  SourcePipeline p(file.string());
  ASSERT_EQ(p.loaded, kSOk);
  gint64 duration = 0;
  GstPad* pad = gst_element_get_static_pad(p.source, "Video1");
  EXPECT_TRUE(gst_pad_query_duration(pad, GST_FORMAT_TIME, &duration));
  EXPECT_EQ(duration, FactsOf(file).duration * 100);
  GstQuery* seeking = gst_query_new_seeking(GST_FORMAT_TIME);
  EXPECT_TRUE(gst_pad_query(pad, seeking));
  gboolean seekable = FALSE;
  gst_query_parse_seeking(seeking, nullptr, &seekable, nullptr, nullptr);
  EXPECT_TRUE(seekable);
  gst_query_unref(seeking);
  gst_object_unref(pad);
}

class StreamParseSourceSeek : public ::testing::TestWithParam<double> {};

TEST_P(StreamParseSourceSeek, AFlushingSeekRestartsEveryCameraOnAKeyFrameAtTheRate) {
  const double rate = GetParam();
  const auto file = Recording("long");
  SourcePipeline p(file.string());
  ASSERT_EQ(p.loaded, kSOk);
  gst_element_set_state(p.pipeline, GST_STATE_PAUSED);
  gst_element_get_state(p.pipeline, nullptr, nullptr, 5 * GST_SECOND);
  const gint64 target = 3500 * GST_MSECOND;
  ASSERT_TRUE(gst_element_seek(p.pipeline, rate, GST_FORMAT_TIME,
                               static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                               GST_SEEK_TYPE_SET, target, GST_SEEK_TYPE_NONE, -1));
  ASSERT_TRUE(p.RunToEnd());
  for (const char* pad : {"Video1", "Video2"}) {
    PadLog& log = p.Log(pad);
    EXPECT_EQ(log.deltaFirst.load(), 0) << pad;
    EXPECT_LE(log.firstPts.load(), target) << pad;
    EXPECT_GT(log.firstPts.load(), target - 3 * GST_SECOND) << pad;
    EXPECT_DOUBLE_EQ(log.segmentRate.load(), rate) << pad;
    EXPECT_EQ(log.eos.load(), 1) << pad;
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, StreamParseSourceSeek, ::testing::Values(0.5, 1.0, 2.0));
