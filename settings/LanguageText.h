#pragma once
// The one way core code reads a user text: by string number from the active language
// library of the process-wide viewer settings (loaded lazily on first use).
//
// Implemented with the language libraries in settings/LanguageLibrary.cpp.

#include <string>

// Reads string `number` of the active language library into `text` (UTF-8).
// Loads the library first when none is loaded. False, with `text` emptied, when no
// library can be loaded or it has no such string: the caller then skips its text.
bool LoadLanguageString(int number, std::string& text);
