#pragma once
// The two text rules shared by the viewer's own settings file and the dashcam's card
// files: numbers convert as the C library's atoi does, and values lose backspace, tab,
// CR and LF at both ends (never spaces).

#include <string>
#include <string_view>

// Leading white space, an optional sign, then decimal digits up to the first other
// character; no digits gives 0. Values beyond the int range clamp instead of
// overflowing, so a damaged file cannot trigger undefined behaviour.
int AtoiValue(std::string_view text);

// Removes backspace (0x08), tab, CR and LF from both ends; spaces stay.
std::string TrimControlChars(std::string_view text);

// `text` up to its first CR or LF: a value must never break the line it is written on.
std::string_view SingleLineText(std::string_view text);

// Cuts `line` at its first NUL: the files are 8-bit text read as C strings, so
// nothing after a NUL byte on a line was ever seen.
std::string_view UpToNul(std::string_view line);
