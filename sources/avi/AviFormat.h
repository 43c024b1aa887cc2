#pragma once
// Fixed facts of AVI files: four-character codes, offsets of the header fields the
// tools patch in the dashcam's layout, chunk ids and little-endian helpers.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace avi {

constexpr uint32_t MakeFourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(d)) << 24;
}
constexpr uint32_t FourCc(const char (&s)[5]) { return MakeFourCc(s[0], s[1], s[2], s[3]); }

constexpr uint32_t kRiff = FourCc("RIFF");
constexpr uint32_t kAvi = FourCc("AVI ");
constexpr uint32_t kList = FourCc("LIST");
constexpr uint32_t kHdrl = FourCc("hdrl");
constexpr uint32_t kAvih = FourCc("avih");
constexpr uint32_t kStrl = FourCc("strl");
constexpr uint32_t kStrh = FourCc("strh");
constexpr uint32_t kStrf = FourCc("strf");
constexpr uint32_t kMovi = FourCc("movi");
constexpr uint32_t kIdx1 = FourCc("idx1");
constexpr uint32_t kJunk = FourCc("JUNK");
constexpr uint32_t kVids = FourCc("vids");
constexpr uint32_t kAuds = FourCc("auds");
constexpr uint32_t kTxts = FourCc("txts");
constexpr uint32_t kH264 = FourCc("H264");
constexpr uint32_t kRec = FourCc("rec ");
constexpr uint32_t kAvix = FourCc("AVIX");
constexpr uint32_t kIndx = FourCc("indx");

// File offsets in the dashcam's layout.
constexpr int64_t kRiffSizeOffset = 4;
constexpr int64_t kHeaderListSizeOffset = 16;
constexpr int64_t kMainHeaderSizeOffset = 28;
constexpr int64_t kTotalFramesOffset = 48;
constexpr int64_t kStreamCountOffset = 56;
constexpr int64_t kSecondStreamTypeOffset = 232;  // fccType of the second stream list
constexpr int64_t kMainHeaderSize = 56;           // avih payload

// Offsets inside a strh payload.
constexpr size_t kStrhType = 0;
constexpr size_t kStrhHandler = 4;
constexpr size_t kStrhScale = 20;
constexpr size_t kStrhRate = 24;
constexpr size_t kStrhLength = 32;
constexpr size_t kStrhSuggestedBuffer = 36;
constexpr size_t kStrhSampleSize = 44;
constexpr size_t kStrhSize = 56;

// Index entry flag of key frames (and of every audio and text chunk).
constexpr uint32_t kIndexKeyFrame = 0x10;
constexpr size_t kIndexEntrySize = 16;

inline uint32_t ReadLe32(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}
inline uint16_t ReadLe16(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}
inline void WriteLe32(void* p, uint32_t v) {
  auto* b = static_cast<unsigned char*>(p);
  b[0] = static_cast<unsigned char>(v);
  b[1] = static_cast<unsigned char>(v >> 8);
  b[2] = static_cast<unsigned char>(v >> 16);
  b[3] = static_cast<unsigned char>(v >> 24);
}
inline void WriteLe16(void* p, uint16_t v) {
  auto* b = static_cast<unsigned char*>(p);
  b[0] = static_cast<unsigned char>(v);
  b[1] = static_cast<unsigned char>(v >> 8);
}

// The last two characters of a chunk id tell its kind: "dc" and "db" pictures
// (compressed and not, though muxers use either for any codec), "wb" sound, "tx" text.
enum class ChunkKind { Video, Audio, Text, Other };

inline ChunkKind KindOfChunkId(uint32_t id) {
  const char c2 = static_cast<char>(id >> 16), c3 = static_cast<char>(id >> 24);
  if (c2 == 'd' && (c3 == 'c' || c3 == 'b')) return ChunkKind::Video;
  if (c2 == 'w' && c3 == 'b') return ChunkKind::Audio;
  if (c2 == 't' && c3 == 'x') return ChunkKind::Text;
  return ChunkKind::Other;
}

// The stream number of a chunk id ("01wb" -> 1); -1 when the first two are not digits.
inline int StreamOfChunkId(uint32_t id) {
  const char c0 = static_cast<char>(id), c1 = static_cast<char>(id >> 8);
  if (c0 < '0' || c0 > '9' || c1 < '0' || c1 > '9') return -1;
  return (c0 - '0') * 10 + (c1 - '0');
}

// A stream chunk: two digits, then one of the kinds above.
inline bool IsStreamChunkId(uint32_t id) { return StreamOfChunkId(id) >= 0 && KindOfChunkId(id) != ChunkKind::Other; }

// An OpenDML standard index chunk inside a movi list: "ix" and two digits.
inline bool IsIndexChunkId(uint32_t id) {
  const char c2 = static_cast<char>(id >> 16), c3 = static_cast<char>(id >> 24);
  return static_cast<char>(id) == 'i' && static_cast<char>(id >> 8) == 'x' && c2 >= '0' && c2 <= '9' && c3 >= '0' &&
         c3 <= '9';
}

inline uint32_t ChunkIdFor(int stream, const char (&kind)[3]) {
  return MakeFourCc(static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10), kind[0], kind[1]);
}

inline std::string_view FourCcText(const uint32_t& id) {
  return std::string_view(reinterpret_cast<const char*>(&id), 4);
}

}  // namespace avi
