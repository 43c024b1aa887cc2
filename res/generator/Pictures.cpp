// The larger pictures: the idle picture of the video area and the application icon.

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>

#include "res/generator/Drawers.h"
#include "res/generator/Style.h"

namespace gen {

QImage DrawIdlePicture() {
  const int w = 1280, h = 720;
  QImage image = NewImage(w, h, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  // The picture is letter- or pillar-boxed on the window background, so every edge fades
  // to exactly that colour: an elliptical glow that ends at the edges, and lines that fade
  // out before them.
  p.save();
  p.translate(w / 2.0, h / 2.0);
  p.scale(w / 2.0, h / 2.0);
  QRadialGradient glow(QPointF(0, 0), 1.0, QPointF(0, -0.08));
  glow.setColorAt(0, QColor(0x1B, 0x1D, 0x1E));
  glow.setColorAt(0.55, QColor(0x11, 0x12, 0x12));
  glow.setColorAt(0.97, kWindowBg);
  glow.setColorAt(1, kWindowBg);
  p.fillRect(QRectF(-1, -1, 2, 2), glow);
  p.restore();

  // A faint road vanishing toward the horizon behind the mark.
  const qreal horizon = h * 0.74;
  const QColor line(0x20, 0x22, 0x23);
  QLinearGradient down(0, horizon, 0, h);
  down.setColorAt(0, line);
  down.setColorAt(1, kWindowBg);
  p.setPen(QPen(QBrush(down), 3));
  p.drawLine(QPointF(w * 0.5 - 30, horizon), QPointF(w * 0.5 - 330, h));
  p.drawLine(QPointF(w * 0.5 + 30, horizon), QPointF(w * 0.5 + 330, h));
  p.setPen(QPen(QBrush(down), 3, Qt::DashLine));
  p.drawLine(QPointF(w * 0.5, horizon + 8), QPointF(w * 0.5, h));
  QLinearGradient across(0, 0, w, 0);
  across.setColorAt(0, kWindowBg);
  across.setColorAt(0.3, line);
  across.setColorAt(0.7, line);
  across.setColorAt(1, kWindowBg);
  p.fillRect(QRectF(0, horizon, w, 1), across);

  const qreal mark = 150;
  const QRectF box(w / 2.0 - mark / 2, h * 0.26, mark, mark);
  DrawIcon(p, Icon::Logo, box, QColor(0x4A, 0x4E, 0x50), 5);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawEllipse(box.topLeft() + QPointF(mark * 12 / 24, mark * 12.2 / 24), mark * 1.5 / 24, mark * 1.5 / 24);

  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(38);
  title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(title);
  p.setPen(QColor(0x70, 0x74, 0x76));
  const QString text = QStringLiteral("Tarvo Viewer");
  const qreal tw = QFontMetricsF(title).horizontalAdvance(text);
  p.drawText(QPointF((w - tw) / 2, h * 0.26 + mark + 60), text);
  p.fillRect(QRectF(w / 2.0 - 24, h * 0.26 + mark + 84, 48, 2), kAccentDark);
  return image;
}

void PaintAppIcon(QPainter& p) {
  QLinearGradient body(0, 0, 0, 256);
  body.setColorAt(0, QColor(0x2E, 0x31, 0x33));
  body.setColorAt(1, QColor(0x0F, 0x10, 0x11));
  p.setPen(QPen(QColor(0x45, 0x48, 0x4A), 4));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(10, 10, 236, 236), 52, 52);
  DrawIcon(p, Icon::Logo, QRectF(28, 28, 200, 200), QColor(0xEE, 0xEE, 0xEE), 13);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawEllipse(QPointF(128, 28 + 200 * 12.2 / 24), 30, 30);
  p.setBrush(QColor(0x0F, 0x10, 0x11));
  p.drawEllipse(QPointF(128, 28 + 200 * 12.2 / 24), 13, 13);
  p.setBrush(QColor(0xE5, 0x48, 0x3B));
  p.drawEllipse(QPointF(196, 62), 14, 14);
}

QImage DrawAppIcon(int size) {
  QImage image = NewImage(size, size, Qt::transparent);
  QPainter p(&image);
  Smooth(p);
  const qreal s = size / 256.0;
  p.scale(s, s);
  PaintAppIcon(p);
  return image;
}

}  // namespace gen
