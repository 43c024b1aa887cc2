#pragma once
// What a language library exports: one C function that looks a string up by number.
// The viewer opens the library with dlopen and finds the function by this name.

#ifdef __cplusplus
extern "C" {
#endif

// UTF-8 text of string `number`, or a null pointer when the library has no such
// string. The text stays valid while the library is loaded.
typedef const char* (*TarvoLanguageStringFunction)(int number);

#ifdef __cplusplus
}
#endif

#define TARVO_LANGUAGE_STRING_SYMBOL "TarvoLanguageString"
