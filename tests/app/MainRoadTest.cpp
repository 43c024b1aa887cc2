// The main road on the real viewer window: opening recordings, the load worker, the
// position timer with the telemetry, the end of a recording, double clicks, the busy
// rule, keys, the map rule and failures, all on simulator recordings.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <utility>

#include "WindowInspector.h"
#include "WindowTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "device/CSettingDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapPosition.h"
#include "map/MapWindows.h"
#include "playback/AudioOutput.h"
#include "playback/CPlayer.h"
#include "playback/ChannelSink.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/CBbSpeedCtrl.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/playback/GraphInspector.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/MockDiskService.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/print/PrintCommand.h"

using app::DlgItem;
namespace fs = std::filesystem;

namespace {

// The recordings every test plays, made once per process: in list order a two-camera
// recording with GPS and a hard braking at 4 s, a second one, an event, and a
// one-camera parking recording without GPS.
constexpr int kBrakingSecond = 4;
const fs::path& RecordingFolder() {
  static testsupport::TempFolder folder;
  static bool made = false;
  if (!made) {
    made = true;
    auto make = [&](int cameras, double seconds, const char* type, std::tm start, bool gps, double brakeAt = -1) {
      simulator::RecordOptions o = fixtures::SmallOptions(cameras, seconds, avi::AudioKind::Aac);
      o.brakeAt = brakeAt;
      o.framesPerSecond = 10;
      o.typeCode = type;
      o.start = start;
      o.gps = gps;
      fixtures::Record(o, folder.Path());
    };
    make(2, 6, "REC", fixtures::CameraClock(8, 30, 0), true, kBrakingSecond);
    make(2, 2, "REC", fixtures::CameraClock(8, 31, 0), true);
    make(2, 2, "EVT", fixtures::CameraClock(8, 32, 0), true);
    make(1, 2, "PRK", fixtures::CameraClock(9, 0, 0), false);
  }
  return folder.Path();
}

class MainRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    apptest::EnsureApplication();
    apptest::ShownMessages().Clear();
    apptest::ShownMessages().answer = QMessageBox::Ok;
    setenv("TARVO_AUDIO_SINK", "null", 1);
    dlg = std::make_unique<CDezirureDovuriDlg>();
    In().LoadingDialog()->delayOverrideMs = 0;
    dlg->resize(1034, 742);
    dlg->show();
  }
  void TearDown() override { dlg.reset(); }

  app::WindowInspector In() const { return app::WindowInspector(*dlg); }
  CBbListCtrl* List() const { return In().FileList(); }
  playback::CPlayer& Player() const { return In().Player(); }
  // Waits for the running load to end; true when a recording plays then.
  bool WaitForLoad(int ms = 15000) {
    apptest::WaitUntil([&] { return !In().Busy() && !In().LoadRunning(); }, ms);
    return Player().state() == playback::kStateRunning;
  }
  int OpenFolder() {
    const int rows = apptest::ListPaths(*dlg, {RecordingFolder().string()});
    WaitForLoad();
    return rows;
  }

  std::unique_ptr<CDezirureDovuriDlg> dlg;
};

TEST_F(MainRoad, OpeningAFolderListsItSortedEnablesItsFiltersAndPlaysRowZero) {
  ASSERT_EQ(OpenFolder(), 4);
  EXPECT_EQ(List()->GetItemText(0, kColumnFileName), "REC_20240512_083000_2.avi");
  EXPECT_EQ(List()->GetItemText(1, kColumnFileName), "REC_20240512_083100_2.avi");
  EXPECT_EQ(List()->GetItemText(2, kColumnFileName), "EVT_20240512_083200_2.avi");
  EXPECT_EQ(List()->GetItemText(3, kColumnFileName), "PRK_20240512_090000_1.avi");
  for (DlgItem filter : {DlgItem::FilterAll, DlgItem::FilterNormal, DlgItem::FilterEvent, DlgItem::FilterParking}) {
    EXPECT_TRUE(In().Button(filter)->enabled);
  }
  EXPECT_TRUE(In().Button(DlgItem::FilterAll)->selected);
  EXPECT_EQ(In().CurrentRow(), 0);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  EXPECT_EQ(Player().videoChannels(), 2);
  EXPECT_EQ(In().CurrentName(), "REC_20240512_083000_2.avi");
  EXPECT_TRUE(In().Item(DlgItem::FrontScreen)->isVisible());
  EXPECT_TRUE(In().Item(DlgItem::BothChannels)->isVisible());
  EXPECT_TRUE(In().Item(DlgItem::Pause)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::Play)->isVisible());
  // The buttons that need a recording are on; Merge stays off for files.
  EXPECT_TRUE(In().Button(DlgItem::Next)->enabled);
  EXPECT_FALSE(In().Button(DlgItem::Merge)->enabled);
  EXPECT_TRUE(In().Item(DlgItem::SeekBar)->isEnabled());
  EXPECT_TRUE(apptest::ShownMessages().texts.empty());
  // The telemetry is the recording's own: GPS at 1 Hz, G-sensor at 10 Hz.
  EXPECT_EQ(In().Telemetry().gsensorSamples.size(), 60u);
  EXPECT_EQ(In().Telemetry().gpsSamples.size(), 6u);
}

TEST_F(MainRoad, TheSeekBarTimeAndTelemetryFollowThePosition) {
  ASSERT_EQ(OpenFolder(), 4);
  std::vector<std::int32_t> positions;
  QObject::connect(dlg.get(), &CDezirureDovuriDlg::PositionShown, [&](std::int32_t p) { positions.push_back(p); });
  ASSERT_TRUE(apptest::WaitUntil([&] { return positions.size() >= 8 && positions.back() > 4000; }, 10000));
  const std::int32_t p = positions.back();
  auto* seek = In().SeekBar();
  EXPECT_GT(seek->value(), 3500);
  EXPECT_EQ(seek->maximum(), static_cast<int>(Player().GetDuration()));
  EXPECT_GT(In().TimeText()->positionMs, 3500);
  EXPECT_EQ(In().TimeText()->durationMs, static_cast<int>(Player().GetDuration()));
  // The readouts show exactly what the lookups give at the position of that tick.
  const TelemetrySamples& samples = In().Telemetry();
  double speed = 0, x = 0, y = 0, z = 0;
  samples.FindSpeed(p, speed);
  ASSERT_TRUE(samples.FindGValues(p, x, y, z));
  float latitude = 0, longitude = 0;
  ASSERT_TRUE(samples.FindPosition(p, latitude, longitude));
  EXPECT_DOUBLE_EQ(In().SpeedGauge()->value, speed);
  auto* gText = In().GsensorText();
  EXPECT_TRUE(gText->hasGsensor);
  EXPECT_DOUBLE_EQ(gText->gX, x);
  EXPECT_DOUBLE_EQ(gText->gY, y);
  EXPECT_DOUBLE_EQ(gText->gZ, z);
  auto* coordinates = In().CoordText();
  EXPECT_FLOAT_EQ(coordinates->latitude, latitude);
  EXPECT_FLOAT_EQ(coordinates->longitude, longitude);
  EXPECT_NEAR(latitude, 37.5, 0.2);  // the drive goes through Seoul
}

TEST_F(MainRoad, TheHardBrakingIsMarkedOnTheSeekBarAndCtrlArrowsAndAClickJumpToIt) {
  ASSERT_EQ(OpenFolder(), 4);
  auto* seek = In().SeekBar();
  constexpr int kMarkerMs = kBrakingSecond * 1000;
  EXPECT_EQ(seek->SeekMarkers(), (std::vector<SeekMarker>{{kMarkerMs, SeekMarkerKind::HardG}}));
  auto press = [&](int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(List(), &event);
  };
  // Paused once the bar shows the recording, the position stays where a jump puts it.
  ASSERT_TRUE(apptest::WaitUntil([&] { return seek->maximum() > 0; }, 3000));
  press(Qt::Key_Space, Qt::NoModifier);
  ASSERT_EQ(Player().state(), playback::kStatePaused);
  ASSERT_LT(Player().GetPosition(), static_cast<std::uint64_t>(kMarkerMs));
  press(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() == kMarkerMs; }, 3000)) << Player().GetPosition();
  EXPECT_EQ(seek->value(), kMarkerMs);
  press(Qt::Key_Right, Qt::ControlModifier);  // no marker after it
  press(Qt::Key_Left, Qt::ControlModifier);   // none a second before it
  EXPECT_EQ(Player().GetPosition(), static_cast<std::uint64_t>(kMarkerMs));
  Player().Seek(5500);
  press(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() == kMarkerMs; }, 3000)) << Player().GetPosition();

  // A click a few pixels beside the marker seeks to its very moment; one farther off
  // seeks where it is.
  Player().Seek(0);
  QTest::mouseClick(seek, Qt::LeftButton, {}, QPoint(seek->XOf(kMarkerMs) + 3, seek->height() / 2));
  EXPECT_EQ(seek->value(), kMarkerMs);
  EXPECT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() == kMarkerMs; }, 3000)) << Player().GetPosition();
  const int farOff = seek->XOf(kMarkerMs) - 3 * CBbSliderCtrl::kMarkerReach;
  QTest::mouseClick(seek, Qt::LeftButton, {}, QPoint(farOff, seek->height() / 2));
  EXPECT_EQ(seek->value(), seek->PositionAt(farOff));

  // The next recording has no braking: nothing of the first one's stays marked.
  press(Qt::Key_PageDown, Qt::NoModifier);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_TRUE(seek->SeekMarkers().empty());
}

TEST_F(MainRoad, TheTimeTextShowsTheGpsClockInTheChosenZone) {
  ViewerSettings& settings = TheViewerSettings();
  const std::string saved = settings.timeZone;
  ASSERT_EQ(OpenFolder(), 4);
  auto* time = In().TimeText();
  // The first recording starts at 08:30:00 on the camera's clock (UTC + 9), the
  // default; Europe/Berlin is then on summer time, UTC + 2.
  ASSERT_TRUE(apptest::WaitUntil([&] { return time->positionMs > 1000 && !time->clockText.isEmpty(); }, 10000));
  EXPECT_TRUE(time->clockText.startsWith(QStringLiteral("2024-05-12 08:30:0"))) << time->clockText.toStdString();
  settings.timeZone = "Europe/Berlin";
  ASSERT_TRUE(
      apptest::WaitUntil([&] { return time->clockText.startsWith(QStringLiteral("2024-05-12 01:30:0")); }, 5000))
      << time->clockText.toStdString();
  settings.timeZone = saved;
}

TEST_F(MainRoad, BracketKeysStepTheRateFromAnEighthToEightTimesEachAtItsPaceSilentBeyondHalfAndDouble) {
  ASSERT_EQ(OpenFolder(), 4);
  CBbTextCtrl* time = In().TimeText();
  auto press = [&](int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(List(), &event);
  };
  auto attenuation = [&] {
    playback::AudioControl* audio = playback::AudioControlOf(playback::Elements(*Player().Graph()).audioRenderer());
    return audio ? audio->Volume() : 1;
  };
  // The position's advance per wall millisecond over `wallMs`, from 500 ms in (the
  // first recording is 6 s long: 8 times over 400 ms ends at 3.7 s). Each reading is
  // set at the middle of the wall time taken to make it.
  QElapsedTimer clock;
  clock.start();
  auto reading = [&] {
    const auto before = clock.nsecsElapsed();
    const auto position = static_cast<double>(Player().GetPosition());
    return std::pair{position, static_cast<double>(before + clock.nsecsElapsed()) / 2e6};
  };
  auto pace = [&](int wallMs) {
    Player().Seek(500);
    EXPECT_TRUE(Player().WaitUntilSettled(std::chrono::milliseconds(5000)));
    QTest::qWait(100);
    const auto [from, fromMs] = reading();
    QTest::qWait(wallMs);
    const auto [to, toMs] = reading();
    return (to - from) / (toMs - fromMs);
  };
  for (int i = 0; i < 4; ++i) press(Qt::Key_BracketLeft);  // the fourth finds nothing slower
  EXPECT_EQ(time->speedFactor, 0.125f);
  // Each rate of the list in turn: the rate text, the graph's applied rate, the sound
  // (volume level 5 is -309 hundredths of a decibel; silence is -10000) and the pace,
  // within 5 % of the rate.
  for (float rate : app::kKeyRates) {
    if (rate > 0.125f) press(Qt::Key_BracketRight);
    EXPECT_EQ(time->speedFactor, rate);
    EXPECT_EQ(Player().rate(), rate);
    EXPECT_EQ(Player().Graph()->AppliedRate(), static_cast<double>(rate));
    EXPECT_EQ(attenuation(), rate < 0.5f || rate > 2.0f ? -10000 : -309) << rate;
    const double measured = pace(rate > 2 ? 400 : 800);
    EXPECT_NEAR(measured, rate, rate * 0.05) << rate;
    EXPECT_EQ(Player().state(), playback::kStateRunning);
    EXPECT_EQ(In().CurrentRow(), 0);
  }
  press(Qt::Key_BracketRight);
  EXPECT_EQ(Player().rate(), 8.0f) << "nothing is faster than 8";
  // S takes the rate back, the sound with it; ] then steps from the slider's 1.
  press(Qt::Key_S);
  EXPECT_EQ(Player().rate(), 1.0f);
  EXPECT_EQ(attenuation(), -309);
  press(Qt::Key_BracketRight);
  EXPECT_EQ(Player().rate(), 2.0f);
  press(Qt::Key_BracketLeft);
  press(Qt::Key_BracketLeft);
  EXPECT_EQ(Player().rate(), 0.5f);
  // So does the slider, with its own range: its 0.1 plays at 0.5, with sound.
  In().SpeedSlider()->setValue(0);
  In().SliderScrolled(app::kIdSpeedSlider);
  EXPECT_FLOAT_EQ(time->speedFactor, 0.1f);
  EXPECT_EQ(Player().rate(), 0.5f);
  EXPECT_EQ(attenuation(), -309);
  press(Qt::Key_S);
}

TEST_F(MainRoad, PeriodAndCommaStepFramesWhilePausedBothCamerasAlikeAndTheTimeShowsMilliseconds) {
  ASSERT_EQ(OpenFolder(), 4);
  CBbTextCtrl* time = In().TimeText();
  auto press = [&](int key, bool repeat = false) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(List(), &event);
  };
  auto shown = [&](int channel) {
    return playback::ChannelSinkShownTime(playback::Elements(*Player().Graph()).renderer(channel));
  };
  auto settled = [&] { return Player().WaitUntilSettled(std::chrono::milliseconds(5000)); };
  // Playing, the keys change nothing.
  press(Qt::Key_Period);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  EXPECT_FALSE(time->showMilliseconds);
  press(Qt::Key_Space);
  ASSERT_EQ(Player().state(), playback::kStatePaused);
  EXPECT_TRUE(time->showMilliseconds);
  // The recording is 10 fps: a picture every 100 ms; 1.25 s shows picture 12. A step
  // lands one unit (100 ns) into its picture.
  Player().Seek(1250);
  ASSERT_TRUE(settled());
  press(Qt::Key_Period);
  ASSERT_TRUE(settled());
  EXPECT_EQ(Player().GetPosition(), 1300u);
  EXPECT_EQ(shown(0), 13000001);
  EXPECT_EQ(shown(1), 13000001);
  EXPECT_EQ(time->positionMs, 1300);
  EXPECT_TRUE(time->Layout()[0].text.endsWith(QStringLiteral("00:01.300  /  00:06")))
      << time->Layout()[0].text.toStdString();
  EXPECT_EQ(In().SeekBar()->value(), 1300);
  press(Qt::Key_Comma);
  press(Qt::Key_Comma);
  ASSERT_TRUE(settled());
  EXPECT_EQ(time->positionMs, 1100);
  EXPECT_EQ(shown(0), 11000001);
  EXPECT_EQ(shown(1), 11000001);
  // A held key repeats faster than pictures come: every repeat counts.
  for (int i = 0; i < 5; ++i) press(Qt::Key_Period, i > 0);
  ASSERT_TRUE(settled());
  EXPECT_EQ(time->positionMs, 1600);
  EXPECT_EQ(shown(0), 16000001);
  EXPECT_EQ(shown(1), 16000001);
  // The capture is the picture stepped to, as a seek straight to it gives it.
  playback::CapturedImage stepped, sought;
  ASSERT_TRUE(Player().GrabFrame(1, &stepped));
  Player().Seek(1650);
  ASSERT_TRUE(settled());
  ASSERT_TRUE(Player().GrabFrame(1, &sought));
  EXPECT_FALSE(stepped.pixels.empty());
  EXPECT_EQ(stepped.pixels, sought.pixels);
  press(Qt::Key_Space);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  In().UpdatePosition();
  EXPECT_FALSE(time->showMilliseconds);
}

TEST_F(MainRoad, TheMapRuleFollowsGpsAndTheConnection) {
  {
    testsupport::ScopedEnv offline("TARVO_NETWORK", "offline");
    ASSERT_EQ(OpenFolder(), 4);
    EXPECT_TRUE(In().GpsPresent());
    EXPECT_TRUE(In().Item(DlgItem::MapNoConnected)->isVisible());
    EXPECT_FALSE(In().Item(DlgItem::MapPanel)->isVisible());
    EXPECT_FALSE(In().Item(DlgItem::MapNoData)->isVisible());
    EXPECT_FALSE(In().Item(DlgItem::MapButton)->isVisible());
  }
  // The parking recording has no GPS: the no-data panel, whatever the connection.
  testsupport::ScopedEnv online("TARVO_NETWORK", "online");
  Player().Seek(1);
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_TRUE(In().GpsPresent());
  EXPECT_TRUE(In().Item(DlgItem::MapPanel)->isVisible());
  EXPECT_TRUE(In().Item(DlgItem::MapButton)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::MapNoConnected)->isVisible());
  List()->SetHighlightRow(2);
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(In().CurrentRow(), 3);
  EXPECT_FALSE(In().GpsPresent());
  EXPECT_TRUE(In().Item(DlgItem::MapNoData)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::MapPanel)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::MapNoConnected)->isVisible());
  // One camera: no channel buttons, the front view.
  EXPECT_FALSE(In().Item(DlgItem::BothChannels)->isVisible());
  EXPECT_EQ(In().ChannelView(), 1);
  // No fix: the coordinates and the speed read 0.
  ASSERT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() > 500; }, 5000));
  QTest::qWait(450);
  EXPECT_EQ(In().CoordText()->latitude, 0.0f);
  EXPECT_EQ(In().SpeedGauge()->value, 0.0);
}

TEST_F(MainRoad, ATripOfThreeRecordingsIsMarkedInTheListAndItsWholeRouteLiesUnderTheCurrentOnes) {
  // Three 6 s recordings one after another while the car moves, then one alone four
  // minutes later; each begins with three fixes without a position, so a route of a
  // moving car has three points.
  testsupport::TempFolder folder;
  for (int second : {0, 6, 12}) {
    simulator::RecordOptions o = fixtures::SmallOptions(1, 6, avi::AudioKind::None);
    o.framesPerSecond = 10;
    o.start = fixtures::CameraClock(10, 1, second);
    fixtures::Record(o, folder.Path());
  }
  simulator::RecordOptions alone = fixtures::SmallOptions(1, 6, avi::AudioKind::None);
  alone.framesPerSecond = 10;
  alone.start = fixtures::CameraClock(10, 5, 0);
  fixtures::Record(alone, folder.Path());
  ASSERT_EQ(apptest::ListPaths(*dlg, {folder.Path().string()}), 4);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_FALSE(List()->SeparatorAbove(0));
  EXPECT_FALSE(List()->SeparatorAbove(1));
  EXPECT_FALSE(List()->SeparatorAbove(2));
  EXPECT_TRUE(List()->SeparatorAbove(3));
  EXPECT_EQ(In().Collection().EntryForRow(1)->durationMs, 6000);
  std::vector<std::vector<mapview::MapPoint>> routes;
  for (int row = 0; row < 4; ++row) {
    FileByteSource file(List()->GetItemText(row, kColumnPath));
    avi::AviReader reader(file);
    ASSERT_TRUE(reader.Open());
    avi::AviTelemetrySource records(reader);
    TelemetrySamples samples;
    LoadTelemetry(&records, samples);
    routes.push_back(mapview::RouteOfFixes(samples.gpsSamples));
  }
  ASSERT_EQ(routes[1].size(), 3u);
  ASSERT_NE(routes[0], routes[1]);
  // The middle one: its route over the trip's, which holds every recording's points.
  Player().Pause();
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(WaitForLoad());
  ASSERT_EQ(In().CurrentRow(), 1);
  const CMapViewWnd* view = In().Map()->View();
  EXPECT_EQ(view->Route(), routes[1]);
  EXPECT_EQ(view->Trip(), mapview::JoinRoutes({routes[0], routes[1], routes[2]}));
  // The one alone has no trip line.
  Player().Pause();
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(WaitForLoad());
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(WaitForLoad());
  ASSERT_EQ(In().CurrentRow(), 3);
  EXPECT_EQ(view->Route(), routes[3]);
  EXPECT_TRUE(view->Trip().empty());
}

TEST_F(MainRoad, TheEndAdvancesAndAfterTheLastRowZeroIsCurrentWithNothingPlaying) {
  ASSERT_EQ(OpenFolder(), 4);
  List()->SetHighlightRow(2);  // pretend the event plays: the next is the last row
  Player().Seek(static_cast<std::int32_t>(Player().GetDuration()) - 200);
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().CurrentRow() == 3; }, 5000));
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(In().CurrentName(), "PRK_20240512_090000_1.avi");
  // The last recording ends: back to row 0, nothing plays, the idle picture shows.
  Player().Seek(static_cast<std::int32_t>(Player().GetDuration()) - 200);
  ASSERT_TRUE(apptest::WaitUntil([&] { return Player().state() != playback::kStateRunning; }, 5000));
  EXPECT_EQ(In().CurrentRow(), 0);
  EXPECT_EQ(In().ChannelView(), 1);
  EXPECT_FALSE(In().FrontVisible());
  EXPECT_FALSE(In().Item(DlgItem::FrontScreen)->isVisible());
  EXPECT_FALSE(In().Busy());
  QTest::qWait(450);
  EXPECT_EQ(In().CurrentRow(), 0);
  EXPECT_NE(Player().state(), playback::kStateRunning);
  // The position timer ran on: its tick shows the time of no recording.
  EXPECT_EQ(In().TimeText()->positionMs, 0);
  EXPECT_EQ(In().TimeText()->durationMs, 0);
}

TEST_F(MainRoad, TheNextRecordingTakesOverWithoutALoadAndAfterTheLastRowZeroIsCurrent) {
  ASSERT_EQ(OpenFolder(), 4);
  QSignalSpy loads(dlg.get(), &CDezirureDovuriDlg::LoadFinished);
  const std::shared_ptr<playback::CPlaybackGraph> first = Player().Graph();
  const std::size_t firstFixes = In().Telemetry().gpsSamples.size();
  Player().Seek(static_cast<std::int32_t>(Player().GetDuration()) - 2500);
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().CurrentRow() == 1; }, 8000));
  // The prerolled recording plays in the ended one's place: no load ran, and the list,
  // the name, the time and the telemetry are the new recording's.
  EXPECT_EQ(loads.count(), 0);
  EXPECT_NE(Player().Graph(), first);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  EXPECT_EQ(List()->GetSelectedRow(), 1);
  EXPECT_EQ(In().CurrentName(), List()->GetItemText(1, kColumnFileName));
  EXPECT_LT(In().TimeText()->positionMs, 1000);
  EXPECT_NEAR(In().TimeText()->durationMs, 2000, 100);
  EXPECT_GT(In().Telemetry().gpsSamples.size(), 0u);
  EXPECT_LT(In().Telemetry().gpsSamples.size(), firstFixes);
  // The event and the one-camera parking recording follow; after the last, row 0 is
  // current with nothing playing, as before.
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().CurrentRow() == 3; }, 8000));
  EXPECT_EQ(In().ChannelView(), 1);
  EXPECT_FALSE(In().Item(DlgItem::BothChannels)->isVisible());
  ASSERT_TRUE(apptest::WaitUntil(
      [&] { return In().CurrentRow() == 0 && Player().state() != playback::kStateRunning && !In().Busy(); }, 8000));
  EXPECT_FALSE(In().FrontVisible());
  EXPECT_EQ(Player().Standby(), nullptr);
}

TEST_F(MainRoad, TwoDoubleClicksWithinASecondLoadOnlyTheSecond) {
  ASSERT_EQ(OpenFolder(), 4);
  int loads = 0;
  QObject::connect(dlg.get(), &CDezirureDovuriDlg::LoadFinished, [&](bool) { ++loads; });
  emit List()->RowDoubleClicked(1);
  QTest::qWait(300);
  emit List()->RowDoubleClicked(2);
  QTest::qWait(800);
  EXPECT_EQ(loads, 0);  // the first click's second has not run out: nothing yet
  ASSERT_TRUE(apptest::WaitUntil([&] { return loads > 0; }, 5000));
  WaitForLoad();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(In().CurrentRow(), 2);
  EXPECT_EQ(In().CurrentName(), "EVT_20240512_083200_2.avi");
}

TEST_F(MainRoad, ADoubleClickWhileARecordingLoadsIsDroppedNotDeferred) {
  ASSERT_EQ(OpenFolder(), 4);
  int loads = 0;
  QObject::connect(dlg.get(), &CDezirureDovuriDlg::LoadFinished, [&](bool) { ++loads; });
  // A click whose second runs out while the window is busy...
  emit List()->RowDoubleClicked(3);
  In().SetBusy(true);
  QTest::qWait(1200);
  In().SetBusy(false);
  QTest::qWait(1500);
  EXPECT_EQ(loads, 0);
  EXPECT_EQ(In().CurrentRow(), 0);
  // ...and one that comes while a load runs.
  dlg->OnCommand(app::kIdNext);
  ASSERT_TRUE(In().Busy());
  emit List()->RowDoubleClicked(2);
  ASSERT_TRUE(WaitForLoad());
  QTest::qWait(1500);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(In().CurrentRow(), 1);
  EXPECT_EQ(In().CurrentName(), "REC_20240512_083100_2.avi");
}

TEST_F(MainRoad, AfterClearRecordingsTheNextTickShowsZeroTime) {
  ASSERT_EQ(OpenFolder(), 4);
  auto* time = In().TimeText();
  ASSERT_TRUE(apptest::WaitUntil([&] { return time->positionMs > 300; }, 5000));
  dlg->ClearRecordings();
  QTest::qWait(450);
  EXPECT_EQ(time->positionMs, 0);
  EXPECT_EQ(time->durationMs, 0);
}

TEST_F(MainRoad, WhileBusyOnlyCloseAndTheSlidersAct) {
  ASSERT_EQ(OpenFolder(), 4);
  In().SetBusy(true);
  const int row = In().CurrentRow();
  dlg->OnCommand(app::kIdNext);
  dlg->OnCommand(app::kIdPause);
  dlg->OnCommand(app::kIdLayoutToggle);
  dlg->OnCommand(app::kIdMute);
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(List(), &space);
  EXPECT_EQ(In().CurrentRow(), row);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  EXPECT_EQ(In().LayoutMode(), 1);
  EXPECT_FALSE(In().Muted());
  // The speed slider still acts: the factor shows and reaches the player.
  auto* speed = In().SpeedSlider();
  speed->setValue(75);
  emit speed->Scrolled(app::kIdSpeedSlider, 75);
  EXPECT_FLOAT_EQ(In().TimeText()->speedFactor, 1.5f);
  EXPECT_FLOAT_EQ(Player().rate(), 1.5f);
  In().SetBusy(false);
}

TEST_F(MainRoad, SpacePausesAndResumesAndPageDownOnTheLastRowDoesNothing) {
  ASSERT_EQ(OpenFolder(), 4);
  auto press = [&](int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(List(), &event);
  };
  press(Qt::Key_Space);
  EXPECT_EQ(Player().state(), playback::kStatePaused);
  EXPECT_TRUE(In().Item(DlgItem::Play)->isVisible());
  press(Qt::Key_Space);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  List()->SetHighlightRow(3);
  press(Qt::Key_PageDown);
  EXPECT_EQ(In().CurrentRow(), 3);
  EXPECT_FALSE(In().Busy());
  // Every Ctrl key is taken; Ctrl+S is not the speed reset.
  auto* speed = In().SpeedSlider();
  speed->setValue(80);
  QKeyEvent ctrlS(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier);
  QApplication::sendEvent(List(), &ctrlS);
  EXPECT_EQ(speed->value(), 80);
  press(Qt::Key_S);
  EXPECT_EQ(speed->value(), 50);
}

TEST_F(MainRoad, VolumeStepsStopAtTheEndsAndAStepWhileMutedUnmutes) {
  auto* volume = In().Volume();
  volume->level = 10;
  In().StepVolume(1);
  EXPECT_EQ(volume->level, 10);
  volume->level = 0;
  In().StepVolume(-1);
  EXPECT_EQ(volume->level, 0);
  volume->level = 5;
  In().ToggleMute();
  EXPECT_TRUE(In().Muted());
  EXPECT_TRUE(volume->drawEmpty);
  EXPECT_EQ(In().Button(DlgItem::Mute)->normalImage, app::kMuteMutedNormal);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(dlg.get(), &up);
  EXPECT_FALSE(In().Muted());
  EXPECT_FALSE(volume->drawEmpty);
  EXPECT_EQ(volume->level, 6);
  EXPECT_EQ(In().Button(DlgItem::Mute)->normalImage, app::kMuteSoundNormal);
}

TEST_F(MainRoad, TheEventFilterWhileANormalRecordingPlaysMakesRowZeroCurrent) {
  ASSERT_EQ(OpenFolder(), 4);
  dlg->OnCommand(app::kIdFilterEvent);
  EXPECT_EQ(List()->GetItemCount(), 1);
  EXPECT_EQ(In().CurrentRow(), 0);
  EXPECT_TRUE(In().Button(DlgItem::FilterEvent)->selected);
  EXPECT_FALSE(In().Button(DlgItem::FilterAll)->selected);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  // Back to all: the playing recording is found again by its name.
  List()->SetHighlightRow(-1);
  dlg->OnCommand(app::kIdFilterAll);
  EXPECT_EQ(List()->GetItemCount(), 4);
  EXPECT_EQ(In().CurrentRow(), 0);
  In().SetCurrentName("EVT_20240512_083200_2.avi");
  dlg->OnCommand(app::kIdFilterAll);
  EXPECT_EQ(In().CurrentRow(), 2);
}

TEST_F(MainRoad, ARecordingThatCannotBeOpenedIsTriedThreeTimesSaysSoOnceAndTheScreensStayHidden) {
  testsupport::TempFolder folder;
  std::ofstream(folder.Path() / "REC_20240512_100000_2.avi") << "this is no recording";
  ASSERT_EQ(apptest::ListPaths(*dlg, {folder.Path().string()}), 1);
  WaitForLoad();
  std::string expected;
  ASSERT_TRUE(LoadLanguageString(kStrOpenFailed, expected));
  EXPECT_EQ(In().LastLoadAttempts(), 3);
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0].toStdString(), expected);
  EXPECT_FALSE(In().Item(DlgItem::FrontScreen)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::RearScreen)->isVisible());
  EXPECT_FALSE(In().Busy());
  EXPECT_NE(Player().state(), playback::kStateRunning);
}

TEST_F(MainRoad, PicturesOfAnUnknownCodecAreNamedOnceAndTheRecordingStaysListed) {
  // The parking recording's pictures renamed to a codec no decoder here takes: its
  // stream header's handler (file offset 112) and its BITMAPINFOHEADER's compression
  // (188).
  testsupport::TempFolder folder;
  const fs::path path = folder.Path() / "PRK_20240512_090000_1.avi";
  fs::copy_file(RecordingFolder() / path.filename(), path);
  for (const std::streamoff at : {112, 188}) {
    std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(at);
    io.write("WMV3", 4);
  }
  ASSERT_EQ(apptest::ListPaths(*dlg, {folder.Path().string()}), 1);
  WaitForLoad();
  std::string expected;
  ASSERT_TRUE(LoadLanguageString(kStrUnsupportedVideo, expected));
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u) << "not tried again";
  EXPECT_EQ(apptest::ShownMessages().texts[0], QString::fromStdString(expected).arg("WMV3"));
  EXPECT_EQ(List()->GetItemCount(), 1);
  EXPECT_FALSE(In().Item(DlgItem::FrontScreen)->isVisible());
  EXPECT_FALSE(In().Busy());
}

TEST_F(MainRoad, AFailedOpenKeepsWhatIsListedAndSaysNothingWasFound) {
  ASSERT_EQ(OpenFolder(), 4);
  apptest::ShownMessages().Clear();
  apptest::ListPaths(*dlg, {"/nonexistent/tarvo/folder"});
  std::string expected;
  ASSERT_TRUE(LoadLanguageString(kStrNoRecordings, expected));
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0].toStdString(), expected);
  EXPECT_EQ(List()->GetItemCount(), 4);
  EXPECT_EQ(Player().state(), playback::kStateRunning);
}

TEST_F(MainRoad, ADropThatOpensNothingSaysSoAndThePlayingRecordingGoesOnWhereItWas) {
  ASSERT_EQ(OpenFolder(), 4);
  ASSERT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() > 1000; }, 5000));
  const std::uint64_t before = Player().GetPosition();
  apptest::ShownMessages().Clear();
  EXPECT_FALSE(dlg->OpenDroppedPaths({"/nonexistent/tarvo/REC_20240512_100000_2.avi"}));
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  std::string expected;
  ASSERT_TRUE(LoadLanguageString(kStrNoRecordings, expected));
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0].toStdString(), expected);
  // The list, the row and the recording are the ones from before, playing on.
  EXPECT_EQ(List()->GetItemCount(), 4);
  EXPECT_EQ(In().CurrentRow(), 0);
  EXPECT_EQ(In().CurrentName(), "REC_20240512_083000_2.avi");
  EXPECT_EQ(Player().state(), playback::kStateRunning);
  EXPECT_GE(Player().GetPosition() + 100, before);
  EXPECT_TRUE(In().Item(DlgItem::Pause)->isVisible());
  EXPECT_FALSE(In().Item(DlgItem::Play)->isVisible());
  EXPECT_TRUE(In().Item(DlgItem::FrontScreen)->isVisible());
  // Space reaches the recording again.
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(List(), &space);
  EXPECT_EQ(Player().state(), playback::kStatePaused);
}

TEST_F(MainRoad, DroppedFilesOpenAsTheirSource) {
  const fs::path parking = RecordingFolder() / "PRK_20240512_090000_1.avi";
  dlg->OpenDroppedPaths({parking.string()});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(List()->GetItemCount(), 1);
  EXPECT_EQ(In().Collection().sourceKind, kSourceChosenFiles);
  EXPECT_EQ(In().CurrentName(), "PRK_20240512_090000_1.avi");
  EXPECT_EQ(Player().videoChannels(), 1);
}

TEST_F(MainRoad, ClosingStopsThePlayerAndEmptiesTheTemporaryFolder) {
  ASSERT_EQ(OpenFolder(), 4);
  const fs::path temp = In().TempFolder();
  fs::create_directories(temp);
  std::ofstream(temp / "left_REPAIR.avi") << "x";
  dlg->OnCommand(app::kIdClose);
  EXPECT_FALSE(fs::exists(temp / "left_REPAIR.avi"));
  EXPECT_EQ(Player().state(), playback::kStateEmpty);
}

}  // namespace

namespace {

int Tool(const std::string& arguments) {
  return std::system((std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool " + arguments + " >/dev/null 2>&1").c_str());
}

TEST_F(MainRoad, ACardImageThroughTheDriveTablePlaysItsRecordingsACutOffOneAfterRebuilding) {
  testsupport::TempFolder card;
  const fs::path image = card.Path() / "card.img";
  const fs::path root = card.Path() / "root";
  fs::create_directories(root);
  ASSERT_EQ(Tool("card mkimage '" + image.string() + "' 256M"), 0);
  ASSERT_EQ(Tool("card format '" + image.string() + "'"), 0);
  const fs::path intact = RecordingFolder() / "REC_20240512_083100_2.avi";
  // Power lost half way through the event: the camera left it with zero sizes.
  simulator::RecordOptions o = fixtures::SmallOptions(2, 2, avi::AudioKind::Aac);
  o.typeCode = "EVT";
  o.start = fixtures::CameraClock(8, 32, 0);
  o.cutAt = 30000;
  const fs::path event = fixtures::Record(o, card.Path());
  ASSERT_EQ(Tool("card put '" + image.string() + "' NORMAL '" + intact.string() + "'"), 0);
  ASSERT_EQ(Tool("card put '" + image.string() + "' EVENT '" + event.string() + "'"), 0);
  const fs::path table = card.Path() / "drives";
  std::ofstream(table) << root.string() << "|" << image.string() << "|removable\n";
  testsupport::ScopedEnv drives("TARVO_DRIVE_TABLE", table.c_str());

  dlg->OpenDroppedPaths({root.string()});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(In().Collection().sourceKind, kSourceCard);
  ASSERT_EQ(List()->GetItemCount(), 2);
  EXPECT_EQ(In().CurrentName(), "REC_20240512_083100_2.avi");
  EXPECT_EQ(Player().videoChannels(), 2);
  EXPECT_TRUE(In().Button(DlgItem::Merge)->enabled);  // card recordings can be saved out
  EXPECT_FALSE(fs::exists(fs::path(In().TempFolder()) / "REC_20240512_083100_2.avi_REPAIR.avi"));

  dlg->OnCommand(app::kIdNext);
  const bool rebuilt = WaitForLoad();
  for (const QString& m : apptest::ShownMessages().texts) ADD_FAILURE() << m.toStdString();
  ASSERT_TRUE(rebuilt);
  EXPECT_EQ(In().CurrentName(), "EVT_20240512_083200_2.avi");
  // Played from its rebuilt copy in the temporary folder, which the card never sees.
  EXPECT_TRUE(fs::exists(fs::path(In().TempFolder()) / "EVT_20240512_083200_2.avi_REPAIR.avi"));
  EXPECT_GT(Player().GetDuration(), 0u);
  EXPECT_TRUE(apptest::ShownMessages().texts.empty());
}

// A card image with one recording in NORMAL; its drive table line is the caller's.
fs::path MakeCardImage(const fs::path& folder) {
  const fs::path image = folder / "card.img";
  if (Tool("card mkimage '" + image.string() + "' 128M") != 0 || Tool("card format '" + image.string() + "'") != 0)
    return {};
  const fs::path recording = RecordingFolder() / "REC_20240512_083100_2.avi";
  if (Tool("card put '" + image.string() + "' NORMAL '" + recording.string() + "'") != 0) return {};
  return image;
}

// A card image the drive table names as a removable card at folder/root, as long as
// `drives` lives.
struct PluggedCard {
  fs::path root;
  std::unique_ptr<testsupport::ScopedEnv> drives;
};
PluggedCard PlugIn(const fs::path& folder, const fs::path& image) {
  PluggedCard card{folder / "root", nullptr};
  fs::create_directories(card.root);
  const fs::path table = folder / "drives";
  std::ofstream(table) << card.root.string() << "|" << image.string() << "|removable\n";
  card.drives = std::make_unique<testsupport::ScopedEnv>("TARVO_DRIVE_TABLE", table.c_str());
  return card;
}

TEST_F(MainRoad, FormattingTheCardWhoseRecordingsAreListedClearsTheList) {
  testsupport::TempFolder card;
  const fs::path image = MakeCardImage(card.Path());
  ASSERT_FALSE(image.empty());
  const PluggedCard plugged = PlugIn(card.Path(), image);
  const fs::path& root = plugged.root;
  testsupport::ScopedEnv keep("TARVO_CONFIG_DIR", card.Path().c_str());

  dlg->OpenDroppedPaths({root.string()});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  ASSERT_EQ(List()->GetItemCount(), 1);
  EXPECT_EQ(In().LoadedDrive(), root.string() + "/") << "the root of the source, not its first character";

  CSettingDlg settings(&In().SettingHost(), dlg.get());
  settings.askUser = [](const QString&, QMessageBox::StandardButtons buttons) {
    return (buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
  };
  ASSERT_EQ(settings.Model().cards.size(), 1u);
  FindControl<QComboBox>(&settings, CSettingDlg::kIdCard)->setCurrentIndex(0);
  QSignalSpy done(&settings, &CSettingDlg::FormatFinished);
  settings.FormatCard();
  ASSERT_TRUE(done.wait(60000));
  EXPECT_TRUE(settings.LastFormatOutcome().successful);
  EXPECT_EQ(List()->GetItemCount(), 0) << "the recordings listed are gone from the card";
  EXPECT_EQ(Player().state(), playback::kStateStopped);
  EXPECT_TRUE(In().LoadedDrive().empty());
}

// On the mock service; or, in the trial against the real one (udisks_trial.sh), on the
// loop device it names.
TEST_F(MainRoad, ACardOfTheDiskServicePlaysThroughItsDescriptorWithNothingMounted) {
  const char* trialDevice = std::getenv("TARVO_TRIAL_CARD_DEVICE");
  std::unique_ptr<testsupport::MockDiskService> service;
  testsupport::TempFolder card;
  std::string device = trialDevice ? trialDevice : "/dev/sdx";
  if (!trialDevice) {
    if (const std::string missing = testsupport::MockDiskService::Missing(); !missing.empty()) GTEST_SKIP() << missing;
    service = std::make_unique<testsupport::MockDiskService>();
    if (!service->Ready()) GTEST_SKIP() << "the mock disk service did not start";
    const fs::path image = MakeCardImage(card.Path());
    ASSERT_FALSE(image.empty());
    ASSERT_TRUE(service->AddDisk("sdx", "{'Image': <'" + image.string() +
                                            "'>, 'Size': <uint64 134217728>, 'MediaRemovable': <true>, 'Partitions': "
                                            "<[{'Number': <uint32 1>, 'IdType': <'vfat'>}, "
                                            "{'Number': <uint32 2>, 'Type': <'0x4b'>}]>}"));
  }
  testsupport::ScopedEnv drives("TARVO_DRIVE_TABLE", nullptr);
  testsupport::ScopedEnv access("TARVO_DISK_ACCESS", "service");
  dlg->OpenDroppedPaths({device});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(In().Collection().sourceKind, kSourceCard);
  ASSERT_EQ(List()->GetItemCount(), 1);
  EXPECT_EQ(In().CurrentName(), "REC_20240512_083100_2.avi");
  EXPECT_GT(Player().GetDuration(), 0u);
  EXPECT_EQ(In().LoadedDrive(), device);
  if (!service) return;

  // A card the user may not open: the window says so, and keeps what it listed.
  ASSERT_TRUE(service->RemoveDisk("sdx"));
  ASSERT_TRUE(service->AddDisk("sdy",
                               "{'Image': <'/nonexistent'>, 'Size': <uint64 134217728>, 'MediaRemovable': "
                               "<true>, 'Refuse': <true>, 'Partitions': <[{'Number': <uint32 2>, 'Type': "
                               "<'0x4b'>}]>}"));
  apptest::ShownMessages().Clear();
  dlg->OpenDroppedPaths({"/dev/sdy"});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0].toStdString().find("The system refused access to the memory card "
                                                                 "/dev/sdy."),
            0u);
  EXPECT_EQ(List()->GetItemCount(), 1);
}

TEST_F(MainRoad, PicturesTurningToNoiseStopTheRecordingWithAMessageAndTheNextOnePlays) {
  testsupport::TempFolder folder;
  // Pictures large enough that noise in them cannot pass for a picture.
  simulator::RecordOptions o = fixtures::SmallOptions(2, 6, avi::AudioKind::Pcm);
  o.sizes = {{320, 180}, {192, 108}};
  o.framesPerSecond = 15;
  o.start = fixtures::CameraClock(7, 0, 0);
  const fs::path damaged = fixtures::Record(o, folder.Path());
  o.start = fixtures::CameraClock(7, 1, 0);
  fixtures::Record(o, folder.Path());
  {
    // From 3 s on every picture is noise behind its start code and NAL header.
    FileByteSource bytes;
    ASSERT_TRUE(bytes.Open(damaged));
    avi::AviReader reader(bytes);
    ASSERT_TRUE(reader.Open());
    std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
    unsigned seed = 7;
    for (const avi::ChunkEntry& chunk : reader.Chunks()) {
      if (chunk.kind != avi::ChunkKind::Video || chunk.time < 30000000 || chunk.size <= 5) continue;
      std::string noise(chunk.size - 5, '\0');
      for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
      file.seekp(chunk.offset + 5);
      file.write(noise.data(), static_cast<std::streamsize>(noise.size()));
    }
  }
  ASSERT_EQ(apptest::ListPaths(*dlg, {folder.Path().string()}), 2);
  ASSERT_TRUE(WaitForLoad());
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().CurrentRow() == 1; }, 15000));
  std::string expected;
  ASSERT_TRUE(LoadLanguageString(kStrOpenFailed, expected));
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0].toStdString(), expected);
  EXPECT_FALSE(In().LastPlaybackError().isEmpty());
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(Player().state(), playback::kStateRunning);
}

}  // namespace

namespace {

// Answers the window's questions as a person would: the printer writes the PDF file
// `file`, and a recording is saved as `file`.
class AnswerWith final : public app::WindowDialogs {
 public:
  explicit AnswerWith(fs::path chosen) : file(std::move(chosen)) {}
  bool ChoosePrinter(QPrinter& printer, QWidget*) override {
    offered = printer.outputFileName();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
    return true;
  }
  QString ChooseSaveFile(QWidget*, const QString& suggested, const QString&) override {
    offered = suggested;
    return QString::fromStdString(file.string());
  }
  fs::path file;
  QString offered;
};

std::vector<std::string> ShownTexts() {
  std::vector<std::string> shown;
  for (const QString& m : apptest::ShownMessages().texts) shown.push_back(m.toStdString());
  return shown;
}

TEST_F(MainRoad, AReportOrPictureThatCannotBeSavedOrNoPrinterIsSaidInABoxWithTheFileAndWhy) {
  apptest::UseEnglish();
  ASSERT_EQ(OpenFolder(), 4);
  testsupport::TempFolder folder;
  const fs::path missing = folder.Path() / "no-such-folder" / "report.pdf";
  auto* dialogs = new AnswerWith(missing);
  In().AnswerDialogsWith(std::unique_ptr<app::WindowDialogs>(dialogs));
  const std::string captures = std::exchange(TheViewerSettings().saveDirectory, folder.Path().string());
  apptest::ShownMessages().Clear();
  dlg->OnCommand(app::kIdPrint);
  std::vector<std::string> expected;
  std::string text;
  if (!PrinterAvailable()) {
    ASSERT_TRUE(LoadLanguageString(kStrPrintNoPrinter, text));
    expected.push_back(text);
    // Without a printer the dialog starts on a PDF file named after the recording.
    EXPECT_EQ(dialogs->offered.toStdString(), (folder.Path() / "REC_20240512_083000_2.pdf").string());
  }
  expected.push_back("The report could not be saved as " + missing.string() + ".\nThe folder does not exist.");
  EXPECT_EQ(ShownTexts(), expected);
  EXPECT_EQ(Player().state(), playback::kStatePaused);

  // Into a folder nobody may write: the report, then a still capture.
  const fs::path locked = folder.Path() / "locked";
  fs::create_directories(locked);
  dialogs->file = locked / "report.pdf";
  apptest::ShownMessages().Clear();
  TheViewerSettings().saveDirectory = locked.string();
  {
    const testsupport::ReadOnlyFolder readOnly(locked);
    dlg->OnCommand(app::kIdPrint);
    dlg->OnCommand(app::kIdCapture);
  }
  const std::vector<std::string> shown = ShownTexts();
  ASSERT_EQ(shown.size(), expected.size() + 1);
  EXPECT_EQ(shown[expected.size() - 1], "The report could not be saved as " + (locked / "report.pdf").string() +
                                            ".\nWriting there is not permitted.");
  const std::string capture = shown.back();
  const std::string start = "The picture could not be saved as " + locked.string() + "/REC_20240512_083000_2-";
  const std::string end = "(Track1).jpg.\nWriting there is not permitted.";
  EXPECT_EQ(capture.substr(0, start.size()), start) << capture;
  EXPECT_TRUE(capture.size() > end.size() && capture.substr(capture.size() - end.size()) == end) << capture;
  EXPECT_TRUE(fs::is_empty(locked));
  TheViewerSettings().saveDirectory = captures;
}

TEST_F(MainRoad, ASavedCopyOfACardRecordingThatCannotBeWrittenIsSaidWithTheFileAndWhy) {
  apptest::UseEnglish();
  testsupport::TempFolder card;
  const fs::path image = MakeCardImage(card.Path());
  ASSERT_FALSE(image.empty());
  const PluggedCard plugged = PlugIn(card.Path(), image);
  dlg->OpenDroppedPaths({plugged.root.string()});
  apptest::WaitUntil([&] { return !In().LoadingDialog()->TimerActive(); }, 5000);
  ASSERT_TRUE(WaitForLoad());
  ASSERT_EQ(List()->GetItemCount(), 1);

  testsupport::TempFolder out;
  const fs::path locked = out.Path() / "locked";
  fs::create_directories(locked);
  auto* dialogs = new AnswerWith(locked / "copy.avi");
  In().AnswerDialogsWith(std::unique_ptr<app::WindowDialogs>(dialogs));
  apptest::ShownMessages().Clear();
  {
    const testsupport::ReadOnlyFolder readOnly(locked);
    dlg->OnCommand(app::kIdMerge);
  }
  dialogs->file = out.Path() / "gone" / "copy.avi";
  dlg->OnCommand(app::kIdMerge);
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{
                              "The recording could not be saved as " + (locked / "copy.avi").string() +
                                  ".\nWriting there is not permitted.",
                              "The recording could not be saved as " + (out.Path() / "gone" / "copy.avi").string() +
                                  ".\nThe folder does not exist.",
                          }));
  EXPECT_TRUE(fs::is_empty(locked));
  EXPECT_FALSE(fs::exists(out.Path() / "gone"));

  // A folder that can be written: the whole recording, and nothing said.
  apptest::ShownMessages().Clear();
  dialogs->file = out.Path() / "copy.avi";
  dlg->OnCommand(app::kIdMerge);
  EXPECT_TRUE(apptest::ShownMessages().texts.empty());
  EXPECT_EQ(fs::file_size(out.Path() / "copy.avi"), fs::file_size(RecordingFolder() / "REC_20240512_083100_2.avi"));
  EXPECT_TRUE(dialogs->offered.endsWith(QStringLiteral("/REC_20240512_083100_2.avi")));
}

TEST_F(MainRoad, RewindAndFastForwardJumpByThePlayValueWithinTheRecording) {
  ASSERT_EQ(OpenFolder(), 4);
  TheViewerSettings().playValue = 10;
  ASSERT_TRUE(apptest::WaitUntil([&] { return Player().GetPosition() > 1500; }, 5000));
  dlg->OnCommand(app::kIdRewind);
  EXPECT_LT(Player().GetPosition(), 300u);  // 10 s back from under 6 s is the start
  TheViewerSettings().playValue = 2;
  const std::uint64_t before = Player().GetPosition();
  dlg->OnCommand(app::kIdFastForward);
  EXPECT_GE(Player().GetPosition(), before + 2000);
  TheViewerSettings().playValue = 60;
  dlg->OnCommand(app::kIdFastForward);
  // To the end at most: the next tick ends the recording and the next row loads.
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().CurrentRow() == 1; }, 5000));
  TheViewerSettings().playValue = 10;
}

TEST_F(MainRoad, ABrightnessChangeWhilePausedRedrawsThePausedPicture) {
  ASSERT_EQ(OpenFolder(), 4);
  In().PausePlayback();
  ASSERT_TRUE(Player().WaitUntilSettled(std::chrono::seconds(5)));
  playback::CapturedImage before;
  ASSERT_TRUE(Player().GrabFrame(0, &before));
  auto* brightness = In().BrightnessSlider();
  brightness->setValue(100);
  emit brightness->Scrolled(app::kIdBrightnessSlider, 100);
  ASSERT_TRUE(Player().WaitUntilSettled(std::chrono::seconds(5)));
  playback::CapturedImage after;
  ASSERT_TRUE(Player().GrabFrame(0, &after));
  ASSERT_EQ(after.pixels.size(), before.pixels.size());
  long brighter = 0;
  for (std::size_t i = 0; i < after.pixels.size(); i += 4) brighter += after.pixels[i + 1] - before.pixels[i + 1];
  EXPECT_GT(brighter / static_cast<long>(after.pixels.size() / 4), 40);
  EXPECT_EQ(Player().state(), playback::kStatePaused);
  dlg->OnCommand(app::kIdBrightnessReset);
  EXPECT_EQ(brightness->value(), 50);
}

}  // namespace
