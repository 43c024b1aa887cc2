#include "tools/simulator/TelemetryTrack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace simulator {

namespace {

constexpr double kKnotsPerKmh = 1 / 1.852;

std::string NmeaAngle(double value, int degreeDigits) {
  const double a = std::fabs(value);
  int degrees = static_cast<int>(a);
  double minutes = (a - degrees) * 60;
  if (minutes >= 59.999995) {
    minutes = 0;
    ++degrees;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%0*d%08.5f", degreeDigits, degrees, minutes);
  return text;
}

// Small deterministic noise so that the same options give the same file.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state(seed * 2654435761u + 1) {}
  double Next(double amplitude) {
    state = state * 1664525u + 1013904223u;
    return (static_cast<double>(state >> 8) / 16777216.0 * 2 - 1) * amplitude;
  }

 private:
  uint32_t state;
};

uint8_t AxisByte(double g) { return static_cast<uint8_t>(std::clamp(std::lround(std::fabs(g) * 32), 0L, 255L)); }

}  // namespace

std::string RmcSentence(const std::tm& utc, int hundredths, bool valid, const DriveState& state) {
  char body[160];
  if (valid) {
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.%02d,A,%s,%c,%s,%c,%.2f,%.2f,%02d%02d%02d,,,A", utc.tm_hour,
                  utc.tm_min, utc.tm_sec, hundredths, NmeaAngle(state.position.latitude, 2).c_str(),
                  state.position.latitude < 0 ? 'S' : 'N', NmeaAngle(state.position.longitude, 3).c_str(),
                  state.position.longitude < 0 ? 'W' : 'E', state.speedKmh * kKnotsPerKmh, state.courseDegrees,
                  utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
  } else {
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.%02d,V,,,,,,,%02d%02d%02d,,,N", utc.tm_hour, utc.tm_min,
                  utc.tm_sec, hundredths, utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
  }
  unsigned checksum = 0;
  for (const char* p = body; *p; ++p) checksum ^= static_cast<unsigned char>(*p);
  char sentence[200];
  std::snprintf(sentence, sizeof sentence, "%s*%02X", body, checksum);
  return sentence;
}

std::string GsensorRecord(double x, double y, double z) {
  std::string r = "M";
  r.push_back(static_cast<char>(AxisByte(x)));
  r.push_back(static_cast<char>(AxisByte(y)));
  r.push_back(static_cast<char>(AxisByte(z)));
  return r;
}

std::vector<TelemetryRecord> MakeTelemetry(const Drive& drive, const std::tm& start, double seconds, bool gps,
                                           int32_t brakeAtMs) {
  std::tm local = start;
  const time_t startUtc = timegm(&local) - kCameraUtcOffsetHours * 3600;
  const double startOfDay = start.tm_hour * 3600.0 + start.tm_min * 60.0 + start.tm_sec;
  const int32_t lengthMs = static_cast<int32_t>(std::floor(seconds * 1000));
  Noise noise(static_cast<uint32_t>(startUtc));
  std::vector<TelemetryRecord> records;
  for (int32_t ms = 0; ms < lengthMs; ms += kGsensorPeriodMs) {
    const double t = startOfDay + ms / 1000.0;
    if (gps && ms % kGpsPeriodMs == 0) {
      const time_t when = startUtc + ms / 1000;
      std::tm utc{};
      gmtime_r(&when, &utc);
      const bool valid = ms / kGpsPeriodMs >= kInvalidFixesAtStart;
      records.push_back({ms, RmcSentence(utc, 0, valid, drive.At(t))});
    }
    const DriveState s = drive.At(t);
    const double bump = s.speedKmh > 1 ? 0.06 : 0.01;
    double along = s.longitudinalG + noise.Next(bump);
    if (brakeAtMs >= 0 && ms >= brakeAtMs && ms < brakeAtMs + kBrakingMs)
      along = ms - brakeAtMs < kGsensorPeriodMs ? -kBrakingJoltG : -kBrakingG;
    records.push_back({ms, GsensorRecord(along, s.lateralG + noise.Next(bump), 1.0 + noise.Next(bump * 1.5))});
  }
  return records;
}

}  // namespace simulator
