#include "device/CardTextFile.h"

#include "platform/FileOpen.h"

CardTextFile::~CardTextFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool CardTextFile::Open(const std::filesystem::path& path) {
  if (path.empty()) return false;
  // Folders, devices and pipes are no card file (a read of /dev/zero never ends, an
  // open of a pipe waits for a writer).
  file_ = platform::OpenPlainFileStream(path);
  return file_ != nullptr;
}

bool CardTextFile::ReadLine(std::string& text, std::size_t& lengthWithEnd) {
  text.clear();
  lengthWithEnd = 0;
  if (file_ == nullptr) return false;
  int c = std::fgetc(file_);
  if (c == EOF) return false;
  bool endedByLf = false;
  bool truncated = false;
  std::string raw;
  for (; c != EOF; c = std::fgetc(file_)) {
    if (c == '\n') {
      endedByLf = true;
      break;
    }
    // One character beyond the limit is kept so a CR before the LF can still be told.
    if (raw.size() <= kMaxLineChars)
      raw.push_back(static_cast<char>(c));
    else
      truncated = true;
  }
  // Text mode hands over CR LF as a single line end.
  if (endedByLf && !truncated && !raw.empty() && raw.back() == '\r') raw.pop_back();
  if (raw.size() > kMaxLineChars) {
    raw.resize(kMaxLineChars);
    truncated = true;
  }
  const std::size_t nul = raw.find('\0');
  const bool cutAtNul = nul != std::string::npos;
  if (cutAtNul) raw.resize(nul);
  text = std::move(raw);
  lengthWithEnd = text.size() + (endedByLf && !truncated && !cutAtNul ? 1 : 0);
  return true;
}
