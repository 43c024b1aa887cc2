#pragma once
// What the streams of an AVI file carry: the picture and sound codecs named by their
// stream headers, and which pictures are key frames, told from their first bytes.

#include <cstdint>

#include "sources/avi/WindowReader.h"

namespace avi {

enum class VideoCodec { None, H264, Mjpeg, Mpeg4, Unknown };
enum class AudioKind { None, Pcm, Aac, Mp3, ImaAdpcm, Unknown };

// From the stream header's handler and the BITMAPINFOHEADER's compression (either
// may be 0); the compression names the codec when both are set.
VideoCodec VideoCodecOf(uint32_t handler, uint32_t compression);
// From the WAVEFORMATEX tag (and its sub-format for the extensible tag 0xFFFE).
AudioKind AudioKindOf(uint16_t formatTag, uint16_t subFormatTag);

const char* VideoCodecName(VideoCodec codec);
const char* AudioKindName(AudioKind kind);

// Whether the picture in size bytes at offset is a key frame: for H.264 an IDR slice
// (access-unit delimiters, SEI and parameter sets before it are passed over; a chunk
// holding parameter sets and no slice counts as one), every MJPEG picture, an MPEG-4
// Part 2 intra VOP. Reads only as much of the chunk as the answer needs.
bool IsKeyFrame(VideoCodec codec, WindowReader& reader, int64_t offset, uint32_t size);

// The same for bytes already in memory (the whole picture or its beginning).
enum class KeyFrameAnswer { Key, Delta, Undecided };
KeyFrameAnswer KeyFrameOf(VideoCodec codec, const uint8_t* data, int64_t size);

}  // namespace avi
