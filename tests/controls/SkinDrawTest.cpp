// The drawing helpers: the back buffer, opaque and key-coloured copies, parts of strip
// pictures, PNG blending, missing pictures, the font, and the map placeholders' pictures.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>

#include "ControlTestSupport.h"
#include "controls/CMemoryDC.h"
#include "controls/SkinFont.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"

namespace {

constexpr int kStrip = 91001;
constexpr int kKeyed = 91002;
constexpr int kMissing = 91999;

QImage Canvas(int w, int h, QRgb fill) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(fill);
  return image;
}

class SkinDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 30 x 4 strip: red, green and blue blocks of 10 pixels.
    QImage strip(30, 4, QImage::Format_RGB32);
    for (int x = 0; x < 30; ++x) {
      const QRgb c = x < 10 ? qRgb(255, 0, 0) : x < 20 ? qRgb(0, 255, 0) : qRgb(0, 0, 255);
      for (int y = 0; y < 4; ++y) strip.setPixel(x, y, c);
    }
    skin::RegisterSkinImage(kStrip, strip, skin::DrawKind::Bitmap);
    QImage keyed(4, 1, QImage::Format_RGB32);
    keyed.setPixel(0, 0, qRgb(255, 255, 255));
    keyed.setPixel(1, 0, qRgb(1, 2, 3));
    keyed.setPixel(2, 0, qRgb(255, 255, 254));
    keyed.setPixel(3, 0, qRgb(255, 255, 255));
    skin::RegisterSkinImage(kKeyed, keyed, skin::DrawKind::Bitmap);
  }
  void TearDown() override { skin::ClearSkinImages(); }
};

TEST_F(SkinDrawTest, MemoryDcCannotBeCreatedTwice) {
  CMemoryDC buffer;
  EXPECT_TRUE(buffer.Create(nullptr, 10, 5));
  EXPECT_FALSE(buffer.Create(nullptr, 20, 20));
  EXPECT_EQ(buffer.Width(), 10);
  buffer.Destroy();
  EXPECT_FALSE(buffer.IsCreated());
  EXPECT_TRUE(buffer.Create(nullptr, 20, 20));
  CMemoryDC empty;
  EXPECT_FALSE(empty.Create(nullptr, 0, 5));
}

TEST_F(SkinDrawTest, MemoryDcCopiesItsWholeBufferOnce) {
  CMemoryDC buffer;
  ASSERT_TRUE(buffer.Create(nullptr, 4, 4));
  buffer.Painter().fillRect(0, 0, 4, 4, QColor(9, 8, 7));
  QImage target = Canvas(8, 8, qRgb(0, 0, 0));
  QPainter p(&target);
  buffer.CopyTo(p, 2, 2);
  p.end();
  EXPECT_EQ(target.pixel(2, 2), qRgb(9, 8, 7));
  EXPECT_EQ(target.pixel(5, 5), qRgb(9, 8, 7));
  EXPECT_EQ(target.pixel(6, 6), qRgb(0, 0, 0));
}

TEST_F(SkinDrawTest, BitmapCopiesTopLeftBlockWithoutStretching) {
  QImage target = Canvas(40, 4, qRgb(0, 0, 0));
  QPainter p(&target);
  DrawSkinBitmap(p, kStrip, 5, 0, 15, 4);
  p.end();
  EXPECT_EQ(target.pixel(4, 0), qRgb(0, 0, 0));
  EXPECT_EQ(target.pixel(5, 0), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(19, 0), qRgb(0, 255, 0));
  EXPECT_EQ(target.pixel(20, 0), qRgb(0, 0, 0));
}

TEST_F(SkinDrawTest, KeyColourLeavesTargetUntouchedOnlyForExactMatches) {
  QImage target = Canvas(4, 1, qRgb(50, 60, 70));
  QPainter p(&target);
  DrawSkinBitmap(p, kKeyed, 0, 0, 4, 1, true, 0xFFFFFF);
  p.end();
  EXPECT_EQ(target.pixel(0, 0), qRgb(50, 60, 70));
  EXPECT_EQ(target.pixel(1, 0), qRgb(1, 2, 3));
  EXPECT_EQ(target.pixel(2, 0), qRgb(255, 255, 254));
  EXPECT_EQ(target.pixel(3, 0), qRgb(50, 60, 70));
}

TEST_F(SkinDrawTest, PartCopiesTheBlockAtTheSourceOffset) {
  QImage target = Canvas(10, 4, qRgb(0, 0, 0));
  QPainter p(&target);
  DrawSkinBitmapPart(p, kStrip, 0, 0, 10, 4, 20, 0);
  p.end();
  EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(target.pixel(9, 3), qRgb(0, 0, 255));
}

TEST_F(SkinDrawTest, PartBeyondThePictureDrawsOnlyWhatExists) {
  QImage target = Canvas(10, 4, qRgb(0, 0, 0));
  QPainter p(&target);
  DrawSkinBitmapPart(p, kStrip, 0, 0, 10, 4, 25, 0);
  p.end();
  EXPECT_EQ(target.pixel(4, 0), qRgb(0, 0, 255));
  EXPECT_EQ(target.pixel(5, 0), qRgb(0, 0, 0));
}

TEST_F(SkinDrawTest, MissingPictureDrawsNothing) {
  QImage target = Canvas(4, 4, qRgb(7, 7, 7));
  QPainter p(&target);
  DrawSkinBitmap(p, kMissing, 0, 0, 4, 4);
  DrawSkinBitmapPart(p, kMissing, 0, 0, 4, 4, 0, 0);
  EXPECT_FALSE(DrawSkinPng(p, kMissing));
  p.end();
  EXPECT_EQ(target.pixel(1, 1), qRgb(7, 7, 7));
  EXPECT_EQ(skin::DrawKindOf(kMissing), skin::DrawKind::None);
}

TEST_F(SkinDrawTest, PngBlendsWithItsAlphaAtNaturalSize) {
  QImage png(2, 1, QImage::Format_ARGB32);
  png.setPixel(0, 0, qRgba(255, 255, 255, 255));
  png.setPixel(1, 0, qRgba(0, 0, 0, 0));
  skin::RegisterSkinImage(kMissing, png, skin::DrawKind::Png);
  QImage target = Canvas(3, 1, qRgb(20, 30, 40));
  QPainter p(&target);
  EXPECT_TRUE(DrawSkinPng(p, kMissing));
  p.end();
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(1, 0), qRgb(20, 30, 40));
}

TEST_F(SkinDrawTest, RealSkinTableDecidesHowIdsAreDrawn) {
  skin::ClearSkinImages();
  if (!skin::HasSkinImage(19101)) GTEST_SKIP() << "skin resources missing";
  EXPECT_EQ(skin::DrawKindOf(19101), skin::DrawKind::Png);     // top bar: PNG
  EXPECT_EQ(skin::DrawKindOf(19191), skin::DrawKind::Bitmap);  // transport: bitmap
  EXPECT_EQ(skin::LoadSkinImage(1034).size(), QSize(547, 10));
}

TEST(SkinFont, PixelHeightsAndWeight) {
  TestApp();
  for (int height : {12, 13, 15}) {
    const QFont font = skin::SkinFont(height);
    EXPECT_EQ(font.pixelSize(), height);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic());
  }
}

TEST(SkinPalette, ColorrefIsBlueGreenRed) {
  EXPECT_EQ(skin::ToColor(0x0064FF), QColor(255, 100, 0));
  EXPECT_EQ(skin::FromColor(QColor(255, 100, 0)), 0x0064FFu);
  EXPECT_EQ(skin::Rgb(0x12, 0x34, 0x56), 0x563412u);
}

TEST(MapPlaceholders, PicturePerLanguageAndNoneOutside) {
  TestApp();
  CMapNoDataWnd noData(nullptr);
  CMapNoConnectedWnd offline(nullptr);
  EXPECT_EQ(noData.property("id").toInt(), 1011);
  EXPECT_EQ(offline.property("id").toInt(), 1012);
  EXPECT_FALSE(noData.isVisible());
  const int expected[12][2] = {{191, 190},   {148, 155},   {1119, 1118}, {1142, 1141}, {1303, 1302}, {1257, 1256},
                               {1188, 1187}, {1211, 1210}, {1280, 1279}, {1234, 1233}, {1326, 1325}, {1165, 1164}};
  for (int language = 0; language < 12; ++language) {
    noData.SetLanguageIndex(language);
    offline.SetLanguageIndex(language);
    EXPECT_EQ(noData.PictureId(), expected[language][0]) << language;
    EXPECT_EQ(offline.PictureId(), expected[language][1]) << language;
  }
  noData.SetLanguageIndex(12);
  EXPECT_EQ(noData.PictureId(), 0);
  noData.resize(40, 40);
  EXPECT_EQ(Grab(&noData).pixel(20, 20), qRgb(0x33, 0x33, 0x33));
}

}  // namespace
