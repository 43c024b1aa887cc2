#pragma once
// The 11-step volume bar: skin 20001 is the empty bar, 20002 the filled part. A click
// sets the level from the x position and posts kMsgVolumeLevel (wParam = level) to the
// parent, which applies it; the parent may also set `level` and repaint.

#include <QWidget>

class CBbVolumeCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultWidth = 70;
  static constexpr int kDefaultHeight = 21;
  static constexpr int kMaxLevel = 10;

  CBbVolumeCtrl(int controlId, QWidget* parent);

  int level = 5;
  // Drawn as empty whatever the level (while the sound is muted).
  bool drawEmpty = false;

  // The level a click at x gives on a bar `clientWidth` pixels wide.
  static int LevelAt(int x, int clientWidth);
  // Width of the filled part for `level`.
  static int FilledWidth(int level, int clientWidth);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};
