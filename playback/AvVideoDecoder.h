#pragma once
// The H.264 decoder of the playback graph: libavcodec behind GStreamer's video decoder
// base class, handing each picture on in libavcodec's own buffers. The planes are
// wrapped read-only, their strides in a video meta, and go back to libavcodec when the
// last holder lets go. GStreamer's own avdec_h264 copies every picture once on its way
// out (into a buffer of its pool, or, decoding into a pool of the sink's, when it makes
// the picture writable while libavcodec still holds it as a reference), a whole 1080p
// picture per frame that the screens never needed.
//
// It takes what h264parse gives it as whole access units in byte-stream form, decodes
// with as many threads as there are processors, skips pictures no other picture refers
// to while the sink reports it late, and counts what cannot be decoded against the base
// class's max-errors, concealing what libavcodec can (all as avdec_h264 does).

namespace playback {

inline constexpr const char* kAvVideoDecoderFactory = "tarvoh264dec";

// Registers the element's type (EnsureGStreamer calls this); false when libavcodec has
// no H.264 decoder.
bool RegisterAvVideoDecoder();

}  // namespace playback
