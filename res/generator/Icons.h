#pragma once
// Line and solid icons, designed on a 24 x 24 grid and scaled into any square box.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace gen {

enum class Icon {
  Open,
  Merge,
  Capture,
  Zoom,
  Print,
  Setting,
  Layout,
  About,
  Previous,
  Rewind,
  Play,
  Pause,
  Forward,
  Next,
  SpeedReset,
  BrightnessReset,
  SoundOn,
  Muted,
  MapOut,
  Close,
  Card,
  MapPinOff,
  GlobeOff,
  Logo
};

// Draws `icon` into `box` (square; the 24-unit grid is scaled to it). `stroke` is the
// line width in pixels for line icons.
void DrawIcon(QPainter& painter, Icon icon, const QRectF& box, const QColor& colour, qreal stroke = 1.6);

// A diagonal "not available" stroke across `box`.
void DrawSlash(QPainter& painter, const QRectF& box, const QColor& colour, qreal stroke);

}  // namespace gen
