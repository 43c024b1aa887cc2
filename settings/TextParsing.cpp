#include "settings/TextParsing.h"

#include "sources/NameParsing.h"

namespace {

bool IsTrimmed(char c) { return c == '\b' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

int AtoiValue(std::string_view text) { return names::Atoi(text); }

std::string TrimControlChars(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin])) ++begin;
  while (end > begin && IsTrimmed(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string_view SingleLineText(std::string_view text) {
  const std::size_t end = text.find_first_of("\r\n");
  return end == std::string_view::npos ? text : text.substr(0, end);
}

std::string_view UpToNul(std::string_view line) {
  const std::size_t nul = line.find('\0');
  return nul == std::string_view::npos ? line : line.substr(0, nul);
}
