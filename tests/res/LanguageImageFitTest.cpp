// The generator's language pictures: every label of every language fits the picture it
// is drawn into at the size the generator's own fitting chose. The fitting stops
// shrinking at a floor; a label still too wide there would be cut at the picture's
// edge, and fails here with its language, picture and overflow in pixels.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "res/SkinIds.h"
#include "res/generator/Drawers.h"
#include "res/generator/Style.h"
#include "tests/support/QtApplication.h"

namespace {

constexpr std::array<const char*, skin::kLanguageCount> kLanguageNames = {
    "English", "Korean",  "German", "Japanese",   "Chinese", "Dutch",
    "French",  "Italian", "Polish", "Portuguese", "Russian", "Spanish"};

class LanguageImageFitTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testsupport::TestApplication<QGuiApplication>(); }
};

TEST_F(LanguageImageFitTest, EveryLabelFitsItsPictureInEveryLanguage) {
  for (int language = 0; language < skin::kLanguageCount; ++language) {
    const char* name = kLanguageNames[static_cast<std::size_t>(language)];
    const std::vector<gen::TextFit> fits = gen::LanguageTextFits(language);
    ASSERT_EQ(fits.size(), 11u) << name;
    for (const gen::TextFit& fit : fits) {
      EXPECT_LE(fit.used, fit.room) << name << ", " << fit.picture << " \"" << fit.text.toStdString() << "\" at "
                                    << fit.pixelSize << " px is " << std::ceil(fit.used - fit.room) << " px over its "
                                    << fit.room << " px";
      std::printf("%s\t%s\t%d px\t%.1f of %.0f\t%s\n", name, fit.picture, fit.pixelSize, fit.used, fit.room,
                  fit.text.toStdString().c_str());
    }
  }
}

// The columns of a toggle picture the label's ink lit (brighter than any frame grey).
std::pair<int, int> InkColumns(const QImage& image) {
  int first = image.width();
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 0x60) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return {first, last};
}

TEST_F(LanguageImageFitTest, TheDrawnLabelStaysInsideTheBorderWhereTheMeasureSaysItFits) {
  // The measure must be the drawing's own: the widest label of each group, drawn, keeps
  // clear of the rounded border on both sides.
  for (int language = 0; language < skin::kLanguageCount; ++language) {
    const char* name = kLanguageNames[static_cast<std::size_t>(language)];
    for (auto filter : {gen::Filter::All, gen::Filter::Normal, gen::Filter::Event, gen::Filter::Parking}) {
      const QImage image = gen::DrawFilterToggle(language, filter, gen::ButtonState::Normal);
      const auto [first, last] = InkColumns(image);
      EXPECT_GE(first, 1) << name << " filter " << static_cast<int>(filter);
      EXPECT_LE(last, image.width() - 2) << name << " filter " << static_cast<int>(filter);
    }
    for (auto channel : {gen::Channel::Front, gen::Channel::Rear, gen::Channel::Both}) {
      const QImage image = gen::DrawChannelToggle(language, channel, gen::ButtonState::Normal);
      const auto [first, last] = InkColumns(image);
      EXPECT_GE(first, 1) << name << " channel " << static_cast<int>(channel);
      EXPECT_LE(last, image.width() - 2) << name << " channel " << static_cast<int>(channel);
    }
  }
}

TEST_F(LanguageImageFitTest, FittingStopsAtItsFloorAndLeavesTheOverflowToSee) {
  // A label no size can fit keeps the floor size; its advance then exceeds the room,
  // which is what the fit test above reports rather than trusting the shrinking.
  const QString tooLong = QStringLiteral("Aufnahmeereignisse");
  const QFont font = gen::FitFont(gen::LanguageFont(skin::kLanguageGerman, 11, false, true), tooLong, 40, 9);
  EXPECT_EQ(font.pixelSize(), 9);
  EXPECT_GT(QFontMetricsF(font).horizontalAdvance(tooLong), 40.0);
  const QFont fits =
      gen::FitFont(gen::LanguageFont(skin::kLanguageGerman, 11, false, true), QStringLiteral("Alle"), 40, 9);
  EXPECT_EQ(fits.pixelSize(), 11);
}

}  // namespace
