// The compiled-in skin: every image of the table is present at its size and kind, the
// images that continue one another meet without seams, and the language images differ.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <set>
#include <vector>

#include "res/SkinIds.h"
#include "res/SkinResources.h"

namespace {

QImage Load(int id) { return QImage(skin::SkinResourcePath(id)); }

const QRgb kWindowBg = qRgb(0x0A, 0x0A, 0x0A);
const QRgb kPanelBg = qRgb(0x14, 0x14, 0x14);
const QRgb kBarBg = qRgb(0x1E, 0x1E, 0x1E);

class SkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "skin_test";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) app_ = new QGuiApplication(argc, argv);
    InitSkinResources();
  }
  static QGuiApplication* app_;
};
QGuiApplication* SkinTest::app_ = nullptr;

TEST_F(SkinTest, TableHasEveryImageOnceAndInLanguageOrder) {
  EXPECT_EQ(skin::kSkinImages.size(), 382u);
  std::set<int> ids;
  for (const skin::SkinImage& image : skin::kSkinImages) ids.insert(image.id);
  EXPECT_EQ(ids.size(), skin::kSkinImages.size());
  // A row lost from the per-language block would shift every later language.
  for (int language = 0; language < skin::kLanguageCount; ++language) {
    const std::size_t first = skin::kSharedImageCount + skin::kImagesPerLanguage * language;
    EXPECT_EQ(skin::kSkinImages[first].language, language);
    EXPECT_EQ(skin::kSkinImages[first + skin::kImagesPerLanguage - 1].language, language);
  }
}

TEST_F(SkinTest, LanguageIdsFollowTheBaseNumbering) {
  const skin::LanguageSkin& german = skin::LanguageSkinFor(skin::kLanguageGerman);
  EXPECT_EQ(german.filterAll[0], 1100);
  EXPECT_EQ(german.filterNormal[2], 1105);
  EXPECT_EQ(german.filterParking[0], 1109);
  EXPECT_EQ(german.both[1], 1117);
  const skin::LanguageSkin& korean = skin::LanguageSkinFor(skin::kLanguageKorean);
  EXPECT_EQ(korean.filterEvent[1], 19282);
  EXPECT_EQ(korean.front[0], 20031);
  EXPECT_EQ(korean.okNormal, 1094);
  EXPECT_EQ(korean.aboutTitle, 1092);
  EXPECT_EQ(skin::LanguageSkinFor(skin::kLanguageSpanish).notConnectedPicture, 1164);
  EXPECT_EQ(skin::LanguageSkinFor(skin::kLanguageRussian).aboutTitle, 1329);
  // Out-of-range language indices fall back to English instead of reading past the table.
  EXPECT_EQ(skin::LanguageSkinFor(12).filterAll[0], 172);
  EXPECT_EQ(skin::LanguageSkinFor(-1).filterAll[0], 172);
}

TEST_F(SkinTest, EveryImageIsCompiledInAtItsSizeAndKind) {
  for (const skin::SkinImage& info : skin::kSkinImages) {
    SCOPED_TRACE(info.id);
    const QImage image = Load(info.id);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), info.width);
    EXPECT_EQ(image.height(), info.height);
    EXPECT_EQ(image.hasAlphaChannel(), info.kind == skin::SkinKind::Png);
  }
}

TEST_F(SkinTest, PngImagesReallyUseTheirAlpha) {
  // A PNG drawn over the button background must let it through somewhere.
  for (int id : {skin::kOpenNormal, skin::kAboutHover, skin::kMergeNormal, skin::kAppIcon,
                 skin::LanguageSkinFor(3).noDataPicture}) {
    SCOPED_TRACE(id);
    const QImage image = Load(id).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
    }
    EXPECT_GT(opaque, 10);
  }
}

TEST_F(SkinTest, WindowIconIsInstalledUnderItsOwnPath) {
  const QImage icon(QString::fromLatin1(skin::kWindowIconPath));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.size(), Load(skin::kAppIcon).size());
}

TEST_F(SkinTest, SpeedDigitsUseTheExactKeyColourAroundTheirSegments) {
  int litOne = 0, litEight = 0;
  for (int digit = 0; digit <= 9; ++digit) {
    SCOPED_TRACE(digit);
    const QImage image = Load(skin::SpeedDigitId(digit));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFFu, skin::kSpeedKeyColour);
    EXPECT_EQ(image.pixel(9, 17) & 0xFFFFFFu, skin::kSpeedKeyColour);
    int lit = 0;
    for (int y = 0; y < 18; ++y) {
      for (int x = 0; x < 10; ++x) lit += (image.pixel(x, y) & 0xFFFFFFu) != skin::kSpeedKeyColour;
    }
    if (digit == 1) litOne = lit;
    if (digit == 8) litEight = lit;
  }
  EXPECT_GT(litOne, 15);
  EXPECT_GT(litEight, 2 * litOne);
  const QImage point = Load(skin::kSpeedPoint);
  EXPECT_EQ(point.pixel(0, 0) & 0xFFFFFFu, skin::kSpeedKeyColour);
  EXPECT_NE(point.pixel(3, 16) & 0xFFFFFFu, skin::kSpeedKeyColour);
}

TEST_F(SkinTest, TopBarTileIsWindowBackgroundWhereTheButtonsSit) {
  // Buttons start at y = 9 and paint their own background in the window colour: any other
  // colour in those rows of the tile would show as a box around every button.
  const QImage tile = Load(skin::kTopBarTile);
  for (int y = 9; y < 33; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(tile.pixel(x, y), kWindowBg) << x << "," << y;
  }
  EXPECT_NE(tile.pixel(0, 0), kWindowBg);
  // The tile repeats every 100 pixels: its first and last columns must agree.
  for (int y = 0; y < 33; ++y) EXPECT_EQ(tile.pixel(0, y), tile.pixel(99, y));
}

TEST_F(SkinTest, OpaqueImagesBlendIntoTheBackgroundTheyAreDrawnOn) {
  struct Case {
    int id;
    QRgb background;
  };
  const skin::LanguageSkin& english = skin::LanguageSkinFor(0);
  const Case cases[] = {
      {skin::kMinimiseNormal, kWindowBg}, {skin::kCloseNormal, kWindowBg},        {skin::kPlayNormal, kWindowBg},
      {skin::kNextDisabled, kWindowBg},   {skin::kMuteSoundNormal, kWindowBg},    {skin::kVolumeEmpty, kWindowBg},
      {skin::kSeekThumb, kWindowBg},      {skin::kSpeedBackgroundKmh, kWindowBg}, {skin::kSliderChannel, kBarBg},
      {skin::kSliderThumb, kBarBg},       {skin::kMapCloseNormal, kBarBg},        {skin::kMapButtonNormal, kPanelBg},
      {english.filterAll[1], kPanelBg},   {english.front[1], kWindowBg},          {english.okNormal, kWindowBg},
      {skin::kCardInfoNormal, kWindowBg},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const QImage image = Load(c.id);
    EXPECT_EQ(image.pixel(0, 0), c.background);
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), c.background);
  }
  // The seek strip's last row is left to the control's background.
  const QImage seek = Load(skin::kSeekChannel);
  EXPECT_EQ(seek.pixel(20, 9), kWindowBg);
  EXPECT_NE(seek.pixel(20, 4), kWindowBg);
}

TEST_F(SkinTest, IdlePictureFadesToTheWindowBackgroundAtEveryEdge) {
  // The window letterboxes it on 0x0A0A0A; a lighter edge would show as a box.
  const QImage idle = Load(skin::kIdlePicture);
  ASSERT_EQ(idle.size(), QSize(1280, 720));
  auto nearBackground = [](QRgb pixel) { return qRed(pixel) <= 0x0B && qGreen(pixel) <= 0x0B && qBlue(pixel) <= 0x0B; };
  for (int x = 0; x < 1280; x += 7) {
    EXPECT_TRUE(nearBackground(idle.pixel(x, 0))) << x;
    EXPECT_TRUE(nearBackground(idle.pixel(x, 719))) << x;
  }
  for (int y = 0; y < 720; y += 7) {
    EXPECT_TRUE(nearBackground(idle.pixel(0, y))) << y;
    EXPECT_TRUE(nearBackground(idle.pixel(1279, y))) << y;
  }
  EXPECT_FALSE(nearBackground(idle.pixel(640, 300)));
}

TEST_F(SkinTest, VolumeBarsNeverStraddleALevelBoundary) {
  // Level n shows the first n x 7 columns of the full image; a bar crossing a multiple
  // of 7 would be cut in half at some level.
  const QImage full = Load(skin::kVolumeFull);
  const QImage empty = Load(skin::kVolumeEmpty);
  for (int level = 0; level <= 10; ++level) {
    const int x = level * 7;
    for (int column : {x - 1, x}) {
      if (column < 0 || column >= 70) continue;
      for (int y = 0; y < 21; ++y) {
        ASSERT_EQ(full.pixel(column, y), kWindowBg) << column << "," << y;
        ASSERT_EQ(empty.pixel(column, y), kWindowBg) << column << "," << y;
      }
    }
  }
  EXPECT_NE(full.pixel(3, 18), empty.pixel(3, 18));
}

TEST_F(SkinTest, SeekProgressCoversTheGrooveExactly) {
  const QImage tile = Load(skin::kProgressTile);
  const QImage strip = Load(skin::kSeekChannel);
  // The groove (rows 1..7 of the strip) differs from the progress colour on every row.
  for (int y = 0; y < 7; ++y) EXPECT_NE(tile.pixel(1, y), strip.pixel(15, y + 1));
  // The caps are where the slider cuts them from.
  EXPECT_EQ(strip.pixel(0, 0), kWindowBg);
  EXPECT_EQ(strip.pixel(546, 0), kWindowBg);
  EXPECT_NE(strip.pixel(546, 4), kWindowBg);
}

std::vector<QImage> LanguageImages(int language) {
  std::vector<QImage> images;
  for (const skin::SkinImage& info : skin::kSkinImages) {
    if (info.language == language) images.push_back(Load(info.id));
  }
  return images;
}

TEST_F(SkinTest, EveryLanguageHasItsOwnTexts) {
  std::vector<std::vector<QImage>> all;
  for (int language = 0; language < skin::kLanguageCount; ++language) {
    all.push_back(LanguageImages(language));
    ASSERT_EQ(all.back().size(), skin::kImagesPerLanguage);
  }
  for (int a = 0; a < skin::kLanguageCount; ++a) {
    for (int b = a + 1; b < skin::kLanguageCount; ++b) {
      SCOPED_TRACE(testing::Message() << a << " vs " << b);
      // The about title and both placeholders are sentences: always different.
      for (std::size_t i : {std::size_t{20}, std::size_t{21}, std::size_t{22}}) {
        EXPECT_NE(all[a][i], all[b][i]) << "image " << i;
      }
      // The toggles share some words between languages, but never all of them.
      int differing = 0;
      for (std::size_t i = 0; i < 18; ++i) differing += all[a][i] != all[b][i];
      EXPECT_GT(differing, 0);
    }
  }
  // Hangul, not the English fallback, on the Korean filters.
  EXPECT_NE(Load(skin::LanguageSkinFor(1).filterAll[0]), Load(skin::LanguageSkinFor(0).filterAll[0]));
  EXPECT_NE(Load(skin::LanguageSkinFor(1).okNormal), Load(skin::LanguageSkinFor(0).okNormal));
}

TEST_F(SkinTest, ToggleStatesAreDistinct) {
  for (int language = 0; language < skin::kLanguageCount; ++language) {
    const skin::LanguageSkin& s = skin::LanguageSkinFor(language);
    for (const int* filter : {s.filterAll, s.filterNormal, s.filterEvent, s.filterParking}) {
      EXPECT_NE(Load(filter[0]), Load(filter[1]));
      EXPECT_NE(Load(filter[0]), Load(filter[2]));
      EXPECT_NE(Load(filter[1]), Load(filter[2]));
    }
    for (const int* channel : {s.front, s.rear, s.both}) EXPECT_NE(Load(channel[0]), Load(channel[1]));
  }
}

TEST_F(SkinTest, ButtonStatesAreDistinct) {
  const int families[][4] = {
      {skin::kCaptureNormal, skin::kCapturePressed, skin::kCaptureHover, skin::kCaptureDisabled},
      {skin::kPlayNormal, skin::kPlayPressed, skin::kPlayHover, skin::kPlayDisabled},
      {skin::kNextNormal, skin::kNextPressed, skin::kNextHover, skin::kNextDisabled},
  };
  for (const auto& family : families) {
    for (int i = 0; i < 4; ++i) {
      for (int j = i + 1; j < 4; ++j) EXPECT_NE(Load(family[i]), Load(family[j])) << family[i];
    }
  }
  EXPECT_NE(Load(skin::kPlayNormal), Load(skin::kPauseNormal));
  EXPECT_NE(Load(skin::kMuteMutedNormal), Load(skin::kMuteSoundNormal));
  EXPECT_NE(Load(skin::kSpeedBackgroundKmh), Load(skin::kSpeedBackgroundMph));
}

TEST_F(SkinTest, UnknownIdsAreNotInTheTable) {
  EXPECT_EQ(skin::FindSkinImage(0), nullptr);
  EXPECT_EQ(skin::FindSkinImage(20013), nullptr);
  ASSERT_NE(skin::FindSkinImage(20053), nullptr);
  EXPECT_EQ(skin::FindSkinImage(20053)->width, 124);
  EXPECT_TRUE(Load(20013).isNull());
}

}  // namespace

namespace {

// Run as its own process by CTest: nothing has called InitSkinResources() here, so this
// fails when the resources only reach the executable through that call.
TEST(SkinLinkTest, ResourcesArePresentWithoutExplicitRegistration) {
  EXPECT_FALSE(QImage(skin::SkinResourcePath(skin::kAppIcon)).isNull());
  EXPECT_FALSE(QImage(QString::fromLatin1(skin::kWindowIconPath)).isNull());
}

}  // namespace
