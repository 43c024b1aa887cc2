#include "platform/TimeZone.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

namespace platform {
namespace {

constexpr std::int64_t kDay = 86400;
// No zone file comes near this; a bigger "zone" is something else.
constexpr std::uintmax_t kLargestZoneFile = 1 << 20;
constexpr std::size_t kHeaderSize = 44;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(std::int64_t y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Big-endian reader over the bytes of a zone file; every read past the end fails.
class Bytes {
 public:
  explicit Bytes(std::string_view data) : data_(data) {}
  bool Skip(std::size_t n) {
    if (data_.size() - pos_ < n) return false;
    pos_ += n;
    return true;
  }
  bool Read(std::size_t width, std::int64_t& value) {
    if (data_.size() - pos_ < width) return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(data_[pos_ + i]);
    pos_ += width;
    // Sign-extend the 32- and 64-bit fields.
    if (width < 8 && (v >> (width * 8 - 1)) != 0) v |= ~std::uint64_t{0} << (width * 8);
    value = static_cast<std::int64_t>(v);
    return true;
  }
  std::string_view Rest() const { return data_.substr(pos_); }
  std::string_view Take(std::size_t n) {
    const std::string_view part = data_.substr(pos_, n);
    pos_ += part.size();
    return part;
  }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

struct Counts {
  std::int64_t isut = 0, isstd = 0, leap = 0, time = 0, type = 0, chars = 0;
};

bool ReadHeader(Bytes& in, char& version, Counts& c) {
  const std::string_view magic = in.Take(4);
  if (magic != "TZif") return false;
  const std::string_view v = in.Take(1);
  if (v.size() != 1) return false;
  version = v[0];
  if (!in.Skip(15)) return false;
  for (std::int64_t* field : {&c.isut, &c.isstd, &c.leap, &c.time, &c.type, &c.chars}) {
    if (!in.Read(4, *field) || *field < 0 || *field > 100000) return false;
  }
  // A zone has at least one local time type, and no more than 256 can be indexed.
  return c.type >= 1 && c.type <= 256 && (c.isut == 0 || c.isut == c.type) && (c.isstd == 0 || c.isstd == c.type);
}

std::size_t BlockSize(const Counts& c, std::size_t timeWidth) {
  return static_cast<std::size_t>(c.time) * (timeWidth + 1) + static_cast<std::size_t>(c.type) * 6 +
         static_cast<std::size_t>(c.chars) + static_cast<std::size_t>(c.leap) * (timeWidth + 4) +
         static_cast<std::size_t>(c.isstd + c.isut);
}

// "[+|-]hh[:mm[:ss]]" at `pos`; the seconds it names.
bool ParseClock(std::string_view text, std::size_t& pos, std::int32_t& seconds) {
  int sign = 1;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') sign = -1;
    ++pos;
  }
  std::int32_t parts[3] = {0, 0, 0};
  for (int part = 0; part < 3; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != ':') break;
      ++pos;
    }
    const std::size_t from = pos;
    while (pos < text.size() && pos - from < 3 && text[pos] >= '0' && text[pos] <= '9') {
      parts[part] = parts[part] * 10 + (text[pos] - '0');
      ++pos;
    }
    if (pos == from) return false;
  }
  if (parts[0] > 167 || parts[1] > 59 || parts[2] > 59) return false;
  seconds = sign * (parts[0] * 3600 + parts[1] * 60 + parts[2]);
  return true;
}

// A zone abbreviation: three or more letters, or anything but '>' between < and >.
bool SkipAbbreviation(std::string_view text, std::size_t& pos) {
  const std::size_t from = pos;
  if (pos < text.size() && text[pos] == '<') {
    const std::size_t close = text.find('>', pos);
    if (close == std::string_view::npos) return false;
    pos = close + 1;
    return close - from >= 4;
  }
  while (pos < text.size() && ((text[pos] >= 'A' && text[pos] <= 'Z') || (text[pos] >= 'a' && text[pos] <= 'z'))) ++pos;
  return pos - from >= 3;
}

bool ParseNumber(std::string_view text, std::size_t& pos, int lo, int hi, int& value) {
  const std::size_t from = pos;
  value = 0;
  while (pos < text.size() && pos - from < 4 && text[pos] >= '0' && text[pos] <= '9')
    value = value * 10 + (text[pos++] - '0');
  return pos > from && value >= lo && value <= hi;
}

}  // namespace

std::int64_t SecondsFromCivil(int year, int month, int day, int hour, int minute, int second) {
  // Months outside 1-12 carry into the year first; the rest is plain arithmetic.
  std::int64_t y = year + FloorDiv(month - 1, 12);
  const int m = static_cast<int>(month - 1 - FloorDiv(month - 1, 12) * 12) + 1;
  const std::int64_t days = DaysFromCivil(y, m, 1) + day - 1;
  return days * kDay + static_cast<std::int64_t>(hour) * 3600 + static_cast<std::int64_t>(minute) * 60 + second;
}

CivilTime CivilFromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kDay);
  const std::int64_t rest = seconds - days * kDay;
  // Civil date from the day count (the inverse of DaysFromCivil).
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (t.month <= 2));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

TimeZone TimeZone::Fixed(std::string name, std::int32_t offsetSeconds) {
  TimeZone zone;
  zone.name_ = std::move(name);
  zone.types_.push_back({offsetSeconds, false});
  return zone;
}

std::optional<TimeZone> TimeZone::Load(std::string_view name) {
  // Names are relative paths of plain words; nothing may climb out of the folder.
  if (name.empty() || name.size() > 64 || name.front() == '/' || name.back() == '/') return std::nullopt;
  for (const char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                       c == '_' || c == '-' || c == '+';
    if (!plain) return std::nullopt;
  }
  if (name.find("//") != std::string_view::npos || name.find("..") != std::string_view::npos) return std::nullopt;

  const char* dir = std::getenv("TZDIR");
  const std::filesystem::path folder = dir && *dir ? dir : "/usr/share/zoneinfo";
  const std::filesystem::path file = folder / std::string(name);
  std::error_code ec;
  const bool regular = std::filesystem::is_regular_file(file, ec);
  const std::uintmax_t size = regular ? std::filesystem::file_size(file, ec) : 0;
  if (regular && !ec && size <= kLargestZoneFile) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in) return FromTzif(std::string(name), bytes.str());
  }
  // Without zone files the fixed zones still work.
  if (name == "UTC" || name == "Etc/UTC") return Fixed(std::string(name), 0);
  if (name.rfind("Etc/GMT", 0) == 0 && name.size() > 8) {
    // Etc/GMT-9 is nine hours east of UTC: the sign is POSIX's.
    std::size_t pos = 7;
    std::int32_t west = 0;
    if (ParseClock(name, pos, west) && pos == name.size() && std::abs(west) <= 14 * 3600)
      return Fixed(std::string(name), -west);
  }
  return std::nullopt;
}

std::optional<TimeZone> TimeZone::FromTzif(std::string name, std::string_view data) {
  Bytes in(data);
  char version = 0;
  Counts counts;
  if (!ReadHeader(in, version, counts)) return std::nullopt;
  std::size_t width = 4;
  if (version >= '2') {
    // The 64-bit block follows the 32-bit one, which is skipped.
    if (!in.Skip(BlockSize(counts, 4)) || !ReadHeader(in, version, counts)) return std::nullopt;
    width = 8;
  }
  if (in.Rest().size() < BlockSize(counts, width)) return std::nullopt;

  TimeZone zone;
  zone.name_ = std::move(name);
  zone.transitions_.resize(static_cast<std::size_t>(counts.time));
  for (std::int64_t& t : zone.transitions_) in.Read(width, t);
  if (!std::is_sorted(zone.transitions_.begin(), zone.transitions_.end())) return std::nullopt;
  zone.transitionType_.resize(static_cast<std::size_t>(counts.time));
  for (std::uint8_t& index : zone.transitionType_) {
    std::int64_t v = 0;
    in.Read(1, v);
    index = static_cast<std::uint8_t>(v);
    if (index >= counts.type) return std::nullopt;
  }
  zone.types_.resize(static_cast<std::size_t>(counts.type));
  for (LocalType& type : zone.types_) {
    std::int64_t offset = 0, daylight = 0, designation = 0;
    in.Read(4, offset);
    in.Read(1, daylight);
    in.Read(1, designation);
    if (offset < -25 * 3600 || offset > 26 * 3600) return std::nullopt;
    type.offset = static_cast<std::int32_t>(offset);
    type.daylight = daylight != 0;
  }
  in.Skip(static_cast<std::size_t>(counts.chars) + static_cast<std::size_t>(counts.leap) * (width + 4) +
          static_cast<std::size_t>(counts.isstd + counts.isut));
  if (width == 8) {
    // "\n<POSIX TZ text>\n": the rule after the last transition.
    const std::string_view rest = in.Rest();
    if (rest.size() >= 2 && rest.front() == '\n') {
      const std::size_t close = rest.find('\n', 1);
      if (close != std::string_view::npos && close > 1 && !ParseFooter(rest.substr(1, close - 1), zone.footer_))
        zone.footer_ = {};
    }
  }
  return zone;
}

bool TimeZone::ParseFooter(std::string_view text, Footer& footer) {
  std::size_t pos = 0;
  std::int32_t west = 0;
  if (!SkipAbbreviation(text, pos) || !ParseClock(text, pos, west)) return false;
  footer.present = true;
  footer.standard = {-west, false};
  if (pos == text.size()) return true;
  if (!SkipAbbreviation(text, pos)) return false;
  footer.hasDaylight = true;
  footer.daylight = {footer.standard.offset + 3600, true};
  if (pos < text.size() && text[pos] != ',') {
    if (!ParseClock(text, pos, west)) return false;
    footer.daylight.offset = -west;
  }
  // Without dates the rule is the one POSIX takes as the default.
  footer.start = {'M', 3, 2, 0, 0, 7200};
  footer.end = {'M', 11, 1, 0, 0, 7200};
  if (pos == text.size()) return true;
  for (DateRule* rule : {&footer.start, &footer.end}) {
    if (pos >= text.size() || text[pos] != ',') return false;
    ++pos;
    *rule = DateRule{};
    if (pos < text.size() && text[pos] == 'M') {
      ++pos;
      rule->kind = 'M';
      if (!ParseNumber(text, pos, 1, 12, rule->month) || pos >= text.size() || text[pos++] != '.' ||
          !ParseNumber(text, pos, 1, 5, rule->week) || pos >= text.size() || text[pos++] != '.' ||
          !ParseNumber(text, pos, 0, 6, rule->weekday))
        return false;
    } else if (pos < text.size() && text[pos] == 'J') {
      ++pos;
      rule->kind = 'J';
      if (!ParseNumber(text, pos, 1, 365, rule->day)) return false;
    } else {
      rule->kind = 'N';
      if (!ParseNumber(text, pos, 0, 365, rule->day)) return false;
    }
    if (pos < text.size() && text[pos] == '/') {
      ++pos;
      if (!ParseClock(text, pos, rule->time)) return false;
    }
  }
  return pos == text.size();
}

std::int64_t TimeZone::RuleDay(const DateRule& rule, int year) {
  const std::int64_t jan1 = DaysFromCivil(year, 1, 1);
  switch (rule.kind) {
    case 'J':
      // 1-365, 29 February never counted.
      return jan1 + rule.day - 1 + (IsLeap(year) && rule.day >= 60 ? 1 : 0);
    case 'N':
      return jan1 + rule.day;
    default: {
      const std::int64_t first = DaysFromCivil(year, rule.month, 1);
      // 1970-01-01 was a Thursday (weekday 4).
      const int firstWeekday = static_cast<int>(((first + 4) % 7 + 7) % 7);
      std::int64_t day = 1 + (rule.weekday - firstWeekday + 7) % 7 + (rule.week - 1) * 7;
      while (day > DaysInMonth(year, rule.month)) day -= 7;
      return first + day - 1;
    }
  }
}

TimeZone::LocalType TimeZone::FooterTypeAt(const Footer& footer, std::int64_t utc) {
  if (!footer.hasDaylight) return footer.standard;
  const int year = CivilFromSeconds(utc + footer.standard.offset).year;
  // The start is given in standard time, the end in daylight time.
  const std::int64_t start = RuleDay(footer.start, year) * kDay + footer.start.time - footer.standard.offset;
  const std::int64_t end = RuleDay(footer.end, year) * kDay + footer.end.time - footer.daylight.offset;
  const bool inDaylight = start < end ? (utc >= start && utc < end) : (utc < end || utc >= start);
  return inDaylight ? footer.daylight : footer.standard;
}

TimeZone::LocalType TimeZone::TypeAt(std::int64_t utc) const {
  if (transitions_.empty() || utc < transitions_.front()) {
    if (transitions_.empty() && footer_.present) return FooterTypeAt(footer_, utc);
    return types_.empty() ? LocalType{} : types_.front();
  }
  if (utc >= transitions_.back() && footer_.present) return FooterTypeAt(footer_, utc);
  const auto after = std::upper_bound(transitions_.begin(), transitions_.end(), utc);
  const auto index = static_cast<std::size_t>(after - transitions_.begin()) - 1;
  return types_[transitionType_[index]];
}

std::int32_t TimeZone::OffsetAt(std::int64_t utcSeconds) const { return TypeAt(utcSeconds).offset; }

bool TimeZone::DaylightAt(std::int64_t utcSeconds) const { return TypeAt(utcSeconds).daylight; }

CivilTime TimeZone::ToLocal(std::int64_t utcSeconds) const {
  return CivilFromSeconds(utcSeconds + OffsetAt(utcSeconds));
}

std::vector<std::string> AvailableTimeZones() {
  const char* dir = std::getenv("TZDIR");
  const std::filesystem::path folder = dir && *dir ? dir : "/usr/share/zoneinfo";
  std::set<std::string> names;
  std::error_code ec;
  for (const char* table : {"zone1970.tab", "zone.tab"}) {
    std::ifstream in(folder / table);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line.front() == '#') continue;
      // country codes, coordinates, zone name, comment: tab-separated
      std::istringstream fields(line);
      std::string codes, coordinates, zone;
      if (std::getline(fields, codes, '\t') && std::getline(fields, coordinates, '\t') &&
          std::getline(fields, zone, '\t') && std::filesystem::is_regular_file(folder / zone, ec))
        names.insert(zone);
    }
    if (!names.empty()) break;
  }
  if (!names.empty()) names.insert("UTC");
  return {names.begin(), names.end()};
}

}  // namespace platform
