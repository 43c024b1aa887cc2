#pragma once
// Text helpers for recording names: positions counted the way the dashcam and the
// card library count them (UTF-16 code units), numbers read the way atoi reads them.

#include <cstdint>
#include <string>
#include <string_view>

namespace names {

// UTF-8 to UTF-16. Bytes that do not form a valid sequence (names on Linux file
// systems are arbitrary bytes) each become U+FFFD, so any input decodes.
std::u16string Utf8ToUtf16(std::string_view text);

// The code units of `text` from `pos`, at most `count` of them; shorter or empty
// when `text` is short.
std::u16string_view Piece(std::u16string_view text, std::size_t pos, std::size_t count);

// As the C library's atoi: leading blanks, an optional sign, then decimal digits up to
// the first non-digit; 0 without digits. Saturates instead of overflowing.
int32_t Atoi(std::u16string_view text);
int32_t Atoi(std::string_view text);

// Copies `text` into a NUL-terminated 64-byte field, cut to 63 bytes at a character
// boundary so the field never ends in half a character.
void CopyNarrow(char (&field)[64], std::string_view text);

// ASCII lower case; other bytes are kept.
std::string LowerAscii(std::string_view text);

}  // namespace names
