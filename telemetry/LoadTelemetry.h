#pragma once
// Reads every telemetry record of the opened recording into the samples: empties
// them first, then asks the source for records until it reports the end.

class TelemetryRecordSource;
class TelemetrySamples;

// A null source leaves the samples empty.
void LoadTelemetry(TelemetryRecordSource* source, TelemetrySamples& samples);
