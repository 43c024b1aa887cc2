#pragma once
// The stream-parse source: our GStreamer element that reads a recording from a file
// or from a card, demultiplexes it and hands out its telemetry records.
//
// Each graph adds one under the name "VKStreamParseFilter". Before the pipeline
// starts, the graph configures it through StreamParseControl (source option, card
// handle and card file number) and loads it through FileSource::Load, which opens
// the recording and creates the source pads: at most one "Audio" pad first (raw PCM,
// AAC with its codec data, MPEG audio or IMA ADPCM), then "Video1" ... "VideoN", one
// per camera in channel order (H.264 byte-stream access units, JPEG pictures or
// MPEG-4 Part 2; kUnsupportedVideoCaps for pictures of any other codec). One
// streaming task pushes the chunks in file order, each picture with its decoding
// time (and its presentation time when it is a key frame: a decoder reorders the
// rest); flushing seeks at rates 0.5 ... 2.0 restart every pad on a key frame at or
// before the target, and each pad ends with EOS at the end of the data.

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playback/ResultCodes.h"
#include "sources/avi/ByteSource.h"
#include "sources/avi/TelemetryRecordSource.h"

namespace playback {

// Caps of a video pad whose pictures no decoder of ours takes, with the code that
// names them in the field "fourcc".
inline constexpr const char* kUnsupportedVideoCaps = "video/x-tarvo-unsupported";

// The private control interface of the source. ReadTelemetryRecord (from
// TelemetryRecordSource) is the record call: 0 with one record, 38 once every record
// has been delivered. Any thread may call it while the graph plays.
class StreamParseControl : public TelemetryRecordSource {
 public:
  // A flag kept for the viewer's callers; it does not change how a file is read.
  virtual void SetSourceOption(bool option) = 0;
  // Read the next Load from the card behind `cardHandle` (the card connection the
  // card library opened) as its file number `fileNumber`; null and -1 for a file.
  virtual void SetCardSource(void* cardHandle, std::int32_t fileNumber) = 0;
  // The time (100-ns units) of the first camera's picture after (direction > 0) or
  // before (direction < 0) the one shown at `time`, the last at or before it; -1 when
  // there is none or nothing is loaded. Any thread may ask.
  virtual std::int64_t NeighbourPictureTime(std::int64_t time, int direction) = 0;
};

// What the graph's file-loading step calls.
class FileSource {
 public:
  virtual ~FileSource() = default;
  // Opens the recording (a path, or the card file's name when a card source was set)
  // and creates the pads. kSOk, or a failure code when it cannot be read; a second
  // Load on the same element is refused.
  virtual HResult Load(const std::string& path) = 0;
};

// Registers the element type (EnsureGStreamer calls this).
bool RegisterStreamParseSource();

// The interfaces of a stream-parse source element; null for any other element.
StreamParseControl* StreamParseControlOf(GstElement* element);
FileSource* FileSourceOf(GstElement* element);

// Opens a card file as bytes: given the card handle, the card file number and the
// name Load received. Without one installed, the source reads the file through the
// card library on the connection the handle names; tests install their own.
using CardByteSourceFactory =
    std::function<std::unique_ptr<ByteSource>(void* cardHandle, std::int32_t fileNumber, const std::string& name)>;
void SetCardByteSourceFactory(CardByteSourceFactory factory);

}  // namespace playback
