// tarvo-tool telemetry: a recording's telemetry records as the viewer reads them.

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "cli/Commands.h"
#include "settings/ViewerSettings.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/RecordingInput.h"
#include "telemetry/GpsClock.h"
#include "telemetry/SinglePrecision.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/export/ExportRange.h"
#include "tools/export/TelemetryFiles.h"

namespace cli {

namespace {

const char kTelemetryHelp[] =
    "usage: tarvo-tool telemetry FILE [--format tsv|csv|gpx] [--zone NAME]\n"
    "       (FILE may be a file on a card: CARD::/FOLDER/NAME)\n\n"
    "Prints every telemetry record of a recording in the order the viewer reads them.\n"
    "tsv (the default) and csv print one line per record:\n"
    "  G-sensor: M  ms  x  y  z          (stored axis values, byte + 1; 32 = 1 g)\n"
    "  GPS:      G  ms  valid  latitude  longitude  speed  course  time\n"
    "            (decimal degrees, km/h, degrees, time or - when incomplete)\n"
    "The time is the camera's clock, or with a time zone (--zone NAME, an IANA name\n"
    "such as Europe/Berlin; else the viewer's TIME_ZONE) that zone's local time with\n"
    "its offset from UTC (2024-05-12 01:30:18+02:00).\n"
    "gpx writes the valid fixes as a track with time (UTC), speed and course.\n";

constexpr size_t kRecordBuffer = 1024;
constexpr double kMetresPerSecondPerKmh = 1 / 3.6;

enum class Format { Tsv, Csv, Gpx };

// Decimal degrees from the NMEA form, the way the position lookup converts them.
float Degrees(double nmea) {
  const double v = nmea * 0.01;
  const double d = std::trunc(v);
  return telemetry::ToSingle(d + (v - d) * 100 / 60);
}

// A fix's date and time (the camera's clock) in `zone`.
std::string ZoneTime(const CGPSData& fix, const platform::TimeZone& zone) {
  // Two-digit years as the fix's timestamp reads them: 00-69 are 2000-2069.
  const int year = ((fix.year + 30) % 100 + 100) % 100 + 1970;
  const int64_t camera = platform::SecondsFromCivil(year, fix.month, fix.day, fix.hour, fix.minute, fix.second);
  return clipexport::ZoneClockText(camera * clipexport::kUnitsPerSecond, zone, false);
}

std::string LocalTime(int64_t timestamp) {
  const std::time_t t = static_cast<std::time_t>(timestamp);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return "-";
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

}  // namespace

int RunTelemetry(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kTelemetryHelp, stdout);
    return 0;
  }
  Format format = Format::Tsv;
  std::string path;
  // A TIME_ZONE the system does not know keeps the camera's clock, as in the viewer;
  // a --zone it does not know is refused.
  std::string zoneName = TheViewerSettings().timeZone;
  bool zoneGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--zone" && i + 1 < args.size()) {
      zoneName = args[++i];
      zoneGiven = true;
    } else if (args[i] == "--format") {
      const std::string v = i + 1 < args.size() ? args[++i] : "";
      if (v == "tsv")
        format = Format::Tsv;
      else if (v == "csv")
        format = Format::Csv;
      else if (v == "gpx")
        format = Format::Gpx;
      else {
        std::fputs("tarvo-tool telemetry: --format takes tsv, csv or gpx\n", stderr);
        return 1;
      }
    } else if (path.empty() && args[i].rfind("--", 0) != 0) {
      path = args[i];
    } else {
      std::fprintf(stderr, "tarvo-tool telemetry: unexpected argument %s\n", args[i].c_str());
      return 1;
    }
  }
  if (path.empty()) {
    std::fputs("tarvo-tool telemetry: give one FILE (see --help)\n", stderr);
    return 1;
  }
  const std::shared_ptr<const platform::TimeZone> zone = telemetry::ZoneNamed(zoneName);
  if (zoneGiven && !zoneName.empty() && !zone) {
    std::fprintf(stderr, "tarvo-tool telemetry: no time zone named %s\n", zoneName.c_str());
    return 1;
  }
  std::string why;
  const std::unique_ptr<ByteSource> input = OpenRecordingInput(path, &why);
  if (!input) {
    std::fprintf(stderr, "tarvo-tool telemetry: cannot open %s: %s\n", path.c_str(), why.c_str());
    return 1;
  }
  ByteSource& file = *input;
  avi::AviReader reader(file);
  if (!reader.Open()) {
    std::fprintf(stderr, "tarvo-tool telemetry: %s is not a recording (no RIFF AVI header)\n", path.c_str());
    return 1;
  }
  avi::AviTelemetrySource source(reader);
  const char sep = format == Format::Csv ? ',' : '\t';
  if (format == Format::Gpx) {
    std::printf(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.0\" creator=\"tarvo-tool\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
        "<trk><name>%s</name><trkseg>\n",
        clipexport::XmlEscape(std::filesystem::path(path).filename().string()).c_str());
  }
  char buffer[kRecordBuffer];
  for (;;) {
    int32_t size = static_cast<int32_t>(sizeof buffer), time = 0;
    const int result = source.ReadTelemetryRecord(buffer, &size, &time);
    if (result == TelemetryRecordSource::kEndOfRecords) break;
    if (result != TelemetryRecordSource::kRecordDelivered || size <= 0) continue;
    const std::string_view record(buffer, static_cast<size_t>(size));
    if (record[0] == kGSensorRecordKind && format != Format::Gpx) {
      int axis[3] = {1, 1, 1};
      for (size_t k = 0; k < 3; ++k)
        axis[k] = (k + 1 < record.size() ? static_cast<unsigned char>(record[k + 1]) : 0) + 1;
      std::printf("M%c%d%c%d%c%d%c%d\n", sep, time, sep, axis[0], sep, axis[1], sep, axis[2]);
    } else if (record[0] == kGpsRecordKind) {
      CGPSData s;
      const bool complete = ParseGpsRecord(s, time, record);
      const float lat = Degrees(s.latitude), lon = Degrees(s.longitude);
      if (format == Format::Gpx) {
        if (!s.valid) continue;
        std::printf("<trkpt lat=\"%.6f\" lon=\"%.6f\">", lat, lon);
        if (complete) std::printf("<time>%s</time>", clipexport::GpsUtcText(s).c_str());
        std::printf("<course>%.2f</course><speed>%.2f</speed></trkpt>\n", s.course, s.speed * kMetresPerSecondPerKmh);
      } else {
        std::printf("G%c%d%c%d%c%.6f%c%.6f%c%.2f%c%.2f%c%s\n", sep, time, sep, s.valid, sep, lat, sep, lon, sep,
                    s.speed, sep, s.course, sep,
                    !complete ? "-"
                    : zone    ? ZoneTime(s, *zone).c_str()
                              : LocalTime(s.timestamp).c_str());
      }
    }
  }
  if (format == Format::Gpx) std::printf("</trkseg></trk>\n</gpx>\n");
  return 0;
}

}  // namespace cli
