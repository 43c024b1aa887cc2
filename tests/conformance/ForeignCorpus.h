#pragma once
// Recordings of other cameras and muxers, made at test time: GStreamer's avimux with
// the encoders at hand, byte surgery of our own on what it writes (power cuts, plain
// truncation, 'rec ' lists, pad bytes left out, OpenDML forms), and GStreamer's own
// demuxer as the judge of what each file holds.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ToolRun.h"

namespace corpus {

enum class Picture { H264, H264WithoutAud, H264BFrames, Mjpeg, Mpeg4 };
enum class Sound { None, Pcm, Mp3, Aac };

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 15;
constexpr int64_t kFrameNs = 1000000000 / kFps;

// avimux of `seconds` of a picture that moves all over (4 pixels a frame) and a tone;
// one key frame a second. H.264 with B-frames has closed GOPs, as x264 makes them;
// MPEG-4 has none: AVI gives no time of display, and an intra VOP that open-GOP
// B-frames follow is shown later than its place, which GStreamer's demuxer (and ours)
// take for its time. False with the pipeline's error.
bool Encode(const std::filesystem::path& out, Picture picture, Sound sound, int seconds, std::string& error);

// The samples every suite works on: three seconds each, encoded on first use, once
// per test process, into a folder that lives as long as the process.
struct Sample {
  const char* name;
  Picture picture;
  Sound sound;
  const char* codec;   // as tarvo-tool info names the picture codec, with its code
  const char* sound_;  // and the sound codec; null: no sound
};
inline constexpr int kSampleSeconds = 3;
extern const Sample kSamples[5];
enum SampleIndex { kH264Pcm, kH264Mp3, kH264BFramesAac, kMjpegAac, kMpeg4Silent };
// The sample's file; fails the current test (and returns an empty path) when it
// cannot be encoded.
std::filesystem::path SamplePath(const Sample& sample);
// A file of that folder for what a test derives from the samples.
std::filesystem::path Scratch(const std::string& name);

using Bytes = std::vector<uint8_t>;

// A chunk of a movi list: its id, the file offset of its header, its data size.
struct Chunk {
  uint32_t id;
  size_t offset;
  uint32_t size;
};
// The stream chunks of an intact file's movi lists (of every RIFF form, 'rec ' lists
// stepped into), walked by their sizes.
std::vector<Chunk> MoviChunks(const Bytes& file);
// The end of the (first) movi list.
size_t MoviEnd(const Bytes& file);

// What a power cut leaves: RIFF, movi and frame counts and every stream length at 0,
// no index, the file ending at `at`.
Bytes PowerCut(const Bytes& whole, size_t at);
// A copy cut short at `at`: every size as it was written.
Bytes Truncated(const Bytes& whole, size_t at);
// The movi list regrouped: each picture with the chunks that follow it in a LIST
// 'rec '; the index rewritten to match, or left out.
Bytes InRecLists(const Bytes& whole, bool withIndex);
// Odd chunks written without their pad bytes, and no index.
Bytes WithoutPadBytes(const Bytes& whole);
// An OpenDML (AVI 2.0) file of the same chunks: LIST INFO and JUNK before the first
// movi list, `perForm` chunks in each RIFF form ('AVI ', then 'AVIX'), a standard
// index chunk per stream in each movi list, a super index per stream list, idx1 for
// the first form. withSuperIndexes false leaves the super indexes out.
Bytes AsOpenDml(const Bytes& whole, size_t perForm, bool withSuperIndexes = true);
// The 'strh' and 'strf' of the video stream (the first stream list) given another
// four-character code.
Bytes WithVideoCode(const Bytes& whole, const char (&code)[5]);

// GStreamer's demuxer on the first video stream.
struct Demuxed {
  int frames = -1;           // buffers it hands out; -1 when it fails
  int64_t durationNs = -1;   // the duration it answers
  std::vector<int64_t> dts;  // each buffer's decoding time
};
Demuxed AviDemux(const std::filesystem::path& file);
// Pictures decoded from the first video stream (avidemux, decodebin); -1 on an error.
int DecodedFrames(const std::filesystem::path& file);

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // R, G, B
};
// The picture GStreamer's demuxer and decoder show at `ms`: the decoded picture
// whose time span holds it.
bool ReferencePicture(const std::filesystem::path& file, int64_t ms, Rgb& out);
bool DecodeJpeg(const std::filesystem::path& file, Rgb& out);
// Peak signal-to-noise ratio in dB of two pictures of one size; 0 when they differ in
// size, 99 when they are equal.
double Psnr(const Rgb& a, const Rgb& b);

// tarvo-tool with arguments (shell words); its exit status and standard output.
using testsupport::ToolRun;
inline ToolRun Tool(const std::string& arguments) { return testsupport::RunTarvoTool(arguments); }
// A file of the scratch folder with these bytes; its path.
std::filesystem::path WriteScratch(const std::string& name, const std::vector<uint8_t>& bytes);
// The value of "key: " in tarvo-tool info's output (the rest of its line).
std::string InfoField(const std::string& info, const std::string& key);

}  // namespace corpus
