#pragma once
// The small horizontal slider of the control bar (playback speed and picture
// brightness): a 66 x 9 channel cut from `channelImage` and an 11 x 13 thumb from
// `thumbImage`. Clicking the channel pages toward the click, the thumb drags, the wheel
// steps; each change made by the user is reported with Scrolled (setValue is silent,
// as an owner's own moves are).

#include <QAbstractSlider>

#include "controls/SkinPalette.h"

class CBbSimpleSliderCtrl : public QAbstractSlider {
  Q_OBJECT

 public:
  static constexpr int kChannelWidth = 66;
  static constexpr int kChannelHeight = 9;
  static constexpr int kThumbWidth = 11;
  static constexpr int kThumbHeight = 13;

  CBbSimpleSliderCtrl(int controlId, QWidget* parent);

  int channelImage = 0;
  int thumbImage = 0;
  COLORREF backgroundColour = skin::kBarBackground;
  int margin = 15;

  // Playback rate for a speed slider at position p (0..100): 0.1 at 0, 1.0 at 50, 2.0 at 100.
  static float SpeedFactor(int position);
  float SpeedFactor() const { return SpeedFactor(value()); }
  // Decoder brightness offset for a brightness slider at position p: -255..255.
  static int BrightnessOffset(int position);
  int BrightnessOffset() const { return BrightnessOffset(value()); }

  // Left edge of the thumb for the current value.
  int ThumbLeft() const;
  // The value a thumb whose centre is at x stands for.
  int ValueAt(int x) const;

 signals:
  void Scrolled(int controlId, int position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void MoveByUser(int position);

  bool draggingThumb = false;
  int dragOffset = 0;
};
