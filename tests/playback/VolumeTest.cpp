#include <gtest/gtest.h>

#include "playback/Volume.h"

namespace {

// The volume control's table: a rounding instead of truncation, or the single-precision
// fraction done in double, would move several of these by one.
TEST(VolumeAttenuation, MatchesTheControlTable) {
  const int percents[] = {0, 9, 19, 29, 39, 49, 59, 69, 79, 89, 99};
  const int expected[] = {-10000, -1045, -721, -537, -408, -309, -229, -161, -102, -50, -4};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(playback::VolumeAttenuation(percents[i]), expected[i]) << percents[i];
}

TEST(VolumeAttenuation, OutOfRangeIsClampedNotUndefined) {
  EXPECT_EQ(playback::VolumeAttenuation(-5), -10000);
  EXPECT_EQ(playback::VolumeAttenuation(100), 0);
  EXPECT_EQ(playback::VolumeAttenuation(250), 0);
}

TEST(GainOfAttenuation, SilenceFullAndSixDecibels) {
  EXPECT_EQ(playback::GainOfAttenuation(-10000), 0.0);
  EXPECT_EQ(playback::GainOfAttenuation(0), 1.0);
  EXPECT_NEAR(playback::GainOfAttenuation(-602), 0.5, 0.001);
}

}  // namespace
