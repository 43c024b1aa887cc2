#pragma once
// Line reading for the two small text files on the card.
// Lines are read as a C program in text mode sees them: CR LF becomes one line end,
// and a NUL byte ends the text of its line.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

class CardTextFile {
 public:
  // Lines once went through a 256-byte buffer; only their first 255 characters count.
  static constexpr std::size_t kMaxLineChars = 255;

  CardTextFile() = default;
  ~CardTextFile();
  CardTextFile(const CardTextFile&) = delete;
  CardTextFile& operator=(const CardTextFile&) = delete;

  // False when `path` is missing, not a regular file or unreadable.
  bool Open(const std::filesystem::path& path);

  // The next line's text without its line end (at most kMaxLineChars characters; the
  // rest of an over-long line is skipped, so it cannot shift the lines after it) and
  // its length with the line end counted as one character. False at the end.
  bool ReadLine(std::string& text, std::size_t& lengthWithEnd);

 private:
  std::FILE* file_ = nullptr;
};
