#pragma once
// What the recording set needs of the file list it is shown in. The skinned file list
// implements it; tests and tarvo-tool keep the rows in memory.

#include <array>
#include <string>

// Columns of a file list row: number, date, time, type label, path, file name.
inline constexpr int kRecordingListColumns = 6;
inline constexpr int kColumnNumber = 0;
inline constexpr int kColumnDate = 1;
inline constexpr int kColumnTime = 2;
inline constexpr int kColumnType = 3;
inline constexpr int kColumnPath = 4;
inline constexpr int kColumnFileName = 5;
using RecordingRow = std::array<std::string, kRecordingListColumns>;

class RecordingList {
 public:
  virtual ~RecordingList() = default;

  // Off while a listing refills the rows, on again when it is done.
  virtual void SetRedraw(bool on) = 0;
  virtual void DeleteAllItems() = 0;
  // Inserts row `row` (0-based) with its column texts in UTF-8.
  virtual void InsertRow(int row, const RecordingRow& columns) = 0;
};
