// GPS fixes arrive as the text of an NMEA 0183 RMC sentence.

#include <charconv>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "sources/NameParsing.h"
#include "telemetry/SinglePrecision.h"
#include "telemetry/TelemetrySamples.h"

namespace {

constexpr double kKilometresPerKnot = 1.852;
// The dashcam's clock runs nine hours ahead of the fix's UTC time.
constexpr int32_t kHourOffset = 9;

enum Field : std::size_t {
  kTime = 1,
  kStatus,
  kLatitude,
  kNorthSouth,
  kLongitude,
  kEastWest,
  kSpeed,
  kCourse,
  kDate,
  kFieldCount
};

// A two-digit piece of a time or date field; 0 when empty or not a number.
int32_t TwoDigits(std::string_view field, std::size_t pos) {
  if (pos >= field.size()) return 0;
  return names::Atoi(field.substr(pos, 2));
}

// Decimal text to a number the way the C library reads one; 0 when there is none.
double Decimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

char FirstChar(std::string_view field) { return field.empty() ? '\0' : field.front(); }

}  // namespace

bool ParseGpsRecord(CGPSData& sample, int32_t recordTime, std::string_view text) {
  sample.recordTime = recordTime;
  // The record is a C string in a fixed buffer: it ends at its first NUL.
  text = text.substr(0, text.find('\0'));
  text = text.substr(0, kMaxGpsRecordText);
  const std::size_t start = text.find_first_not_of(',');
  text = start == std::string_view::npos ? std::string_view() : text.substr(start);

  // Empty fields between two commas stay, so positions never shift.
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text.find(',', from);
    fields.push_back(text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }

  for (std::size_t k = kTime; k < kFieldCount; ++k) {
    if (k >= fields.size()) return false;
    const std::string_view field = fields[k];
    switch (k) {
      case kTime:
        sample.hour = TwoDigits(field, 0) + kHourOffset;
        sample.minute = TwoDigits(field, 2);
        sample.second = TwoDigits(field, 4);
        break;
      case kStatus:
        sample.valid = FirstChar(field) == 'A' ? 1 : 0;
        break;
      case kLatitude:
        sample.latitude = Decimal(field);
        break;
      case kNorthSouth:
        if (FirstChar(field) != 'N') sample.latitude = -sample.latitude;
        break;
      case kLongitude:
        sample.longitude = Decimal(field);
        break;
      case kEastWest:
        if (FirstChar(field) != 'E') sample.longitude = -sample.longitude;
        break;
      case kSpeed: {
        const double knots = Decimal(field);
        sample.speed = knots > 1 ? telemetry::ToSingle(knots * kKilometresPerKnot) : 0;
        break;
      }
      case kCourse:
        sample.course = telemetry::ToSingle(Decimal(field));
        break;
      case kDate:
        sample.day = TwoDigits(field, 0);
        sample.month = TwoDigits(field, 2);
        sample.year = TwoDigits(field, 4);
        break;
      default:
        break;
    }
  }

  std::tm local{};
  // Two-digit years: 00-69 are 2000-2069, 70-99 are 1970-1999.
  local.tm_year = ((sample.year + 30) % 100 + 100) % 100 + 70;
  local.tm_mon = sample.month - 1;
  local.tm_mday = sample.day;
  local.tm_hour = sample.hour;  // past 23 the conversion carries into the next day
  local.tm_min = sample.minute;
  local.tm_sec = sample.second;
  local.tm_isdst = -1;
  sample.timestamp = static_cast<int64_t>(std::mktime(&local));
  return true;
}
