// atoi-like numbers, UTF-16 positions and the 64-byte name fields.

#include <gtest/gtest.h>

#include <climits>

#include "sources/NameParsing.h"

namespace {

TEST(NameAtoi, ReadsLikeTheCLibrary) {
  EXPECT_EQ(names::Atoi(std::string_view("42")), 42);
  EXPECT_EQ(names::Atoi(std::string_view("  \t-17x")), -17);
  EXPECT_EQ(names::Atoi(std::string_view("+5")), 5);
  EXPECT_EQ(names::Atoi(std::string_view("- 5")), 0);
  EXPECT_EQ(names::Atoi(std::string_view("x5")), 0);
  EXPECT_EQ(names::Atoi(std::string_view("")), 0);
  EXPECT_EQ(names::Atoi(std::u16string_view(u"\u00A07")), 0);  // only C blanks are skipped
}

TEST(NameAtoi, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(names::Atoi(std::string_view("99999999999999999999")), INT_MAX);
  EXPECT_EQ(names::Atoi(std::string_view("-99999999999999999999")), INT_MIN);
}

TEST(NameUtf16, DecodesValidTextAndReplacesEachBadByte) {
  EXPECT_EQ(names::Utf8ToUtf16("REC"), u"REC");
  EXPECT_EQ(names::Utf8ToUtf16("\xEB\x82\xB4"), u"\uB0B4");
  EXPECT_EQ(names::Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
  EXPECT_EQ(names::Utf8ToUtf16("\xFF"
                               "A"),
            std::u16string({0xFFFD, u'A'}));
  EXPECT_EQ(names::Utf8ToUtf16("\xE3\x81"), std::u16string({0xFFFD, 0xFFFD}));  // cut off
  EXPECT_EQ(names::Utf8ToUtf16("\xC0\x80"), std::u16string({0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(names::Utf8ToUtf16("\xED\xA0\x80").size(), 3u);                     // surrogate
}

TEST(NameUtf16, PieceIsShortOrEmptyPastTheEnd) {
  const std::u16string text = u"REC_2012";
  EXPECT_EQ(names::Piece(text, 4, 4), u"2012");
  EXPECT_EQ(names::Piece(text, 6, 4), u"12");
  EXPECT_EQ(names::Piece(text, 8, 4), u"");
  EXPECT_EQ(names::Piece(text, 100, 4), u"");
}

TEST(NameField, CopyNarrowTerminatesAndKeepsCharactersWhole) {
  char field[64];
  names::CopyNarrow(field, "NORMAL");
  EXPECT_STREQ(field, "NORMAL");
  names::CopyNarrow(field, std::string(100, 'z'));
  EXPECT_EQ(std::string(field), std::string(63, 'z'));
  std::string text(62, 'a');
  text += "\xEB\x82\xB4";  // a three-byte character over the 63-byte limit
  names::CopyNarrow(field, text);
  EXPECT_EQ(std::string(field), std::string(62, 'a'));
}

}  // namespace
