#pragma once
// The push button of every skinned window: its whole face is one skin picture chosen
// from up to five (normal, pressed, hover, disabled, selected). Toggle buttons are
// ordinary buttons whose owner flips `selected`.
//
// Owners write the fields directly and call Redraw. A click, by mouse or by key, reaches
// the owner one way only: the Clicked signal with the control id, once per click,
// wherever the button sits (also inside a panel).
//
// `enabled` is the skin's own enabled state: a button with `enabled` false stays a live
// widget but swallows presses, releases and keys and never shows its hover picture.

#include <QAbstractButton>

class CBbButtonCtrl : public QAbstractButton {
  Q_OBJECT

 public:
  CBbButtonCtrl(int controlId, QWidget* parent);

  int normalImage = 0;
  int pressedImage = 0;
  int hoverImage = 0;
  int disabledImage = 0;
  int selectedImage = 0;
  bool selected = false;
  bool enabled = true;
  // False: the area around a PNG face is 0x0A0A0A. True: it continues the top bar
  // (stripe and tile) while the parent's "layoutMode" property is 1, else the bar grey.
  bool backgroundMode = false;
  // The hover picture has been shown; the parent clears it when the mouse crosses its
  // own surface, which lets the hover picture appear on the next entry.
  bool hoverShown = false;

  // Sets the four state pictures at once (0 = none).
  void SetImages(int normal, int pressed, int hover, int disabled);

  // The picture the rules choose at rest: enabled ? (selected ? selected : normal) : disabled.
  int CurrentImage() const;
  // The picture on the face now (after the mouse events' own drawing).
  int ShownImage() const { return shownImage; }

  // Draws the current picture at once.
  void Redraw();

 signals:
  void Clicked(int controlId);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Show(int image);
  void DrawButtonImage(QPainter& painter, int image) const;
  void PaintBackground(QPainter& painter) const;
  void ReportClick();

  int shownImage = 0;
  // A leave is reported once per hover: the hover arms it, the leave disarms it.
  bool leaveArmed = false;
};
