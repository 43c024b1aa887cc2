#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "tests/settings/LoadedLanguage.h"

namespace {

using testsupport::LoadedLanguage;

TEST(LanguageFiles, TableNamesTheTwelveLibrariesInIndexOrder) {
  const char* expected[] = {"English.dll", "Korean.dll",  "German.dll", "Japanese.dll",   "Chinese.dll", "Dutch.dll",
                            "French.dll",  "Italien.dll", "Polish.dll", "Portuguese.dll", "Russian.dll", "Spanish.dll"};
  for (int i = 0; i < 12; ++i) EXPECT_STREQ(expected[i], LanguageLibraryFileName(i)) << i;
  EXPECT_EQ(nullptr, LanguageLibraryFileName(12));
  EXPECT_EQ(nullptr, LanguageLibraryFileName(-1));
}

TEST(LanguageFiles, EnglishLibrarySitsBesideTheExecutable) {
  EXPECT_TRUE(std::filesystem::exists(platform::ExecutableFolder() / "English.dll"));
}

TEST(LanguageLoad, EnglishLoadsAndAnswersByNumber) {
  LoadedLanguage english(0);
  ASSERT_NE(nullptr, english.settings.languageLibrary);
  EXPECT_EQ("Open", english.Text(kStrTipOpen));
  EXPECT_EQ("Normal", english.Text(kStrLabelNormal));
  EXPECT_EQ("Cancel", english.Text(kStrButtonCancel));
}

TEST(LanguageLoad, IndexOutsideTheTableLeavesTheHandleNull) {
  for (int index : {12, -1, 1000}) {
    LoadedLanguage none(index);
    EXPECT_EQ(nullptr, none.settings.languageLibrary) << index;
  }
}

TEST(LanguageLoad, ReloadFreesTheOldHandleFirst) {
  LoadedLanguage lang(0);
  ASSERT_NE(nullptr, lang.settings.languageLibrary);
  lang.settings.language = 12;
  LoadLanguageLibrary(lang.settings);
  EXPECT_EQ(nullptr, lang.settings.languageLibrary);
}

TEST(LanguageLookup, MissingNumberOrNullHandleGiveFalseAndEmptyText) {
  LoadedLanguage english(0);
  std::string text = "stale";
  EXPECT_FALSE(LookupLanguageString(english.settings.languageLibrary, 99999, text));
  EXPECT_EQ("", text);
  text = "stale";
  EXPECT_FALSE(LookupLanguageString(nullptr, kStrTipOpen, text));
  EXPECT_EQ("", text);
}

TEST(LanguageLookup, EveryNumberIsInTheEnglishLibrary) {
  LoadedLanguage english(0);
  ASSERT_NE(nullptr, english.settings.languageLibrary);
  for (int number : kAllStringIds) EXPECT_NE("", english.Text(number)) << number;
}

TEST(LanguageLookup, CaptureQuestionFollowsTheFileNameAfterABlank) {
  LoadedLanguage english(0);
  const std::string text = english.Text(kStrCaptureSavedAsk);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(' ', text.front());
  EXPECT_NE(std::string::npos, text.find('\n')) << "\\n in the table becomes a line break";
}

TEST(LanguageLookup, ProcessWideLookupLoadsLazilyAndRetriesAfterAFailure) {
  ViewerSettings& settings = TheViewerSettings();
  FreeLanguageLibrary(settings);
  settings.language = 12;
  std::string text = "stale";
  EXPECT_FALSE(LoadLanguageString(kStrTipOpen, text));
  EXPECT_EQ("", text);
  EXPECT_EQ(nullptr, settings.languageLibrary);
  settings.language = 0;
  EXPECT_TRUE(LoadLanguageString(kStrTipOpen, text));
  EXPECT_EQ("Open", text);
  EXPECT_NE(nullptr, settings.languageLibrary);
  EXPECT_EQ("Print", LanguageString(kStrTipPrint));
  FreeLanguageLibrary(settings);
}

TEST(LanguageLoad, ALibraryWithoutTheLookupAnswersNothing) {
  // A shared object without the lookup answers nothing.
  void* handle = ::dlopen("libm.so.6", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, handle);
  EXPECT_EQ(nullptr, ::dlsym(handle, "TarvoLanguageString"));
  std::string text = "stale";
  EXPECT_FALSE(LookupLanguageString(handle, kStrTipOpen, text));
  EXPECT_EQ("", text);
  ::dlclose(handle);
}

}  // namespace
