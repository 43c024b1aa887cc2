// The recording model's trips: the lengths of the recordings, read from their
// headers, and the rows of the list grouped by them.

#include <memory>

#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"

namespace {

constexpr int64_t kFileTimeUnitsPerMs = 10000;

int64_t HeaderLengthMs(ByteSource& source) {
  avi::AviReader reader(source);
  if (!reader.OpenHeaders()) return 0;
  return reader.HeaderDuration() / kFileTimeUnitsPerMs;
}

}  // namespace

void RecordingCollection::ReadRecordingLengths() {
  for (RecordingEntry& entry : entries) {
    if (entry.durationMs >= 0) continue;
    entry.durationMs = 0;
    if (entry.cardFileNumber > 0) {
      if (!device.IsOpen()) continue;
      KovrByteSource source(device.Block(), entry.fileName, entry.cardFileNumber);
      if (source.IsOpen()) entry.durationMs = HeaderLengthMs(source);
    } else {
      FileByteSource source;
      if (source.Open(entry.path)) entry.durationMs = HeaderLengthMs(source);
    }
  }
}

std::vector<trips::TripRow> RecordingCollection::TripsOfRows() const {
  std::vector<trips::TripSpan> spans;
  spans.reserve(rows.size());
  for (const RecordingEntry* entry : rows) {
    trips::TripSpan span;
    span.hasStart = entry->fileTime != 0;
    span.startMs = entry->fileTime / kFileTimeUnitsPerMs;
    span.durationMs = entry->durationMs > 0 ? entry->durationMs : 0;
    span.parking = GroupOfName(entry->fileName) == kGroupParking;
    spans.push_back(span);
  }
  return trips::GroupTrips(spans);
}
