// Playback benchmark: plays a recording through the viewer's graph (frames handed to
// two channel windows) or through a decode-only pipeline (the same source element,
// H.264 decode, fakesink) and prints CPU time, start-up time, frames shown and
// dropped, context switches and resident memory. bench/run-playback.sh runs both and
// prints ratios.
//
// usage: playback_bench graph|decode FILE RATE [--one-camera] [--free-run] [--own-decoder]
//   --one-camera  the rear window is hidden, as in the viewer's front-camera view
//   --free-run    no clock: every picture is decoded and shown as fast as the machine
//                 goes, none late or dropped, so that an instruction-counting profiler
//                 (valgrind --tool=callgrind) sees the work of each picture exactly once
//   --own-decoder decode-only with the graph's own H.264 decoder rather than
//                 avdec_h264, which copies every picture on its way out: what the graph
//                 costs above its own decoder

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchClock.h"
#include "playback/AvVideoDecoder.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"
#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/playback/GraphInspector.h"

using bench::Clock;
using bench::Ms;

using bench::CpuSeconds;

namespace {

// Voluntary and involuntary context switches of every thread so far: the wake-ups.
long ContextSwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nvcsw + usage.ru_nivcsw;
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return 0;
}

// A window that only records when pictures arrive and which ones.
class CountingWindow final : public playback::ChannelWindow {
 public:
  void PresentFrame(const playback::VideoFrame& frame) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (frames_.empty()) first_ = Clock::now();
    frames_.push_back(frame.timestamp);
  }
  void RequestRepaint() override {}
  int ClientWidth() const override { return 640; }
  int ClientHeight() const override { return 360; }
  bool IsShown() const override { return shown_; }
  void Hide() { shown_ = false; }
  std::vector<std::int64_t> Frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  Clock::time_point First() {
    std::lock_guard<std::mutex> lock(mutex_);
    return first_;
  }
  bool Any() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !frames_.empty();
  }

 private:
  std::mutex mutex_;
  std::vector<std::int64_t> frames_;
  Clock::time_point first_{};
  std::atomic<bool> shown_{true};
};

// Notes the end of the recording: with no clock the position says little, since each
// branch runs ahead on its own.
class EndListener final : public playback::PlaybackListener {
 public:
  void OnEndOfStream() override { ended_ = true; }
  void OnError(const std::string&) override { ended_ = true; }
  bool Ended() const { return ended_; }

 private:
  std::atomic<bool> ended_{false};
};

// Longest run of pictures missing between two shown ones, in frames.
int LongestGap(std::vector<std::int64_t> stamps, std::int64_t frame) {
  std::sort(stamps.begin(), stamps.end());
  int worst = 0;
  for (std::size_t i = 1; i < stamps.size(); ++i)
    worst = std::max(worst, static_cast<int>((stamps[i] - stamps[i - 1] + frame / 2) / frame) - 1);
  return worst;
}

struct Facts {
  std::int64_t frames[2] = {0, 0};
  std::int64_t frameDuration = 0;
};

Facts ReadFacts(const std::string& path) {
  Facts facts;
  FileByteSource bytes;
  if (!bytes.Open(path)) return facts;
  avi::AviReader reader(bytes);
  if (!reader.Open()) return facts;
  const auto& cameras = reader.Cameras();
  for (std::size_t i = 0; i < cameras.size() && i < 2; ++i) facts.frames[i] = cameras[i].frameCount;
  facts.frameDuration = reader.FrameDuration();
  return facts;
}

struct Options {
  bool oneCamera = false;
  bool freeRun = false;
  // Decode-only with the graph's own H.264 decoder instead of avdec_h264.
  bool ownDecoder = false;
};

int RunGraph(const std::string& path, float rate, Options options) {
  const Facts facts = ReadFacts(path);
  CountingWindow front, rear;
  if (options.oneCamera) rear.Hide();
  playback::CPlayer player;
  EndListener listener;
  player.SetListener(&listener);
  // The viewer attaches its screens at start-up, which sets the engine up.
  player.AttachWindows(&front, &rear);
  player.SetSourceOption(false);
  const auto openStart = Clock::now();
  if (!player.Open(path)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  const auto opened = Clock::now();
  while (!front.Any() && Ms(openStart, Clock::now()) < 10000) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double firstFrameMs = Ms(openStart, front.First());
  // The load worker reads every telemetry record once the recording is open.
  const double telemetryCpu0 = CpuSeconds();
  TelemetrySamples samples;
  LoadTelemetry(player.TelemetrySource().get(), samples);
  const double telemetryCpu = CpuSeconds() - telemetryCpu0;
  if (options.freeRun) gst_pipeline_use_clock(GST_PIPELINE(playback::Elements(*player.Graph()).pipeline()), nullptr);
  player.SetRate(rate);
  const double cpu0 = CpuSeconds();
  const long switches0 = ContextSwitches();
  const auto t0 = Clock::now();
  player.Graph()->Play();
  player.SetVolume(49);
  long rssMax = 0;
  const std::uint64_t duration = player.GetDuration();
  std::uint64_t position = 0;
  while (((position = player.GetPosition()) < duration || (options.freeRun && !listener.Ended())) &&
         Ms(t0, Clock::now()) < 600000) {
    rssMax = std::max(rssMax, StatusKb("VmRSS"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  const double cpu = CpuSeconds() - cpu0;
  const double wall = Ms(t0, Clock::now()) / 1000.0;
  const long switches = ContextSwitches() - switches0;
  const auto sink1 = player.Graph()->RendererCounts(0);
  const auto sink2 = player.Graph()->RendererCounts(1);
  const auto shown1 = front.Frames(), shown2 = rear.Frames();
  std::printf("mode graph rate %.1f\n", static_cast<double>(rate));
  std::printf("open_ms %.1f first_frame_ms %.1f\n", Ms(openStart, opened), firstFrameMs);
  std::printf("telemetry_records %zu telemetry_cpu_ms %.1f\n",
              samples.gpsSamples.size() + samples.gsensorSamples.size(), telemetryCpu * 1000.0);
  std::printf("cpu_s %.2f wall_s %.2f switches %ld\n", cpu, wall, switches);
  std::printf("frames1 %lld shown1 %zu sink_dropped1 %llu longest_gap1 %d\n", static_cast<long long>(facts.frames[0]),
              shown1.size(), static_cast<unsigned long long>(sink1.dropped), LongestGap(shown1, facts.frameDuration));
  std::printf("frames2 %lld shown2 %zu sink_dropped2 %llu longest_gap2 %d\n", static_cast<long long>(facts.frames[1]),
              shown2.size(), static_cast<unsigned long long>(sink2.dropped), LongestGap(shown2, facts.frameDuration));
  std::printf("rss_max_kb %ld hwm_kb %ld\n", rssMax, StatusKb("VmHWM"));
  std::printf("end_position_ms %llu duration_ms %llu state %d\n", static_cast<unsigned long long>(position),
              static_cast<unsigned long long>(duration), static_cast<int>(player.Graph()->state()));
  player.Close();
  return 0;
}

struct DecodeCount {
  std::atomic<int> frames{0};
  std::atomic<bool> first{false};
  Clock::time_point firstAt{};
};

void OnHandoff(GstElement*, GstBuffer*, GstPad*, gpointer data) {
  auto* count = static_cast<DecodeCount*>(data);
  if (!count->first.exchange(true)) count->firstAt = Clock::now();
  ++count->frames;
}

void OnPreroll(GstElement*, GstBuffer*, GstPad*, gpointer data) {
  auto* count = static_cast<DecodeCount*>(data);
  if (!count->first.exchange(true)) count->firstAt = Clock::now();
}

int RunDecode(const std::string& path, double rate, Options options) {
  // Warmed up as the viewer's player is at start-up, so that both sides measure the
  // same thing: building, prerolling and decoding the first picture.
  playback::EnsureGStreamer();
  const auto start = Clock::now();
  GstElement* pipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
  GstElement* source = gst_element_factory_make(playback::kStreamParseFactory, nullptr);
  gst_bin_add(GST_BIN(pipeline), source);
  if (playback::Failed(playback::FileSourceOf(source)->Load(path))) return 1;
  DecodeCount counts[2];
  int video = 0;
  for (GList* l = source->srcpads; l; l = l->next) {
    GstPad* pad = GST_PAD(l->data);
    const bool isVideo = playback::PadName(pad).find("Video") != std::string::npos;
    GstElement* queue = gst_element_factory_make("queue", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), queue, sink, nullptr);
    if (isVideo && video < 2) {
      GstElement* parse = gst_element_factory_make("h264parse", nullptr);
      GstElement* decode =
          gst_element_factory_make(options.ownDecoder ? playback::kAvVideoDecoderFactory : "avdec_h264", nullptr);
      gst_bin_add_many(GST_BIN(pipeline), parse, decode, nullptr);
      gst_element_link_many(queue, parse, decode, sink, nullptr);
      g_object_set(sink, "signal-handoffs", TRUE, nullptr);
      g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), &counts[video]);
      g_signal_connect(sink, "preroll-handoff", G_CALLBACK(OnPreroll), &counts[video]);
      ++video;
    } else {
      gst_element_link(queue, sink);
    }
    GstPad* in = gst_element_get_static_pad(queue, "sink");
    gst_pad_link(pad, in);
    gst_object_unref(in);
  }
  gst_element_set_state(pipeline, GST_STATE_PAUSED);
  gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
  const double firstMs = Ms(start, counts[0].firstAt);
  if (rate != 1.0)
    gst_element_seek(pipeline, rate, GST_FORMAT_TIME,
                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET, 0,
                     GST_SEEK_TYPE_NONE, -1);
  gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
  if (options.freeRun) gst_pipeline_use_clock(GST_PIPELINE(pipeline), nullptr);
  const double cpu0 = CpuSeconds();
  const long switches0 = ContextSwitches();
  const auto t0 = Clock::now();
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
  long rssMax = 0;
  for (;;) {
    GstMessage* message = gst_bus_timed_pop_filtered(bus, 200 * GST_MSECOND,
                                                     static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    rssMax = std::max(rssMax, StatusKb("VmRSS"));
    if (message) {
      gst_message_unref(message);
      break;
    }
  }
  const double cpu = CpuSeconds() - cpu0;
  const double wall = Ms(t0, Clock::now()) / 1000.0;
  const long switches = ContextSwitches() - switches0;
  std::printf("mode decode rate %.1f\n", rate);
  std::printf("first_decoded_ms %.1f\n", firstMs);
  std::printf("cpu_s %.2f wall_s %.2f switches %ld\n", cpu, wall, switches);
  std::printf("decoded1 %d decoded2 %d\n", counts[0].frames.load(), counts[1].frames.load());
  std::printf("rss_max_kb %ld hwm_kb %ld\n", rssMax, StatusKb("VmHWM"));
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--one-camera") {
      options.oneCamera = true;
    } else if (option == "--free-run") {
      options.freeRun = true;
    } else if (option == "--own-decoder") {
      options.ownDecoder = true;
    } else {
      argc = 0;
    }
  }
  if (argc < 4) {
    std::fprintf(stderr, "usage: playback_bench graph|decode FILE RATE [--one-camera] [--free-run] [--own-decoder]\n");
    return 2;
  }
  // The benchmark measures the engine, not a sound server.
  ::setenv("TARVO_AUDIO_SINK", "null", 0);
  const std::string mode = argv[1];
  const double rate = std::atof(argv[3]);
  if (mode == "graph") return RunGraph(argv[2], static_cast<float>(rate), options);
  if (mode == "decode") return RunDecode(argv[2], rate, options);
  std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
  return 2;
}
