#include "playback/AvVideoDecoder.h"

#include <gst/gst.h>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/video.h>

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace playback {
namespace {

// Owned by the element; used on its streaming thread (and at start and stop).
struct DecoderState {
  AVCodecContext* context = nullptr;
  AVFrame* picture = nullptr;
  AVPacket* packet = nullptr;
  GstVideoCodecState* input = nullptr;
  std::vector<std::uint8_t> padded;  // an access unit with libavcodec's zeroed tail
  // What the output caps were made for.
  int width = 0;
  int height = 0;
  int format = AV_PIX_FMT_NONE;
  int range = AVCOL_RANGE_UNSPECIFIED;
  int space = AVCOL_SPC_UNSPECIFIED;
};

}  // namespace
}  // namespace playback

extern "C" {

struct TarvoH264Dec {
  GstVideoDecoder parent;
  playback::DecoderState* state;
};

struct TarvoH264DecClass {
  GstVideoDecoderClass parent_class;
};
}

// The type macro casts in C style; nothing of ours is cast there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE(TarvoH264Dec, tarvo_h264_dec, GST_TYPE_VIDEO_DECODER)
#pragma GCC diagnostic pop

namespace playback {
namespace {

// A picture whose number lies this far behind one that came out will not come out: an
// H.264 decoder holds at most 16 pictures for reordering, and frame threads a few more.
constexpr int kMostPicturesHeld = 48;
// They are looked for once in this many pictures, not for each.
constexpr int kSweepEvery = 16;

DecoderState* StateOf(GstVideoDecoder* decoder) { return reinterpret_cast<TarvoH264Dec*>(decoder)->state; }

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS("video/x-h264, stream-format=(string)byte-stream, alignment=(string)au"));

GstStaticPadTemplate srcTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("video/x-raw, format=(string){ I420, Y42B, Y444, I420_10LE, I422_10LE, Y444_10LE, GRAY8 }"));

GstVideoFormat FormatOf(int format) {
  switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P:
      return GST_VIDEO_FORMAT_I420;
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P:
      return GST_VIDEO_FORMAT_Y42B;
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUVJ444P:
      return GST_VIDEO_FORMAT_Y444;
    case AV_PIX_FMT_YUV420P10LE:
      return GST_VIDEO_FORMAT_I420_10LE;
    case AV_PIX_FMT_YUV422P10LE:
      return GST_VIDEO_FORMAT_I422_10LE;
    case AV_PIX_FMT_YUV444P10LE:
      return GST_VIDEO_FORMAT_Y444_10LE;
    case AV_PIX_FMT_GRAY8:
      return GST_VIDEO_FORMAT_GRAY8;
    default:
      return GST_VIDEO_FORMAT_UNKNOWN;
  }
}

bool FullRange(const AVFrame* picture) {
  return picture->color_range == AVCOL_RANGE_JPEG || picture->format == AV_PIX_FMT_YUVJ420P ||
         picture->format == AV_PIX_FMT_YUVJ422P || picture->format == AV_PIX_FMT_YUVJ444P;
}

void Close(DecoderState* state) {
  avcodec_free_context(&state->context);
  av_frame_free(&state->picture);
  av_packet_free(&state->packet);
  state->width = state->height = 0;
  state->format = AV_PIX_FMT_NONE;
}

bool Open(GstVideoDecoder* decoder, DecoderState* state) {
  Close(state);
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!codec) return false;
  state->context = avcodec_alloc_context3(codec);
  state->picture = av_frame_alloc();
  state->packet = av_packet_alloc();
  if (!state->context || !state->picture || !state->packet) return false;
  // As avdec_h264 sets it up: a thread per processor, frame and slice threads.
  state->context->thread_count = static_cast<int>(g_get_num_processors());
  if (avcodec_open2(state->context, codec, nullptr) < 0) {
    GST_ELEMENT_WARNING(decoder, LIBRARY, INIT, (nullptr), ("libavcodec could not open its H.264 decoder"));
    Close(state);
    return false;
  }
  return true;
}

// The output caps for `picture`, made again when its size, format or colours change.
bool Negotiate(GstVideoDecoder* decoder, DecoderState* state, const AVFrame* picture) {
  if (picture->width == state->width && picture->height == state->height && picture->format == state->format &&
      picture->color_range == state->range && picture->colorspace == state->space)
    return true;
  const GstVideoFormat format = FormatOf(picture->format);
  if (format == GST_VIDEO_FORMAT_UNKNOWN || picture->width <= 0 || picture->height <= 0) {
    const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(picture->format));
    GST_ELEMENT_ERROR(
        decoder, STREAM, FORMAT, (nullptr),
        ("pictures of format %s (%dx%d) are not taken", name ? name : "?", picture->width, picture->height));
    return false;
  }
  GstVideoCodecState* output = gst_video_decoder_set_output_state(decoder, format, static_cast<guint>(picture->width),
                                                                  static_cast<guint>(picture->height), state->input);
  if (!output) return false;
  // The colours as the stream states them; what it leaves open keeps GStreamer's
  // default for the size, as avdec_h264 does.
  GstVideoColorimetry& colours = output->info.colorimetry;
  colours.range = FullRange(picture) ? GST_VIDEO_COLOR_RANGE_0_255 : GST_VIDEO_COLOR_RANGE_16_235;
  if (picture->colorspace == AVCOL_SPC_BT709) {
    colours.matrix = GST_VIDEO_COLOR_MATRIX_BT709;
  } else if (picture->colorspace == AVCOL_SPC_BT470BG || picture->colorspace == AVCOL_SPC_SMPTE170M) {
    colours.matrix = GST_VIDEO_COLOR_MATRIX_BT601;
  }
  gst_video_codec_state_unref(output);
  if (!gst_video_decoder_negotiate(decoder)) return false;
  state->width = picture->width;
  state->height = picture->height;
  state->format = picture->format;
  state->range = picture->color_range;
  state->space = picture->colorspace;
  return true;
}

void ReleasePlane(gpointer data) {
  AVBufferRef* reference = static_cast<AVBufferRef*>(data);
  av_buffer_unref(&reference);
}

// `picture`'s planes as a buffer, without copying: one read-only memory per plane,
// each holding a reference to libavcodec's buffer, and a video meta with the strides.
GstBuffer* Wrap(const AVFrame* picture) {
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
  const int planes = av_pix_fmt_count_planes(static_cast<AVPixelFormat>(picture->format));
  if (!descriptor || planes <= 0 || planes > GST_VIDEO_MAX_PLANES) return nullptr;
  GstBuffer* buffer = gst_buffer_new();
  gsize offsets[GST_VIDEO_MAX_PLANES] = {};
  gint strides[GST_VIDEO_MAX_PLANES] = {};
  gsize offset = 0;
  for (int i = 0; i < planes; ++i) {
    const int rows = (i == 1 || i == 2) ? AV_CEIL_RSHIFT(picture->height, descriptor->log2_chroma_h) : picture->height;
    AVBufferRef* holder = av_frame_get_plane_buffer(const_cast<AVFrame*>(picture), i);
    if (!holder || picture->linesize[i] <= 0 || !picture->data[i]) {
      gst_buffer_unref(buffer);
      return nullptr;
    }
    AVBufferRef* reference = av_buffer_ref(holder);
    if (!reference) {
      gst_buffer_unref(buffer);
      return nullptr;
    }
    const auto size = static_cast<gsize>(picture->linesize[i]) * static_cast<gsize>(rows);
    gst_buffer_append_memory(buffer, gst_memory_new_wrapped(GST_MEMORY_FLAG_READONLY, picture->data[i], size, 0, size,
                                                            reference, ReleasePlane));
    offsets[i] = offset;
    strides[i] = picture->linesize[i];
    offset += size;
  }
  gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, FormatOf(picture->format),
                                 static_cast<guint>(picture->width), static_cast<guint>(picture->height),
                                 static_cast<guint>(planes), offsets, strides);
  return buffer;
}

bool IsFlushing(GstPad* pad) {
  // The flag macro casts in C style.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
  return GST_PAD_IS_FLUSHING(pad);
#pragma GCC diagnostic pop
}

// Pictures numbered far behind `number` never come out (libavcodec skipped them or
// could not decode them): they leave the base class's list of pending frames.
void ReleaseLeftBehind(GstVideoDecoder* decoder, int number) {
  GList* frames = gst_video_decoder_get_frames(decoder);
  for (GList* item = frames; item; item = item->next) {
    auto* frame = static_cast<GstVideoCodecFrame*>(item->data);
    if (static_cast<int>(frame->system_frame_number) + kMostPicturesHeld < number) {
      gst_video_decoder_release_frame(decoder, frame);
    } else {
      gst_video_codec_frame_unref(frame);
    }
  }
  g_list_free(frames);
}

GstFlowReturn Output(GstVideoDecoder* decoder, DecoderState* state, const AVFrame* picture) {
  if (picture->pts == AV_NOPTS_VALUE) return GST_FLOW_OK;
  const int number = static_cast<int>(picture->pts);
  GstVideoCodecFrame* frame = gst_video_decoder_get_frame(decoder, number);
  if (!frame) return GST_FLOW_OK;
  if (!Negotiate(decoder, state, picture)) {
    gst_video_decoder_drop_frame(decoder, frame);
    // A seek flushing the pad meanwhile is no failure of the caps.
    return IsFlushing(decoder->srcpad) ? GST_FLOW_FLUSHING : GST_FLOW_NOT_NEGOTIATED;
  }
  frame->output_buffer = Wrap(picture);
  if (!frame->output_buffer) {
    gst_video_decoder_drop_frame(decoder, frame);
    GST_ELEMENT_ERROR(decoder, RESOURCE, FAILED, (nullptr), ("a decoded picture could not be wrapped"));
    return GST_FLOW_ERROR;
  }
  if (picture->flags & AV_FRAME_FLAG_CORRUPT) GST_BUFFER_FLAG_SET(frame->output_buffer, GST_BUFFER_FLAG_CORRUPTED);
  if (number % kSweepEvery == 0) ReleaseLeftBehind(decoder, number);
  return gst_video_decoder_finish_frame(decoder, frame);
}

// A picture or access unit libavcodec could not decode. Counted by the base class: past
// its max-errors in a row the decoder stops with an error; until then what libavcodec
// conceals plays on.
GstFlowReturn DecodeError(GstVideoDecoder* decoder, const char* what, int code) {
  GstFlowReturn flow = GST_FLOW_OK;
  // The macro casts in C style.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
  GST_VIDEO_DECODER_ERROR(decoder, 1, STREAM, DECODE, (nullptr), ("%s (%d)", what, code), flow);
#pragma GCC diagnostic pop
  return flow;
}

// Hands on every picture libavcodec has ready.
GstFlowReturn ReceiveAll(GstVideoDecoder* decoder, DecoderState* state) {
  for (;;) {
    const int result = avcodec_receive_frame(state->context, state->picture);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return GST_FLOW_OK;
    if (result < 0) return DecodeError(decoder, "a picture could not be decoded", result);
    const GstFlowReturn flow = Output(decoder, state, state->picture);
    av_frame_unref(state->picture);
    if (flow != GST_FLOW_OK) return flow;
  }
}

// Lets go of the decoder and the input caps (at stop, and when the element goes).
void Release(DecoderState* state) {
  Close(state);
  if (state->input) gst_video_codec_state_unref(state->input);
  state->input = nullptr;
}

gboolean Stop(GstVideoDecoder* decoder) {
  Release(StateOf(decoder));
  return TRUE;
}

gboolean SetFormat(GstVideoDecoder* decoder, GstVideoCodecState* input) {
  DecoderState* state = StateOf(decoder);
  if (state->input) gst_video_codec_state_unref(state->input);
  state->input = gst_video_codec_state_ref(input);
  // The parameter sets travel in the stream itself, so new caps need no new decoder.
  // Failing here fails the caps: no access unit comes without a decoder.
  return state->context || Open(decoder, state);
}

GstFlowReturn HandleFrame(GstVideoDecoder* decoder, GstVideoCodecFrame* frame) {
  DecoderState* state = StateOf(decoder);
  GstMapInfo map;
  if (!gst_buffer_map(frame->input_buffer, &map, GST_MAP_READ)) {
    gst_video_decoder_drop_frame(decoder, frame);
    GST_ELEMENT_ERROR(decoder, STREAM, DECODE, (nullptr), ("an access unit could not be read"));
    return GST_FLOW_ERROR;
  }
  state->padded.resize(map.size + AV_INPUT_BUFFER_PADDING_SIZE);
  if (map.size) std::memcpy(state->padded.data(), map.data, map.size);
  std::memset(state->padded.data() + map.size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
  const auto size = static_cast<int>(map.size);
  gst_buffer_unmap(frame->input_buffer, &map);
  // Late: the pictures no other refers to are skipped until the sink catches up.
  const GstClockTimeDiff spare = gst_video_decoder_get_max_decode_time(decoder, frame);
  state->context->skip_frame = (spare != G_MAXINT64 && spare <= 0) ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
  const int number = static_cast<int>(frame->system_frame_number);
  // The base class keeps the frame in its list until its picture comes out.
  gst_video_codec_frame_unref(frame);
  if (size == 0) return GST_FLOW_OK;
  AVPacket* packet = state->packet;
  packet->data = state->padded.data();
  packet->size = size;
  packet->pts = number;
  int sent = avcodec_send_packet(state->context, packet);
  while (sent == AVERROR(EAGAIN)) {
    const GstFlowReturn flow = ReceiveAll(decoder, state);
    if (flow != GST_FLOW_OK) return flow;
    sent = avcodec_send_packet(state->context, packet);
  }
  packet->data = nullptr;
  packet->size = 0;
  if (sent < 0) {
    const GstFlowReturn flow = DecodeError(decoder, "an access unit could not be decoded", sent);
    if (flow != GST_FLOW_OK) return flow;
  }
  return ReceiveAll(decoder, state);
}

GstFlowReturn Drain(GstVideoDecoder* decoder) {
  DecoderState* state = StateOf(decoder);
  if (!state->context) return GST_FLOW_OK;
  GstFlowReturn flow = GST_FLOW_OK;
  if (avcodec_send_packet(state->context, nullptr) == 0) flow = ReceiveAll(decoder, state);
  // Ready for more after the pictures held back came out.
  avcodec_flush_buffers(state->context);
  return flow;
}

gboolean Flush(GstVideoDecoder* decoder) {
  DecoderState* state = StateOf(decoder);
  if (state->context) avcodec_flush_buffers(state->context);
  return TRUE;
}

void Finalize(GObject* object) {
  auto* state = reinterpret_cast<TarvoH264Dec*>(object)->state;
  Release(state);
  delete state;
  G_OBJECT_CLASS(tarvo_h264_dec_parent_class)->finalize(object);
}

}  // namespace
}  // namespace playback

static void tarvo_h264_dec_class_init(TarvoH264DecClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  GstVideoDecoderClass* decoderClass = GST_VIDEO_DECODER_CLASS(klass);
  objectClass->finalize = playback::Finalize;
  gst_element_class_set_static_metadata(elementClass, "H.264 decoder without copies", "Codec/Decoder/Video",
                                        "Decodes H.264 with libavcodec and hands its pictures on in place",
                                        "Tarvo Viewer");
  gst_element_class_add_static_pad_template(elementClass, &playback::sinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &playback::srcTemplate);
  decoderClass->stop = playback::Stop;
  decoderClass->set_format = playback::SetFormat;
  decoderClass->handle_frame = playback::HandleFrame;
  decoderClass->drain = playback::Drain;
  decoderClass->finish = playback::Drain;
  decoderClass->flush = playback::Flush;
}

static void tarvo_h264_dec_init(TarvoH264Dec* decoder) {
  decoder->state = new playback::DecoderState;
  gst_video_decoder_set_packetized(GST_VIDEO_DECODER(decoder), TRUE);
}

namespace playback {

bool RegisterAvVideoDecoder() {
  if (!avcodec_find_decoder(AV_CODEC_ID_H264)) return false;
  return gst_element_register(nullptr, kAvVideoDecoderFactory, GST_RANK_NONE, tarvo_h264_dec_get_type());
}

}  // namespace playback
