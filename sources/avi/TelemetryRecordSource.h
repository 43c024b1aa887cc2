#pragma once
// The source's record call: hands out a recording's telemetry records one by one,
// in ascending playback position.

#include <cstdint>

class TelemetryRecordSource {
 public:
  // Results of ReadTelemetryRecord.
  static constexpr int kRecordDelivered = 0;
  static constexpr int kEndOfRecords = 38;

  virtual ~TelemetryRecordSource();
  // buffer: room for *size bytes. Returns kRecordDelivered with the record in buffer,
  // its length in *size and its playback position in milliseconds in *recordTime;
  // kEndOfRecords once every record has been delivered; any other value: nothing
  // delivered this time.
  virtual int ReadTelemetryRecord(char* buffer, int32_t* size, int32_t* recordTime) = 0;
};
