#include "tests/simulator/RecordingFixtures.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <mutex>

#include "sources/avi/AviFormat.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"

namespace fixtures {

std::tm CameraClock(int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 4;
  t.tm_mday = 12;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

simulator::RecordOptions SmallOptions(int cameras, double seconds, avi::AudioKind audio) {
  simulator::RecordOptions o;
  o.cameras = cameras;
  o.seconds = seconds;
  o.sizes = {{160, 90}};
  o.framesPerSecond = 30;
  o.bitrateKbps = 150;
  o.audio = audio;
  o.start = CameraClock(8, 30, 15);
  return o;
}

std::filesystem::path Record(const simulator::RecordOptions& options, const std::filesystem::path& out) {
  std::filesystem::path written;
  std::string error;
  EXPECT_TRUE(simulator::RecordRecording(options, out, written, error)) << error;
  return written;
}

namespace {
int64_t FindMovi(const std::vector<uint8_t>& f) {
  if (f.size() < 24) return -1;
  const int64_t hdrlEnd = 20 + int64_t{avi::ReadLe32(&f[16])};
  if (hdrlEnd + 12 > static_cast<int64_t>(f.size())) return -1;
  if (avi::ReadLe32(&f[hdrlEnd]) != avi::kList || avi::ReadLe32(&f[hdrlEnd + 8]) != avi::kMovi) return -1;
  return hdrlEnd;
}
}  // namespace

std::vector<WalkedChunk> WalkMovi(const std::vector<uint8_t>& f) {
  std::vector<WalkedChunk> chunks;
  const int64_t movi = FindMovi(f);
  if (movi < 0) return chunks;
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(f.size()), movi + 8 + avi::ReadLe32(&f[movi + 4]));
  for (int64_t pos = movi + 12; pos + 8 <= end;) {
    const WalkedChunk c{avi::ReadLe32(&f[pos]), pos, avi::ReadLe32(&f[pos + 4])};
    chunks.push_back(c);
    pos += 8 + int64_t{c.size} + (c.size & 1);
  }
  return chunks;
}

std::vector<IndexEntry> ReadIndex(const std::vector<uint8_t>& f) {
  std::vector<IndexEntry> entries;
  const int64_t movi = FindMovi(f);
  if (movi < 0) return entries;
  const int64_t idx = movi + 8 + avi::ReadLe32(&f[movi + 4]);
  if (idx + 8 > static_cast<int64_t>(f.size()) || avi::ReadLe32(&f[idx]) != avi::kIdx1) return entries;
  const int64_t size = avi::ReadLe32(&f[idx + 4]);
  for (int64_t p = idx + 8; p + 16 <= idx + 8 + size && p + 16 <= static_cast<int64_t>(f.size()); p += 16)
    entries.push_back(
        {avi::ReadLe32(&f[p]), avi::ReadLe32(&f[p + 4]), avi::ReadLe32(&f[p + 8]), avi::ReadLe32(&f[p + 12])});
  return entries;
}

namespace {

void EnsureGstreamer() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// Plays the pipeline and counts what its appsink "s" receives until EOS; -1 on an
// error. A pipeline that fails does not reach EOS: the bus is watched between pulls.
int PullFrames(GstElement* pipeline) {
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "s");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  int frames = 0;
  for (int idle = 0; idle < 150;) {
    if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 200 * GST_MSECOND)) {
      ++frames;
      idle = 0;
      gst_sample_unref(sample);
      continue;
    }
    if (gst_app_sink_is_eos(GST_APP_SINK(sink))) break;
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
      frames = -1;
      gst_message_unref(message);
      break;
    }
    ++idle;
  }
  if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
    frames = -1;
    gst_message_unref(message);
  }
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(sink);
  return frames;
}

}  // namespace

int DecodeFrames(const std::filesystem::path& path) {
  EnsureGstreamer();
  const std::string text = "filesrc location=\"" + path.string() +
                           "\" ! avidemux name=d d.video_0 ! h264parse ! avdec_h264 ! appsink name=s sync=false";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(text.c_str(), &error);
  if (!pipeline || error) {
    if (error) g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return -1;
  }
  const int frames = PullFrames(pipeline);
  gst_object_unref(pipeline);
  return frames;
}

int DecodeCameraFrames(const std::filesystem::path& path, int cameraId) {
  EnsureGstreamer();
  FileByteSource file(path);
  avi::AviReader reader(file);
  if (!reader.Open()) return -1;
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "appsrc name=src format=time caps=video/x-h264,stream-format=byte-stream,alignment=au"
      " ! h264parse ! avdec_h264 ! appsink name=s sync=false",
      &error);
  if (!pipeline || error) {
    if (error) g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return -1;
  }
  GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
  std::vector<uint8_t> data;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind != avi::ChunkKind::Video || c.camera != cameraId || !reader.ReadChunk(c, data)) continue;
    GstBuffer* buffer = gst_buffer_new_memdup(data.data(), data.size());
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(c.time) * 100;
    if (!c.keyFrame) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT);
    gst_app_src_push_buffer(GST_APP_SRC(src), buffer);
  }
  gst_app_src_end_of_stream(GST_APP_SRC(src));
  gst_object_unref(src);
  const int frames = PullFrames(pipeline);
  gst_object_unref(pipeline);
  return frames;
}

std::string FourCcString(uint32_t id) { return std::string(avi::FourCcText(id)); }

}  // namespace fixtures
