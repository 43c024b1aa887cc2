// Main-road benchmark on the real viewer window (offscreen): how long a load takes
// from "Load item n" to the first picture on the screen, how long the screen goes
// without a new picture at the end of a recording before the next one shows, and how
// late the window thread runs while loads, seeks and slider moves happen.
//
// Peers, measured in the same run: the playback graph's own open to first picture
// (CPlayer::Open with a window of its own, no main window), and the lateness of the
// same timer on an idle window.
//
// usage: mainroad_bench FOLDER   (FOLDER holds two-camera recordings, listed in order)

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "bench/BenchClock.h"
#include "bench/BenchWindow.h"
#include "bench/StallMeter.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/LanguageMessageBox.h"
#include "map/WebEngineSetup.h"
#include "playback/CPlayer.h"
#include "res/SkinResources.h"
#include "sources/CFileLoadDlg.h"
#include "tests/app/WindowInspector.h"

using app::DlgItem;
using bench::Clock;
using bench::Ms;
using bench::Spin;
using bench::StallMeter;

namespace {

// Pictures of the first half second are a recording's start (100-ns units).
constexpr std::int64_t kStartWindow = 5000000;

// Records when a screen gets a picture and which one.
class PictureWatch : public QObject {
 public:
  explicit PictureWatch(CBbScreenCtrl* screen) : screen_(screen) { screen->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const playback::VideoFrame frame = screen_->LastFrame();
      if (frame.pixels && frame.pixels.get() != lastPixels_) {
        lastPixels_ = frame.pixels.get();
        pictures_.push_back({Clock::now(), frame.timestamp});
      }
    }
    return false;
  }
  struct Picture {
    Clock::time_point at;
    std::int64_t timestamp;
  };
  std::vector<Picture> pictures_;

 private:
  CBbScreenCtrl* screen_;
  const std::uint8_t* lastPixels_ = nullptr;
};

// The graph alone: CPlayer::Open to the first picture handed to a window.
class FirstPictureWindow final : public playback::ChannelWindow {
 public:
  void PresentFrame(const playback::VideoFrame&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!got_) {
      got_ = true;
      at_ = Clock::now();
    }
  }
  void RequestRepaint() override {}
  int ClientWidth() const override { return 640; }
  int ClientHeight() const override { return 360; }
  Clock::time_point At() {
    std::lock_guard<std::mutex> lock(mutex_);
    return at_;
  }

 private:
  std::mutex mutex_;
  bool got_ = false;
  Clock::time_point at_;
};

double GraphOpenToFirstPicture(const std::string& file) {
  FirstPictureWindow front, rear;
  playback::CPlayer player;
  player.AttachWindows(&front, &rear);
  player.SetSourceOption(false);
  const Clock::time_point start = Clock::now();
  if (!player.Open(file)) return -1;
  return Ms(start, front.At());
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mainroad_bench FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(folder))
    if (item.path().extension() == ".avi") files.push_back(item.path().string());
  std::sort(files.begin(), files.end());
  if (files.size() < 2) {
    std::fprintf(stderr, "mainroad_bench: %s needs two recordings\n", folder.c_str());
    return 1;
  }
  bench::PrepareWindowProcess();
  QApplication application(argc, argv);
  bench::PrepareWindowResources("mainroad_bench");

  // Peer 1: the graph's own open to first picture (the page cache warm, like the
  // viewer's loads after the first).
  GraphOpenToFirstPicture(files[0]);
  std::vector<double> graphOpen;
  for (int i = 0; i < 5; ++i) graphOpen.push_back(GraphOpenToFirstPicture(files[i % 2]));

  CDezirureDovuriDlg dlg;
  app::WindowInspector window(dlg);
  dlg.SetWriteSettingsOnClose(false);
  window.LoadingDialog()->delayOverrideMs = 0;
  dlg.show();
  StallMeter stalls;
  // Peer 2: the idle window's timer lateness.
  stalls.Start();
  Spin([] { return false; }, 1000);
  stalls.Stop();
  const double idleWorst = stalls.Worst();

  window.OpenPickedPaths({folder.string()});
  Spin([&] { return !window.LoadingDialog()->TimerActive() && !window.Busy() && !window.LoadRunning(); }, 20000);
  PictureWatch watch(window.Screen(DlgItem::FrontScreen));
  auto loaded = [&] { return !window.Busy() && !window.LoadRunning(); };

  // Load item n to the first picture on the screen, and the window's lateness while
  // loads, seeks and slider moves run.
  stalls.Start();
  std::vector<double> loadToPicture;
  for (int i = 0; i < 6; ++i) {
    const int row = (i + 1) % 2;
    const std::size_t before = watch.pictures_.size();
    const Clock::time_point start = Clock::now();
    window.StopAndClear(false);
    window.LoadItem(row);
    // The user moves the sliders while it loads.
    auto* speed = window.SpeedSlider();
    auto* brightness = window.BrightnessSlider();
    for (int step = 0; step < 5; ++step) {
      speed->setValue(40 + step * 5);
      emit speed->Scrolled(app::kIdSpeedSlider, speed->value());
      brightness->setValue(45 + step * 2);
      emit brightness->Scrolled(app::kIdBrightnessSlider, brightness->value());
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // The new recording's first picture is the one of its start (the old one was
    // seeked well past it).
    auto firstNew = [&]() -> const PictureWatch::Picture* {
      for (std::size_t k = before; k < watch.pictures_.size(); ++k)
        if (watch.pictures_[k].timestamp < kStartWindow) return &watch.pictures_[k];
      return nullptr;
    };
    Spin([&] { return firstNew() != nullptr; }, 10000);
    if (const PictureWatch::Picture* picture = firstNew()) loadToPicture.push_back(Ms(start, picture->at));
    Spin(loaded, 10000);
    // Seeks while it plays.
    for (int s = 1; s <= 4; ++s) {
      window.Player().Seek(s * 700);
      Spin([] { return false; }, 60);
    }
  }
  dlg.OnCommand(app::kIdSpeedReset);
  dlg.OnCommand(app::kIdBrightnessReset);
  stalls.Stop();
  const double busyWorst = stalls.Worst();
  const double busyMean = stalls.Mean();

  // The end of a recording: the last picture of row 0, then the first of row 1.
  std::vector<double> endGaps;
  for (int i = 0; i < 3; ++i) {
    window.StopAndClear(false);
    window.LoadItem(0);
    Spin(loaded, 10000);
    const auto duration = static_cast<std::int32_t>(window.Player().GetDuration());
    window.Player().Seek(std::max(0, duration - 1500));
    // Row 0's last picture is the last one late in its recording; row 1's first is
    // the next one from its start.
    const std::size_t from = watch.pictures_.size();
    auto switched = [&] {
      for (std::size_t k = from + 1; k < watch.pictures_.size(); ++k)
        if (watch.pictures_[k].timestamp < kStartWindow && watch.pictures_[k - 1].timestamp >= kStartWindow) return k;
      return std::size_t{0};
    };
    Spin([&] { return switched() != 0; }, 10000);
    if (const std::size_t k = switched()) endGaps.push_back(Ms(watch.pictures_[k - 1].at, watch.pictures_[k].at));
    Spin(loaded, 10000);
  }

  const double graph = Median(graphOpen);
  const double load = Median(loadToPicture);
  std::printf("load to first picture: viewer %.1f ms, graph alone %.1f ms, over the graph %.1f ms (target < 250)\n",
              load, graph, load - graph);
  std::printf("end of a recording, no new picture for: %.1f ms (median of %zu; target < 50, one frame)\n",
              Median(endGaps), endGaps.size());
  std::printf(
      "window thread lateness: longest %.1f ms, mean %.2f ms during loads, seeks and sliders "
      "(target < 50); idle window longest %.1f ms\n",
      busyWorst, busyMean, idleWorst);
  return 0;
}
