#include "sources/avi/TelemetryRecordSource.h"

TelemetryRecordSource::~TelemetryRecordSource() = default;
