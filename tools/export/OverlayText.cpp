#include "tools/export/OverlayText.h"

#include <cmath>
#include <cstdio>

#include "tools/export/ExportRange.h"

namespace clipexport {

namespace {

// Degrees from the NMEA form ddmm.mmmm, in double precision as the map converts them.
double NmeaDegrees(double nmea) {
  const double v = std::fabs(nmea) * 0.01;
  const double d = std::trunc(v);
  const double degrees = d + (v - d) * 100 / 60;
  return nmea < 0 ? -degrees : degrees;
}

void Join(std::string& line, const std::string& part) {
  if (!line.empty()) line += "   ";
  line += part;
}

}  // namespace

bool ParseOverlayFields(const std::string& text, OverlayFields& fields) {
  if (text == "none") {
    fields = OverlayFields{false, false, false, false};
    return true;
  }
  OverlayFields parsed{false, false, false, false};
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const std::size_t end = std::min(text.find(',', begin), text.size());
    const std::string word = text.substr(begin, end - begin);
    if (word == "time")
      parsed.time = true;
    else if (word == "speed")
      parsed.speed = true;
    else if (word == "position")
      parsed.position = true;
    else if (word == "g")
      parsed.g = true;
    else
      return false;
    begin = end + 1;
  }
  fields = parsed;
  return true;
}

std::string OverlayFieldsText(const OverlayFields& fields) {
  std::string text;
  const auto add = [&](bool on, const char* word) {
    if (!on) return;
    if (!text.empty()) text += ',';
    text += word;
  };
  add(fields.time, "time");
  add(fields.speed, "speed");
  add(fields.position, "position");
  add(fields.g, "g");
  return text.empty() ? "none" : text;
}

std::vector<std::string> OverlayLines(const OverlayMoment& moment, const TelemetrySamples& samples,
                                      const OverlayFields& fields, bool miles, const platform::TimeZone* zone) {
  std::vector<std::string> lines;
  if (!fields.Any()) return lines;
  const char* unit = miles ? "mph" : "km/h";
  std::string first;
  if (fields.time) Join(first, zone ? ZoneClockText(moment.clock, *zone, false) : ClockText(moment.clock));
  char text[128];
  if (fields.speed) {
    double speed = 0;
    if (samples.FindSpeed(moment.positionMs, speed, miles))
      std::snprintf(text, sizeof text, "%.0f %s", speed, unit);
    else
      std::snprintf(text, sizeof text, "-- %s", unit);
    Join(first, text);
  }
  std::string second;
  if (fields.position) {
    const CGPSData* fix = samples.FindGpsSample(moment.positionMs);
    if (fix && fix->valid) {
      const double latitude = NmeaDegrees(fix->latitude), longitude = NmeaDegrees(fix->longitude);
      std::snprintf(text, sizeof text, "%.5f %c  %.5f %c", std::fabs(latitude), latitude < 0 ? 'S' : 'N',
                    std::fabs(longitude), longitude < 0 ? 'W' : 'E');
      Join(second, text);
    } else {
      Join(second, "-- N  -- E");
    }
  }
  if (fields.g) {
    double x = 0, y = 0, z = 0;
    if (samples.FindGValues(moment.positionMs, x, y, z))
      std::snprintf(text, sizeof text, "G  x %+.2f  y %+.2f  z %+.2f", x, y, z);
    else
      std::snprintf(text, sizeof text, "G  --");
    Join(second, text);
  }
  for (const std::string* line : {&first, &second})
    if (!line->empty()) lines.push_back(*line);
  lines.push_back(moment.fileName);
  return lines;
}

}  // namespace clipexport
