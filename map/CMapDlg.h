#pragma once
// The map's own window: a frameless, resizable tool window above the main window with
// a close button, the caption and coordinate texts and a map panel. It moves when
// dragged by its surface and resizes from 10-pixel bands along its edges, never below
// 300 x 300. Escape does not close it; the close button (and a close by the window
// system) hands the map back to the main window through CloseRequested.

#include <QPoint>
#include <QRect>
#include <QWidget>

#include "map/MapDlgGeometry.h"

class CBbButtonCtrl;
class CBbMapPanelCtrl;
class CBbTextCtrl;
class MapHost;

class CMapDlg : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kIdClose = 1031;
  static constexpr int kIdPanel = 1201;
  static constexpr int kIdCaptionText = 1202;
  static constexpr int kIdCoordText = 1203;
  static constexpr int kCaptionTextKind = 5;
  static constexpr int kCoordTextKind = 6;
  // Where the window first appears (hidden).
  static constexpr QPoint kInitialPosition{800, 100};

  // `parent` is the main window: the map window stays above it and goes with it.
  explicit CMapDlg(QWidget* parent);

  // Where the position for ShowPosition after a resize comes from (may be null).
  void SetHost(MapHost* mapHost) { host = mapHost; }

  CBbMapPanelCtrl* Panel() const { return panel; }
  CBbButtonCtrl* CloseButton() const { return closeButton; }
  CBbTextCtrl* CaptionText() const { return captionText; }
  CBbTextCtrl* CoordText() const { return coordText; }

  // The coordinates the main window shows, for the window's own text (1203).
  void SetCoordinates(float latitude, float longitude);
  // Places the controls for the current client size.
  void ApplyLayout();

  // A drag that the window system did not take over (the offscreen platform, or no
  // support for it): true while this window resizes or moves itself.
  bool Resizing() const { return resizing; }

 signals:
  void CloseRequested();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DragTo(QPoint globalPos);
  void UpdateCursor(QPoint pos);

  MapHost* host = nullptr;
  CBbButtonCtrl* closeButton = nullptr;
  CBbMapPanelCtrl* panel = nullptr;
  CBbTextCtrl* captionText = nullptr;
  CBbTextCtrl* coordText = nullptr;

  bool resizing = false;
  bool moving = false;
  bool movePending = false;
  mapview::FrameGrip grip = mapview::FrameGrip::None;
  QPoint dragStart;
  QRect dragStartGeometry;
};
