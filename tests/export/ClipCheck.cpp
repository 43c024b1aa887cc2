#include "tests/export/ClipCheck.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"

namespace clipcheck {

namespace {

// Runs a pipeline until it ends; false on an error.
bool RunToEnd(GstElement* pipeline, std::string& error) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (!message) error = "timed out";
  if (message && !ok) {
    GError* e = nullptr;
    gst_message_parse_error(message, &e, nullptr);
    error = e ? e->message : "error";
    g_clear_error(&e);
  }
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  return ok;
}

// Every picture an appsink holds, as luma (the sink takes GRAY8).
void TakePictures(GstElement* sink, std::vector<Picture>& pictures, std::vector<uint64_t>* pts, int* fpsN, int* fpsD) {
  while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 0)) {
    const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
    Picture p;
    gst_structure_get_int(s, "width", &p.width);
    gst_structure_get_int(s, "height", &p.height);
    if (fpsN) gst_structure_get_fraction(s, "framerate", fpsN, fpsD);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const int stride = (p.width + 3) & ~3;
    p.y.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int row = 0; row < p.height; ++row)
      std::copy_n(map.data + static_cast<std::size_t>(row) * stride, p.width,
                  p.y.begin() + static_cast<std::ptrdiff_t>(row) * p.width);
    gst_buffer_unmap(buffer, &map);
    if (pts) pts->push_back(GST_BUFFER_PTS(buffer));
    pictures.push_back(std::move(p));
    gst_sample_unref(sample);
  }
}

std::vector<std::string> TopBoxes(const std::filesystem::path& path) {
  std::vector<std::string> boxes;
  std::ifstream in(path, std::ios::binary);
  for (;;) {
    unsigned char head[16];
    if (!in.read(reinterpret_cast<char*>(head), 8)) break;
    uint64_t size = (uint64_t{head[0]} << 24) | (uint64_t{head[1]} << 16) | (uint64_t{head[2]} << 8) | head[3];
    boxes.emplace_back(reinterpret_cast<char*>(head + 4), 4);
    uint64_t header = 8;
    if (size == 1) {
      if (!in.read(reinterpret_cast<char*>(head + 8), 8)) break;
      size = 0;
      for (int i = 8; i < 16; ++i) size = (size << 8) | head[i];
      header = 16;
    }
    if (size < header) break;
    in.seekg(static_cast<std::streamoff>(size - header), std::ios::cur);
  }
  return boxes;
}

}  // namespace

Clip ReadClip(const std::filesystem::path& path) {
  gst_init(nullptr, nullptr);
  Clip clip;
  clip.boxes = TopBoxes(path);
  const std::string description =
      "filesrc location=\"" + path.string() +
      "\" ! qtdemux name=d d.video_0 ! queue ! h264parse ! avdec_h264 ! videoconvert ! video/x-raw,format=GRAY8 ! "
      "appsink name=v sync=false async=false wait-on-eos=false d.audio_0 ! queue ! aacparse ! avdec_aac ! audioconvert "
      "! "
      "audio/x-raw,format=S16LE,channels=1 ! appsink name=a sync=false async=false wait-on-eos=false";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (!pipeline) {
    clip.error = error ? error->message : "cannot build";
    g_clear_error(&error);
    return clip;
  }
  GstElement* video = gst_bin_get_by_name(GST_BIN(pipeline), "v");
  GstElement* audio = gst_bin_get_by_name(GST_BIN(pipeline), "a");
  if (RunToEnd(pipeline, clip.error)) {
    gint64 duration = 0;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration))
      clip.durationNs = static_cast<uint64_t>(duration);
    TakePictures(video, clip.frames, &clip.framePts, &clip.fpsN, &clip.fpsD);
    if (!clip.frames.empty()) {
      clip.width = clip.frames[0].width;
      clip.height = clip.frames[0].height;
    }
    bool first = true;
    while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(audio), 0)) {
      const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
      gst_structure_get_int(s, "rate", &clip.audioRate);
      GstBuffer* buffer = gst_sample_get_buffer(sample);
      const uint64_t samples = gst_buffer_get_size(buffer) / 2;
      if (first) clip.audioStartNs = GST_BUFFER_PTS(buffer);
      first = false;
      clip.audioSamples += samples;
      clip.audioEndNs = GST_BUFFER_PTS(buffer) + gst_util_uint64_scale(samples, GST_SECOND, clip.audioRate);
      gst_sample_unref(sample);
    }
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(video);
  gst_object_unref(audio);
  gst_object_unref(pipeline);
  return clip;
}

std::vector<Picture> CameraPictures(const std::filesystem::path& recording, int cameraId) {
  gst_init(nullptr, nullptr);
  std::vector<Picture> pictures;
  FileByteSource file;
  if (!file.Open(recording.string())) return pictures;
  avi::AviReader reader(file);
  if (!reader.Open()) return pictures;
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "appsrc name=in format=time caps=video/x-h264,stream-format=byte-stream,alignment=au ! h264parse ! "
      "avdec_h264 ! videoconvert ! video/x-raw,format=GRAY8 ! appsink name=out sync=false async=false "
      "wait-on-eos=false",
      &error);
  g_clear_error(&error);
  GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  std::vector<uint8_t> data;
  for (const avi::ChunkEntry& chunk : reader.Chunks()) {
    if (chunk.kind != avi::ChunkKind::Video || chunk.camera != cameraId || !reader.ReadChunk(chunk, data)) continue;
    GstBuffer* buffer = gst_buffer_new_memdup(data.data(), data.size());
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(chunk.time) * 100;
    gst_app_src_push_buffer(GST_APP_SRC(in), buffer);
  }
  gst_app_src_end_of_stream(GST_APP_SRC(in));
  std::string ignored;
  if (RunToEnd(pipeline, ignored)) TakePictures(out, pictures, nullptr, nullptr, nullptr);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(in);
  gst_object_unref(out);
  gst_object_unref(pipeline);
  return pictures;
}

Picture Crop(const Picture& picture, const clipexport::Box& box) {
  Picture out;
  out.width = box.width;
  out.height = box.height;
  out.y.resize(static_cast<std::size_t>(box.width) * box.height);
  for (int row = 0; row < box.height; ++row)
    for (int x = 0; x < box.width; ++x)
      out.y[static_cast<std::size_t>(row) * box.width + x] = picture.At(box.x + x, box.y + row);
  return out;
}

Picture Scale(const Picture& picture, int width, int height, bool mirror) {
  Picture out;
  out.width = width;
  out.height = height;
  out.y.resize(static_cast<std::size_t>(width) * height);
  const double sx = static_cast<double>(picture.width) / width, sy = static_cast<double>(picture.height) / height;
  for (int row = 0; row < height; ++row) {
    const double fy = std::clamp((row + 0.5) * sy - 0.5, 0.0, picture.height - 1.0);
    const int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, picture.height - 1);
    for (int x = 0; x < width; ++x) {
      const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, picture.width - 1.0);
      const int x0 = static_cast<int>(fx), x1 = std::min(x0 + 1, picture.width - 1);
      const double ax = fx - x0, ay = fy - y0;
      const double v = (1 - ay) * ((1 - ax) * picture.At(x0, y0) + ax * picture.At(x1, y0)) +
                       ay * ((1 - ax) * picture.At(x0, y1) + ax * picture.At(x1, y1));
      out.y[static_cast<std::size_t>(row) * width + (mirror ? width - 1 - x : x)] =
          static_cast<uint8_t>(std::lround(v));
    }
  }
  return out;
}

double Psnr(const Picture& a, const Picture& b, const clipexport::Box& skip) {
  if (a.width != b.width || a.height != b.height || a.y.empty()) return 0;
  double sum = 0;
  std::size_t count = 0;
  for (int row = 0; row < a.height; ++row)
    for (int x = 0; x < a.width; ++x) {
      if (x >= skip.x && x < skip.x + skip.width && row >= skip.y && row < skip.y + skip.height) continue;
      const double d = static_cast<double>(a.At(x, row)) - b.At(x, row);
      sum += d * d;
      ++count;
    }
  if (count == 0) return 0;
  const double mse = sum / static_cast<double>(count);
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

Picture LumaOfArgb(const uint32_t* pixels, int width, int height) {
  Picture out;
  out.width = width;
  out.height = height;
  out.y.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < out.y.size(); ++i) {
    const uint32_t p = pixels[i];
    const double r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    out.y[i] = static_cast<uint8_t>(std::lround(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255));
  }
  return out;
}

}  // namespace clipcheck
