#pragma once
// Choosing, loading and reading the language libraries. Each language is a shared
// library named after it ("English.dll" ... "Spanish.dll") beside the executables,
// exporting a lookup of UTF-8 strings by number (lang/LanguageAbi.h).

#include <string>

#include "settings/LanguageText.h"
#include "settings/ViewerSettings.h"

inline constexpr int kLanguageCount = 12;

// The library file of language `index` (0 English ... 11 Spanish); null for any
// other index.
const char* LanguageLibraryFileName(int index);

// Language `index` by its own name ("English", "한국어", "Deutsch" ...); null for any
// other index.
const char* LanguageOwnName(int index);

// Frees the library `settings` holds, then loads the one of `settings.language`:
// from the executable's folder first, then the normal library search path. The handle
// stays null for an index outside 0..11 or when the load fails (also when the file
// found is not a language library).
void LoadLanguageLibrary(ViewerSettings& settings);

// Frees the library `settings` holds, if any.
void FreeLanguageLibrary(ViewerSettings& settings);

// String `number` of the loaded library `handle` (a languageLibrary value). False,
// with `text` emptied, for a null handle or a missing string.
bool LookupLanguageString(void* handle, int number, std::string& text);

// LoadLanguageString's text, or "" when there is none.
std::string LanguageString(int number);
