#pragma once
// The video decoder of one channel and its parameter interface.
//
// A channel's decoder is a bin (the codec's parser and decoder, then picture
// adjustment and flip) added to the graph under the channel's decoder label. The graph changes the
// picture only through SetParam with the parameter numbers below, so that another
// decoder can take its place as long as it honours the same numbers.

#include <gst/gst.h>

#include "playback/GstSupport.h"
#include "playback/ResultCodes.h"

namespace playback {

inline constexpr int kParamPictureAdjust = 205;  // 1: picture adjustment on
inline constexpr int kParamBrightness = 202;     // -255 ... +255, 0 = unchanged
inline constexpr int kParamTransform = 1101;     // 1: image transform on
inline constexpr int kParamMirror = 1113;        // 1: mirrored left to right, 0: normal

class DecoderParams {
 public:
  virtual ~DecoderParams() = default;
  // Sets one integer parameter; kEInvalidArg for a number the decoder does not know.
  // Any thread may call it; the change applies to the next decoded picture.
  virtual HResult SetParam(int number, int value) = 0;
};

// A new decoder bin named `name` with one "sink" pad taking pictures of the codec the
// caps name (H.264 byte-stream access units, JPEG pictures, MPEG-4 Part 2) and one
// "src" pad (raw video). Null for any other codec or when its decoder is missing.
ElementRef MakeVideoDecoderBin(const char* name, const GstCaps* caps);

// Whether MakeVideoDecoderBin can make a decoder for these caps here.
bool CanDecodeVideo(const GstCaps* caps);

// The parameter interface of a decoder made by MakeVideoDecoderBin; null for any
// other element. Valid as long as the element lives.
DecoderParams* DecoderParamsOf(GstElement* decoder);

}  // namespace playback
