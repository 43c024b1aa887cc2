#pragma once
// Reads every telemetry record of the opened recording into the samples: empties
// them first, then asks the source for records until it reports the end.

#include <atomic>

class TelemetryRecordSource;
class TelemetrySamples;

// A null source leaves the samples empty. When `stop` is given and becomes true, the
// reading ends early (a load that was superseded); the samples then hold what was
// read so far.
void LoadTelemetry(TelemetryRecordSource* source, TelemetrySamples& samples, const std::atomic<bool>* stop = nullptr);
