#pragma once
// The speed readout of the control bar: one decimal in skin digits (for example 41.4)
// on a background that carries the unit, km/h or mph by the viewer's SPEED setting.
// The owner sets the value (already in that unit) and has it drawn at once.

#include <QWidget>
#include <vector>

class CBbSpeedCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kControlId = 1003;
  static constexpr int kWidth = 124;
  static constexpr int kHeight = 38;
  static constexpr int kDigitTop = 11;
  static constexpr int kPointX = 55;

  explicit CBbSpeedCtrl(QWidget* parent);

  double value = 0.0;

  void SetValue(double speed);
  // Paints at once.
  void Redraw();

  // One skin picture of the readout at its left x (all at y = kDigitTop).
  struct Glyph {
    int image;
    int x;
    bool operator==(const Glyph&) const = default;
  };
  // The digits and point that `speed` is drawn with, left to right; the point last.
  static std::vector<Glyph> Glyphs(double speed);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
