#pragma once
// The bitmap scroll bar beside the file list (the list's own bars are off). It sits
// right of the list in the list's parent, follows the list's scroll position, and
// scrolls it: a line per click on an arrow (on release), a line every 50 ms while an
// arrow is held past 250 ms, a page per click on the track, and by dragging the thumb.

#include <QBasicTimer>
#include <QWidget>

class CBbListCtrl;

class CSkinVerticleScrollbar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kControlId = 0xFFFF;
  // Timer ids: the first hold delay, then the repeat while held.
  static constexpr int kTimerRepeat = 1;
  static constexpr int kTimerHoldDelay = 2;
  static constexpr int kHoldDelayMs = 250;
  static constexpr int kRepeatMs = 50;

  explicit CSkinVerticleScrollbar(QWidget* parent);

  CBbListCtrl* list = nullptr;
  bool upPressed = false;
  bool downPressed = false;
  bool thumbDragging = false;
  int thumbTop = 37;
  int barWidth = 18;
  int thumbHeight = 18;
  int arrowZone = 36;
  double scale = 0.0;

  // Follows the list's scroll position: recomputes `scale` and `thumbTop` and redraws.
  void UpdateThumb();
  // The list has more rows than it shows; only then is the thumb drawn.
  bool HasScrollRange() const;

  bool IsTimerActive(int timerId) const;
  // Runs the work of timer `timerId` (what its tick does).
  void OnTimer(int timerId);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void ClampThumb();
  void ComputeScale();
  bool InUpButton(int y) const;
  bool InDownButton(int y) const;
  bool InThumb(int y) const;

  QBasicTimer repeatTimer;     // timer 1
  QBasicTimer holdDelayTimer;  // timer 2
};
