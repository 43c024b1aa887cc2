// Grabs of every control with sample data, drawn with the real skin, saved under
// build/screenshots/controls for a look by eye; the checks make sure each grab shows
// skin pixels and not an empty or undrawn surface.
#include <gtest/gtest.h>

#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <memory>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "controls/SkinPalette.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"
#include "res/SkinIds.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "telemetry/CBbSpeedCtrl.h"

namespace {

// The number of distinct colours in a grab: an undrawn control has one or two.
int Colours(const QImage& image) {
  std::vector<QRgb> seen;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) {
      const QRgb c = image.pixel(x, y);
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
      if (seen.size() > 64) return 64;
    }
  }
  return static_cast<int>(seen.size());
}

class Gallery : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), skin::ToColor(skin::kWindowBackground));
  }
};

std::vector<CGSensorData> SampleReadings() {
  std::vector<CGSensorData> samples;
  for (int t = 0; t <= 60000; t += 200) {
    CGSensorData s;
    s.recordTime = t;
    const double phase = t / 60000.0 * 6.283;
    s.x = static_cast<int>(6 * std::sin(phase * 3) + (t > 21000 && t < 22400 ? 40 : 0));
    s.y = static_cast<int>(4 * std::cos(phase * 5) - (t > 21000 && t < 22000 ? 25 : 0));
    s.z = static_cast<int>(32 + 3 * std::sin(phase * 11));
    samples.push_back(s);
  }
  return samples;
}

class ScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    skin::ClearSkinImages();
    if (!skin::HasSkinImage(skin::kPlayNormal)) GTEST_SKIP() << "skin resources missing";
  }
};

TEST_F(ScreenshotTest, ButtonsInEveryState) {
  Gallery gallery;
  gallery.resize(300, 120);
  gallery.setProperty("layoutMode", 1);
  const int states[4][4] = {{skin::kPlayNormal, skin::kPlayPressed, skin::kPlayHover, skin::kPlayDisabled},
                            {skin::kNextNormal, skin::kNextPressed, skin::kNextHover, skin::kNextDisabled},
                            {skin::kOpenNormal, skin::kOpenPressed, skin::kOpenHover, 0},
                            {skin::kCloseNormal, skin::kClosePressed, skin::kCloseHover, 0}};
  for (int row = 0; row < 4; ++row) {
    for (int state = 0; state < 4; ++state) {
      if (states[row][state] == 0) continue;
      auto* button = new CBbButtonCtrl(1000 + row * 10 + state, &gallery);
      const bool top = row == 2;
      const bool window = row == 3;
      button->setGeometry(10 + state * 44, 4 + row * 30 - (row > 2 ? 4 : 0), window ? 30 : 32,
                          window ? 24 : (top ? 31 : 32));
      button->SetImages(states[row][state], 0, 0, 0);
      button->backgroundMode = top;
      button->Redraw();
    }
  }
  gallery.show();
  SaveShot(&gallery, QStringLiteral("buttons"));
  auto* play = FindControl<CBbButtonCtrl>(&gallery, 1000);
  ASSERT_NE(play, nullptr);
  EXPECT_GT(Colours(Grab(play)), 4);
}

TEST_F(ScreenshotTest, ControlBarPieces) {
  Gallery gallery;
  gallery.setStyleSheet(QString());
  gallery.resize(700, 140);
  auto* seek = new CBbSliderCtrl(1026, &gallery);
  seek->channelImage = skin::kSeekChannel;
  seek->thumbImage = skin::kSeekThumb;
  seek->setGeometry(10, 10, 600, 30);
  seek->setRange(0, 60000);
  seek->setValue(21000);
  auto* speedSlider = new CBbSimpleSliderCtrl(1033, &gallery);
  speedSlider->channelImage = skin::kSliderChannel;
  speedSlider->thumbImage = skin::kSliderThumb;
  speedSlider->setGeometry(10, 60, 95, 30);
  speedSlider->setValue(70);
  auto* volume = new CBbVolumeCtrl(1002, &gallery);
  volume->move(130, 64);
  volume->level = 7;
  auto* speed = new CBbSpeedCtrl(&gallery);
  speed->move(220, 56);
  speed->SetValue(41.48);
  auto* fast = new CBbSpeedCtrl(&gallery);
  fast->move(360, 56);
  fast->SetValue(100.0);
  auto* timeText = new CBbTextCtrl(1007, 1, &gallery);
  timeText->setGeometry(0, 105, 400, 20);
  timeText->positionMs = 3725000;
  timeText->durationMs = 3600000;
  timeText->speedFactor = 1.4f;
  gallery.show();
  SaveShot(&gallery, QStringLiteral("control-bar"));
  SaveShot(seek, QStringLiteral("seek-bar"));
  SaveShot(speed, QStringLiteral("speed-41.4"));
  EXPECT_GT(Colours(Grab(seek)), 3);
  EXPECT_GT(Colours(Grab(speed)), 3);
  EXPECT_GT(Colours(Grab(volume)), 2);
}

TEST_F(ScreenshotTest, FileListWithScrollBar) {
  Gallery gallery;
  gallery.resize(300, 260);
  auto* caption = new CBbTextCtrl(1013, 7, &gallery);
  caption->backgroundColour = skin::kPanelBackground;
  caption->setGeometry(4, 8, 92, 20);
  auto* list = new CBbListCtrl(1003, &gallery);
  list->setGeometry(4, 34, 262, 220);
  const char* types[] = {"Normal", "Event", "Parking"};
  for (int i = 0; i < 30; ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:00", 12 + i / 60, i % 60);
    list->InsertRow(i, RecordingRow{std::to_string(i + 1), "2024-05-01", time, types[i % 3], "/data/x.avi", "x.avi"});
  }
  list->SetHighlightRow(2);
  list->SelectRow(4);
  gallery.show();
  list->verticalScrollBar()->setValue(1);
  SaveShot(&gallery, QStringLiteral("file-list"));
  EXPECT_GT(Colours(Grab(list->ScrollBar())), 3);
}

TEST_F(ScreenshotTest, GsensorGraphAndTexts) {
  Gallery gallery;
  gallery.resize(640, 170);
  const std::vector<CGSensorData> samples = SampleReadings();
  auto* graph = new CBbGsensorCtrl(&gallery);
  graph->setGeometry(0, 0, 640, 120);
  graph->SetSamples(&samples);
  auto* values = new CBbTextCtrl(1008, 2, &gallery);
  values->setGeometry(3, 125, 400, 20);
  values->hasGsensor = true;
  values->gX = 0.031;
  values->gY = -0.125;
  values->gZ = 1.003;
  auto* coordinates = new CBbTextCtrl(1010, 4, &gallery);
  coordinates->backgroundColour = skin::kPanelBackground;
  coordinates->setGeometry(0, 148, 400, 20);
  coordinates->latitude = 37.525f;
  coordinates->longitude = 127.0f;
  gallery.show();
  SaveShot(&gallery, QStringLiteral("gsensor"));
  EXPECT_GT(Colours(Grab(graph)), 4);
}

TEST_F(ScreenshotTest, PlaceholdersAndIdleScreen) {
  for (int language : {0, 1}) {
    CMapNoDataWnd noData(nullptr);
    noData.resize(276, 330);
    noData.SetLanguageIndex(language);
    SaveShot(&noData, QStringLiteral("map-no-data-%1").arg(language));
    EXPECT_GT(Colours(Grab(&noData)), 3);
    CMapNoConnectedWnd offline(nullptr);
    offline.resize(276, 330);
    offline.SetLanguageIndex(language);
    SaveShot(&offline, QStringLiteral("map-offline-%1").arg(language));
    EXPECT_GT(Colours(Grab(&offline)), 3);
  }
  CBbScreenCtrl screen(1004, nullptr);
  screen.resize(480, 270);
  SaveShot(&screen, QStringLiteral("screen-idle"));
  EXPECT_GT(Colours(Grab(&screen)), 3);
}

TEST_F(ScreenshotTest, KoreanTextsAndHeadings) {
  ViewerSettings& settings = TheViewerSettings();
  const int previous = settings.language;
  settings.language = 1;
  LoadLanguageLibrary(settings);
  if (!settings.languageLibrary) GTEST_SKIP() << "no Korean language library";
  Gallery gallery;
  gallery.resize(420, 200);
  auto* list = new CBbListCtrl(1003, &gallery);
  list->setGeometry(4, 4, 262, 100);
  list->InsertRow(0, RecordingRow{"1", "2024-05-01", "12:00:00", "상시", "/x.avi", "x.avi"});
  list->InsertRow(1, RecordingRow{"2", "2024-05-01", "12:01:00", "이벤트", "/y.avi", "y.avi"});
  auto* timeText = new CBbTextCtrl(1007, 1, &gallery);
  timeText->setGeometry(0, 110, 420, 20);
  timeText->positionMs = 61000;
  timeText->durationMs = 180000;
  auto* caption = new CBbTextCtrl(1009, 3, &gallery);
  caption->backgroundColour = skin::kPanelBackground;
  caption->setGeometry(0, 135, 200, 20);
  auto* coordinates = new CBbTextCtrl(1010, 4, &gallery);
  coordinates->setGeometry(0, 160, 400, 20);
  coordinates->latitude = -33.865f;
  coordinates->longitude = 151.209f;
  gallery.show();
  SaveShot(&gallery, QStringLiteral("korean-texts"));
  EXPECT_FALSE(timeText->Layout().empty());
  settings.language = previous;
  LoadLanguageLibrary(settings);
}

}  // namespace
