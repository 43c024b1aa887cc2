// The map panel, the map window and moving the map between them, without starting
// the web engine: the view stays an empty window until its page is loaded.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "MapTestSupport.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/ControlEvents.h"
#include "controls/ControlId.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapPlacement.h"
#include "map/MapWindows.h"
#include "tests/support/TempFolder.h"

namespace {

QRgb PixelAt(QWidget* widget, QPoint at) { return widget->grab().toImage().pixel(at); }

void Host(QWidget* panel, QWidget* window) {
  SendPrivateMessage(panel, kMsgMapPanelHost, reinterpret_cast<std::intptr_t>(window));
}

class MapPanelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }
};

TEST_F(MapPanelTest, KnownByClassNameAndIdAndPaintsThePanelColour) {
  CBbMapPanelCtrl panel(1006, nullptr);
  panel.resize(120, 80);
  EXPECT_EQ(ControlId(&panel), 1006);
  EXPECT_EQ(panel.property(CBbMapPanelCtrl::kWindowClassProperty).toString(), QStringLiteral("BbMapPanelCtrl"));
  EXPECT_EQ(PixelAt(&panel, QPoint(0, 0)), qRgb(0x14, 0x14, 0x14));
  EXPECT_EQ(PixelAt(&panel, QPoint(119, 79)), qRgb(0x14, 0x14, 0x14));
  EXPECT_EQ(panel.Hosted(), nullptr);
}

TEST_F(MapPanelTest, HostedWindowFillsTheClientAreaAndFollowsResizes) {
  CBbMapPanelCtrl panel(1201, nullptr);
  panel.resize(200, 150);
  panel.show();
  auto* child = new QWidget(&panel);
  child->setGeometry(3, 4, 10, 10);
  Host(&panel, child);
  EXPECT_EQ(panel.Hosted(), child);
  EXPECT_EQ(child->geometry(), QRect(0, 0, 200, 150));
  panel.resize(321, 123);
  EXPECT_EQ(child->geometry(), QRect(0, 0, 321, 123));
}

TEST_F(MapPanelTest, ZeroForgetsTheWindowAndAForgottenWindowIsNotResized) {
  CBbMapPanelCtrl panel(1006, nullptr);
  panel.resize(200, 150);
  auto* child = new QWidget(&panel);
  Host(&panel, child);
  Host(&panel, nullptr);
  EXPECT_EQ(panel.Hosted(), nullptr);
  child->setGeometry(1, 2, 30, 40);
  panel.resize(400, 300);
  EXPECT_EQ(child->geometry(), QRect(1, 2, 30, 40));
}

TEST_F(MapPanelTest, HostedWindowDestroyedElsewhereLeavesNoDanglingPointer) {
  CBbMapPanelCtrl panel(1006, nullptr);
  auto* child = new QWidget(&panel);
  Host(&panel, child);
  delete child;
  EXPECT_EQ(panel.Hosted(), nullptr);
  panel.resize(50, 50);  // must not touch the deleted window
}

class MapDlgTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }
  void SetUp() override { dlg = std::make_unique<CMapDlg>(nullptr); }
  std::unique_ptr<CMapDlg> dlg;
};

TEST_F(MapDlgTest, StartsHiddenAtItsPlaceAsAFramelessToolWindow) {
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->geometry(), QRect(800, 100, 300, 300));
  EXPECT_EQ(dlg->minimumSize(), QSize(300, 300));
  EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(dlg->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(dlg->windowTitle().isEmpty());
}

TEST_F(MapDlgTest, ControlsCarryTheirIdsPicturesAndKinds) {
  CBbButtonCtrl* close = FindControl<CBbButtonCtrl>(dlg.get(), 1031);
  ASSERT_EQ(close, dlg->CloseButton());
  EXPECT_EQ(close->normalImage, 157);
  EXPECT_EQ(close->pressedImage, 158);
  EXPECT_EQ(close->hoverImage, 159);
  EXPECT_EQ(close->disabledImage, 0);
  EXPECT_EQ(close->ShownImage(), 157);
  EXPECT_EQ(FindControl<CBbMapPanelCtrl>(dlg.get(), 1201), dlg->Panel());
  CBbTextCtrl* caption = FindControl<CBbTextCtrl>(dlg.get(), 1202);
  CBbTextCtrl* coordinates = FindControl<CBbTextCtrl>(dlg.get(), 1203);
  ASSERT_NE(caption, nullptr);
  ASSERT_NE(coordinates, nullptr);
  EXPECT_EQ(caption->kind, 5);
  EXPECT_EQ(coordinates->kind, 6);
  EXPECT_EQ(caption->backgroundColour, 0x1E1E1Eu);
  EXPECT_EQ(coordinates->backgroundColour, 0x1E1E1Eu);
}

void ExpectLayout(CMapDlg& dlg, int w, int h) {
  EXPECT_EQ(dlg.CloseButton()->geometry(), QRect(w - 40, 5, 30, 24));
  EXPECT_EQ(dlg.CaptionText()->geometry(), QRect(5, 10, 60, 20));
  EXPECT_EQ(dlg.CoordText()->geometry(), QRect(5, h - 26, 300, 20));
  EXPECT_EQ(dlg.Panel()->geometry(), QRect(5, 35, w - 10, h - 65));
}

TEST_F(MapDlgTest, LayoutFollowsEveryResize) {
  ExpectLayout(*dlg, 300, 300);
  dlg->show();
  dlg->resize(640, 480);
  ExpectLayout(*dlg, 640, 480);
  // Message 1025 lays the controls out again.
  dlg->Panel()->setGeometry(0, 0, 1, 1);
  SendPrivateMessage(dlg.get(), kMsgMapDlgLayout, 0);
  ExpectLayout(*dlg, 640, 480);
}

TEST_F(MapDlgTest, BackgroundIsTheBarGrey) {
  dlg->resize(400, 400);
  EXPECT_EQ(PixelAt(dlg.get(), QPoint(2, 2)), qRgb(0x1E, 0x1E, 0x1E));
  EXPECT_EQ(PixelAt(dlg.get(), QPoint(200, 397)), qRgb(0x1E, 0x1E, 0x1E));
}

TEST_F(MapDlgTest, EscapeLeavesItOpen) {
  dlg->show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(dlg.get(), &escape);
  EXPECT_TRUE(escape.isAccepted());
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->isVisible());
}

TEST_F(MapDlgTest, CloseButtonAndWindowCloseAskForTheMapBack) {
  dlg->show();
  QSignalSpy asked(dlg.get(), &CMapDlg::CloseRequested);
  QTest::mouseClick(dlg->CloseButton(), Qt::LeftButton);
  EXPECT_EQ(asked.count(), 1);
  QCloseEvent close;
  QApplication::sendEvent(dlg.get(), &close);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_EQ(asked.count(), 2);
}

// `local` is relative to where the window was when the gesture began (`origin`).
void SendMouse(QWidget* target, QEvent::Type type, QPoint local, QPoint origin) {
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(local), QPointF(origin + local),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

void Drag(QWidget* target, QPoint from, QPoint to) {
  const QPoint origin = target->mapToGlobal(QPoint(0, 0));
  SendMouse(target, QEvent::MouseButtonPress, from, origin);
  SendMouse(target, QEvent::MouseMove, to, origin);
  SendMouse(target, QEvent::MouseButtonRelease, to, origin);
}

TEST_F(MapDlgTest, BorderDragsInwardStopAtThreeHundredOnEveryEdge) {
  dlg->show();
  const QRect start(200, 150, 500, 450);
  struct Case {
    QPoint from, to;
    QRect expected;
  } cases[] = {
      {{2, 200}, {452, 200}, QRect(400, 150, 300, 450)},    // left edge past the right
      {{497, 200}, {47, 200}, QRect(200, 150, 300, 450)},   // right edge
      {{250, 3}, {250, 403}, QRect(200, 300, 500, 300)},    // top edge
      {{250, 446}, {250, 46}, QRect(200, 150, 500, 300)},   // bottom edge
      {{1, 1}, {401, 401}, QRect(400, 300, 300, 300)},      // top-left corner
      {{498, 448}, {-2, -2}, QRect(200, 150, 300, 300)},    // bottom-right corner
      {{497, 200}, {597, 200}, QRect(200, 150, 600, 450)},  // outward is free
      {{2, 440}, {-98, 540}, QRect(100, 150, 600, 550)},    // bottom-left outward
  };
  for (const Case& c : cases) {
    dlg->setGeometry(start);
    Drag(dlg.get(), c.from, c.to);
    EXPECT_EQ(dlg->geometry(), c.expected) << c.from.x() << "," << c.from.y();
    EXPECT_FALSE(dlg->Resizing());
  }
}

TEST_F(MapDlgTest, DraggingTheSurfaceMovesTheWindow) {
  dlg->show();
  dlg->setGeometry(300, 200, 400, 400);
  Drag(dlg.get(), QPoint(100, 20), QPoint(160, 70));
  // Where the window system takes the move over, it moves the window instead.
  if (dlg->pos() != QPoint(300, 200)) {
    EXPECT_EQ(dlg->pos(), QPoint(360, 250));
  }
  EXPECT_EQ(dlg->size(), QSize(400, 400));
}

TEST_F(MapDlgTest, NoResizeBelowTheMinimumFromOutside) {
  dlg->resize(100, 50);
  EXPECT_EQ(dlg->size(), QSize(300, 300));
}

class MapPlacementTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }
  void SetUp() override {
    main = std::make_unique<maptest::TestMainWindow>();
    windows = new MapWindows(*main, main.get());
    main->show();
  }
  void TearDown() override { main.reset(); }
  std::unique_ptr<maptest::TestMainWindow> main;
  MapWindows* windows = nullptr;
};

TEST_F(MapPlacementTest, ViewStartsInTheMainPanelWithoutTheWebEngine) {
  CMapViewWnd* view = windows->View();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ControlId(view), 2091);
  EXPECT_EQ(view->parentWidget(), main->panel);
  EXPECT_EQ(main->panel->Hosted(), view);
  EXPECT_EQ(view->geometry(), QRect(QPoint(0, 0), main->panel->size()));
  EXPECT_EQ(view->Browser(), nullptr);
  EXPECT_FALSE(view->pageLoaded);
  EXPECT_EQ(view->lastLatitude, 0.0);
  EXPECT_EQ(view->lastLongitude, 0.0);
  EXPECT_FALSE(windows->Dialog()->isVisible());
  EXPECT_EQ(windows->Dialog()->parentWidget(), main.get());
}

TEST_F(MapPlacementTest, OwnWindowTakesTheViewAndHidesTheMapControls) {
  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 1);
  CMapDlg* dlg = windows->Dialog();
  EXPECT_EQ(windows->Placement(), mapview::kPlacementOwnWindow);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(windows->View()->parentWidget(), dlg->Panel());
  EXPECT_EQ(dlg->Panel()->Hosted(), windows->View());
  EXPECT_EQ(main->panel->Hosted(), nullptr);
  EXPECT_EQ(windows->View()->geometry(), QRect(0, 0, 290, 235));
  EXPECT_TRUE(windows->View()->isVisible());
  EXPECT_FALSE(main->mapButton->isVisible());
  EXPECT_FALSE(main->caption->isVisible());
  EXPECT_FALSE(main->coordinates->isVisible());
}

TEST_F(MapPlacementTest, EmbeddingAgainShowsTheControlsOnlyInTheFullLayout) {
  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 1);
  windows->SetMapPlacement(mapview::kPlacementEmbedded, 1);
  EXPECT_EQ(windows->Placement(), mapview::kPlacementEmbedded);
  EXPECT_FALSE(windows->Dialog()->isVisible());
  EXPECT_EQ(windows->View()->parentWidget(), main->panel);
  EXPECT_EQ(main->panel->Hosted(), windows->View());
  EXPECT_EQ(windows->Dialog()->Panel()->Hosted(), nullptr);
  EXPECT_EQ(windows->View()->geometry(), QRect(0, 0, 676, 440));
  EXPECT_TRUE(main->mapButton->isVisible());
  EXPECT_TRUE(main->coordinates->isVisible());

  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 2);
  windows->SetMapPlacement(mapview::kPlacementEmbedded, 2);
  EXPECT_EQ(windows->View()->parentWidget(), main->panel);
  EXPECT_FALSE(main->mapButton->isVisible());
  EXPECT_FALSE(main->caption->isVisible());
}

TEST_F(MapPlacementTest, CloseButtonEmbedsWithTheHostsLayoutMode) {
  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 1);
  main->layoutMode = 2;
  QTest::mouseClick(windows->Dialog()->CloseButton(), Qt::LeftButton);
  EXPECT_EQ(windows->Placement(), mapview::kPlacementEmbedded);
  EXPECT_FALSE(windows->Dialog()->isVisible());
  EXPECT_EQ(windows->View()->parentWidget(), main->panel);
  EXPECT_FALSE(main->mapButton->isVisible());
}

TEST_F(MapPlacementTest, UnknownPlacementChangesNothing) {
  const int calls = main->controlsCalls;
  windows->SetMapPlacement(3, 1);
  windows->SetMapPlacement(0, 1);
  EXPECT_EQ(windows->Placement(), mapview::kPlacementEmbedded);
  EXPECT_EQ(main->controlsCalls, calls);
  EXPECT_EQ(windows->View()->parentWidget(), main->panel);
}

TEST_F(MapPlacementTest, PageIsNotLoadedWithoutAViewerFolderOrPageFile) {
  CMapViewWnd* view = windows->View();
  view->SetViewerFolder({});
  EXPECT_FALSE(view->LoadMapPage());
  testsupport::TempFolder empty;
  view->SetViewerFolder(empty.Path());
  EXPECT_FALSE(view->LoadMapPage());
  EXPECT_FALSE(view->pageLoaded);
  EXPECT_EQ(view->Browser(), nullptr);
  // Nothing is sent, and nothing breaks, while the page is not loaded.
  QSignalSpy calls(view, &CMapViewWnd::ScriptCalled);
  view->ShowPosition(0);
  view->ResendPosition();
  EXPECT_FALSE(view->RunScript("javascript:positionChange('1', '2')"));
  EXPECT_EQ(calls.count(), 0);
  EXPECT_TRUE(view->MapSnapshot().isNull());
}

}  // namespace
