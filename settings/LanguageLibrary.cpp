#include "settings/LanguageLibrary.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>

#include "lang/LanguageAbi.h"
#include "platform/Paths.h"

namespace {

constexpr std::array<const char*, kLanguageCount> kLanguageFiles = {
    "English.dll", "Korean.dll",  "German.dll", "Japanese.dll",   "Chinese.dll", "Dutch.dll",
    "French.dll",  "Italien.dll", "Polish.dll", "Portuguese.dll", "Russian.dll", "Spanish.dll"};

// Each language by its own name (UTF-8), as a person looking for theirs reads it.
constexpr std::array<const char*, kLanguageCount> kLanguageOwnNames = {"English", "한국어",     "Deutsch",  "日本語",
                                                                       "中文",    "Nederlands", "Français", "Italiano",
                                                                       "Polski",  "Português",  "Русский",  "Español"};

// Lookups may come from the load worker while the UI thread reloads the library
// after the settings dialog; one lock covers the handle and every use of it.
std::recursive_mutex& LibraryMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

// Texts were read into a buffer of 1024 characters: longer ones end after 1023
// characters (counted in UTF-16 units, cut on a character boundary).
constexpr std::size_t kMaxTextUnits = 1023;

std::string CutToBuffer(std::string_view text) {
  std::size_t units = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::size_t charUnits = length == 4 ? 2 : 1;
    if (units + charUnits > kMaxTextUnits) break;
    units += charUnits;
    i += std::min(length, text.size() - i);
  }
  return std::string(text.substr(0, i));
}

TarvoLanguageStringFunction LookupFunction(void* handle) {
  if (handle == nullptr) return nullptr;
  void* symbol = ::dlsym(handle, TARVO_LANGUAGE_STRING_SYMBOL);
  return reinterpret_cast<TarvoLanguageStringFunction>(symbol);
}

void* OpenLanguageFile(const char* fileName) {
  const std::filesystem::path besideExecutable = platform::ProgramFolder();
  void* handle = nullptr;
  if (!besideExecutable.empty()) handle = ::dlopen((besideExecutable / fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) handle = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr && LookupFunction(handle) == nullptr) {
    ::dlclose(handle);
    handle = nullptr;
  }
  return handle;
}

}  // namespace

const char* LanguageLibraryFileName(int index) {
  if (index < 0 || index >= static_cast<int>(kLanguageFiles.size())) return nullptr;
  return kLanguageFiles[static_cast<std::size_t>(index)];
}

const char* LanguageOwnName(int index) {
  if (index < 0 || index >= kLanguageCount) return nullptr;
  return kLanguageOwnNames[static_cast<std::size_t>(index)];
}

void FreeLanguageLibrary(ViewerSettings& settings) {
  std::lock_guard<std::recursive_mutex> lock(LibraryMutex());
  if (settings.languageLibrary != nullptr) {
    ::dlclose(settings.languageLibrary);
    settings.languageLibrary = nullptr;
  }
}

void LoadLanguageLibrary(ViewerSettings& settings) {
  std::lock_guard<std::recursive_mutex> lock(LibraryMutex());
  FreeLanguageLibrary(settings);
  const char* fileName = LanguageLibraryFileName(settings.language);
  if (fileName == nullptr) return;
  settings.languageLibrary = OpenLanguageFile(fileName);
}

bool LookupLanguageString(void* handle, int number, std::string& text) {
  text.clear();
  std::lock_guard<std::recursive_mutex> lock(LibraryMutex());
  const TarvoLanguageStringFunction lookup = LookupFunction(handle);
  if (lookup == nullptr) return false;
  const char* found = lookup(number);
  if (found == nullptr) return false;
  text = CutToBuffer(found);
  return true;
}

bool LoadLanguageString(int number, std::string& text) {
  text.clear();
  std::lock_guard<std::recursive_mutex> lock(LibraryMutex());
  ViewerSettings& settings = TheViewerSettings();
  if (settings.languageLibrary == nullptr) LoadLanguageLibrary(settings);
  return LookupLanguageString(settings.languageLibrary, number, text);
}

std::string LanguageString(int number) {
  std::string text;
  LoadLanguageString(number, text);
  return text;
}
