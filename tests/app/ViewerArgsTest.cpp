#include <gtest/gtest.h>

#include "app/ViewerArgs.h"

namespace app {
namespace {

std::optional<ViewerArgs> Parse(std::vector<std::string> words, std::string* error = nullptr) {
  std::string message;
  auto parsed = ParseViewerArgs(words, message);
  if (error) *error = message;
  return parsed;
}

TEST(ViewerArgs, PlainPathsAreOpenedInOrderWithoutScreenshot) {
  const auto args = Parse({"/media/card", "clip.avi"});
  ASSERT_TRUE(args.has_value());
  EXPECT_EQ(args->paths, (std::vector<std::string>{"/media/card", "clip.avi"}));
  EXPECT_TRUE(args->screenshotPath.empty());
  EXPECT_EQ(args->layoutMode, 1);
  EXPECT_FALSE(args->language.has_value());
}

TEST(ViewerArgs, ScreenshotOptionsAllParsed) {
  const auto args = Parse(
      {"--screenshot", "out.png", "--after", "250", "--size", "1920x1080", "--layout", "2", "--language", "1", "demo"});
  ASSERT_TRUE(args.has_value());
  EXPECT_EQ(args->screenshotPath, "out.png");
  EXPECT_EQ(args->afterMs, 250);
  EXPECT_EQ(args->width, 1920);
  EXPECT_EQ(args->height, 1080);
  EXPECT_EQ(args->layoutMode, 2);
  EXPECT_EQ(args->language, 1);
  EXPECT_EQ(args->paths, (std::vector<std::string>{"demo"}));
}

TEST(ViewerArgs, ValueMissingAtTheEndIsAnErrorNotARead) {
  std::string error;
  EXPECT_FALSE(Parse({"--screenshot"}, &error).has_value());
  EXPECT_EQ(error, "--screenshot needs a value");
}

TEST(ViewerArgs, MalformedValuesAreRefused) {
  EXPECT_FALSE(Parse({"--size", "1920"}).has_value());
  EXPECT_FALSE(Parse({"--size", "0x100"}).has_value());
  EXPECT_FALSE(Parse({"--size", "12ax9"}).has_value());
  EXPECT_FALSE(Parse({"--layout", "3"}).has_value());
  EXPECT_FALSE(Parse({"--language", "12"}).has_value());
  EXPECT_FALSE(Parse({"--language", "-1"}).has_value());
  EXPECT_FALSE(Parse({"--after", "-5"}).has_value());
  EXPECT_FALSE(Parse({"--after", "5ms"}).has_value());
  EXPECT_FALSE(Parse({"--bogus"}).has_value());
}

TEST(ViewerArgs, DoubleDashLetsAPathStartWithADash) {
  const auto args = Parse({"--", "-odd-folder"});
  ASSERT_TRUE(args.has_value());
  EXPECT_EQ(args->paths, (std::vector<std::string>{"-odd-folder"}));
}

}  // namespace
}  // namespace app
