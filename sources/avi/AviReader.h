#pragma once
// Reads a recording (RIFF/AVI, see docs/recording-format.md) from a ByteSource: the
// dashcam's own layout and those of other cameras and muxers. Headers, streams and
// their codecs; the list of chunks from idx1 or the OpenDML indexes, and from a scan of
// whatever part of the movi lists no index covers (all of it when the recording was
// cut off); per chunk its stream, kind, camera, key-frame flag and time.
//
// Opening reads the headers and the indexes only; cameras and times are worked out on
// first use by reading the first bytes of the video chunks. Nothing is read past the
// end of the source, and a damaged recording yields the chunks that can be read
// whole. One reader is used by one thread at a time.

#include <cstdint>
#include <vector>

#include "sources/avi/AviFormat.h"
#include "sources/avi/ByteSource.h"
#include "sources/avi/Codecs.h"
#include "sources/avi/RiffLayout.h"
#include "sources/avi/WindowReader.h"

namespace avi {

constexpr int64_t kTimeUnitsPerSecond = 10000000;  // presentation times are in 100 ns

enum class IndexKind { None, Idx1, OpenDml };

struct StreamInfo {
  uint32_t type = 0;  // strh fccType: kVids, kAuds, kTxts
  uint32_t handler = 0;
  uint32_t scale = 0;
  uint32_t rate = 0;
  uint32_t start = 0;
  uint32_t length = 0;
  uint32_t suggestedBufferSize = 0;
  uint32_t sampleSize = 0;
  uint32_t compression = 0;         // picture streams: the BITMAPINFOHEADER's compression code
  std::vector<uint8_t> format;      // the strf payload
  std::vector<uint8_t> superIndex;  // the 'indx' payload, when the stream has one
};

struct AudioFormat {
  AudioKind kind = AudioKind::None;
  uint16_t formatTag = 0;  // 1 PCM, 0x00FF AAC, 0x55 MP3, 0x11 IMA ADPCM, ...
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::vector<uint8_t> config;  // extra bytes of the format: AAC AudioSpecificConfig
};

struct VideoFormat {
  VideoCodec codec = VideoCodec::None;
  uint32_t fourCc = 0;          // the code that named it (compression, else handler)
  std::vector<uint8_t> config;  // bytes of the strf behind its BITMAPINFOHEADER
};

struct CameraInfo {
  int id = 0;  // the H.264 parameter-set id: 0 front, 1 rear (0 for other codecs)
  int width = 0;
  int height = 0;
  int64_t frameCount = 0;  // complete video chunks of this camera
};

struct ChunkEntry {
  uint32_t id = 0;     // four-character code, e.g. "00dc"
  int64_t offset = 0;  // file offset of the chunk's data (its header is 8 bytes before)
  uint32_t size = 0;   // data bytes, without the pad byte
  int stream = -1;     // from the id's first two characters
  ChunkKind kind = ChunkKind::Other;
  int camera = -1;  // video chunks: the camera's parameter-set id
  bool keyFrame = false;
  // In 100-ns units. Pictures: the time of the chunk's place in its stream, which is
  // also when it is shown unless the codec reorders pictures (B-frames); key frames
  // are shown at it. Sound: the start of its samples. Text: its record's position.
  int64_t time = 0;
};

class AviReader {
 public:
  explicit AviReader(ByteSource& source);

  // Reads the headers and the chunk list; false when the source is not a RIFF AVI.
  bool Open();
  bool IsOpen() const { return opened; }
  // Reads the headers only, without the index or the chunks: enough for the stream
  // headers' facts and HeaderDuration (a list of many recordings reads their lengths
  // this way). False when the source is not a RIFF AVI. Open reads everything again.
  bool OpenHeaders();
  // The picture stream's length as its header gives it (length x scale / rate), in
  // 100-ns units; 0 when the header gives none (a power cut leaves the length at 0).
  int64_t HeaderDuration() const;

  // Header facts.
  uint32_t RiffSize() const { return layout.riffSize; }
  uint32_t MoviSize() const { return layout.firstMoviSize; }
  // The writing was cut off: by a power cut (RIFF or movi size left at 0), or the file
  // ends before its sizes say or before its index.
  bool IsCutOff() const { return cutOff; }
  bool HasIndex() const { return indexKind != IndexKind::None; }
  // The index the chunk list was taken from; a scan adds what it does not cover.
  IndexKind Index() const { return indexKind; }
  uint32_t TotalFrames() const { return totalFrames; }          // avih
  uint32_t DeclaredStreamCount() const { return streamCount; }  // avih
  const std::vector<StreamInfo>& Streams() const { return streams; }
  int VideoStream() const { return videoStream; }  // -1 when absent
  int AudioStream() const { return audioStream; }
  int TelemetryStream() const { return telemetryStream; }
  const AudioFormat& Audio() const { return audio; }
  const VideoFormat& Video() const { return video; }
  // File offset of the first "movi" four-character code; the idx1 offsets count from it.
  int64_t MoviOffset() const { return moviOffset; }

  // Cameras in channel order (ascending id); the channel count is their number.
  const std::vector<CameraInfo>& Cameras();
  int CameraCount() { return static_cast<int>(Cameras().size()); }
  // Frames per second of one camera.
  double FrameRate();
  // One camera frame in 100-ns units; 0 without video.
  int64_t FrameDuration();
  // Length of the longest camera's picture sequence in 100-ns units: the end of its
  // last frame.
  int64_t Duration();

  size_t ChunkCount() const { return chunks.size(); }
  const ChunkEntry& Chunk(size_t index);
  const std::vector<ChunkEntry>& Chunks();
  // A chunk as the index or scan gave it: no camera, times only for what was known.
  const ChunkEntry& RawChunk(size_t index) const { return chunks.at(index); }
  // Counts by kind, without working out cameras and times.
  size_t CountChunks(ChunkKind kind) const;

  // Reads a chunk's data; false (data emptied) when it cannot be read whole.
  bool ReadChunk(const ChunkEntry& chunk, std::vector<uint8_t>& data);
  // Reads up to capacity bytes of a chunk's data; the count read or -1.
  int64_t ReadChunkData(const ChunkEntry& chunk, void* buffer, int64_t capacity);

  // Index of the chunk to resume from so that every camera starts on its key frame
  // at or before time; ChunkCount() when there is nothing to play.
  size_t Seek(int64_t time);
  // Index of one camera's key frame at or before time (its first key frame when
  // none is); ChunkCount() when the camera has none.
  size_t SeekCamera(int cameraId, int64_t time);

 private:
  // Open, with the chunk list or (OpenHeaders) without it.
  bool Open(bool withChunks);
  // The length of `frames` camera frames (the start of frame `frames`), 100-ns units.
  int64_t FramesLength(int64_t frames);
  bool ReadHeaderList(int64_t offset, uint32_t size);
  void ParseStreamList(const uint8_t* data, size_t size);
  bool ReadIdx1(int64_t offset, uint32_t size, const MoviRegion& movi);
  bool ReadOdmlIndexes();
  void ScanUncovered();
  void AddChunk(uint32_t id, int64_t offset, uint32_t size, bool keyFrame);
  void ResolveChunks();

  ByteSource& source;
  WindowReader window;
  int64_t sourceSize = 0;
  bool opened = false;
  bool resolved = false;
  RiffLayout layout;
  bool cutOff = false;
  uint32_t totalFrames = 0;
  uint32_t streamCount = 0;
  int64_t moviOffset = 0;
  IndexKind indexKind = IndexKind::None;
  std::vector<StreamInfo> streams;
  int videoStream = -1;
  int audioStream = -1;
  int telemetryStream = -1;
  AudioFormat audio;
  VideoFormat video;
  std::vector<CameraInfo> cameras;
  std::vector<ChunkEntry> chunks;
};

}  // namespace avi
