#include "sources/RecordingCollection.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "settings/LanguageText.h"
#include "sources/NameParsing.h"

namespace {

// Positions of the name layout: type code, date and time, channel count.
constexpr std::size_t kYearPos = 4, kMonthPos = 8, kDayPos = 10;
constexpr std::size_t kHourPos = 13, kMinutePos = 15, kSecondPos = 17;
constexpr std::size_t kChannelPos = 20;
// The date-time part the set is ordered by: "YYYYMMDD_hhmmss".
constexpr std::size_t kSortKeyPos = 4, kSortKeyLength = 15;

constexpr int64_t kTicksPerSecond = 10'000'000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The file time of a calendar time, as the system converts one (no time zone);
// 0 when the fields are no valid calendar time.
int64_t FileTimeOf(const RecordTime& t) {
  constexpr int kFirstYear = 1601, kLastYear = 30827;
  if (t.year < kFirstYear || t.year > kLastYear || t.month < 1 || t.month > 12) return 0;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return 0;
  if (t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999) return 0;
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(kFirstYear, 1, 1);
  const int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
  return seconds * kTicksPerSecond + int64_t{t.milliseconds} * 10'000;
}

uint16_t FieldAt(std::u16string_view name, std::size_t pos, std::size_t count) {
  // Stored like the 16-bit calendar fields take an int: modulo 2^16.
  return static_cast<uint16_t>(names::Atoi(names::Piece(name, pos, count)));
}

// The language string number of a name's type label; 0 for the untranslated label.
int LabelNumberOf(const std::string& fileName) {
  const std::string_view code = std::string_view(fileName).substr(0, 3);
  if (code == "REC") return kStrLabelNormal;
  if (code == "EVT") return kStrLabelEvent;
  if (code == "PRK") return kStrLabelParking;
  if (code == "MDI" || code == "MOT") return kStrLabelMotion;
  return 0;
}

std::string DateText(const RecordTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  return text;
}

std::string TimeText(const RecordTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

RecordingCollection::RecordingCollection() : languageLookup(&LoadLanguageString) {}

RecordingCollection::~RecordingCollection() = default;

bool RecordingCollection::AddCardFolder(const std::string& name) {
  for (const CardFolder& folder : cardFolders)
    if (folder.name == name) return false;
  CardFolder folder;
  folder.name = name;
  names::CopyNarrow(folder.narrowName, name);
  cardFolders.push_back(folder);
  return true;
}

bool RecordingCollection::AddExtension(const std::string& ext) {
  if (ext.empty()) return false;
  const std::string lower = names::LowerAscii(ext);
  if (std::find(extensions.begin(), extensions.end(), lower) != extensions.end()) return false;
  extensions.push_back(lower);
  return true;
}

bool RecordingCollection::IsAdmissibleName(const std::string& fileName) const {
  if (fileName.empty()) return false;
  const std::size_t dot = fileName.rfind('.');
  const std::string ext = names::LowerAscii(dot == std::string::npos ? fileName : fileName.substr(dot + 1));
  return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

void RecordingCollection::ParseRecordingName(const std::string& fileName, RecordingEntry& entry) {
  const std::u16string name = names::Utf8ToUtf16(fileName);
  RecordTime t;
  t.year = FieldAt(name, kYearPos, 4);
  t.month = FieldAt(name, kMonthPos, 2);
  t.day = FieldAt(name, kDayPos, 2);
  t.hour = FieldAt(name, kHourPos, 2);
  t.minute = FieldAt(name, kMinutePos, 2);
  t.second = FieldAt(name, kSecondPos, 2);
  entry.recordTime = t;
  entry.fileTime = FileTimeOf(t);
}

RecordingGroup RecordingCollection::GroupOfName(const std::string& fileName) {
  switch (LabelNumberOf(fileName)) {
    case kStrLabelNormal:
      return kGroupNormal;
    case kStrLabelEvent:
      return kGroupEvent;
    case kStrLabelParking:
    case kStrLabelMotion:
      return kGroupParking;
    default:
      return kGroupUnknown;
  }
}

int RecordingCollection::ChannelCountFromName(const std::string& fileName) {
  const std::u16string name = names::Utf8ToUtf16(fileName);
  return names::Atoi(names::Piece(name, kChannelPos, 1));
}

void RecordingCollection::SortEntries() {
  if (sortMode != 1) return;
  // The keys are decoded once; the comparison is then by UTF-16 code unit, as the
  // dashcam's names were always compared.
  std::vector<std::u16string> keys;
  keys.reserve(entries.size());
  for (const RecordingEntry& entry : entries)
    keys.emplace_back(names::Piece(names::Utf8ToUtf16(entry.fileName), kSortKeyPos, kSortKeyLength));
  std::vector<std::size_t> order(entries.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = keys[a].compare(keys[b]);
    if (c != 0) return c < 0;
    return entries[a].sizeKiB < entries[b].sizeKiB;
  });
  std::vector<RecordingEntry> sorted;
  sorted.reserve(entries.size());
  for (std::size_t i : order) sorted.push_back(std::move(entries[i]));
  entries = std::move(sorted);
  // Row pointers would now name other recordings than their rows show.
  rows.clear();
}

int RecordingCollection::ListAll(RecordingList& list) {
  if (entries.empty()) {
    rows.clear();
    return 0;
  }
  return FillList(list, true, 0);
}

int RecordingCollection::ListGroup(RecordingList& list, int group) { return FillList(list, false, group); }

int RecordingCollection::FillList(RecordingList& list, bool allGroups, int group) {
  rows.clear();
  list.SetRedraw(false);
  list.DeleteAllItems();
  std::fill(std::begin(typePresent), std::end(typePresent), uint8_t{0});

  // Each label is read from the language library once per listing.
  struct Label {
    int number;
    bool read;
    std::string text;
  };
  Label labels[] = {{kStrLabelEvent, false, {}},
                    {kStrLabelNormal, false, {}},
                    {kStrLabelParking, false, {}},
                    {kStrLabelMotion, false, {}}};
  auto labelText = [&](int number) -> std::string {
    if (number == 0) return kUnknownTypeLabel;
    for (Label& label : labels) {
      if (label.number != number) continue;
      if (!label.read) {
        // Without a language library the column stays empty; the type still counts.
        if (!languageLookup || !languageLookup(number, label.text)) label.text.clear();
        label.read = true;
      }
      return label.text;
    }
    return {};
  };

  int row = 0;
  for (const RecordingEntry& entry : entries) {
    const RecordingGroup entryGroup = GroupOfName(entry.fileName);
    typePresent[0] = 1;
    if (entryGroup == kGroupNormal) typePresent[1] = 1;
    if (entryGroup == kGroupEvent) typePresent[2] = 1;
    if (entryGroup == kGroupParking) typePresent[3] = 1;
    if (!allGroups && entryGroup != group) continue;

    RecordingRow columns;
    columns[kColumnNumber] = std::to_string(row + 1);
    columns[kColumnDate] = DateText(entry.recordTime);
    columns[kColumnTime] = TimeText(entry.recordTime);
    columns[kColumnType] = labelText(LabelNumberOf(entry.fileName));
    columns[kColumnPath] = entry.path;
    columns[kColumnFileName] = entry.fileName;
    list.InsertRow(row, columns);
    rows.push_back(&entry);
    ++row;
  }
  list.SetRedraw(true);
  return row;
}

const RecordingEntry* RecordingCollection::EntryForRow(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return nullptr;
  return rows[static_cast<std::size_t>(row)];
}

const RecordingEntry* RecordingCollection::EntryAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return nullptr;
  return &entries[static_cast<std::size_t>(index)];
}

int RecordingCollection::EntryCount() const { return static_cast<int>(entries.size()); }

const SourceEntry* RecordingCollection::CurrentSource() const {
  if (selectedSource < 0 || static_cast<std::size_t>(selectedSource) >= sources.size()) return nullptr;
  return &sources[static_cast<std::size_t>(selectedSource)];
}

void RecordingCollection::Adopt(OpenedSet& opened) {
  scannedFolders.swap(opened.scannedFolders);
  entries.swap(opened.entries);
  std::swap(device, opened.device);
  // The rows pointed into the entries just replaced; a row lookup before the next
  // listing must find nothing rather than another set's recordings.
  rows.clear();
}
