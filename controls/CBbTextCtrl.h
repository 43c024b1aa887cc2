#pragma once
// The one read-only text display of the skinned windows. `kind` (1 to 16) chooses a
// fixed layout: play time and speed factor, G-sensor values, coordinates, captions, the
// about box's title and version, the loading dialog's lines, and the rows of the file
// information view. The owner writes the values and calls update(); the control
// formats and draws them.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

#include "controls/SkinPalette.h"

class CBbTextCtrl : public QWidget {
  Q_OBJECT

 public:
  CBbTextCtrl(int controlId, int kind, QWidget* parent);

  int kind = 0;
  QString countAll, countNormal, countEvent, countParking;
  QString sizeAll, sizeNormal, sizeEvent, sizeParking;
  bool hasGsensor = false;
  int durationMs = 0;
  int positionMs = 0;
  // Kind 1: the position with its milliseconds (while paused).
  bool showMilliseconds = false;
  float speedFactor = 1.0f;
  // Kind 1: the GPS clock at the position, owner-formatted; empty without a dated fix.
  QString clockText;
  double gX = 0.0;
  double gY = 0.0;
  double gZ = 0.0;
  float latitude = 0.0f;
  float longitude = 0.0f;
  COLORREF backgroundColour = skin::kWindowBackground;

  // One piece of text of a layout: drawn with its top-left corner at `at`.
  struct TextRun {
    QPoint at;
    QString text;
    COLORREF colour = skin::kDefaultText;
    int fontHeight = 13;
  };
  // What the current `kind` and values draw (empty when nothing).
  std::vector<TextRun> Layout() const;

  // "mm:ss": minutes = ms / 60000 (not wrapped at 60), seconds = ms / 1000 - minutes * 60;
  // with `milliseconds`, "mm:ss.mmm".
  static QString FormatTime(int ms, bool milliseconds = false);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
