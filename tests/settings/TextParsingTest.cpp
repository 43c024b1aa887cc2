#include <gtest/gtest.h>

#include <string>

#include "settings/TextParsing.h"

namespace {

TEST(AtoiValue, TakesLeadingDigitsAfterBlanksAndSign) {
  EXPECT_EQ(12, AtoiValue("12abc"));
  EXPECT_EQ(7, AtoiValue("  7"));
  EXPECT_EQ(-3, AtoiValue("-3"));
  EXPECT_EQ(4, AtoiValue("+4"));
  EXPECT_EQ(9, AtoiValue("\t\v\f9"));
}

TEST(AtoiValue, NoDigitsGiveZero) {
  EXPECT_EQ(0, AtoiValue(""));
  EXPECT_EQ(0, AtoiValue("abc"));
  EXPECT_EQ(0, AtoiValue("-"));
  EXPECT_EQ(0, AtoiValue("- 5"));
  EXPECT_EQ(0, AtoiValue("\b5"));  // backspace is not white space to atoi
}

TEST(AtoiValue, HugeNumbersClampInsteadOfOverflowing) {
  EXPECT_EQ(2147483647, AtoiValue("2147483647"));
  EXPECT_EQ(2147483647, AtoiValue("99999999999999999999999"));
  EXPECT_EQ(-2147483647 - 1, AtoiValue("-2147483648"));
  EXPECT_EQ(-2147483647 - 1, AtoiValue("-99999999999999999999"));
}

TEST(TrimControlChars, RemovesBackspaceTabCrLfButNotSpaces) {
  EXPECT_EQ(" a b ", TrimControlChars("\b\t\r\n a b \n\r\t\b"));
  EXPECT_EQ("", TrimControlChars("\t\t"));
  EXPECT_EQ("a\tb", TrimControlChars("a\tb"));
}

TEST(UpToNul, CutsAtTheFirstNul) {
  EXPECT_EQ("ab", UpToNul(std::string("ab\0cd", 5)));
  EXPECT_EQ("abc", UpToNul("abc"));
}

}  // namespace
