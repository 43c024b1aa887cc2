#pragma once
// One recording file the viewer can play, from a card or from the computer.

#include <cstdint>
#include <string>

// Calendar time read from a recording's name; 16-bit fields like the dashcam's own
// clock record. Day of week and milliseconds stay 0.
struct RecordTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t dayOfWeek = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// Copied by value into the recording set.
struct RecordingEntry {
  // Card: index into the card folder list (0 NORMAL, 1 INFINITE, 2 EVENT, 3 PARKING).
  // Plain removable drive: 0. Chosen or dropped files: 1.
  int32_t folderIndex = 0;
  // The card library's file number; -1 for local files (below 1 means local).
  int32_t cardFileNumber = -1;
  // Card only: the name as the card library gives it, NUL-terminated; empty otherwise.
  char cardName[64] = {};
  // File name without folder (UTF-8).
  std::string fileName;
  // Local files: the full path. Card recordings: the same text as fileName.
  std::string path;
  // recordTime in 100-ns units since 1601-01-01; 0 when recordTime is no valid date.
  int64_t fileTime = 0;
  RecordTime recordTime;
  // File size in bytes / 1024, rounded down.
  uint64_t sizeKiB = 0;
  // The recording's length by its headers, ms: -1 until read (ReadRecordingLengths),
  // 0 when they give none (a file cut off by a power cut, not a recording).
  int64_t durationMs = -1;
};
