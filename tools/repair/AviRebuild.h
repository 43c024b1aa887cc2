#pragma once
// Rebuilds a recording from its two parts (the header: the first 20 + S bytes; the
// body: everything after), either read in place from a local file or from the two
// temporary files a card recording is copied into, into a playable file: the repair of a cut-off
// recording (chunk scan, new counts, new index), with a silent sound track when it
// has no sound, or the insertion of that track into an intact recording.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "sources/avi/ByteSource.h"
#include "sources/avi/ByteSourceView.h"

namespace repair {

enum class RebuildResult {
  Rebuilt,
  NoChunks,     // no complete chunk: the output stays empty
  BadHeader,    // the header file is not a recording header
  CannotRead,   // a temporary file cannot be opened
  CannotWrite,  // the output cannot be created or written
  TooLarge,     // the rebuilt file would pass the 4 GiB of a RIFF file
};

const char* RebuildResultText(RebuildResult result);

// While a rebuild runs its output carries this suffix; the output's own name appears
// only when the rebuild succeeds. A failed rebuild leaves neither.
inline constexpr const char* kPartialSuffix = ".partial";

// riffSize 0: repair a cut-off recording; otherwise insert the silent track into an
// intact recording without sound. noAudio: the recording has no sound stream. The
// output exists afterwards only when rebuilt, or empty for NoChunks.
RebuildResult RebuildRecording(const std::filesystem::path& output, const std::filesystem::path& headerFile,
                               const std::filesystem::path& bodyFile, bool noAudio, uint32_t riffSize);

// The same from the parts where they lie: header holds the first 20 + S bytes, body
// the rest (for a local recording, views of the recording itself: nothing is copied
// before the rebuild, and the chunks go from the recording into the output in the
// kernel). Both are only read.
RebuildResult RebuildRecording(const std::filesystem::path& output, ByteSource& header, ByteSourceView& body,
                               bool noAudio, uint32_t riffSize);

// The dashcam's own layout, told from the header (the first 20 + S bytes) and the 12
// bytes behind it: the video stream list right behind the main header, the telemetry
// stream list last, and the movi list right behind the header list. Its rebuild and
// its rule for recordings without sound are the camera's; any other layout is
// rebuilt from whatever chunks its movi lists hold, wherever they stand.
bool IsCameraLayout(const std::vector<uint8_t>& header, const uint8_t (&behindHeader)[12]);

}  // namespace repair
