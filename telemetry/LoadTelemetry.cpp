#include "telemetry/LoadTelemetry.h"

#include <array>
#include <chrono>
#include <string_view>
#include <thread>

#include "sources/avi/TelemetryRecordSource.h"
#include "telemetry/TelemetrySamples.h"

namespace {
constexpr int32_t kRecordBufferSize = 1024;
// A source that keeps delivering nothing is given up on after about a second.
constexpr int kMaxIdleCalls = 1000;
constexpr auto kIdlePause = std::chrono::milliseconds(1);
}  // namespace

// The source answers from memory, so there is no pause between records; only a call
// that delivers nothing waits a moment before asking again.
void LoadTelemetry(TelemetryRecordSource* source, TelemetrySamples& samples, const std::atomic<bool>* stop) {
  samples.Clear();
  if (!source) return;
  std::array<char, kRecordBufferSize> buffer{};
  for (int idle = 0; idle < kMaxIdleCalls;) {
    if (stop && stop->load()) return;
    buffer.fill(0);
    int32_t size = kRecordBufferSize;
    int32_t recordTime = 0;
    const int result = source->ReadTelemetryRecord(buffer.data(), &size, &recordTime);
    if (result == TelemetryRecordSource::kEndOfRecords) return;
    if (result != TelemetryRecordSource::kRecordDelivered) {
      ++idle;
      std::this_thread::sleep_for(kIdlePause);
      continue;
    }
    idle = 0;
    if (size < 0 || size > kRecordBufferSize) size = kRecordBufferSize;
    samples.AddTelemetryRecord(std::string_view(buffer.data(), static_cast<size_t>(size)), recordTime);
  }
}
