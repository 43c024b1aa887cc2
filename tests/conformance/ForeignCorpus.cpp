#include "tests/conformance/ForeignCorpus.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "sources/avi/AviFormat.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace corpus {

namespace {

using avi::FourCc;
using avi::ReadLe32;
using avi::WriteLe32;

void EnsureGstreamer() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

std::string ErrorOf(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  std::string text = error ? error->message : "error";
  if (error) g_error_free(error);
  return text;
}

GstElement* Launch(const std::string& description, std::string& error) {
  EnsureGstreamer();
  GError* parseError = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &parseError);
  if (parseError) {
    error = parseError->message;
    g_error_free(parseError);
    if (pipeline) gst_object_unref(pipeline);
    return nullptr;
  }
  return pipeline;
}

// Runs a pipeline to its end; false with the error it reported.
bool RunToEnd(GstElement* pipeline, std::string& error) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (!message) error = "timed out";
  if (message && !ok) error = ErrorOf(message);
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  return ok;
}

// Pulls every sample of the appsink "s" until its end; false on an error.
template <typename Take>
bool PullAll(GstElement* pipeline, Take take) {
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "s");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  bool ok = true;
  for (int idle = 0; idle < 300;) {
    if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 100 * GST_MSECOND)) {
      take(sample);
      gst_sample_unref(sample);
      idle = 0;
      continue;
    }
    if (gst_app_sink_is_eos(GST_APP_SINK(sink))) break;
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
      gst_message_unref(message);
      ok = false;
      break;
    }
    ++idle;
  }
  if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
    gst_message_unref(message);
    ok = false;
  }
  gst_object_unref(bus);
  gst_object_unref(sink);
  return ok;
}

std::string Quoted(const std::filesystem::path& path) { return "location=\"" + path.string() + "\""; }

size_t HeaderListEnd(const Bytes& f) { return 20 + ReadLe32(&f[16]); }

// The LIST movi of a file: its offset (of "LIST"), walking the top level.
size_t FindMovi(const Bytes& f) {
  for (size_t pos = 12; pos + 12 <= f.size();) {
    const uint32_t size = ReadLe32(&f[pos + 4]);
    if (ReadLe32(&f[pos]) == avi::kList && ReadLe32(&f[pos + 8]) == avi::kMovi) return pos;
    pos += 8 + size + (size & 1);
  }
  return f.size();
}

// idx1 flags of every chunk, in order.
std::vector<uint32_t> IndexFlags(const Bytes& f) {
  std::vector<uint32_t> flags;
  const size_t idx = MoviEnd(f);
  if (idx + 8 > f.size() || ReadLe32(&f[idx]) != avi::kIdx1) return flags;
  const size_t end = std::min(f.size(), idx + 8 + ReadLe32(&f[idx + 4]));
  for (size_t p = idx + 8; p + 16 <= end; p += 16) flags.push_back(ReadLe32(&f[p + 4]));
  return flags;
}

void Put32(Bytes& b, uint32_t v) {
  const size_t at = b.size();
  b.resize(at + 4);
  WriteLe32(&b[at], v);
}
void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put64(Bytes& b, uint64_t v) {
  Put32(b, static_cast<uint32_t>(v));
  Put32(b, static_cast<uint32_t>(v >> 32));
}
void PutBytes(Bytes& b, const Bytes& from, size_t at, size_t count) {
  b.insert(b.end(), from.begin() + static_cast<std::ptrdiff_t>(at),
           from.begin() + static_cast<std::ptrdiff_t>(at + count));
}
// Opens a chunk or list; Close fills in its size (and pads it).
size_t Open(Bytes& b, uint32_t id, uint32_t type = 0) {
  const size_t at = b.size();
  Put32(b, id);
  Put32(b, 0);
  if (type) Put32(b, type);
  return at;
}
void Close(Bytes& b, size_t at) {
  WriteLe32(&b[at + 4], static_cast<uint32_t>(b.size() - at - 8));
  if (b.size() & 1) b.push_back(0);
}
// A chunk as it lies in `from`, with its pad byte.
void PutChunk(Bytes& b, const Bytes& from, const Chunk& c) {
  PutBytes(b, from, c.offset, 8 + c.size);
  if (c.size & 1) b.push_back(0);
}

// Everything of a file up to its movi list, then `movi` (a whole LIST), then idx1
// when given, with the RIFF size set.
Bytes Assemble(const Bytes& whole, const Bytes& movi, const Bytes& idx1) {
  Bytes f(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(FindMovi(whole)));
  f.insert(f.end(), movi.begin(), movi.end());
  f.insert(f.end(), idx1.begin(), idx1.end());
  WriteLe32(&f[4], static_cast<uint32_t>(f.size() - 8));
  return f;
}

void PutIndexEntry(Bytes& idx1, uint32_t id, uint32_t flags, size_t offset, uint32_t size) {
  Put32(idx1, id);
  Put32(idx1, flags);
  Put32(idx1, static_cast<uint32_t>(offset));
  Put32(idx1, size);
}

// Stream lists of the header list: [begin, end) of each "LIST strl".
std::vector<std::pair<size_t, size_t>> StreamLists(const Bytes& f) {
  std::vector<std::pair<size_t, size_t>> lists;
  for (size_t pos = 32 + ReadLe32(&f[28]); pos + 12 <= HeaderListEnd(f);) {
    const uint32_t size = ReadLe32(&f[pos + 4]);
    if (ReadLe32(&f[pos]) == avi::kList && ReadLe32(&f[pos + 8]) == avi::kStrl) lists.push_back({pos, pos + 8 + size});
    pos += 8 + size + (size & 1);
  }
  return lists;
}

// The sub-chunk `id` of a stream list (offset of its header), 0 when none.
size_t SubChunk(const Bytes& f, std::pair<size_t, size_t> list, uint32_t id) {
  for (size_t pos = list.first + 12; pos + 8 <= list.second;) {
    const uint32_t size = ReadLe32(&f[pos + 4]);
    if (ReadLe32(&f[pos]) == id) return pos;
    pos += 8 + size + (size & 1);
  }
  return 0;
}

}  // namespace

const Sample kSamples[5] = {
    {"h264-aud-pcm", Picture::H264, Sound::Pcm, "H.264 (H264)", "PCM"},
    {"h264-noaud-mp3", Picture::H264WithoutAud, Sound::Mp3, "H.264 (H264)", "MP3"},
    {"h264-bframes-aac", Picture::H264BFrames, Sound::Aac, "H.264 (H264)", "AAC"},
    {"mjpeg-aac", Picture::Mjpeg, Sound::Aac, "MJPEG (MJPG)", "AAC"},
    {"mpeg4-silent", Picture::Mpeg4, Sound::None, "MPEG-4 Part 2 (DIVX)", nullptr},
};

namespace {
testsupport::TempFolder& Folder() {
  static testsupport::TempFolder folder("tarvo-corpus-");
  return folder;
}
}  // namespace

std::filesystem::path Scratch(const std::string& name) { return Folder() / name; }

std::filesystem::path SamplePath(const Sample& sample) {
  const std::filesystem::path path = Folder() / (std::string(sample.name) + ".avi");
  if (std::filesystem::exists(path)) return path;
  std::string error;
  if (!Encode(path, sample.picture, sample.sound, kSampleSeconds, error)) {
    ADD_FAILURE() << sample.name << ": " << error;
    std::filesystem::remove(path);
    return {};
  }
  return path;
}

bool Encode(const std::filesystem::path& out, Picture picture, Sound sound, int seconds, std::string& error) {
  const char* encoders[] = {
      "x264enc key-int-max=15 bframes=0 speed-preset=superfast",
      "x264enc key-int-max=15 bframes=0 speed-preset=superfast aud=false",
      "x264enc key-int-max=15 bframes=3 b-pyramid=true b-adapt=false speed-preset=superfast",
      "jpegenc quality=85",
      "avenc_mpeg4 gop-size=15 max-bframes=0 sc-threshold=1000000000 bitrate=600000",
  };
  std::string text = "videotestsrc num-buffers=" + std::to_string(seconds * kFps) +
                     " pattern=smpte horizontal-speed=4 ! video/x-raw,format=I420,width=" + std::to_string(kWidth) +
                     ",height=" + std::to_string(kHeight) + ",framerate=" + std::to_string(kFps) + "/1 ! " +
                     encoders[static_cast<int>(picture)] + " ! avimux name=m ! filesink " + Quoted(out);
  if (sound != Sound::None) {
    const char* soundEncoders[] = {"", "identity", "lamemp3enc", "voaacenc"};
    text += " audiotestsrc num-buffers=" + std::to_string(seconds * 10) +
            " samplesperbuffer=2205 ! audio/x-raw,format=S16LE,rate=22050,channels=1 ! " +
            soundEncoders[static_cast<int>(sound)] + " ! m.";
  }
  GstElement* pipeline = Launch(text, error);
  if (!pipeline) return false;
  const bool ok = RunToEnd(pipeline, error);
  gst_object_unref(pipeline);
  return ok;
}

namespace {
// The stream chunks of [pos, end), stepping into RIFF forms and movi and 'rec ' lists.
void Walk(const Bytes& f, size_t pos, size_t end, bool inMovi, std::vector<Chunk>& chunks) {
  while (pos + 8 <= end) {
    const uint32_t id = ReadLe32(&f[pos]);
    const uint32_t size = ReadLe32(&f[pos + 4]);
    if (pos + 8 + size > end) break;
    const uint32_t type = pos + 12 <= end ? ReadLe32(&f[pos + 8]) : 0;
    if ((id == avi::kRiff || id == avi::kList) &&
        (type == avi::kAvi || type == avi::kAvix || type == avi::kMovi || (type == avi::kRec && inMovi)))
      Walk(f, pos + 12, pos + 8 + size, inMovi || type == avi::kMovi, chunks);
    else if (inMovi && avi::IsStreamChunkId(id))
      chunks.push_back({id, pos, size});
    pos += 8 + size + (size & 1);
  }
}
}  // namespace

std::vector<Chunk> MoviChunks(const Bytes& f) {
  std::vector<Chunk> chunks;
  Walk(f, 0, f.size(), false, chunks);
  return chunks;
}

size_t MoviEnd(const Bytes& f) {
  const size_t movi = FindMovi(f);
  return movi + 12 > f.size() ? f.size() : movi + 8 + ReadLe32(&f[movi + 4]);
}

Bytes PowerCut(const Bytes& whole, size_t at) {
  Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(std::min(at, MoviEnd(whole))));
  WriteLe32(&cut[4], 0);
  WriteLe32(&cut[48], 0);
  for (const auto& list : StreamLists(whole))
    if (const size_t strh = SubChunk(whole, list, avi::kStrh)) WriteLe32(&cut[strh + 8 + avi::kStrhLength], 0);
  const size_t movi = FindMovi(whole);
  if (movi + 8 <= cut.size()) WriteLe32(&cut[movi + 4], 0);
  return cut;
}

Bytes Truncated(const Bytes& whole, size_t at) {
  return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(std::min(at, whole.size())));
}

Bytes InRecLists(const Bytes& whole, bool withIndex) {
  const std::vector<Chunk> chunks = MoviChunks(whole);
  const std::vector<uint32_t> flags = IndexFlags(whole);
  Bytes movi, idx1;
  const size_t list = Open(movi, avi::kList, avi::kMovi);
  size_t group = 0;
  for (size_t i = 0; i < chunks.size(); ++i) {
    const Chunk& c = chunks[i];
    const bool picture = avi::KindOfChunkId(c.id) == avi::ChunkKind::Video;
    if (i == 0 || picture) {
      if (i > 0) Close(movi, group);
      group = Open(movi, avi::kList, avi::kRec);
    }
    PutIndexEntry(idx1, c.id, i < flags.size() ? flags[i] : 0, movi.size() - list - 8, c.size);
    PutChunk(movi, whole, c);
  }
  if (!chunks.empty()) Close(movi, group);
  Close(movi, list);
  Bytes index;
  if (withIndex) {
    Put32(index, avi::kIdx1);
    Put32(index, static_cast<uint32_t>(idx1.size()));
    index.insert(index.end(), idx1.begin(), idx1.end());
  }
  return Assemble(whole, movi, index);
}

Bytes WithoutPadBytes(const Bytes& whole) {
  Bytes movi;
  const size_t list = Open(movi, avi::kList, avi::kMovi);
  for (const Chunk& c : MoviChunks(whole)) PutBytes(movi, whole, c.offset, 8 + c.size);
  WriteLe32(&movi[list + 4], static_cast<uint32_t>(movi.size() - 8));
  return Assemble(whole, movi, {});
}

Bytes AsOpenDml(const Bytes& whole, size_t perForm, bool withSuperIndexes) {
  const std::vector<Chunk> chunks = MoviChunks(whole);
  const std::vector<uint32_t> flags = IndexFlags(whole);
  const auto lists = StreamLists(whole);
  const size_t forms = (chunks.size() + perForm - 1) / perForm;
  Bytes f;
  const size_t riff = Open(f, avi::kRiff, avi::kAvi);
  const size_t hdrl = Open(f, avi::kList, avi::kHdrl);
  PutBytes(f, whole, 24, 8 + ReadLe32(&whole[28]));  // avih
  // Per stream: where its super index entries go.
  std::vector<size_t> superEntries(lists.size(), 0);
  for (size_t s = 0; s < lists.size(); ++s) {
    const size_t strl = Open(f, avi::kList, avi::kStrl);
    for (const uint32_t id : {avi::kStrh, avi::kStrf}) {
      const size_t at = SubChunk(whole, lists[s], id);
      const uint32_t size = ReadLe32(&whole[at + 4]);
      PutBytes(f, whole, at, 8 + size + (size & 1));
    }
    if (withSuperIndexes) {
      const size_t indx = Open(f, avi::kIndx);
      Put16(f, 4);  // longs per entry
      f.push_back(0);
      f.push_back(0);  // an index of indexes
      Put32(f, 0);     // entries in use, set below
      Put32(f, avi::ChunkIdFor(static_cast<int>(s), "xx"));
      for (int r = 0; r < 3; ++r) Put32(f, 0);
      superEntries[s] = f.size();
      f.resize(f.size() + 16 * forms);
      Close(f, indx);
    }
    Close(f, strl);
  }
  const size_t odml = Open(f, avi::kList, FourCc("odml"));
  const size_t dmlh = Open(f, FourCc("dmlh"));
  Put32(f, ReadLe32(&whole[48]));
  f.resize(f.size() + 244);
  Close(f, dmlh);
  Close(f, odml);
  Close(f, hdrl);
  // What other muxers put between the header list and the chunks.
  const size_t info = Open(f, avi::kList, FourCc("INFO"));
  const size_t isft = Open(f, FourCc("ISFT"));
  for (const char c : std::string("corpus")) f.push_back(static_cast<uint8_t>(c));
  f.push_back(0);
  Close(f, isft);
  Close(f, info);
  const size_t junk = Open(f, avi::kJunk);
  f.resize(f.size() + 1000);
  Close(f, junk);

  std::map<size_t, uint32_t> inUse;  // per stream, super index entries written
  for (size_t form = 0; form < forms; ++form) {
    const size_t first = form * perForm, last = std::min(chunks.size(), first + perForm);
    size_t avix = 0;
    if (form == 1) Close(f, riff);  // the first form ends behind its idx1
    if (form > 0) avix = Open(f, avi::kRiff, avi::kAvix);
    const size_t movi = Open(f, avi::kList, avi::kMovi);
    struct StreamEntries {
      uint32_t id = 0;
      std::vector<std::pair<size_t, uint32_t>> list;  // data offset, size with the delta flag
    };
    std::map<size_t, StreamEntries> entries;
    std::vector<std::pair<size_t, size_t>> written;  // chunk index, header offset
    for (size_t i = first; i < last; ++i) {
      const Chunk& c = chunks[i];
      written.push_back({i, f.size()});
      const bool key = i < flags.size() && (flags[i] & avi::kIndexKeyFrame);
      StreamEntries& e = entries[static_cast<size_t>(avi::StreamOfChunkId(c.id))];
      e.id = c.id;
      e.list.push_back({f.size() + 8, c.size | (key ? 0u : 0x80000000u)});
      PutChunk(f, whole, c);
    }
    for (const auto& [stream, streamEntries] : entries) {
      const auto& list = streamEntries.list;
      const size_t ix = f.size();
      Open(f, avi::MakeFourCc('i', 'x', static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10)));
      Put16(f, 2);
      f.push_back(0);
      f.push_back(1);  // an index of chunks
      Put32(f, static_cast<uint32_t>(list.size()));
      Put32(f, streamEntries.id);
      Put64(f, movi);
      Put32(f, 0);
      for (const auto& [offset, size] : list) {
        Put32(f, static_cast<uint32_t>(offset - movi));
        Put32(f, size);
      }
      Close(f, ix);
      if (withSuperIndexes && stream < superEntries.size()) {
        uint8_t* e = &f[superEntries[stream] + 16 * inUse[stream]++];
        WriteLe32(e, static_cast<uint32_t>(ix));
        WriteLe32(e + 4, static_cast<uint32_t>(uint64_t{ix} >> 32));
        WriteLe32(e + 8, static_cast<uint32_t>(f.size() - ix));
        WriteLe32(e + 12, static_cast<uint32_t>(list.size()));
      }
    }
    Close(f, movi);
    if (form == 0) {
      Bytes idx1;
      for (const auto& [i, at] : written) {
        const uint32_t flag = i < flags.size() ? flags[i] : 0;
        PutIndexEntry(idx1, chunks[i].id, flag, at - (movi + 8), chunks[i].size);
      }
      Put32(f, avi::kIdx1);
      Put32(f, static_cast<uint32_t>(idx1.size()));
      f.insert(f.end(), idx1.begin(), idx1.end());
    } else {
      Close(f, avix);
    }
  }
  if (forms <= 1) Close(f, riff);
  // The chunk ids of the super indexes: those of the streams' chunks.
  for (size_t s = 0; s < lists.size() && withSuperIndexes; ++s) {
    const size_t header = superEntries[s] - 24;
    WriteLe32(&f[header + 4], inUse[s]);
    for (const Chunk& c : chunks)
      if (avi::StreamOfChunkId(c.id) == static_cast<int>(s)) {
        WriteLe32(&f[header + 8], c.id);
        break;
      }
  }
  return f;
}

Bytes WithVideoCode(const Bytes& whole, const char (&code)[5]) {
  Bytes f = whole;
  const auto list = StreamLists(whole).front();
  WriteLe32(&f[SubChunk(whole, list, avi::kStrh) + 8 + avi::kStrhHandler], FourCc(code));
  WriteLe32(&f[SubChunk(whole, list, avi::kStrf) + 8 + 16], FourCc(code));
  return f;
}

Demuxed AviDemux(const std::filesystem::path& file) {
  Demuxed d;
  std::string error;
  GstElement* pipeline =
      Launch("filesrc " + Quoted(file) + " ! avidemux name=d d.video_0 ! appsink name=s sync=false", error);
  if (!pipeline) return d;
  std::vector<int64_t> dts;
  const bool ok = PullAll(pipeline, [&](GstSample* sample) {
    const GstBuffer* buffer = gst_sample_get_buffer(sample);
    dts.push_back(static_cast<int64_t>(GST_BUFFER_DTS_OR_PTS(buffer)));
  });
  gint64 duration = -1;
  gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  if (!ok) return d;
  d.frames = static_cast<int>(dts.size());
  d.durationNs = duration;
  d.dts = std::move(dts);
  return d;
}

int DecodedFrames(const std::filesystem::path& file) {
  std::string error;
  GstElement* pipeline =
      Launch("filesrc " + Quoted(file) + " ! avidemux name=d d.video_0 ! decodebin ! appsink name=s sync=false", error);
  if (!pipeline) return -1;
  int frames = 0;
  const bool ok = PullAll(pipeline, [&](GstSample*) { ++frames; });
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return ok ? frames : -1;
}

namespace {

bool ToRgb(GstSample* sample, Rgb& out) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return false;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return false;
  out.width = GST_VIDEO_INFO_WIDTH(&info);
  out.height = GST_VIDEO_INFO_HEIGHT(&info);
  const size_t stride = static_cast<size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
  const size_t row = static_cast<size_t>(out.width) * 3;
  out.pixels.resize(row * static_cast<size_t>(out.height));
  for (int y = 0; y < out.height; ++y)
    std::copy_n(map.data + stride * static_cast<size_t>(y), row,
                out.pixels.begin() + static_cast<std::ptrdiff_t>(row) * y);
  gst_buffer_unmap(buffer, &map);
  return true;
}

}  // namespace

bool ReferencePicture(const std::filesystem::path& file, int64_t ms, Rgb& out) {
  std::string error;
  GstElement* pipeline = Launch("filesrc " + Quoted(file) +
                                    " ! avidemux name=d d.video_0 ! decodebin ! videoconvert ! "
                                    "video/x-raw,format=RGB ! appsink name=s sync=false",
                                error);
  if (!pipeline) return false;
  const auto target = static_cast<GstClockTime>(ms) * GST_MSECOND;
  bool found = false;
  PullAll(pipeline, [&](GstSample* sample) {
    const GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts) && pts <= target && target < pts + GST_BUFFER_DURATION(buffer))
      found = ToRgb(sample, out);
  });
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return found;
}

bool DecodeJpeg(const std::filesystem::path& file, Rgb& out) {
  std::string error;
  GstElement* pipeline = Launch(
      "filesrc " + Quoted(file) + " ! jpegdec ! videoconvert ! video/x-raw,format=RGB ! appsink name=s sync=false",
      error);
  if (!pipeline) return false;
  bool found = false;
  PullAll(pipeline, [&](GstSample* sample) { found = ToRgb(sample, out); });
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return found;
}

double Psnr(const Rgb& a, const Rgb& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    const double d = static_cast<double>(a.pixels[i]) - b.pixels[i];
    sum += d * d;
  }
  if (sum == 0) return 99;
  const double mse = sum / static_cast<double>(a.pixels.size());
  return 10 * std::log10(255.0 * 255.0 / mse);
}

std::filesystem::path WriteScratch(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path path = Scratch(name);
  testsupport::WriteAll(path, bytes);
  return path;
}

std::string InfoField(const std::string& info, const std::string& key) {
  const std::string mark = key + ": ";
  const size_t at = info.find(mark);
  if (at == std::string::npos) return "";
  const size_t begin = at + mark.size();
  return info.substr(begin, info.find('\n', begin) - begin);
}

}  // namespace corpus
