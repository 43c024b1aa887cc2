#include "sources/avi/Codecs.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "sources/avi/AviFormat.h"
#include "sources/avi/H264Bits.h"

namespace avi {

namespace {

constexpr uint16_t kTagPcm = 0x0001;
constexpr uint16_t kTagImaAdpcm = 0x0011;
constexpr uint16_t kTagMpegAudio = 0x0050;  // layers 1 and 2
constexpr uint16_t kTagMp3 = 0x0055;
constexpr uint16_t kTagAac = 0x00FF;
constexpr uint16_t kTagAacAdts = 0x1600;
constexpr uint16_t kTagExtensible = 0xFFFE;

// Most pictures decide within this; H.264 with a long SEI (x264 writes its settings
// into the first one) or an MPEG-4 VOL with user data needs the second step.
constexpr int64_t kFirstLook = 256;
constexpr int64_t kSecondLook = 64 * 1024;
constexpr uint8_t kVopStartCode = 0xB6;
constexpr int kVopTypeShift = 6;

uint32_t Upper(uint32_t fourcc) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>(fourcc >> (8 * i));
    out |= static_cast<uint32_t>(std::toupper(c)) << (8 * i);
  }
  return out;
}

VideoCodec CodecOfFourCc(uint32_t fourcc) {
  switch (Upper(fourcc)) {
    case FourCc("H264"):
    case FourCc("X264"):
    case FourCc("AVC1"):
    case FourCc("DAVC"):
    case FourCc("VSSH"):
      return VideoCodec::H264;
    case FourCc("MJPG"):
    case FourCc("AVRN"):
    case FourCc("LJPG"):
    case FourCc("JPGL"):
    case FourCc("DMB1"):
      return VideoCodec::Mjpeg;
    case FourCc("XVID"):
    case FourCc("DIVX"):
    case FourCc("DX50"):
    case FourCc("FMP4"):
    case FourCc("MP4V"):
    case FourCc("M4S2"):
    case FourCc("3IV2"):
      return VideoCodec::Mpeg4;
    default:
      return fourcc == 0 ? VideoCodec::None : VideoCodec::Unknown;
  }
}

// The first slice decides; delimiters, SEI and parameter sets before it do not.
KeyFrameAnswer H264KeyFrame(const uint8_t* data, int64_t size) {
  for (const h264::NalSpan& nal : h264::SplitAnnexB(data, static_cast<size_t>(size))) {
    if (nal.type >= h264::kNalSlice && nal.type <= h264::kNalIdr)
      return nal.type == h264::kNalIdr ? KeyFrameAnswer::Key : KeyFrameAnswer::Delta;
  }
  return KeyFrameAnswer::Undecided;
}

// Parameter sets with no slice in sight open a key frame, as the camera writes them.
bool H264HasParameterSets(const uint8_t* data, int64_t size) {
  for (const h264::NalSpan& nal : h264::SplitAnnexB(data, static_cast<size_t>(size)))
    if (nal.type == h264::kNalSps) return true;
  return false;
}

KeyFrameAnswer Mpeg4KeyFrame(const uint8_t* data, int64_t size) {
  for (int64_t i = 0; i + 4 < size; ++i) {
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == kVopStartCode)
      return (data[i + 4] >> kVopTypeShift) == 0 ? KeyFrameAnswer::Key : KeyFrameAnswer::Delta;
  }
  return KeyFrameAnswer::Undecided;
}

}  // namespace

VideoCodec VideoCodecOf(uint32_t handler, uint32_t compression) {
  const VideoCodec byCompression = CodecOfFourCc(compression);
  return byCompression != VideoCodec::None ? byCompression : CodecOfFourCc(handler);
}

AudioKind AudioKindOf(uint16_t formatTag, uint16_t subFormatTag) {
  switch (formatTag) {
    case kTagPcm:
      return AudioKind::Pcm;
    case kTagAac:
    case kTagAacAdts:
      return AudioKind::Aac;
    case kTagMp3:
    case kTagMpegAudio:
      return AudioKind::Mp3;
    case kTagImaAdpcm:
      return AudioKind::ImaAdpcm;
    case kTagExtensible:
      return subFormatTag == kTagExtensible ? AudioKind::Unknown : AudioKindOf(subFormatTag, 0);
    default:
      return AudioKind::Unknown;
  }
}

const char* VideoCodecName(VideoCodec codec) {
  switch (codec) {
    case VideoCodec::H264:
      return "H.264";
    case VideoCodec::Mjpeg:
      return "MJPEG";
    case VideoCodec::Mpeg4:
      return "MPEG-4 Part 2";
    case VideoCodec::None:
      return "none";
    case VideoCodec::Unknown:
      break;
  }
  return "unknown";
}

const char* AudioKindName(AudioKind kind) {
  switch (kind) {
    case AudioKind::Pcm:
      return "PCM";
    case AudioKind::Aac:
      return "AAC";
    case AudioKind::Mp3:
      return "MP3";
    case AudioKind::ImaAdpcm:
      return "IMA ADPCM";
    case AudioKind::None:
      return "none";
    case AudioKind::Unknown:
      break;
  }
  return "unknown";
}

KeyFrameAnswer KeyFrameOf(VideoCodec codec, const uint8_t* data, int64_t size) {
  switch (codec) {
    case VideoCodec::Mjpeg:
      return KeyFrameAnswer::Key;
    case VideoCodec::Mpeg4:
      return Mpeg4KeyFrame(data, size);
    case VideoCodec::Unknown:
      // Nothing to tell them by: every picture may start playback.
      return KeyFrameAnswer::Key;
    case VideoCodec::H264:
    case VideoCodec::None:
      break;
  }
  return H264KeyFrame(data, size);
}

bool IsKeyFrame(VideoCodec codec, WindowReader& reader, int64_t offset, uint32_t size) {
  uint8_t first[kFirstLook];
  const int64_t want = std::min<int64_t>(size, kFirstLook);
  const int64_t got = reader.Read(offset, first, want);
  if (got <= 0) return false;
  KeyFrameAnswer answer = KeyFrameOf(codec, first, got);
  if (answer != KeyFrameAnswer::Undecided) return answer == KeyFrameAnswer::Key;
  const bool annexB = codec == VideoCodec::H264 || codec == VideoCodec::None;
  // Only a picture that began as its codec's pictures do is worth reading further.
  if (got == want && size > got && (annexB ? !h264::SplitAnnexB(first, static_cast<size_t>(got)).empty() : true)) {
    std::vector<uint8_t> more(static_cast<size_t>(std::min<int64_t>(size, kSecondLook)));
    const int64_t n = reader.Read(offset, more.data(), static_cast<int64_t>(more.size()));
    if (n > got) {
      answer = KeyFrameOf(codec, more.data(), n);
      if (answer != KeyFrameAnswer::Undecided) return answer == KeyFrameAnswer::Key;
      return annexB && H264HasParameterSets(more.data(), n);
    }
  }
  return annexB && H264HasParameterSets(first, got);
}

}  // namespace avi
