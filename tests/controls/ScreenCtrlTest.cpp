// The screen control as a channel window: pictures handed over from another thread,
// stretched over the whole client area, kept until replaced; and its context menu.
#include <gtest/gtest.h>

#include <QTest>
#include <cstring>
#include <thread>

#include "ControlTestSupport.h"
#include "controls/CBbScreenCtrl.h"

namespace {

// A w x h picture of one B, G, R colour.
playback::VideoFrame SolidFrame(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  auto* bytes = new std::uint8_t[static_cast<size_t>(w) * h * 4];
  for (int i = 0; i < w * h; ++i) {
    bytes[i * 4] = b;
    bytes[i * 4 + 1] = g;
    bytes[i * 4 + 2] = r;
    bytes[i * 4 + 3] = 255;
  }
  playback::VideoFrame frame;
  frame.width = w;
  frame.height = h;
  frame.stride = w * 4;
  frame.pixels = std::shared_ptr<const std::uint8_t>(bytes, std::default_delete<std::uint8_t[]>());
  return frame;
}

TEST(ScreenCtrl, FrameFromStreamingThreadIsStretchedOverClient) {
  TestApp();
  CBbScreenCtrl screen(1004, nullptr);
  screen.resize(320, 180);
  ShowAndSettle(&screen);
  EXPECT_EQ(screen.ClientWidth(), 320);
  EXPECT_EQ(screen.ClientHeight(), 180);
  std::thread streaming([&] { screen.PresentFrame(SolidFrame(16, 9, 10, 200, 30)); });
  streaming.join();
  QCoreApplication::processEvents();
  const QImage shot = Grab(&screen);
  EXPECT_EQ(shot.pixel(0, 0), qRgb(30, 200, 10));
  EXPECT_EQ(shot.pixel(319, 179), qRgb(30, 200, 10));
  EXPECT_EQ(screen.CurrentImage().size(), QSize(16, 9));
}

TEST(ScreenCtrl, KeepsLastFrameUntilCleared) {
  TestApp();
  CBbScreenCtrl screen(1005, nullptr);
  screen.resize(64, 36);
  screen.PresentFrame(SolidFrame(4, 4, 0, 0, 255));
  screen.RequestRepaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(Grab(&screen).pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_FALSE(screen.LastFrame().IsEmpty());
  screen.ClearFrame();
  EXPECT_TRUE(screen.LastFrame().IsEmpty());
  EXPECT_TRUE(screen.CurrentImage().isNull());
}

TEST(ScreenCtrl, RightClickAsksForLanguagePopupOnlyForKnownLanguages) {
  TestApp();
  CBbScreenCtrl screen(1004, nullptr);
  screen.resize(64, 36);
  int popup = -100;
  QObject::connect(&screen, &CBbScreenCtrl::ContextMenuRequested, [&](int index, const QPoint&) { popup = index; });
  screen.languageIndex = 1;
  Press(&screen, QPoint(5, 5), Qt::RightButton);
  EXPECT_EQ(popup, 4);
  screen.languageIndex = 4;
  Press(&screen, QPoint(5, 5), Qt::RightButton);
  EXPECT_EQ(popup, 20);
  popup = -100;
  screen.languageIndex = 12;
  Press(&screen, QPoint(5, 5), Qt::RightButton);
  EXPECT_EQ(popup, -100);
}

}  // namespace
