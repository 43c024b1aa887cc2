#include "device/DeviceClock.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "device/CardTextFile.h"
#include "platform/WholeFile.h"

namespace {

void FillYears(ChoiceList& list, int first, int last) {
  list.Clear();
  for (int value = first; value <= last; ++value) list.Add(std::to_string(value));
}

std::string TwoDigits(int value) {
  if (value < 0 || value > 99) return {};
  const std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

void FillTwoDigits(ChoiceList& list, int first, int last) {
  list.Clear();
  for (int value = first; value <= last; ++value) list.Add(TwoDigits(value));
}

// Characters [from, from + 2) of `line`, shorter or empty when the line is.
std::string_view Pair(std::string_view line, std::size_t from) {
  if (from >= line.size()) return {};
  return line.substr(from, 2);
}

// An empty text would begin every entry; a line too short to hold a field changes
// nothing rather than jumping to the first entry.
void SelectByText(ChoiceList& list, std::string_view text) {
  if (!text.empty()) list.SelectPrefix(text);
}

// The last two digits of the four-digit year text, as much of them as there is.
std::string_view YearDigits(const std::string& year) {
  if (year.size() <= 2) return {};
  return std::string_view(year).substr(2, 2);
}

}  // namespace

void FillClockLists(DeviceClock& clock) {
  FillYears(clock.year, 2011, 2030);
  FillTwoDigits(clock.month, 1, 12);
  FillTwoDigits(clock.day, 1, 31);
  FillTwoDigits(clock.hour, 0, 23);
  FillTwoDigits(clock.minute, 0, 59);
  FillTwoDigits(clock.second, 0, 59);
}

DeviceClock MakeDeviceClock() {
  DeviceClock clock;
  FillClockLists(clock);
  return clock;
}

void SetClockToTime(DeviceClock& clock, const std::tm& time) {
  const int year = time.tm_year + 1900;
  if (year >= 0 && year <= 9999) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", year);
    SelectByText(clock.year, text);
  }
  SelectByText(clock.month, TwoDigits(time.tm_mon + 1));
  SelectByText(clock.day, TwoDigits(time.tm_mday));
  SelectByText(clock.hour, TwoDigits(time.tm_hour));
  SelectByText(clock.minute, TwoDigits(time.tm_min));
  SelectByText(clock.second, TwoDigits(time.tm_sec));
}

void SetClockToNow(DeviceClock& clock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) != nullptr) SetClockToTime(clock, local);
}

bool WriteTimeCfg(const std::filesystem::path& path, const DeviceClock& clock, int* error) {
  std::string bytes;
  bytes += YearDigits(clock.year.SelectedText());
  bytes += "/" + clock.month.SelectedText() + "/" + clock.day.SelectedText() + "\r\n";
  bytes += clock.hour.SelectedText() + "/" + clock.minute.SelectedText() + "/" + clock.second.SelectedText() + "\r\n";
  return platform::WriteWholeFile(path, bytes, error);
}

bool ReadTimeCfg(const std::filesystem::path& path, DeviceClock& clock) {
  CardTextFile file;
  if (!file.Open(path)) return false;
  std::string date;
  std::string time;
  std::size_t length = 0;
  if (!file.ReadLine(date, length)) return true;
  const bool hasTime = file.ReadLine(time, length);
  const std::string_view yearDigits = Pair(date, 0);
  if (!yearDigits.empty()) SelectByText(clock.year, "20" + std::string(yearDigits));
  SelectByText(clock.month, Pair(date, 3));
  SelectByText(clock.day, Pair(date, 6));
  if (!hasTime) {
    clock.hour.selected = -1;
    clock.minute.selected = -1;
    clock.second.selected = -1;
    return true;
  }
  SelectByText(clock.hour, Pair(time, 0));
  SelectByText(clock.minute, Pair(time, 3));
  SelectByText(clock.second, Pair(time, 6));
  return true;
}
