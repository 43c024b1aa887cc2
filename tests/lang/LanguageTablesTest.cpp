#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "lang/LanguageTable.h"
#include "platform/Paths.h"
#include "settings/ApplicationStrings.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "tests/settings/LoadedLanguage.h"

namespace {

using testsupport::LoadedLanguage;

class EveryLanguage : public ::testing::TestWithParam<int> {};

TEST_P(EveryLanguage, LoadsItsOwnFileBesideTheExecutable) {
  LoadedLanguage lang(GetParam());
  ASSERT_NE(nullptr, lang.settings.languageLibrary);
  EXPECT_EQ(LanguageLibraryFileName(GetParam()), lang.FileName());
  EXPECT_TRUE(std::filesystem::exists(platform::ExecutableFolder() / LanguageLibraryFileName(GetParam())));
}

TEST_P(EveryLanguage, HoldsEveryStringNumberWithAText) {
  LoadedLanguage lang(GetParam());
  ASSERT_NE(nullptr, lang.settings.languageLibrary);
  for (int number : kAllStringIds) EXPECT_NE("", lang.Text(number)) << "string " << number;
}

TEST_P(EveryLanguage, HoldsNoNumberOutsideTheList) {
  LoadedLanguage lang(GetParam());
  const std::set<int> known(kAllStringIds.begin(), kAllStringIds.end());
  for (int number = 0; number < 1000; ++number) {
    if (known.count(number) == 0) {
      EXPECT_EQ("", lang.Text(number)) << "string " << number;
    }
  }
}

TEST_P(EveryLanguage, ButtonTextsStayShort) {
  LoadedLanguage lang(GetParam());
  for (int number : {kStrButtonOk, kStrButtonCancel, kStrButtonDefault, kStrButtonBrowse, kStrButtonFormat,
                     kStrPickerOk, kStrLabelNormal, kStrLabelEvent, kStrLabelParking, kStrLabelMotion}) {
    const std::string text = lang.Text(number);
    EXPECT_LE(text.size(), 40u) << "string " << number << ": " << text;
  }
}

TEST_P(EveryLanguage, IsWrittenInItsOwnLanguage) {
  if (GetParam() == 0) GTEST_SKIP() << "English is the reference";
  LoadedLanguage english(0);
  LoadedLanguage lang(GetParam());
  int differing = 0;
  for (int number : kAllStringIds)
    if (lang.Text(number) != english.Text(number)) ++differing;
  EXPECT_GE(differing, static_cast<int>(kAllStringIds.size()) * 8 / 10);
}

INSTANTIATE_TEST_SUITE_P(Languages, EveryLanguage, ::testing::Range(0, 12));

TEST(LanguageIndex, SevenLoadsTheItalianLibraryByItsHistoricalName) {
  LoadedLanguage italian(7);
  EXPECT_STREQ("Italien.dll", LanguageLibraryFileName(7));
  EXPECT_EQ("Italien.dll", italian.FileName());
  EXPECT_EQ("Apri", italian.Text(kStrTipOpen));
}

TEST(LanguageIndex, TwelveAndMinusOneLoadNothing) {
  LoadedLanguage twelve(12);
  LoadedLanguage minusOne(-1);
  EXPECT_EQ(nullptr, twelve.settings.languageLibrary);
  EXPECT_EQ(nullptr, minusOne.settings.languageLibrary);
}

TEST(KoreanTexts, CarryTheProgramsOwnKoreanWording) {
  LoadedLanguage korean(1);
  EXPECT_EQ("파일을 불러오는 중...", korean.Text(kStrLoadingCaption));
  EXPECT_EQ("전체", korean.Text(kStrTipFilterAll));
  EXPECT_EQ("이벤트", korean.Text(kStrLabelEvent));
  EXPECT_EQ("주차", korean.Text(kStrLabelParking));
  EXPECT_EQ("상시", korean.Text(kStrLabelNormal));
  EXPECT_EQ("번호", korean.Text(kStrColumnNumber));
}

TEST(ApplicationStrings, HoldTheQuotedKoreanTexts) {
  EXPECT_STREQ("Windows 소켓을 초기화하지 못했습니다.", ApplicationString(kAppStrSocketsFailed));
  EXPECT_STREQ("DezirureDovuri 정보(&A)...", ApplicationString(kAppStrAboutEntry));
  EXPECT_EQ(nullptr, ApplicationString(102));
  EXPECT_STREQ("내 컴퓨터에서 찾기", ApplicationString(kAppStrFolderItemLabel));
  EXPECT_STREQ("손상된 파일을 복구할 수 없습니다.", ApplicationString(kAppStrRepairFailed));
  EXPECT_STREQ("전체", ApplicationString(kAppStrInfoRowAll));
  EXPECT_STREQ("이벤트", ApplicationString(kAppStrInfoRowEvent));
  EXPECT_STREQ("주차", ApplicationString(kAppStrInfoRowParking));
  EXPECT_STREQ("상시", ApplicationString(kAppStrInfoRowNormal));
  // Eight blanks between the two words, as the information view lines them up.
  EXPECT_STREQ("\xED\x8C\x8C\xEC\x9D\xBC\xEC\x88\x98        \xED\x81\xAC\xEA\xB8\xB0",
               ApplicationString(kAppStrInfoHeading));
}

TEST(ApplicationStrings, NumbersAddedLaterNameNoLanguageString) {
  for (int number : {kAppStrFolderItemLabel, kAppStrRepairFailed, kAppStrInfoRowAll, kAppStrInfoRowEvent,
                     kAppStrInfoRowParking, kAppStrInfoRowNormal, kAppStrInfoHeading}) {
    EXPECT_EQ(std::find(kAllStringIds.begin(), kAllStringIds.end(), number), kAllStringIds.end()) << number;
    EXPECT_NE(nullptr, ApplicationString(number)) << number;
  }
}

TEST(LanguageTableText, ParsesNumbersTabsAndEscapes) {
  const tarvo_lang::LanguageTable table(
      "\n12\tone\\ntwo\n7\tback\\\\slash\nx1\tbad\n\tno number\n5 no tab\n9\t\n12\tlater\n");
  EXPECT_STREQ("one\ntwo", table.Find(12));
  EXPECT_STREQ("back\\slash", table.Find(7));
  EXPECT_STREQ("", table.Find(9));
  EXPECT_EQ(nullptr, table.Find(5));
  EXPECT_EQ(nullptr, table.Find(1));
}

}  // namespace
