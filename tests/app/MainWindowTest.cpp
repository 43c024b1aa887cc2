#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <cerrno>
#include <fstream>
#include <set>

#include "WindowInspector.h"
#include "WindowTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/KeyHelp.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "device/CSettingDlg.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"
#include "picker/CXFolderDialog.h"
#include "res/SkinIds.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "telemetry/CBbSpeedCtrl.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/TempFolder.h"

using app::DlgItem;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
  void SetUp() override {
    TheViewerSettings().language = 0;
    dlg = std::make_unique<CDezirureDovuriDlg>();
  }
  void TearDown() override { dlg.reset(); }

  bool Shown(DlgItem item) const {
    QWidget* widget = In().Item(item);
    EXPECT_NE(widget, nullptr) << "no control for item " << static_cast<int>(item);
    return widget && widget->isVisibleTo(dlg.get());
  }
  QRect Geometry(DlgItem item) const { return In().Item(item)->geometry(); }
  app::WindowInspector In() const { return app::WindowInspector(*dlg); }

  std::unique_ptr<CDezirureDovuriDlg> dlg;
};

TEST_F(MainWindowTest, EveryButtonExistsWithItsIdAndSize) {
  for (const app::ButtonSpec& spec : app::kButtonSpecs) {
    auto* button = FindControl<CBbButtonCtrl>(dlg.get(), spec.id);
    ASSERT_NE(button, nullptr) << spec.id;
    EXPECT_EQ(button, In().Button(spec.item)) << spec.id;
    const app::ItemSize size = app::FixedItemSize(spec.item);
    EXPECT_EQ(button->size(), QSize(size.width, size.height)) << spec.id;
  }
  // The window's own 28; the map window's close button is the 29th of the viewer.
  EXPECT_EQ(dlg->findChildren<CBbButtonCtrl*>(Qt::FindDirectChildrenOnly).size(), 28);
  EXPECT_EQ(dlg->findChildren<CBbButtonCtrl*>().size(), 29);
}

TEST_F(MainWindowTest, EveryOtherControlExistsWithItsKindAndId) {
  EXPECT_NE(FindControl<CBbSliderCtrl>(dlg.get(), app::kIdSeekBar), nullptr);
  EXPECT_NE(FindControl<CBbSimpleSliderCtrl>(dlg.get(), app::kIdSpeedSlider), nullptr);
  EXPECT_NE(FindControl<CBbSimpleSliderCtrl>(dlg.get(), app::kIdBrightnessSlider), nullptr);
  EXPECT_NE(FindControl<CBbListCtrl>(dlg.get(), app::kIdFileList), nullptr);
  EXPECT_NE(FindControl<CBbVolumeCtrl>(dlg.get(), app::kIdVolume), nullptr);
  EXPECT_NE(FindControl<CBbScreenCtrl>(dlg.get(), app::kIdFrontScreen), nullptr);
  EXPECT_NE(FindControl<CBbScreenCtrl>(dlg.get(), app::kIdRearScreen), nullptr);
  EXPECT_NE(FindControl<CBbMapPanelCtrl>(dlg.get(), app::kIdMapPanel), nullptr);
  EXPECT_NE(FindControl<CBbGsensorCtrl>(dlg.get(), app::kIdGsensorGraph), nullptr);
  EXPECT_NE(FindControl<CBbSpeedCtrl>(dlg.get(), app::kIdSpeedGauge), nullptr);
  EXPECT_EQ(dlg->findChildren<CMapNoDataWnd*>().size(), 1);
  EXPECT_EQ(dlg->findChildren<CMapNoConnectedWnd*>().size(), 1);
  const std::pair<int, int> texts[] = {{app::kIdTimeText, 1},
                                       {app::kIdGsensorText, 2},
                                       {app::kIdMapCaption, 3},
                                       {app::kIdCoordText, 4},
                                       {app::kIdListCaption, 7}};
  for (auto [id, kind] : texts) {
    auto* text = FindControl<CBbTextCtrl>(dlg.get(), id);
    ASSERT_NE(text, nullptr) << id;
    EXPECT_EQ(text->kind, kind) << id;
  }
  EXPECT_EQ(FindControl<CBbTextCtrl>(dlg.get(), app::kIdMapCaption)->backgroundColour, 0x141414u);
  EXPECT_EQ(FindControl<CBbTextCtrl>(dlg.get(), app::kIdTimeText)->backgroundColour, 0x0A0A0Au);
}

// The mean brightness (0..255) of a window as it paints itself.
double MeanBrightness(QWidget& window) {
  const QImage image = window.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
  double sum = 0;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) sum += line[x];
  }
  return sum / (image.width() * image.height());
}

TEST_F(MainWindowTest, DialogsBoxesAndThePickerWearTheSkinsDarkColours) {
  CSettingDlg settings(nullptr, dlg.get());
  QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("text"), QMessageBox::Ok, dlg.get());
  CXFolderDialog picker(dlg.get(), 0);
  for (QWidget* window : std::initializer_list<QWidget*>{&settings, &box, &picker}) {
    const char* name = window->metaObject()->className();
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x14, 0x14, 0x14)) << name;
    EXPECT_EQ(window->palette().color(QPalette::Text), QColor(Qt::white)) << name;
    window->resize(window->sizeHint().expandedTo(QSize(300, 150)));
    EXPECT_LT(MeanBrightness(*window), 60.0) << name << " paints light";
    window->grab().save(
        QString::fromStdString((apptest::ScreenshotFolder() / (std::string("dark-") + name + ".png")).string()));
  }
}

TEST_F(MainWindowTest, TitleIsTheProductViewerName) {
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Tarvo Viewer"));
  EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainWindowTest, StartStateHidesPlaybackControlsAndDisablesRecordingCommands) {
  for (DlgItem hidden :
       {DlgItem::FrontScreen, DlgItem::RearScreen, DlgItem::FrontChannel, DlgItem::RearChannel, DlgItem::BothChannels,
        DlgItem::Pause, DlgItem::MapButton, DlgItem::MapPanel, DlgItem::MapNoConnected}) {
    EXPECT_FALSE(Shown(hidden)) << static_cast<int>(hidden);
  }
  EXPECT_TRUE(Shown(DlgItem::Play));
  EXPECT_TRUE(Shown(DlgItem::MapNoData));
  EXPECT_TRUE(In().Button(DlgItem::FrontChannel)->selected);
  EXPECT_FALSE(In().Button(DlgItem::RearChannel)->selected);
  EXPECT_FALSE(In().Item(DlgItem::SeekBar)->isEnabled());
  for (DlgItem off : {DlgItem::Merge, DlgItem::Capture, DlgItem::Print, DlgItem::Previous, DlgItem::Rewind,
                      DlgItem::Play, DlgItem::FastForward, DlgItem::Next, DlgItem::FilterAll, DlgItem::FilterEvent,
                      DlgItem::FilterNormal, DlgItem::FilterParking}) {
    EXPECT_FALSE(In().Button(off)->enabled) << static_cast<int>(off);
  }
  for (DlgItem on : {DlgItem::Open, DlgItem::Zoom, DlgItem::Setting, DlgItem::About, DlgItem::LayoutToggle,
                     DlgItem::Close, DlgItem::Mute}) {
    EXPECT_TRUE(In().Button(on)->enabled) << static_cast<int>(on);
  }
  for (DlgItem item : {DlgItem::SpeedSlider, DlgItem::BrightnessSlider}) {
    auto* slider = (item == DlgItem::SpeedSlider ? In().SpeedSlider() : In().BrightnessSlider());
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(slider->pageStep(), 10);
  }
  EXPECT_EQ(In().Volume()->level, 5);
  EXPECT_FALSE(In().Muted());
  EXPECT_EQ(In().Button(DlgItem::Mute)->normalImage, skin::kMuteSoundNormal);
  // Every face is drawn from the start: enabled ones normal, the others disabled.
  EXPECT_EQ(In().Button(DlgItem::Open)->ShownImage(), 19101);
  EXPECT_EQ(In().Button(DlgItem::Play)->ShownImage(), 19194);
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->ShownImage(), 174);
  EXPECT_EQ(In().Button(DlgItem::FrontChannel)->ShownImage(), 185);
  EXPECT_EQ(In().Button(DlgItem::Mute)->pressedImage, skin::kMuteSoundPressed);
  EXPECT_EQ(FindControl<CBbTextCtrl>(dlg.get(), app::kIdTimeText)->speedFactor, 1.0f);
  EXPECT_EQ(In().LayoutMode(), 1);
  EXPECT_EQ(In().ChannelView(), 1);
  EXPECT_FALSE(In().Busy());
}

TEST_F(MainWindowTest, StartsAtTheMinimumSizeWhichCannotBeUndercut) {
  EXPECT_EQ(dlg->size(), QSize(1034, 742));
  dlg->resize(800, 600);
  EXPECT_EQ(dlg->size(), QSize(1034, 742));
  dlg->resize(1300, 700);
  EXPECT_EQ(dlg->size(), QSize(1300, 742));
}

TEST_F(MainWindowTest, LayoutIsAppliedToTheChildren) {
  dlg->show();
  EXPECT_EQ(Geometry(DlgItem::Previous), QRect(21, 679, 32, 32));
  EXPECT_EQ(Geometry(DlgItem::Close), QRect(983, 9, 30, 24));
  EXPECT_EQ(Geometry(DlgItem::FileList), QRect(747, 358, 262, 377));
  EXPECT_EQ(Geometry(DlgItem::SeekBar), QRect(14, 508, 726, 30));
  dlg->resize(1920, 1080);
  EXPECT_EQ(Geometry(DlgItem::Previous).left(), 464);
  EXPECT_EQ(Geometry(DlgItem::Close).left(), 1869);
}

TEST_F(MainWindowTest, SeekBarEndsSitOnTheGraphTimeAxis) {
  for (QSize size : {QSize(1034, 742), QSize(1500, 900)}) {
    dlg->show();
    dlg->resize(size);
    auto* graph = In().GsensorGraph();
    const QRect seek = Geometry(DlgItem::SeekBar);
    // The graph draws from the geometry of its own size; the window must agree with it.
    CBbGsensorCtrl probe(nullptr);
    probe.ComputeGeometry(graph->width(), graph->height());
    EXPECT_EQ(graph->plotLeft, probe.plotLeft);
    EXPECT_EQ(graph->plotRight, probe.plotRight);
    EXPECT_EQ(seek.left() + 15 - 2, graph->x() + probe.plotLeft);
    EXPECT_EQ(seek.width() - 30, probe.plotRight - probe.plotLeft);
  }
}

TEST_F(MainWindowTest, GraphDrawsTheWindowsReadingsAsTheLoadLeavesThem) {
  // A second copy of the readings would leave the graph drawing a stale recording.
  auto* graph = In().GsensorGraph();
  TelemetrySamples& samples = In().Telemetry();
  samples.Clear();
  EXPECT_TRUE(graph->SeriesPoints(0).empty());
  for (int t = 100; t <= 300; t += 100) {
    CGSensorData reading;
    reading.recordTime = t;
    reading.x = t / 100;
    samples.AddGSensorSample(reading);
  }
  graph->ComputeGeometry(graph->width(), graph->height());
  // The start point, one point per reading, the end point.
  EXPECT_EQ(graph->SeriesPoints(0).size(), 5u);
  samples.Clear();
  EXPECT_TRUE(graph->SeriesPoints(0).empty());
}

TEST_F(MainWindowTest, FileListScrollBarSitsBesideTheList) {
  dlg->show();
  auto* list = In().FileList();
  QWidget* scrollBar = list->ScrollBar();
  ASSERT_NE(scrollBar, nullptr);
  const QRect bar = scrollBar ? scrollBar->geometry() : QRect();
  EXPECT_EQ(bar.left(), list->geometry().right() + 1);
  EXPECT_LE(bar.right(), 1027);
}

TEST_F(MainWindowTest, LayoutToggleHidesEverythingButVideoAndBarThenRestores) {
  std::vector<bool> before;
  for (std::size_t i = 0; i < app::kDlgItemCount; ++i) {
    before.push_back(In().Item(static_cast<DlgItem>(i)) && In().Item(static_cast<DlgItem>(i))->isVisibleTo(dlg.get()));
  }
  dlg->OnCommand(app::kIdLayoutToggle);
  EXPECT_EQ(In().LayoutMode(), 2);
  for (DlgItem hidden :
       {DlgItem::Minimise, DlgItem::Maximise, DlgItem::Close, DlgItem::Open, DlgItem::About, DlgItem::FileList,
        DlgItem::FilterAll, DlgItem::ListCaption, DlgItem::GsensorText, DlgItem::MapNoData, DlgItem::GsensorGraph}) {
    EXPECT_FALSE(Shown(hidden)) << static_cast<int>(hidden);
  }
  auto* list = In().FileList();
  EXPECT_FALSE(list->ScrollBar()->isVisibleTo(dlg.get()));
  EXPECT_TRUE(Shown(DlgItem::LayoutToggle));
  EXPECT_EQ(Geometry(DlgItem::LayoutToggle).topLeft(), QPoint(1034 - 50, 742 - 63 - 3));
  EXPECT_TRUE(Shown(DlgItem::SeekBar));
  EXPECT_TRUE(Shown(DlgItem::Play));

  dlg->OnCommand(app::kIdLayoutToggle);
  EXPECT_EQ(In().LayoutMode(), 1);
  for (std::size_t i = 0; i < app::kDlgItemCount; ++i) {
    QWidget* widget = In().Item(static_cast<DlgItem>(i));
    if (!widget) continue;
    EXPECT_EQ(widget->isVisibleTo(dlg.get()), before[i]) << i;
  }
  EXPECT_TRUE(list->ScrollBar()->isVisibleTo(dlg.get()));
  EXPECT_EQ(Geometry(DlgItem::LayoutToggle).topLeft(), QPoint(229, 9));
}

TEST_F(MainWindowTest, LayoutToggleNeitherMovesNorSizesTheWindow) {
  dlg->show();
  dlg->setGeometry(150, 120, 1200, 800);
  const QRect before = dlg->geometry();
  dlg->ToggleLayout();
  EXPECT_EQ(dlg->geometry(), before);
  EXPECT_TRUE(dlg->isVisible());
  dlg->ToggleLayout();
  EXPECT_EQ(dlg->geometry(), before);
}

TEST_F(MainWindowTest, MapRuleSwapsMapAndPlaceholdersAfterALoad) {
  In().SetGpsPresent(true);
  In().SetConnected(true);
  In().ApplyMapRule();
  EXPECT_TRUE(Shown(DlgItem::MapPanel));
  EXPECT_TRUE(Shown(DlgItem::MapButton));
  EXPECT_FALSE(Shown(DlgItem::MapNoData));
  EXPECT_FALSE(Shown(DlgItem::MapNoConnected));
  In().SetConnected(false);
  In().ApplyMapRule();
  EXPECT_FALSE(Shown(DlgItem::MapPanel));
  EXPECT_TRUE(Shown(DlgItem::MapNoConnected));
  EXPECT_FALSE(Shown(DlgItem::MapButton));
  In().SetGpsPresent(false);
  In().SetConnected(true);
  In().ApplyMapRule();
  EXPECT_TRUE(Shown(DlgItem::MapNoData));
  EXPECT_FALSE(Shown(DlgItem::MapPanel));
  EXPECT_FALSE(Shown(DlgItem::MapNoConnected));
}

TEST_F(MainWindowTest, MapRuleLeavesTheVideoLayoutAlone) {
  dlg->ToggleLayout();
  In().SetGpsPresent(true);
  In().SetConnected(true);
  In().ApplyMapRule();
  EXPECT_FALSE(Shown(DlgItem::MapPanel));
  EXPECT_FALSE(Shown(DlgItem::MapButton));
  dlg->ToggleLayout();
  EXPECT_TRUE(Shown(DlgItem::MapPanel));
  EXPECT_FALSE(Shown(DlgItem::MapNoData));
}

TEST_F(MainWindowTest, EscapeTogglesTheLayoutEvenFromTheFocusedList) {
  dlg->show();
  In().Item(DlgItem::FileList)->setFocus();
  QTest::keyClick(In().Item(DlgItem::FileList), Qt::Key_Escape);
  EXPECT_EQ(In().LayoutMode(), 2);
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_EQ(In().LayoutMode(), 1);
}

TEST_F(MainWindowTest, EscapeIsIgnoredWhileBusy) {
  dlg->show();
  In().SetBusy(true);
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_EQ(In().LayoutMode(), 1);
}

TEST_F(MainWindowTest, DoubleClickInTheTopBarMaximisesAndRestores) {
  dlg->show();
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(500, 20));
  EXPECT_TRUE(dlg->isMaximized());
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(500, 20));
  EXPECT_FALSE(dlg->isMaximized());
}

TEST_F(MainWindowTest, DoubleClickBelowTheTopBarOrInVideoLayoutDoesNothing) {
  dlg->show();
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(500, 40));
  EXPECT_FALSE(dlg->isMaximized());
  dlg->ToggleLayout();
  QTest::mouseDClick(dlg.get(), Qt::LeftButton, {}, QPoint(500, 20));
  EXPECT_FALSE(dlg->isMaximized());
}

TEST_F(MainWindowTest, MaximiseButtonTogglesAndMinimiseMinimises) {
  dlg->show();
  dlg->OnCommand(app::kIdMaximise);
  EXPECT_TRUE(dlg->isMaximized());
  dlg->OnCommand(app::kIdMaximise);
  EXPECT_FALSE(dlg->isMaximized());
  dlg->OnCommand(app::kIdMinimise);
  EXPECT_TRUE(dlg->isMinimized());
}

TEST_F(MainWindowTest, CloseButtonClosesTheWindow) {
  dlg->show();
  ASSERT_TRUE(dlg->isVisible());
  dlg->OnCommand(app::kIdClose);
  EXPECT_FALSE(dlg->isVisible());
}

// `local` is taken relative to where the window was when the gesture began (`origin`),
// as a real pointer's screen position does not follow the window it drags.
TEST_F(MainWindowTest, CloseButtonEmptiesTheTempFolderOfTheRebuildsFilesOnly) {
  const std::filesystem::path temp = In().TempFolder();
  ASSERT_FALSE(temp.empty());
  std::filesystem::create_directories(temp / "keep");
  std::ofstream(temp / "NOR_1.avi_REPAIR.avi") << "x";
  std::ofstream(temp / "rebuilt.avi") << "x";
  std::ofstream(temp / "keep" / "inner.txt") << "y";
  dlg->show();
  QTest::mouseClick(In().Button(DlgItem::Close), Qt::LeftButton);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_FALSE(std::filesystem::exists(temp / "NOR_1.avi_REPAIR.avi"));
  EXPECT_TRUE(std::filesystem::exists(temp / "rebuilt.avi"));
  EXPECT_TRUE(std::filesystem::exists(temp / "keep" / "inner.txt"));
  // The window's end leaves a folder that holds what it did not make.
  dlg.reset();
  EXPECT_TRUE(std::filesystem::exists(temp / "rebuilt.avi"));
  std::filesystem::remove_all(temp);
}

TEST_F(MainWindowTest, MovingOverTheSurfaceRearmsTopBarHover) {
  dlg->show();
  for (DlgItem item : app::kTopBarButtons) In().Button(item)->hoverShown = true;
  In().Button(DlgItem::Play)->hoverShown = true;
  QMouseEvent move(QEvent::MouseMove, QPointF(600, 300), QPointF(dlg->mapToGlobal(QPoint(600, 300))), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(dlg.get(), &move);
  for (DlgItem item : app::kTopBarButtons) EXPECT_FALSE(In().Button(item)->hoverShown);
  EXPECT_TRUE(In().Button(DlgItem::Play)->hoverShown);
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons, QPoint origin) {
  const QPoint global = origin + local;
  QMouseEvent event(type, QPointF(local), QPointF(global), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST_F(MainWindowTest, DraggingTheSurfaceMovesTheWindow) {
  dlg->show();
  const QPoint start = dlg->pos();
  const QPoint origin = dlg->mapToGlobal(QPoint(0, 0));
  SendMouse(dlg.get(), QEvent::MouseButtonPress, QPoint(500, 20), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseMove, QPoint(530, 60), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseButtonRelease, QPoint(530, 60), Qt::NoButton, origin);
  // Where the window system takes the move over, the window is moved there instead.
  if (dlg->pos() != start) {
    EXPECT_EQ(dlg->pos(), start + QPoint(30, 40));
  }
}

TEST_F(MainWindowTest, RightEdgeDragWidensAndLeftEdgeStopsAtTheMinimum) {
  dlg->show();
  dlg->setGeometry(100, 100, 1200, 800);
  QPoint origin = dlg->mapToGlobal(QPoint(0, 0));
  SendMouse(dlg.get(), QEvent::MouseButtonPress, QPoint(1195, 400), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseMove, QPoint(1295, 400), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseButtonRelease, QPoint(1295, 400), Qt::NoButton, origin);
  EXPECT_EQ(dlg->size(), QSize(1300, 800));

  const int right = dlg->geometry().right();
  origin = dlg->mapToGlobal(QPoint(0, 0));
  SendMouse(dlg.get(), QEvent::MouseButtonPress, QPoint(3, 400), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseMove, QPoint(600, 400), Qt::LeftButton, origin);
  SendMouse(dlg.get(), QEvent::MouseButtonRelease, QPoint(600, 400), Qt::NoButton, origin);
  EXPECT_EQ(dlg->width(), 1034);
  EXPECT_EQ(dlg->geometry().right(), right);
}

TEST(ResizeBands, CornersWinOverEdgesAndTheInsideHasNone) {
  const QSize size(1034, 742);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({0, 0}, size), Qt::TopEdge | Qt::LeftEdge);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({9, 9}, size), Qt::TopEdge | Qt::LeftEdge);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({1025, 3}, size), Qt::TopEdge | Qt::RightEdge);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({2, 735}, size), Qt::BottomEdge | Qt::LeftEdge);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({1033, 741}, size), Qt::BottomEdge | Qt::RightEdge);
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({9, 400}, size), Qt::Edges(Qt::LeftEdge));
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({500, 9}, size), Qt::Edges(Qt::TopEdge));
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({1024, 400}, size), Qt::Edges(Qt::RightEdge));
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({500, 732}, size), Qt::Edges(Qt::BottomEdge));
  // one pixel inside each band
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({10, 10}, size), Qt::Edges());
  EXPECT_EQ(CDezirureDovuriDlg::ResizeEdgesAt({1023, 731}, size), Qt::Edges());
}

TEST_F(MainWindowTest, LanguageChoosesTheToggleSkins) {
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->normalImage, 172);
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->selectedImage, 173);
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->disabledImage, 174);
  EXPECT_EQ(In().Button(DlgItem::FilterNormal)->normalImage, 175);
  EXPECT_EQ(In().Button(DlgItem::FilterEvent)->normalImage, 178);
  EXPECT_EQ(In().Button(DlgItem::FilterParking)->normalImage, 181);
  EXPECT_EQ(In().Button(DlgItem::FrontChannel)->normalImage, 184);
  EXPECT_EQ(In().Button(DlgItem::BothChannels)->selectedImage, 189);
  dlg->ChangeLanguage(1);
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->normalImage, 19261);
  EXPECT_EQ(In().Button(DlgItem::FilterParking)->disabledImage, 19293);
  EXPECT_EQ(In().Button(DlgItem::RearChannel)->selectedImage, 20042);
  dlg->ChangeLanguage(11);
  EXPECT_EQ(In().Button(DlgItem::FilterAll)->normalImage, 1146);
  EXPECT_EQ(In().Screen(DlgItem::RearScreen)->languageIndex, 11);
  dlg->ChangeLanguage(0);
}

TEST_F(MainWindowTest, TooltipsComeFromTheLanguageLibrary) {
  ASSERT_NE(TheViewerSettings().languageLibrary, nullptr) << "English library not found";
  EXPECT_EQ(In().Button(DlgItem::Open)->toolTip().toStdString(), LanguageString(101));
  EXPECT_EQ(In().Button(DlgItem::Close)->toolTip().toStdString(), LanguageString(209));
  EXPECT_EQ(In().Item(DlgItem::Volume)->toolTip().toStdString(), LanguageString(125));
  EXPECT_FALSE(In().Button(DlgItem::Open)->toolTip().isEmpty());
  EXPECT_TRUE(In().Button(DlgItem::MapButton)->toolTip().isEmpty());
  dlg->ChangeLanguage(1);
  EXPECT_EQ(In().Button(DlgItem::Open)->toolTip().toStdString(), LanguageString(101));
  dlg->ChangeLanguage(0);
}

TEST_F(MainWindowTest, ChosenPathsFillTheListAndEnableTheirFilters) {
  testsupport::TempFolder folder;
  apptest::MakeSampleRecordings(folder.Path());
  const int rows = apptest::ListPaths(*dlg, {folder.Path().string()});
  EXPECT_EQ(rows, 24);
  auto* list = In().FileList();
  EXPECT_EQ(list->GetItemCount(), 24);
  EXPECT_TRUE(In().Button(DlgItem::FilterAll)->enabled);
  EXPECT_TRUE(In().Button(DlgItem::FilterAll)->selected);
  EXPECT_TRUE(In().Button(DlgItem::FilterNormal)->enabled);
  EXPECT_TRUE(In().Button(DlgItem::FilterEvent)->enabled);
  EXPECT_TRUE(In().Button(DlgItem::FilterParking)->enabled);
  // The path the list came from: formatting a card compares it with the card's root.
  EXPECT_EQ(In().LoadedDrive(), folder.Path().string());
}

TEST_F(MainWindowTest, OnlyPresentTypesEnableTheirFilter) {
  testsupport::TempFolder folder;
  for (const char* name : {"REC_20261208_091500_2.avi", "REC_20261208_091600_2.avi"}) {
    std::ofstream(folder.Path() / name) << "x";
  }
  EXPECT_EQ(apptest::ListPaths(*dlg, {folder.Path().string()}), 2);
  EXPECT_TRUE(In().Button(DlgItem::FilterNormal)->enabled);
  EXPECT_FALSE(In().Button(DlgItem::FilterEvent)->enabled);
  EXPECT_FALSE(In().Button(DlgItem::FilterParking)->enabled);
}

TEST_F(MainWindowTest, MissingPathsLeaveAnEmptyListAndFiltersOff) {
  EXPECT_EQ(apptest::ListPaths(*dlg, {"/nonexistent/tarvo/folder"}), 0);
  EXPECT_EQ(In().FileList()->GetItemCount(), 0);
  EXPECT_FALSE(In().Button(DlgItem::FilterAll)->enabled);
}

}  // namespace

namespace {

// Opens nothing: the Open command's picker answered as cancelled.
class NoFolders final : public app::WindowDialogs {
 public:
  std::vector<std::string> PickFolders(QWidget*, int) override {
    ++asked;
    return {};
  }
  int asked = 0;
};

}  // namespace

TEST_F(MainWindowTest, KeyHelpListsExactlyTheKeysTheWindowTakesInItsLanguage) {
  app::WindowInspector inspect(*dlg);
  auto* folders = new NoFolders;
  inspect.AnswerDialogsWith(std::unique_ptr<app::WindowDialogs>(folders));
  std::set<std::pair<int, int>> listed;
  for (const app::KeyHelpRow& row : app::KeyHelpRows())
    if (row.key != 0) listed.insert({row.key, row.modifiers});
  // Every key alone, printable or not: the ones the window takes are the listed ones.
  std::set<std::pair<int, int>> taken;
  std::vector<int> keys;
  for (int key = Qt::Key_Space; key <= Qt::Key_AsciiTilde; ++key) keys.push_back(key);
  // Shift, Ctrl, Meta and Alt alone are modifiers, not keys (Ctrl alone is taken as a
  // Ctrl combination that does nothing).
  for (int key = Qt::Key_Escape; key <= Qt::Key_F35; ++key)
    if (key < Qt::Key_Shift || key > Qt::Key_Alt) keys.push_back(key);
  for (int key : keys) {
    const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    if (inspect.PressKey(event)) taken.insert({key, 0});
  }
  // With a modifier: the listed ones do what the list says.
  for (const auto& [key, modifiers] : listed) {
    if (modifiers == 0 || key == Qt::Key_F4) continue;
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
    if (inspect.PressKey(event)) taken.insert({key, modifiers});
  }
  EXPECT_EQ(1, folders->asked) << "Ctrl+O opens the picker";
  const QKeyEvent altF4(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
  dlg->show();
  if (inspect.PressKey(altF4) && !dlg->isVisible()) taken.insert({Qt::Key_F4, Qt::AltModifier});
  EXPECT_EQ(listed, taken);

  // F1 showed the window: every row in the viewer's language, mouse actions too.
  app::KeyHelpWindow* help = inspect.KeyHelp();
  ASSERT_NE(nullptr, help);
  EXPECT_EQ(QStringLiteral("Keys and mouse"), help->windowTitle());
  const QStringList keyColumn = help->KeyColumn();
  const QStringList actions = help->ActionColumn();
  ASSERT_EQ(static_cast<int>(app::KeyHelpRows().size()), keyColumn.size());
  EXPECT_TRUE(keyColumn.contains(QStringLiteral("Space")));
  EXPECT_TRUE(keyColumn.contains(QStringLiteral("Ctrl+O")));
  EXPECT_TRUE(keyColumn.contains(QStringLiteral("Double-click a recording in the list")));
  EXPECT_EQ(QStringLiteral("Play or pause"), actions.front());
  for (const QString& text : keyColumn + actions) EXPECT_FALSE(text.isEmpty());
}

TEST_F(MainWindowTest, SettingsThatCannotBeSavedAtCloseAreSaidWithTheFileAndWhy) {
  apptest::UseEnglish();
  const std::filesystem::path file = SettingsFilePath();
  std::filesystem::create_directories(file.parent_path());
  std::filesystem::remove(file);
  apptest::ShownMessages().Clear();
  {
    const testsupport::ReadOnlyFolder locked(file.parent_path());
    dlg->close();
  }
  EXPECT_EQ(
      apptest::ShownMessages().texts,
      (std::vector<QString>{QStringLiteral("The settings could not be saved in %1.\nWriting there is not permitted.")
                                .arg(QString::fromStdString(file.string()))}));
  EXPECT_FALSE(std::filesystem::exists(file));
  // Written once at the end: the window going does not try again.
  dlg.reset();
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(MainWindowTest, ARebuildThatCouldNotWriteNamesTheTemporaryFolderAndAnyFailureIsInTheLanguageOnScreen) {
  apptest::UseEnglish();
  const QString folder = QString::fromStdString(In().TempFolder());
  ASSERT_FALSE(folder.isEmpty());
  apptest::ShownMessages().Clear();
  In().ShowRepairFailure(ENOSPC);
  In().ShowRepairFailure(EROFS);
  dlg->ChangeLanguage(2);
  In().ShowRepairFailure(ENOSPC);
  // A card recording that cannot be read whole: no write failed, the file is damaged.
  In().ShowRepairFailure(0);
  apptest::UseEnglish();
  In().ShowRepairFailure(0);
  const std::vector<QString>& texts = apptest::ShownMessages().texts;
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(
      texts[0],
      QStringLiteral("The recording cannot be prepared for playing: the temporary folder %1 is full.").arg(folder));
  EXPECT_EQ(texts[1], QStringLiteral("The recording cannot be prepared for playing: the temporary folder %1 cannot be "
                                     "written.\nThe disk is read-only.")
                          .arg(folder));
  EXPECT_EQ(texts[2], QStringLiteral("Die Aufnahme kann nicht zum Abspielen vorbereitet werden: Der tempor\u00e4re "
                                     "Ordner %1 ist voll.")
                          .arg(folder));
  EXPECT_EQ(texts[3], QStringLiteral("Die besch\u00e4digte Datei kann nicht wiederhergestellt werden."));
  EXPECT_EQ(texts[4], QStringLiteral("The damaged file cannot be recovered."));
}
