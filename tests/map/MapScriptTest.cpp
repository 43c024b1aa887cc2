// Taking the viewer's script texts apart into a function and its arguments, and
// building the script source that calls the page.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map/MapScript.h"

namespace {

using mapview::ParseScriptCall;
using mapview::ScriptCall;
using Args = std::vector<std::string>;

TEST(ParseScriptCall, PositionCallGivesNameAndBothArgumentsInOrder) {
  const auto call = ParseScriptCall("javascript:positionChange('37.525000', '127.000000')");
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->function, "positionChange");
  EXPECT_EQ(call->arguments, (Args{"37.525000", "127.000000"}));
}

TEST(ParseScriptCall, TextBeforeThePrefixIsDroppedAndNoPrefixKeepsTheWholeText) {
  EXPECT_EQ(ParseScriptCall("  junk javascript:f(a)")->function, "f");
  const auto plain = ParseScriptCall("positionChange(1, 2)");
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->function, "positionChange");
  EXPECT_EQ(plain->arguments, (Args{"1", "2"}));
  // Only the first prefix is cut: a second one is part of the name.
  EXPECT_EQ(ParseScriptCall("javascript:javascript:f()")->function, "javascript:f");
}

TEST(ParseScriptCall, NameIsTrimmedOfBlanksOnBothSides) {
  const auto call = ParseScriptCall("javascript: \t positionChange \t('1')");
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->function, "positionChange");
  EXPECT_EQ(call->arguments, (Args{"1"}));
}

TEST(ParseScriptCall, EverySeparatorSplitsAndEmptyPiecesAreDropped) {
  const auto call = ParseScriptCall("f(a b,c'd\"e\tf(g)h;i,, ;;'' \"\" )");
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->arguments, (Args{"a", "b", "c", "d", "e", "f", "g", "h", "i"}));
}

TEST(ParseScriptCall, QuotedTextWithBlanksFallsApartIntoWords) {
  // An argument cannot hold a separator: the quotes do not group.
  const auto call = ParseScriptCall("javascript:show(\"two words\", 'x;y')");
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->arguments, (Args{"two", "words", "x", "y"}));
}

TEST(ParseScriptCall, OtherCharactersStayInsideTheArgument) {
  const auto call = ParseScriptCall("f(-37.5 a\\b <x> \xEC\x84\x9C\xEC\x9A\xB8)");
  ASSERT_TRUE(call.has_value());
  EXPECT_EQ(call->arguments, (Args{"-37.5", "a\\b", "<x>", "\xEC\x84\x9C\xEC\x9A\xB8"}));
}

TEST(ParseScriptCall, CallWithoutArgumentsOrParenthesis) {
  const auto empty = ParseScriptCall("javascript:refresh()");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->function, "refresh");
  EXPECT_TRUE(empty->arguments.empty());
  const auto bare = ParseScriptCall("javascript: refresh ");
  ASSERT_TRUE(bare.has_value());
  EXPECT_EQ(bare->function, "refresh");
  EXPECT_TRUE(bare->arguments.empty());
  // A missing closing parenthesis still gives the arguments written.
  EXPECT_EQ(ParseScriptCall("f('1', '2'")->arguments, (Args{"1", "2"}));
}

TEST(ParseScriptCall, EmptyTextOrEmptyNameIsNoCall) {
  EXPECT_FALSE(ParseScriptCall("").has_value());
  EXPECT_FALSE(ParseScriptCall("javascript:").has_value());
  EXPECT_FALSE(ParseScriptCall("javascript:  ('1')").has_value());
  EXPECT_FALSE(ParseScriptCall("(1, 2)").has_value());
}

TEST(JavaScriptStringLiteral, QuotesBackslashesAndLineBreaksCannotEndTheLiteral) {
  EXPECT_EQ(mapview::JavaScriptStringLiteral("37.525000"), "\"37.525000\"");
  EXPECT_EQ(mapview::JavaScriptStringLiteral("a\"b'c\\d"), "\"a\\\"b\\'c\\\\d\"");
  EXPECT_EQ(mapview::JavaScriptStringLiteral("1\n2\r3\t4"), "\"1\\n2\\r3\\t4\"");
  EXPECT_EQ(mapview::JavaScriptStringLiteral(std::string("\x01\x1F\x7F", 3)), "\"\\x01\\x1F\\x7F\"");
  EXPECT_EQ(mapview::JavaScriptStringLiteral(std::string("a\0b", 3)), "\"a\\x00b\"");
}

TEST(JavaScriptStringLiteral, UnicodeLineSeparatorsAreEscapedOtherTextKept) {
  EXPECT_EQ(mapview::JavaScriptStringLiteral("a\xE2\x80\xA8"
                                             "b\xE2\x80\xA9"),
            "\"a\\u2028b\\u2029\"");
  // Other three-byte characters beginning with E2 stay as they are.
  EXPECT_EQ(mapview::JavaScriptStringLiteral("\xE2\x82\xAC \xEC\x84\x9C"), "\"\xE2\x82\xAC \xEC\x84\x9C\"");
  // A lone lead byte at the end is passed on, not read past.
  EXPECT_EQ(mapview::JavaScriptStringLiteral("x\xE2\x80"), "\"x\xE2\x80\"");
}

TEST(ScriptSource, CallsTheNamedGlobalFunctionWithEscapedStringArguments) {
  const ScriptCall call{"positionChange", {"37.525000", "127.000000"}};
  const std::string source = mapview::ScriptSource(call);
  // The name and the arguments appear only as string literals, in order.
  const std::string tail = "(\"positionChange\",[\"37.525000\",\"127.000000\"])";
  ASSERT_GE(source.size(), tail.size());
  EXPECT_EQ(source.substr(source.size() - tail.size()), tail);
  EXPECT_NE(source.find("hasOwnProperty.call(window,name)"), std::string::npos);
  EXPECT_NE(source.find("catch(e){return '';}"), std::string::npos);
}

TEST(ScriptSource, NameThatLooksLikeCodeStaysAString) {
  const ScriptCall call{"alert(1);x", {}};
  const std::string source = mapview::ScriptSource(call);
  EXPECT_NE(source.find("(\"alert(1);x\",[])"), std::string::npos);
}

}  // namespace
