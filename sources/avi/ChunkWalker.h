#pragma once
// Walks the chunks of the movi lists of an AVI file as they lie, for the reader's
// scan when no index covers them and for the repair: stream chunks ("NNdc", "NNdb",
// "NNwb", "NNtx") are handed out; JUNK, palette changes, OpenDML index chunks, idx1
// and lists other than 'movi' and 'rec ' are stepped over; 'movi' and 'rec ' lists
// and the 'AVIX' forms of an OpenDML file are stepped into. A chunk written without
// the pad byte its odd size calls for is found where it stands. The walk stops at the
// first bytes that are no chunk (damage) and at a chunk that runs past the end (a cut).

#include <cstdint>

#include "sources/avi/WindowReader.h"

namespace avi {

struct FoundChunk {
  uint32_t id = 0;
  int64_t offset = 0;  // of its data; its header is the 8 bytes before
  uint32_t size = 0;   // data bytes as its header says, without a pad byte
  // An odd size whose pad byte the writer left out (or the file ends before it).
  bool padMissing = false;
};

class ChunkWalker {
 public:
  // Walks [begin, end) of the reader's source; begin is where a chunk or list starts.
  ChunkWalker(WindowReader& reader, int64_t begin, int64_t end);
  // The next stream chunk lying whole before the end; false once the walk is over.
  bool Next(FoundChunk& chunk);
  // Where the walk stands: after the last chunk handed out, or where it stopped.
  int64_t Position() const { return pos; }
  // The walk ended before the end: at bytes that are no chunk, or inside a chunk.
  bool Stopped() const { return stopped; }

 private:
  bool KnownAt(int64_t at);
  int64_t After(int64_t dataOffset, uint32_t size);

  WindowReader& reader;
  int64_t pos;
  int64_t end;
  bool stopped = false;
};

// Ids the walk knows: stream chunks, the lists and forms it steps into or over, JUNK,
// idx1, index and palette chunks.
bool IsKnownChunkId(uint32_t id);

}  // namespace avi
