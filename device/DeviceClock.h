#pragma once
// The dashcam's clock file time.cfg in the root of its memory card: two lines
// "YY/MM/DD" and "hh/mm/ss", CR LF line ends. The camera adopts the time it holds.

#include <ctime>
#include <filesystem>

#include "device/ChoiceList.h"

inline constexpr char kTimeCfgFileName[] = "time.cfg";

// The six clock lists of the settings dialog; each value is the text of its entry.
struct DeviceClock {
  ChoiceList year;    // "2011" ... "2030"
  ChoiceList month;   // "01" ... "12"
  ChoiceList day;     // "01" ... "31"
  ChoiceList hour;    // "00" ... "23"
  ChoiceList minute;  // "00" ... "59"
  ChoiceList second;  // "00" ... "59"
};

// Fills the six lists with their entries; nothing selected.
void FillClockLists(DeviceClock& clock);

// A clock with filled lists and nothing selected.
DeviceClock MakeDeviceClock();

// Selects the entries of `time` in each list (a year outside 2011..2030 leaves the
// year list unchanged).
void SetClockToTime(DeviceClock& clock, const std::tm& time);

// SetClockToTime with the current local time.
void SetClockToNow(DeviceClock& clock);

// Writes the two lines as the whole of `path`, replaced in one piece and flushed to the
// card. False when the file cannot be created or written, with the errno in `error`.
bool WriteTimeCfg(const std::filesystem::path& path, const DeviceClock& clock, int* error = nullptr);

// Selects in each list the first entry that begins with the file's text; a text no
// entry begins with leaves its list unchanged. A missing second line leaves hour,
// minute and second without selection. Nothing happens when the file is absent;
// false then.
bool ReadTimeCfg(const std::filesystem::path& path, DeviceClock& clock);
