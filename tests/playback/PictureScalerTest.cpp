// The way from a decoded picture to the window's BGRA: the whole-factor shrink of
// the planes, the factor chosen for a window, the converted picture's geometry and
// colour, and pixel blocks used again instead of allocated per picture.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "playback/GstSupport.h"
#include "playback/PictureScaler.h"
#include "playback/PlaneShrink.h"

using namespace playback;

namespace {

TEST(ShrinkFactor, TheLargestFactorOfTwosAndThreesThatDividesLumaAndChroma) {
  EXPECT_EQ(ShrinkFactor(1920, 640), 3);
  EXPECT_EQ(ShrinkFactor(1280, 640), 2);
  EXPECT_EQ(ShrinkFactor(1920, 500), 3);  // 640, then libswscale to 500
  EXPECT_EQ(ShrinkFactor(1080, 270), 4);
  EXPECT_EQ(ShrinkFactor(1080, 100), 9);   // 10 and 5 are not made of twos and threes
  EXPECT_EQ(ShrinkFactor(1920, 100), 16);  // 19 is past the largest factor
  EXPECT_EQ(ShrinkFactor(1920, 1000), 1);  // less than half: libswscale alone
  EXPECT_EQ(ShrinkFactor(1282, 640), 1);   // 641 chroma columns do not halve
  EXPECT_EQ(ShrinkFactor(720, 0), 1);
  EXPECT_EQ(ShrinkFactor(0, 360), 1);
}

TEST(PlaneShrinker, PairsAreAveragedAndTriplesWeighedAroundTheirMiddle) {
  PlaneShrinker shrinker;
  // 2 x 2: rows first, then columns, each mean rounded up.
  const std::uint8_t square[] = {10, 20, 30, 41,  //
                                 50, 60, 70, 80};
  std::uint8_t pair[2] = {};
  ASSERT_TRUE(shrinker.Shrink(square, 4, 2, 2, pair, 2, 2, 1));
  EXPECT_EQ(pair[0], 35);
  EXPECT_EQ(pair[1], 56);
  // 3 x 3: a bright middle pixel counts a quarter (90 / 4 = 22.5, rounded up).
  const std::uint8_t block[] = {0, 0, 0, 0, 90, 0, 0, 0, 0};
  std::uint8_t one = 255;
  ASSERT_TRUE(shrinker.Shrink(block, 3, 3, 3, &one, 1, 1, 1));
  EXPECT_EQ(one, 23);
  // Columns only: the rows stay as they are.
  std::uint8_t columns[4] = {};
  ASSERT_TRUE(shrinker.Shrink(square, 4, 2, 1, columns, 2, 2, 2));
  EXPECT_EQ(std::vector<std::uint8_t>(columns, columns + 4), (std::vector<std::uint8_t>{15, 36, 55, 75}));
}

TEST(PlaneShrinker, SixIsAThreeThenATwoAndStridesAreKept) {
  // 12 x 6 pixels in rows of 16 bytes: the left half 40, the right half 200.
  std::vector<std::uint8_t> source(16 * 6, 7);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) source[static_cast<std::size_t>(y * 16 + x)] = x < 6 ? 40 : 200;
  // 2 x 1 pixels in rows of 4 bytes; the bytes past each row stay untouched.
  std::vector<std::uint8_t> target(4 * 1, 99);
  PlaneShrinker shrinker;
  ASSERT_TRUE(shrinker.Shrink(source.data(), 16, 6, 6, target.data(), 4, 2, 1));
  EXPECT_EQ(target, (std::vector<std::uint8_t>{40, 200, 99, 99}));
  // Factors not made of twos and threes are refused and write nothing.
  EXPECT_FALSE(shrinker.Shrink(source.data(), 16, 5, 1, target.data(), 4, 2, 1));
  EXPECT_FALSE(shrinker.Shrink(source.data(), 16, 1, 32, target.data(), 4, 2, 1));
  EXPECT_EQ(target, (std::vector<std::uint8_t>{40, 200, 99, 99}));
}

// An I420 picture whose left half is black and right half white (video range).
BufferRef HalfBlackHalfWhite(const GstVideoInfo& info) {
  BufferRef buffer(gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr));
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, buffer.get(), GST_MAP_WRITE)) return nullptr;
  for (guint plane = 0; plane < 3; ++plane) {
    auto* bytes = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
    const int width = GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane);
    for (int y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane); ++y)
      for (int x = 0; x < width; ++x) bytes[y * stride + x] = plane > 0 ? 128 : (x < width / 2 ? 16 : 235);
  }
  gst_video_frame_unmap(&frame);
  return buffer;
}

TEST(PictureScaler, AShrunkPictureKeepsItsEdgeWhereItWasAndItsColours) {
  ASSERT_TRUE(EnsureGStreamer());
  GstVideoInfo info;
  gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, 1920, 1080);
  info.colorimetry.matrix = GST_VIDEO_COLOR_MATRIX_BT709;
  info.colorimetry.range = GST_VIDEO_COLOR_RANGE_16_235;
  const BufferRef picture = HalfBlackHalfWhite(info);
  ASSERT_TRUE(picture);
  PictureScaler scaler;
  // A third in each direction (a shrink and a plain conversion), then 500 x 281 (a
  // shrink by three and a last bilinear step).
  for (const auto& [width, height] : {std::pair{640, 360}, std::pair{500, 281}}) {
    const VideoFrame frame = scaler.Convert(info, picture.get(), width, height);
    ASSERT_FALSE(frame.IsEmpty());
    EXPECT_EQ(frame.width, width);
    EXPECT_EQ(frame.height, height);
    EXPECT_EQ(frame.stride, width * 4);
    // The plain conversion is exact; the bilinear step may round a step off at the
    // picture's last row.
    const int slack = width == 640 ? 0 : 2;
    for (int y : {0, height / 2, height - 1}) {
      const std::uint8_t* left = frame.Row(y) + (width / 2 - 2) * 4;
      const std::uint8_t* right = frame.Row(y) + (width / 2 + 1) * 4;
      for (int c = 0; c < 3; ++c) {
        EXPECT_LE(left[c], slack) << width << " row " << y;
        EXPECT_GE(right[c], 255 - slack) << width << " row " << y;
      }
      EXPECT_EQ(left[3], 255);
      EXPECT_EQ(right[3], 255);
    }
  }
}

TEST(PixelPool, ABlockNobodyHoldsIsUsedAgainAndOneStillShownIsNot) {
  PixelPool pool;
  std::shared_ptr<const std::uint8_t> first = pool.Take(640 * 360 * 4);
  const std::uint8_t* firstBytes = first.get();
  std::shared_ptr<const std::uint8_t> second = pool.Take(640 * 360 * 4);
  EXPECT_NE(second.get(), firstBytes);  // the window still holds the first
  first.reset();
  EXPECT_EQ(pool.Take(640 * 360 * 4).get(), firstBytes);
  // A new size starts new blocks; the old one held by a window stays valid.
  std::shared_ptr<const std::uint8_t> resized = pool.Take(320 * 180 * 4);
  EXPECT_NE(resized.get(), second.get());
  std::memset(const_cast<std::uint8_t*>(second.get()), 1, 640 * 360 * 4);
}

}  // namespace
