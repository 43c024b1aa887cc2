// The text control's layouts: times past an hour, the speed factor, the coordinates
// and the G-sensor values, with texts from the English language library; the texts of
// the boxes that tell a failed write.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "ControlTestSupport.h"
#include "controls/CBbTextCtrl.h"
#include "controls/LanguageMessageBox.h"
#include "settings/LanguageLibrary.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"

namespace {

QString English(int number) {
  std::string text;
  return LoadLanguageString(number, text) ? QString::fromStdString(text) : QString();
}

class TextCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    if (English(110).isNull()) GTEST_SKIP() << "no language library beside the test";
  }
  QWidget owner;
};

TEST(TextCtrlTime, MinutesAreNotWrappedAtTheHour) {
  EXPECT_EQ(CBbTextCtrl::FormatTime(3725000), QStringLiteral("62:05"));
  EXPECT_EQ(CBbTextCtrl::FormatTime(3600000), QStringLiteral("60:00"));
  EXPECT_EQ(CBbTextCtrl::FormatTime(0), QStringLiteral("00:00"));
  EXPECT_EQ(CBbTextCtrl::FormatTime(59999), QStringLiteral("00:59"));
  EXPECT_EQ(CBbTextCtrl::FormatTime(59999, true), QStringLiteral("00:59.999"));
  EXPECT_EQ(CBbTextCtrl::FormatTime(3725066, true), QStringLiteral("62:05.066"));
}

TEST_F(TextCtrlTest, PlayTimeAndSpeedFactor) {
  CBbTextCtrl text(1007, 1, &owner);
  text.positionMs = 3725000;
  text.durationMs = 3600000;
  text.speedFactor = 0.1f;
  const auto runs = text.Layout();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].at, QPoint(10, 2));
  EXPECT_EQ(runs[0].text, English(110) + QStringLiteral("    62:05  /  60:00"));
  EXPECT_EQ(runs[1].at, QPoint(260, 2));
  EXPECT_EQ(runs[1].text, English(111) + QStringLiteral("   0.10 x"));
  EXPECT_EQ(runs[1].colour, 0xFFFFFFu);
  EXPECT_EQ(runs[1].fontHeight, 13);
  // Paused, the position has its milliseconds; the duration keeps whole seconds.
  text.showMilliseconds = true;
  text.positionMs = 1066;
  EXPECT_EQ(text.Layout()[0].text, English(110) + QStringLiteral("    00:01.066  /  60:00"));
  // The key rates' 1/8 shows as it is, 2 and 8 as the slider's would; the GPS clock
  // follows when the owner has one.
  text.speedFactor = 0.125f;
  EXPECT_EQ(text.Layout()[1].text, English(111) + QStringLiteral("   0.125 x"));
  text.speedFactor = 8.0f;
  text.clockText = QStringLiteral("2024-03-31 03:00:00");
  const auto withClock = text.Layout();
  ASSERT_EQ(withClock.size(), 3u);
  EXPECT_EQ(withClock[1].text, English(111) + QStringLiteral("   8.00 x"));
  EXPECT_EQ(withClock[2].at, QPoint(400, 2));
  EXPECT_EQ(withClock[2].text, QStringLiteral("2024-03-31 03:00:00"));
}

TEST_F(TextCtrlTest, CoordinatesKeepSignAndSixDecimals) {
  CBbTextCtrl text(1010, 4, &owner);
  text.latitude = -37.525f;
  text.longitude = 127.0f;
  const auto runs = text.Layout();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].at, QPoint(3, 3));
  EXPECT_EQ(runs[0].text,
            English(128) + QStringLiteral(": -37.525002  ") + English(129) + QStringLiteral(": 127.000000"));
  EXPECT_EQ(runs[0].colour, 0xC8C8C8u);
}

TEST_F(TextCtrlTest, MapWindowCoordinatesUseWiderSpacing) {
  CBbTextCtrl text(1203, 6, &owner);
  text.latitude = 37.5f;
  text.longitude = -0.25f;
  const auto runs = text.Layout();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].at, QPoint(10, 3));
  EXPECT_EQ(runs[0].text,
            English(128) + QStringLiteral(":  37.500000    ") + English(129) + QStringLiteral(":  -0.250000"));
}

TEST_F(TextCtrlTest, GsensorValuesOrDashes) {
  CBbTextCtrl text(1008, 2, &owner);
  auto runs = text.Layout();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, QStringLiteral("X:  -"));
  EXPECT_EQ(runs[2].at, QPoint(210, 3));
  text.hasGsensor = true;
  text.gX = 0.5;
  text.gY = -1.25;
  text.gZ = 1.0;
  runs = text.Layout();
  EXPECT_EQ(runs[0].text, QStringLiteral("X:  0.500000"));
  EXPECT_EQ(runs[0].colour, 0x0064FFu);
  EXPECT_EQ(runs[1].text, QStringLiteral("Y:  -1.250000"));
  EXPECT_EQ(runs[1].at, QPoint(110, 3));
  EXPECT_EQ(runs[2].text, QStringLiteral("Z:  1.000000"));
  EXPECT_EQ(runs[2].colour, 0x00FF00u);
}

TEST_F(TextCtrlTest, ListCaptionCentredBySixPixelsPerCharacter) {
  CBbTextCtrl text(1013, 7, &owner);
  text.resize(92, 20);
  const auto runs = text.Layout();
  ASSERT_EQ(runs.size(), 1u);
  const QString caption = English(130);
  EXPECT_EQ(runs[0].at, QPoint((92 - 6 * static_cast<int>(caption.size())) / 2, 3));
}

TEST_F(TextCtrlTest, FixedTextsOfAboutBoxAndFileInformation) {
  CBbTextCtrl title(1000, 8, &owner);
  EXPECT_EQ(title.Layout().at(0).text, QStringLiteral("Tarvo Viewer"));
  EXPECT_EQ(title.Layout().at(0).fontHeight, 15);
  CBbTextCtrl version(1001, 9, &owner);
  EXPECT_EQ(version.Layout().at(0).text, QStringLiteral("Version 1.0.0 (Build 3920)"));
  CBbTextCtrl eventRow(1, 13, &owner);
  eventRow.countEvent = QStringLiteral("12");
  eventRow.sizeEvent = QStringLiteral("1.2 GB");
  const auto runs = eventRow.Layout();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, QString::fromUtf8("이벤트"));
  EXPECT_EQ(runs[1].at, QPoint(80, 3));
  EXPECT_EQ(runs[2].text, QStringLiteral("1.2 GB"));
  EXPECT_EQ(runs[2].at, QPoint(150, 3));
  CBbTextCtrl heading(2, 16, &owner);
  EXPECT_EQ(heading.Layout().at(0).text, QString::fromUtf8("파일수        크기"));
  // The rows in kind order: all, event, parking, normal.
  const char* const labels[] = {"전체", "이벤트", "주차", "상시"};
  for (int kind = 12; kind <= 15; ++kind) {
    CBbTextCtrl row(3, kind, &owner);
    EXPECT_EQ(row.Layout().at(0).text, QString::fromUtf8(labels[kind - 12])) << kind;
  }
}

TEST_F(TextCtrlTest, LoadingLinesAreTwelvePixelsFifteenApart) {
  CBbTextCtrl lines(1, 10, &owner);
  const auto runs = lines.Layout();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, English(276));
  EXPECT_EQ(runs[1].at, QPoint(10, 18));
  EXPECT_EQ(runs[2].at, QPoint(10, 33));
  EXPECT_EQ(runs[2].fontHeight, 12);
}

TEST_F(TextCtrlTest, UnknownKindDrawsOnlyTheBackground) {
  CBbTextCtrl text(1, 17, &owner);
  text.backgroundColour = 0x141414;
  text.resize(50, 20);
  EXPECT_TRUE(text.Layout().empty());
  const QImage shot = Grab(&text);
  EXPECT_EQ(shot.pixel(25, 10), qRgb(0x14, 0x14, 0x14));
}

}  // namespace

namespace {

// A failed write is told with the file and why, in the language the viewer shows.
TEST(WriteFailureBox, NamesTheFileAndWhyInTheLanguageOnScreen) {
  TestApp();
  ViewerSettings& settings = TheViewerSettings();
  const int before = settings.language;
  settings.language = 2;
  LoadLanguageLibrary(settings);
  QStringList shown;
  const MessagePresenter old = SetMessagePresenter([&](QWidget*, const QString& text, QMessageBox::StandardButtons) {
    shown << text;
    return QMessageBox::Ok;
  });
  ShowWriteFailure(nullptr, kStrSettingsNotSaved, "/home/a/.config/tarvo-viewer/option.ini", ENOSPC);
  ShowWriteFailure(nullptr, kStrRecordingNotSaved, "/media/%2.avi", EROFS);
  ShowWriteFailure(nullptr, kStrCaptureNotSaved, "/x.jpg", EIO);
  SetMessagePresenter(old);
  settings.language = before;
  LoadLanguageLibrary(settings);
  ASSERT_EQ(3, shown.size());
  EXPECT_EQ(
      "Die Einstellungen konnten nicht in /home/a/.config/tarvo-viewer/option.ini gespeichert werden.\n"
      "Der Datenträger ist voll.",
      shown[0].toStdString());
  EXPECT_EQ("Die Aufnahme konnte nicht als /media/%2.avi gespeichert werden.\nDer Datenträger ist schreibgeschützt.",
            shown[1].toStdString())
      << "a mark in the path stays as it is";
  EXPECT_EQ("Das Bild konnte nicht als /x.jpg gespeichert werden.\nDas System meldet: Input/output error",
            shown[2].toStdString());
  EXPECT_EQ("Writing there is not permitted.", WriteFailureReason(EACCES).toStdString());
  EXPECT_EQ("The folder does not exist.", WriteFailureReason(ENOTDIR).toStdString());
}

}  // namespace
