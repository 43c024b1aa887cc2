// How long the position timer's sample lookups take on an hour-long recording:
// the indexed lookup against a scan from the first sample.
//
// usage: telemetry_lookup_bench [SAMPLES_PER_SECOND] [LOOKUPS]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "telemetry/TelemetrySamples.h"

namespace {

constexpr int32_t kHourMs = 3600 * 1000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int perSecond = argc > 1 ? std::atoi(argv[1]) : 10;
  const int lookups = argc > 2 ? std::atoi(argv[2]) : 20000;
  if (perSecond <= 0 || perSecond > 1000 || lookups <= 0) {
    std::fputs("usage: telemetry_lookup_bench [SAMPLES_PER_SECOND 1..1000] [LOOKUPS]\n", stderr);
    return 2;
  }
  TelemetrySamples samples;
  const int count = 3600 * perSecond;
  const std::string record{'M', 1, 2, 3};
  for (int i = 0; i < count; ++i)
    samples.AddTelemetryRecord(record, static_cast<int32_t>(int64_t{i} * 1000 / perSecond));

  // Positions spread over the hour, as the timer visits them.
  auto position = [&](int i) { return static_cast<int32_t>((int64_t{i} * 7919 * 1000) % kHourMs); };
  double sum = 0, x = 0, y = 0, z = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < lookups; ++i) {
    samples.FindGValues(position(i), x, y, z);
    sum += x;
  }
  const double indexed = Seconds(std::chrono::steady_clock::now() - start);

  start = std::chrono::steady_clock::now();
  for (int i = 0; i < lookups; ++i) {
    const int32_t p = position(i);
    for (const CGSensorData& s : samples.gsensorSamples)
      if (s.recordTime >= p) {
        sum += s.x;
        break;
      }
  }
  const double linear = Seconds(std::chrono::steady_clock::now() - start);

  std::printf("samples %d, lookups %d\n", count, lookups);
  std::printf("indexed: %.1f ns per lookup\n", indexed * 1e9 / lookups);
  std::printf("scan:    %.1f ns per lookup\n", linear * 1e9 / lookups);
  std::printf("(checksum %.0f)\n", sum);
  return 0;
}
