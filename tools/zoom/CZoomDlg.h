#pragma once
// The zoom window: a small always-on-top tool window that shows the screen around the
// mouse cursor enlarged `zoomFactor` times, 25 times a second while it is shown. It
// magnifies whatever the screen shows (a number plate in the video, a sign), and its
// own area appears flat grey so that it never magnifies itself.
//
// The main window creates it once, hidden, and toggles it with its Zoom command; the
// caption's close box only hides it. Where the desktop refuses screen capture (Wayland)
// it shows a notice instead of a picture.

#include <QBasicTimer>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/zoom/ZoomGeometry.h"

class QScreen;

class CZoomDlg : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMagnifyPeriodMs = 40;
  static constexpr int kInitialX = 800;
  static constexpr int kInitialY = 200;
  static constexpr int kInitialWidth = 425;
  static constexpr int kInitialHeight = 330;
  static constexpr uint32_t kSrcCopy = 0x00CC0020;

  // Created hidden at (800, 200), 425 x 330, above `owner` and destroyed with it.
  explicit CZoomDlg(QWidget* owner);
  ~CZoomDlg() override;

  bool zoomVisible = false;
  int32_t zoomFactor = 3;
  // The final stretch copies the source; no other raster operation is offered.
  uint32_t rasterOp = kSrcCopy;

  // Reads `part` (in the screen's own coordinates) of `screen`; a null picture when the
  // desktop gives none. QScreen::grabWindow unless a test puts another in its place.
  using ScreenGrab = std::function<QPixmap(QScreen* screen, const QRect& part)>;
  ScreenGrab grabScreen;
  static QPixmap GrabScreenPart(QScreen* screen, const QRect& part);

  // The main window's Zoom command: hides a shown window; otherwise sets the caption
  // (language string 208) and shows it. Magnifies only while shown.
  void ToggleZoom();

  // One magnification now: reads the source around the cursor and repaints. The timer
  // calls it every 40 ms while the window is shown.
  void Magnify();

  // The source picture of the last magnification (before stretching), its own area grey.
  const QImage& SourcePicture() const { return sourcePicture; }
  // The plan of the last magnification.
  const zoom::ZoomPlan& LastPlan() const { return plan; }
  // The desktop refused the last capture: the window shows the notice.
  bool CaptureRefused() const { return captureRefused; }
  // Magnifications so far.
  int64_t MagnifyCount() const { return magnifyCount; }
  bool MagnifyTimerActive() const { return magnifyTimer.isActive(); }

 protected:
  void timerEvent(QTimerEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void HideZoom();
  // The caption from language string 208 (kept as it is without a library).
  void SetCaption();
  // Grabs `source` (desktop coordinates) from every screen it crosses; false when a
  // screen gives no picture.
  bool GrabSource(const zoom::Rect& source, QImage& picture) const;

  QBasicTimer magnifyTimer;
  zoom::ZoomPlan plan;
  QImage sourcePicture;
  bool captureRefused = false;
  bool waylandSession = false;
  // The platform plugin cannot change while the application runs.
  std::string platformName;
  int64_t magnifyCount = 0;
};
