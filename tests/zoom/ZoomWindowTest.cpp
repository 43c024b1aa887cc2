// The zoom window: created hidden where the main window puts it, toggled and closed
// without being destroyed, magnifying the screen around the cursor with its own area
// grey, and saying so when the desktop gives no picture.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "tests/app/WindowTestSupport.h"
#include "tools/zoom/CZoomDlg.h"

namespace {

// A pixel colour that differs at every position of a full-HD screen.
QRgb PatternAt(int x, int y) { return qRgb(x % 256, y % 256, ((x / 256) << 4 | (y / 256)) & 0xFF); }

// A window over the whole screen showing the pattern: what the magnifier reads.
class PatternWindow : public QWidget {
 public:
  PatternWindow() : QWidget(nullptr, Qt::FramelessWindowHint), picture(1920, 1080, QImage::Format_RGB32) {
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, PatternAt(x, y));
    setGeometry(0, 0, 1920, 1080);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture); }

 private:
  QImage picture;
};

// The smoothing stretch mixes a pixel with its neighbours, which differ by one step.
bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2;
}

constexpr QRgb kGrey = qRgb(0x96, 0x96, 0x96);

class ZoomWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
  void SetUp() override { apptest::UseEnglish(); }
  void TearDown() override { apptest::UseEnglish(); }
  // Shows the pattern under everything and waits until it can be read.
  void ShowPattern() {
    pattern.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pattern));
    QApplication::processEvents();
  }
  void MagnifyAt(CZoomDlg& zoom, QPoint cursor) {
    QCursor::setPos(cursor);
    zoom.Magnify();
  }

  QWidget owner;
  PatternWindow pattern;
};

TEST_F(ZoomWindowTest, CreatedHiddenAtItsPlaceAsAToolWindowAboveTheOthers) {
  CZoomDlg zoom(&owner);
  EXPECT_FALSE(zoom.isVisible());
  EXPECT_EQ(zoom.pos(), QPoint(800, 200));
  EXPECT_EQ(zoom.size(), QSize(425, 330));
  EXPECT_TRUE(zoom.isWindow());
  EXPECT_EQ(zoom.windowType(), Qt::Tool);
  EXPECT_TRUE(zoom.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(zoom.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(zoom.zoomVisible);
  EXPECT_EQ(zoom.zoomFactor, 3);
  EXPECT_EQ(zoom.rasterOp, 0x00CC0020u);
  EXPECT_FALSE(zoom.MagnifyTimerActive()) << "a hidden magnifier reads nothing";
  EXPECT_EQ(zoom.parentWidget(), &owner) << "destroyed with the main window";
}

TEST_F(ZoomWindowTest, ToggleShowsWithTheCaptionAndHidesAgain) {
  CZoomDlg zoom(&owner);
  zoom.setWindowTitle(QString());
  zoom.ToggleZoom();
  EXPECT_TRUE(zoom.isVisible());
  EXPECT_TRUE(zoom.zoomVisible);
  EXPECT_EQ(zoom.windowTitle(), QStringLiteral("Magnifier"));
  EXPECT_TRUE(zoom.MagnifyTimerActive());
  zoom.ToggleZoom();
  EXPECT_FALSE(zoom.isVisible());
  EXPECT_FALSE(zoom.zoomVisible);
  EXPECT_FALSE(zoom.MagnifyTimerActive());
}

TEST_F(ZoomWindowTest, CaptionFollowsTheLanguageAtEachShow) {
  CZoomDlg zoom(&owner);
  TheViewerSettings().language = 1;
  LoadLanguageLibrary(TheViewerSettings());
  zoom.ToggleZoom();
  EXPECT_EQ(zoom.windowTitle(), QString::fromUtf8("돋보기"));
}

TEST_F(ZoomWindowTest, CloseBoxOnlyHidesAndTheNextToggleShowsItAtTheSamePlace) {
  auto* zoom = new CZoomDlg(&owner);
  QPointer<CZoomDlg> alive(zoom);
  zoom->ToggleZoom();
  zoom->move(300, 250);
  const QPoint place = zoom->pos();
  zoom->close();
  QApplication::processEvents();
  ASSERT_FALSE(alive.isNull());
  EXPECT_FALSE(zoom->isVisible());
  EXPECT_FALSE(zoom->zoomVisible);
  EXPECT_FALSE(zoom->MagnifyTimerActive());
  zoom->ToggleZoom();
  EXPECT_TRUE(zoom->isVisible());
  EXPECT_EQ(zoom->pos(), place);
}

TEST_F(ZoomWindowTest, TimerMagnifiesTwentyFiveTimesASecondOnlyWhileShown) {
  ShowPattern();
  CZoomDlg zoom(&owner);
  QCursor::setPos(100, 100);
  zoom.ToggleZoom();
  QTest::qWait(1000);
  // 25 a second; a busy machine may lose a few ticks, never gain any.
  const int64_t shown = zoom.MagnifyCount();
  EXPECT_GE(shown, 5);
  EXPECT_LE(shown, 26);
  zoom.ToggleZoom();
  QTest::qWait(200);
  EXPECT_EQ(zoom.MagnifyCount(), shown) << "no magnification while hidden";
}

TEST_F(ZoomWindowTest, MagnifiesTheAreaAroundTheCursor) {
  ShowPattern();
  CZoomDlg zoom(&owner);
  zoom.ToggleZoom();
  MagnifyAt(zoom, QPoint(400, 600));
  ASSERT_FALSE(zoom.CaptureRefused());
  const zoom::Rect source = zoom.LastPlan().source;
  EXPECT_EQ(source, (zoom::Rect{330, 545, 141, 110}));
  const QImage& picture = zoom.SourcePicture();
  ASSERT_EQ(picture.size(), QSize(141, 110));
  EXPECT_EQ(picture.pixel(0, 0), PatternAt(330, 545));
  EXPECT_EQ(picture.pixel(140, 109), PatternAt(470, 654));
  // Enlarged three times over the whole client: the source's middle lands in the middle.
  const QImage shown = zoom.grab().toImage();
  ASSERT_EQ(shown.size(), QSize(425, 330));
  EXPECT_TRUE(Near(shown.pixel(10 * 3 + 1, 10 * 3 + 1), PatternAt(340, 555)));
  EXPECT_TRUE(Near(shown.pixel(70 * 3 + 1, 55 * 3 + 1), PatternAt(400, 600)));
}

TEST_F(ZoomWindowTest, CornersOfTheScreenClampTheSource) {
  ShowPattern();
  CZoomDlg zoom(&owner);
  zoom.ToggleZoom();
  MagnifyAt(zoom, QPoint(0, 0));
  EXPECT_EQ(zoom.LastPlan().source, (zoom::Rect{0, 0, 141, 110}));
  EXPECT_EQ(zoom.SourcePicture().pixel(0, 0), PatternAt(0, 0));
  MagnifyAt(zoom, QPoint(1919, 1079));
  EXPECT_EQ(zoom.LastPlan().source, (zoom::Rect{1779, 970, 141, 110}));
  EXPECT_EQ(zoom.SourcePicture().pixel(140, 109), PatternAt(1919, 1079));
}

TEST_F(ZoomWindowTest, OwnAreaIsFlatGrey) {
  ShowPattern();
  CZoomDlg zoom(&owner);
  zoom.ToggleZoom();
  zoom.raise();
  // The cursor in the middle of the zoom window: everything it would read is itself.
  MagnifyAt(zoom, zoom.mapToGlobal(QPoint(212, 165)));
  ASSERT_FALSE(zoom.CaptureRefused());
  const QImage& picture = zoom.SourcePicture();
  for (QPoint at : {QPoint(0, 0), QPoint(70, 55), QPoint(140, 109)}) EXPECT_EQ(picture.pixel(at), kGrey) << at.x();
  EXPECT_EQ(zoom.grab().toImage().pixel(212, 165), kGrey);
  // On its left edge: the left half shows the screen, the right half grey.
  const QPoint edge = zoom.mapToGlobal(QPoint(0, 165));
  MagnifyAt(zoom, edge);
  const QImage& half = zoom.SourcePicture();
  EXPECT_EQ(half.pixel(0, 50), PatternAt(edge.x() - 70, edge.y() - 55 + 50));
  EXPECT_EQ(half.pixel(69, 50), PatternAt(edge.x() - 1, edge.y() - 5));
  EXPECT_EQ(half.pixel(70, 50), kGrey);
  EXPECT_TRUE(zoom.grab().save(QString::fromStdString((apptest::ScreenshotFolder() / "zoom-edge.png").string())));
}

TEST_F(ZoomWindowTest, DesktopWithoutPictureShowsTheNotice) {
  ShowPattern();
  CZoomDlg zoom(&owner);
  // The desktop gives no picture, as Qt's grab does under Wayland.
  int asked = 0;
  zoom.grabScreen = [&asked](QScreen*, const QRect&) {
    ++asked;
    return QPixmap();
  };
  zoom.ToggleZoom();
  MagnifyAt(zoom, QPoint(100, 900));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(zoom.CaptureRefused());
  const QImage shown = zoom.grab().toImage();
  EXPECT_EQ(shown.pixel(2, 2), qRgb(0x0A, 0x0A, 0x0A));
  int white = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (qGray(shown.pixel(x, y)) > 200) ++white;
  EXPECT_GT(white, 200) << "the notice is written in the window";
  EXPECT_TRUE(shown.save(QString::fromStdString((apptest::ScreenshotFolder() / "zoom-no-capture.png").string())));
  // The picture comes back as soon as the desktop gives one again.
  zoom.grabScreen = &CZoomDlg::GrabScreenPart;
  MagnifyAt(zoom, QPoint(100, 900));
  EXPECT_FALSE(zoom.CaptureRefused());
  EXPECT_EQ(zoom.SourcePicture().pixel(0, 0), PatternAt(30, 845));
}

TEST_F(ZoomWindowTest, NoticeNeedsALanguageLibrary) {
  TheViewerSettings().language = 12;
  LoadLanguageLibrary(TheViewerSettings());
  CZoomDlg zoom(&owner);
  zoom.grabScreen = [](QScreen*, const QRect&) { return QPixmap(); };
  zoom.ToggleZoom();
  MagnifyAt(zoom, QPoint(100, 900));
  EXPECT_TRUE(zoom.CaptureRefused());
  const QImage shown = zoom.grab().toImage();
  EXPECT_EQ(shown.pixel(212, 165), qRgb(0x0A, 0x0A, 0x0A)) << "no text, and no garbage either";
}

// Last of the suite: it runs the application's own loop to its end.
TEST_F(ZoomWindowTest, ShownOnceItDoesNotHoldUpTheApplicationsQuit) {
  CZoomDlg zoom(&owner);
  zoom.ToggleZoom();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&zoom));
  // The application's quit closes every window first and is called off when one
  // refuses; the fallback then ends the loop with 1.
  QTimer::singleShot(0, [] { QApplication::quit(); });
  QTimer::singleShot(3000, [] { QApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the quit was called off";
  EXPECT_FALSE(zoom.isVisible());
  EXPECT_FALSE(zoom.zoomVisible);
  EXPECT_FALSE(zoom.MagnifyTimerActive());
}

}  // namespace
