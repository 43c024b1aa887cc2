#pragma once
// Loads one language library into a private settings record for a test and frees it
// at the end of the scope, so tests never disturb the process-wide record.

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "lang/LanguageTable.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"

namespace testsupport {

class LoadedLanguage {
 public:
  explicit LoadedLanguage(int index) {
    settings.language = index;
    LoadLanguageLibrary(settings);
  }
  ~LoadedLanguage() { FreeLanguageLibrary(settings); }
  LoadedLanguage(const LoadedLanguage&) = delete;
  LoadedLanguage& operator=(const LoadedLanguage&) = delete;

  std::string Text(int number) {
    std::string text;
    LookupLanguageString(settings.languageLibrary, number, text);
    return text;
  }
  // The file the dynamic loader actually opened for this handle.
  std::string FileName() {
    void* symbol = ::dlsym(settings.languageLibrary, TARVO_LANGUAGE_STRING_SYMBOL);
    Dl_info info{};
    if (symbol == nullptr || ::dladdr(symbol, &info) == 0 || info.dli_fname == nullptr) return {};
    return std::filesystem::path(info.dli_fname).filename().string();
  }

  ViewerSettings settings;
};

}  // namespace testsupport
