// The graph feeding the viewer's real screen control, offscreen: pictures cross from
// the streaming threads to the widget only by queued calls and show up in it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include "PlaybackTestSupport.h"
#include "controls/CBbScreenCtrl.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"

using namespace playback;
using namespace playback_test;

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "playback_screen_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: tearing Qt down among the other statics at exit crashes.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Runs the UI thread's event loop for `ms` milliseconds.
void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) App().processEvents(QEventLoop::AllEvents, 10);
}

// Mean brightness of a widget's rendering.
double MeanGreen(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
  double sum = 0;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) sum += qGreen(rgb.pixel(x, y));
  return sum / (rgb.width() * rgb.height());
}

}  // namespace

TEST(ScreenPlayback, TheScreenControlShowsTheRecordingAtItsOwnSize) {
  App();
  CBbScreenCtrl front(0, nullptr), rear(0, nullptr);
  front.resize(160, 90);
  rear.resize(192, 108);
  front.show();
  rear.show();
  Pump(50);
  ASSERT_EQ(front.ClientWidth(), 160);

  CPlayer player;
  player.AttachWindows(&front, &rear);
  player.SetSourceOption(false);
  ASSERT_TRUE(player.Open(Recording("long").string()));
  Pump(100);
  const QImage first = front.CurrentImage();
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(first.width(), 160);
  EXPECT_EQ(first.height(), 90);
  EXPECT_EQ(rear.CurrentImage().width(), 192);

  ASSERT_EQ(player.Graph()->Play(), kSOk);
  Pump(600);
  const VideoFrame later = front.LastFrame();
  EXPECT_GT(later.timestamp, 2000000);
  // What the widget paints is the picture, not the idle picture or black.
  const QImage painted = front.grab().toImage();
  EXPECT_EQ(painted.width(), 160);
  EXPECT_GT(MeanGreen(painted), 10.0);
  // Resized, the next repaint of the graph brings the picture at the new size.
  front.resize(120, 60);
  Pump(50);
  ASSERT_EQ(player.Graph()->Pause(), kSOk);
  ASSERT_EQ(player.Graph()->RepaintAll(), kSOk);
  Pump(50);
  EXPECT_EQ(front.CurrentImage().width(), 120);
  EXPECT_EQ(front.CurrentImage().height(), 60);
  player.Close();
}
