#pragma once
// The record call over a recording: its telemetry chunks, in ascending position.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sources/avi/AviReader.h"
#include "sources/avi/TelemetryRecordSource.h"

namespace avi {

class AviTelemetrySource : public TelemetryRecordSource {
 public:
  // The reader must be open and outlive this source.
  explicit AviTelemetrySource(AviReader& reader);

  int ReadTelemetryRecord(char* buffer, int32_t* size, int32_t* recordTime) override;
  // Starts the delivery again from the first record.
  void Rewind() { next = 0; }

 private:
  struct Record {
    int32_t time;
    std::string bytes;
  };
  void Load();

  AviReader& reader;
  bool loaded = false;
  std::vector<Record> records;
  size_t next = 0;
};

}  // namespace avi
