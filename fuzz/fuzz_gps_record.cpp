// Telemetry records as the record call hands them out: GPS sentences through
// ParseGpsRecord, any record through AddTelemetryRecord, then the lookups by position.

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "telemetry/TelemetrySamples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CGPSData sample;
  ParseGpsRecord(sample, 0, text);

  // Records split at line ends, each at a position taken from its first byte, so
  // positions run out of order as a damaged recording delivers them.
  TelemetrySamples samples;
  int32_t position = 0;
  size_t from = 0;
  while (from < text.size()) {
    const size_t end = std::min(text.find('\n', from), text.size());
    const std::string_view record = text.substr(from, end - from);
    position += record.empty() ? 0 : static_cast<int8_t>(record.front()) * 100;
    samples.AddTelemetryRecord(record, position);
    from = end + 1;
  }
  double x = 0, y = 0, z = 0, speed = 0;
  float latitude = 0, longitude = 0;
  for (const int32_t at : {INT32_MIN, -1, 0, 500, position, INT32_MAX}) {
    samples.FindSpeed(at, speed, false);
    samples.FindSpeed(at, speed, true);
    samples.FindPosition(at, latitude, longitude);
    samples.FindGValues(at, x, y, z);
  }
  return 0;
}
