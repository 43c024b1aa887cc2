#include "tools/export/TelemetryFiles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tools/export/ExportRange.h"

namespace clipexport {

namespace {

constexpr int kCameraUtcOffsetHours = 9;
constexpr double kMetresPerSecondPerKmh = 1 / 3.6;
constexpr double kUnitsPerG = 32.0;
constexpr double kMilesPerKilometre = 0.621371;

double Degrees(double nmea) {
  const double v = std::fabs(nmea) * 0.01;
  const double d = std::trunc(v);
  const double degrees = d + (v - d) * 100 / 60;
  return nmea < 0 ? -degrees : degrees;
}

bool InPart(const TelemetryPart& part, int32_t recordTime) {
  const int64_t t = int64_t{recordTime} * kUnitsPerMs;
  return t >= part.start && t < part.stop;
}

// The camera's clock with milliseconds, and with a zone that zone's local time too.
std::string ClockColumns(const TelemetryPart& part, int32_t recordTime, const platform::TimeZone* zone) {
  const int64_t units = part.clockStart * kUnitsPerSecond + int64_t{recordTime} * kUnitsPerMs;
  char ms[8];
  std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>((units / kUnitsPerMs) % 1000));
  std::string columns = ClockText(units) + ms;
  if (zone) columns += "," + ZoneClockText(units, *zone, true);
  return columns;
}

// Names are written as they are unless a comma, quote or line break needs quoting.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string GpsUtcText(const CGPSData& fix) {
  if (fix.month < 1 || fix.day < 1) return {};
  std::tm tm{};
  tm.tm_year = (fix.year + 30) % 100 + 70;
  tm.tm_mon = fix.month - 1;
  tm.tm_mday = fix.day;
  tm.tm_hour = fix.hour - kCameraUtcOffsetHours;
  tm.tm_min = fix.minute;
  tm.tm_sec = fix.second;
  const std::time_t t = timegm(&tm);
  std::tm utc{};
  if (!gmtime_r(&t, &utc)) return {};
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out.push_back(c);
  }
  return out;
}

std::string TelemetryCsvHeader(bool miles, const platform::TimeZone* zone) {
  std::string header = kTelemetryCsvHeader;
  if (miles) header.replace(header.find("speed_kmh"), 9, "speed_mph");
  if (zone) header.insert(header.find(','), "," + CsvField("local_time(" + zone->Name() + ")"));
  return header;
}

std::string TelemetryCsv(const std::vector<TelemetryPart>& parts, bool miles, const platform::TimeZone* zone) {
  std::string out = TelemetryCsvHeader(miles, zone) + "\n";
  char line[512];
  for (const TelemetryPart& part : parts) {
    if (!part.samples) continue;
    const std::vector<CGPSData>& fixes = part.samples->gpsSamples;
    const std::vector<CGSensorData>& readings = part.samples->gsensorSamples;
    const std::string name = CsvField(part.fileName);
    // Both lists come in ascending time; merged, a G-sensor reading goes first at
    // equal times, as the recording stores it.
    std::size_t f = 0, r = 0;
    while (f < fixes.size() || r < readings.size()) {
      const bool reading = r < readings.size() && (f == fixes.size() || readings[r].recordTime <= fixes[f].recordTime);
      if (reading) {
        const CGSensorData& s = readings[r++];
        if (!InPart(part, s.recordTime)) continue;
        std::snprintf(line, sizeof line, "%s,%s,%d,M,,,,,,,%.5f,%.5f,%.5f\n",
                      ClockColumns(part, s.recordTime, zone).c_str(), name.c_str(), s.recordTime, s.x / kUnitsPerG,
                      s.y / kUnitsPerG, s.z / kUnitsPerG);
      } else {
        const CGPSData& s = fixes[f++];
        if (!InPart(part, s.recordTime)) continue;
        if (s.valid)
          std::snprintf(line, sizeof line, "%s,%s,%d,G,1,%.6f,%.6f,%.2f,%.2f,%s,,,\n",
                        ClockColumns(part, s.recordTime, zone).c_str(), name.c_str(), s.recordTime, Degrees(s.latitude),
                        Degrees(s.longitude), miles ? s.speed * kMilesPerKilometre : s.speed, s.course,
                        GpsUtcText(s).c_str());
        else
          std::snprintf(line, sizeof line, "%s,%s,%d,G,0,,,,,%s,,,\n", ClockColumns(part, s.recordTime, zone).c_str(),
                        name.c_str(), s.recordTime, GpsUtcText(s).c_str());
      }
      out += line;
    }
  }
  return out;
}

std::string TelemetryGpx(const std::vector<TelemetryPart>& parts, const std::string& trackName) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.0\" creator=\"tarvo-tool\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
      "<trk><name>" +
      XmlEscape(trackName) + "</name><trkseg>\n";
  char line[256];
  for (const TelemetryPart& part : parts) {
    if (!part.samples) continue;
    for (const CGPSData& s : part.samples->gpsSamples) {
      if (!s.valid || !InPart(part, s.recordTime)) continue;
      std::snprintf(line, sizeof line, "<trkpt lat=\"%.6f\" lon=\"%.6f\">", Degrees(s.latitude), Degrees(s.longitude));
      out += line;
      const std::string utc = GpsUtcText(s);
      if (!utc.empty()) out += "<time>" + utc + "</time>";
      std::snprintf(line, sizeof line, "<course>%.2f</course><speed>%.2f</speed></trkpt>\n", s.course,
                    s.speed * kMetresPerSecondPerKmh);
      out += line;
    }
  }
  out += "</trkseg></trk>\n</gpx>\n";
  return out;
}

}  // namespace clipexport
