#include "sources/NameParsing.h"

#include <cstring>
#include <limits>

namespace names {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

// Length and minimum code point of a sequence introduced by `lead`; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead, char32_t& minimum) {
  if (lead < 0x80U) {
    minimum = 0;
    return 1;
  }
  if ((lead & 0xE0U) == 0xC0U) {
    minimum = 0x80;
    return 2;
  }
  if ((lead & 0xF0U) == 0xE0U) {
    minimum = 0x800;
    return 3;
  }
  if ((lead & 0xF8U) == 0xF0U) {
    minimum = 0x10000;
    return 4;
  }
  return 0;
}

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename Char>
int32_t AtoiOf(std::basic_string_view<Char> text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit + 1;  // keeps the sum bounded; clamped below
  }
  if (negative) value = -value;
  if (value > kLimit) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t minimum = 0;
    const std::size_t length = SequenceLength(lead, minimum);
    if (length == 1) {
      out.push_back(static_cast<char16_t>(lead));
      ++i;
      continue;
    }
    bool ok = length != 0 && i + length <= text.size();
    char32_t code = 0;
    if (ok) {
      code = lead & (0x7FU >> length);
      for (std::size_t k = 1; k < length && ok; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        ok = IsContinuation(byte);
        code = (code << 6) | (byte & 0x3FU);
      }
    }
    ok = ok && code >= minimum && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (!ok) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FFU)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::u16string_view Piece(std::u16string_view text, std::size_t pos, std::size_t count) {
  if (pos >= text.size()) return {};
  return text.substr(pos, count);
}

int32_t Atoi(std::u16string_view text) { return AtoiOf(text); }
int32_t Atoi(std::string_view text) { return AtoiOf(text); }

void CopyNarrow(char (&field)[64], std::string_view text) {
  std::memset(field, 0, sizeof field);
  std::size_t length = text.size() < sizeof field - 1 ? text.size() : sizeof field - 1;
  if (length < text.size()) {
    // Step back over continuation bytes so a multi-byte character is kept whole or dropped.
    while (length > 0 && IsContinuation(static_cast<unsigned char>(text[length]))) --length;
  }
  std::memcpy(field, text.data(), length);
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace names
