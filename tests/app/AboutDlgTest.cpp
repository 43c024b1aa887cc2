#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "WindowTestSupport.h"
#include "app/CAboutDlg.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/ControlId.h"

namespace {

class AboutDlgTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
};

TEST_F(AboutDlgTest, PiecesSitWhereTheBoxPutsThem) {
  CAboutDlg about(0, nullptr, nullptr);
  EXPECT_EQ(about.size(), QSize(291, 160));
  EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
  auto* title = FindControl<QLabel>(&about, CAboutDlg::kIdTitle);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->geometry(), QRect(0, 0, 291, 28));
  auto* name = FindControl<CBbTextCtrl>(&about, CAboutDlg::kIdName);
  auto* version = FindControl<CBbTextCtrl>(&about, CAboutDlg::kIdVersion);
  ASSERT_NE(name, nullptr);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(name->kind, 8);
  EXPECT_EQ(version->kind, 9);
  EXPECT_EQ(name->geometry(), QRect(30, 50, 230, 20));
  EXPECT_EQ(version->geometry(), QRect(30, 80, 200, 20));
  EXPECT_EQ(name->backgroundColour, 0x0A0A0Au);
  auto* ok = FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdOk);
  auto* card = FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdCardInfo);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(ok->geometry(), QRect(198, 118, 83, 32));
  EXPECT_EQ(card->geometry(), QRect(105, 118, 83, 32));
  EXPECT_EQ(card->normalImage, 1336);
  EXPECT_EQ(card->pressedImage, 1335);
  EXPECT_EQ(ok->hoverImage, 0);
  // Both faces are drawn from the start, not only after the first press.
  EXPECT_EQ(ok->ShownImage(), 192);
  EXPECT_EQ(card->ShownImage(), 1336);
  EXPECT_EQ(card->hoverImage, 0);
}

TEST_F(AboutDlgTest, OkPicturesFollowTheLanguage) {
  const int expected[12][2] = {{192, 193},   {1094, 1095}, {1120, 1121}, {1143, 1144}, {1304, 1305}, {1258, 1259},
                               {1189, 1190}, {1212, 1213}, {1281, 1282}, {1235, 1236}, {1327, 1328}, {1166, 1167}};
  for (int language = 0; language < 12; ++language) {
    CAboutDlg about(language, nullptr, nullptr);
    auto* ok = FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdOk);
    EXPECT_EQ(ok->normalImage, expected[language][0]) << language;
    EXPECT_EQ(ok->pressedImage, expected[language][1]) << language;
  }
}

TEST_F(AboutDlgTest, OkAcceptsAndCardButtonAsksTheOwner) {
  QWidget owner;
  owner.setGeometry(100, 100, 1034, 742);
  owner.show();
  CAboutDlg about(0, nullptr, &owner);
  int asked = 0;
  about.showCardInformation = [&asked] { ++asked; };
  about.show();
  const QRect frame = owner.frameGeometry();
  EXPECT_EQ(about.pos(), QPoint(frame.left() + (frame.width() - 291) / 2, frame.top() + (frame.height() - 160) / 2));
  QTest::mouseClick(FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdCardInfo), Qt::LeftButton);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(about.isVisible());
  QTest::mouseClick(FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdOk), Qt::LeftButton);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutDlgTest, PicturesOfTheBoxInEnglishAndKorean) {
  for (auto [language, name] : {std::pair{0, "about-en.png"}, std::pair{1, "about-ko.png"}}) {
    CAboutDlg about(language, nullptr, nullptr);
    const QImage picture = about.grab().toImage();
    EXPECT_EQ(picture.size(), QSize(291, 160));
    EXPECT_TRUE(picture.save(QString::fromStdString((apptest::ScreenshotFolder() / name).string())));
  }
}

}  // namespace
