// Strips, thumbs, tiles, the scroll bar, the volume bar and the speed readout.

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <vector>

#include "res/SkinIds.h"
#include "res/generator/Drawers.h"
#include "res/generator/Style.h"

namespace gen {
namespace {

const QColor kGrooveBorder{0x1D, 0x1D, 0x1D};
const QColor kTrackFill{0x18, 0x18, 0x18};
const QColor kTrackEdge{0x0F, 0x0F, 0x0F};
// The readout's display window; digits are blended against exactly this colour.
const QColor kLcdFill{0x0C, 0x12, 0x14};
const QColor kLcdGhost{0x15, 0x1F, 0x22};
const QColor kDigitColour{0xE6, 0xF4, 0xF6};

QColor Mix(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Seven-segment digit shapes on a 10 x 18 cell.
QPolygonF HorizontalSegment(qreal x0, qreal x1, qreal yc, qreal t) {
  return QPolygonF({{x0, yc},
                    {x0 + t / 2, yc - t / 2},
                    {x1 - t / 2, yc - t / 2},
                    {x1, yc},
                    {x1 - t / 2, yc + t / 2},
                    {x0 + t / 2, yc + t / 2}});
}
QPolygonF VerticalSegment(qreal xc, qreal y0, qreal y1, qreal t) {
  return QPolygonF({{xc, y0},
                    {xc + t / 2, y0 + t / 2},
                    {xc + t / 2, y1 - t / 2},
                    {xc, y1},
                    {xc - t / 2, y1 - t / 2},
                    {xc - t / 2, y0 + t / 2}});
}

std::vector<QPolygonF> Segments(int digit, qreal dx) {
  // Segment order a b c d e f g; bit set = lit.
  static const int kMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  const qreal t = 2.3;
  const QPolygonF all[7] = {
      HorizontalSegment(1.4, 8.6, 1.15, t),   // a
      VerticalSegment(8.85, 1.4, 8.7, t),     // b
      VerticalSegment(8.85, 9.3, 16.6, t),    // c
      HorizontalSegment(1.4, 8.6, 16.85, t),  // d
      VerticalSegment(1.15, 9.3, 16.6, t),    // e
      VerticalSegment(1.15, 1.4, 8.7, t),     // f
      HorizontalSegment(1.4, 8.6, 9.0, t),    // g
  };
  std::vector<QPolygonF> lit;
  const int mask = digit < 0 ? 0x7F : kMasks[digit];
  for (int i = 0; i < 7; ++i) {
    if (mask & (1 << i)) lit.push_back(all[i].translated(dx, 0));
  }
  return lit;
}

// Renders `shapes` in `colour` over `background`, then turns every pixel the shapes do
// not touch into the exact key colour, so edges stay smooth against the display window
// and the rest is left to the readout behind.
QImage KeyedGlyph(int width, int height, const std::vector<QPolygonF>& shapes, const QRectF& dot) {
  QImage image = NewImage(width, height, kLcdFill);
  QImage mask = NewImage(width, height, Qt::black);
  for (QImage* target : {&image, &mask}) {
    QPainter p(target);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(target == &image ? kDigitColour : QColor(Qt::white));
    for (const QPolygonF& shape : shapes) p.drawPolygon(shape);
    if (!dot.isEmpty()) p.drawRoundedRect(dot, 0.6, 0.6);
  }
  image = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (qRed(mask.pixel(x, y)) == 0) image.setPixel(x, y, qRgb(0xFF, 0xFF, 0xFF));
    }
  }
  return image;
}

}  // namespace

QImage DrawTopBarTile() {
  QImage image = NewImage(100, 33, kWindowBg);
  for (int y = 0; y < 33; ++y) {
    const QRgb rgb = TopBarRow(y).rgb();
    for (int x = 0; x < 100; ++x) image.setPixel(x, y, rgb);
  }
  return image;
}

QImage DrawSeekChannel() {
  // Rows 1..7 are the groove the progress tiles cover; row 9 is left to the background.
  QImage image = NewImage(547, 10, kWindowBg);
  QPainter p(&image);
  QLinearGradient groove(0, 1, 0, 8);
  groove.setColorAt(0, QColor(0x22, 0x22, 0x22));
  groove.setColorAt(1, QColor(0x30, 0x30, 0x30));
  p.fillRect(QRect(0, 0, 547, 1), kGrooveBorder);
  p.fillRect(QRect(0, 1, 547, 7), groove);
  p.fillRect(QRect(0, 8, 547, 1), QColor(0x26, 0x26, 0x26));
  // End caps: a border column and softened corners.
  for (int x : {0, 546}) {
    p.fillRect(QRect(x, 1, 1, 7), kGrooveBorder);
    image.setPixel(x, 0, kWindowBg.rgb());
    image.setPixel(x, 8, kWindowBg.rgb());
  }
  for (int x : {1, 545}) {
    image.setPixel(x, 0, Mix(kWindowBg, kGrooveBorder, 0.5).rgb());
    image.setPixel(x, 8, Mix(kWindowBg, QColor(0x26, 0x26, 0x26), 0.5).rgb());
  }
  return image;
}

QImage DrawProgressTile() {
  QImage image = NewImage(3, 7, kAccent);
  const QColor rows[7] = {
      QColor(0x86, 0xDC, 0xEA), QColor(0x52, 0xC2, 0xD4), kAccent, kAccent, QColor(0x2A, 0x9A, 0xAF),
      QColor(0x24, 0x8B, 0x9E), QColor(0x1D, 0x76, 0x86)};
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 3; ++x) image.setPixel(x, y, rows[y].rgb());
  }
  return image;
}

QImage DrawSeekThumb() {
  QImage image = NewImage(11, 22, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  QLinearGradient fill(0, 0, 0, 22);
  fill.setColorAt(0, QColor(0xF6, 0xF6, 0xF6));
  fill.setColorAt(1, QColor(0xC4, 0xC4, 0xC4));
  p.setPen(QPen(QColor(0x5A, 0x5A, 0x5A), 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, 10, 21), 3, 3);
  p.fillRect(QRect(5, 7, 1, 8), kAccentDark);
  return image;
}

QImage DrawSliderChannel() {
  QImage image = NewImage(66, 9, kBarBg);
  QPainter p(&image);
  Smooth(p);
  RoundedBox(p, QRectF(0, 2, 66, 5), 2.5, QColor(0x0C, 0x0C, 0x0C), QColor(0x3C, 0x3C, 0x3C));
  return image;
}

QImage DrawSliderThumb() {
  // Column 0 is never drawn (the thumb is cut from x = 1).
  QImage image = NewImage(12, 13, kBarBg);
  QPainter p(&image);
  Smooth(p);
  QLinearGradient fill(0, 1, 0, 12);
  fill.setColorAt(0, QColor(0xF4, 0xF4, 0xF4));
  fill.setColorAt(1, QColor(0xC2, 0xC2, 0xC2));
  p.setPen(QPen(QColor(0x5A, 0x5A, 0x5A), 1));
  p.setBrush(fill);
  p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(kAccentDark);
  p.drawEllipse(QPointF(6.5, 6.5), 1.7, 1.7);
  return image;
}

QImage DrawScrollPiece(int id) {
  const bool track = id == skin::kScrollTrack;
  QImage image = NewImage(track ? 12 : 18, track ? 1 : 18, kPanelBg);
  QPainter p(&image);
  Smooth(p);
  if (track) {
    p.fillRect(QRect(0, 0, 12, 1), kTrackFill);
    p.fillRect(QRect(0, 0, 1, 1), kTrackEdge);
    p.fillRect(QRect(11, 0, 1, 1), kTrackEdge);
    return image;
  }
  // The pieces continue the stretched track: 18 wide with 1.5-pixel edges.
  auto trackBody = [&](const QRectF& rect, qreal radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(kTrackEdge);
    p.drawRoundedRect(rect, radius, radius);
    p.setBrush(kTrackFill);
    p.drawRoundedRect(rect.adjusted(1.5, 0, -1.5, 0), radius, radius);
  };
  const QColor arrow(0xA6, 0xA6, 0xA6);
  switch (id) {
    case skin::kScrollTopCap:
      trackBody(QRectF(0, 0, 18, 26), 5);
      p.setPen(QPen(QColor(0x2C, 0x2C, 0x2C), 1));
      p.drawLine(QPointF(5, 17.5), QPointF(13, 17.5));
      break;
    case skin::kScrollBottomCap:
      trackBody(QRectF(0, -8, 18, 26), 5);
      p.setPen(QPen(QColor(0x2C, 0x2C, 0x2C), 1));
      p.drawLine(QPointF(5, 0.5), QPointF(13, 0.5));
      break;
    case skin::kScrollUp:
    case skin::kScrollDown: {
      trackBody(QRectF(0, -4, 18, 26), 0);
      p.setPen(QPen(arrow, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      QPainterPath chevron;
      if (id == skin::kScrollUp) {
        chevron.moveTo(5, 11);
        chevron.lineTo(9, 7);
        chevron.lineTo(13, 11);
      } else {
        chevron.moveTo(5, 7);
        chevron.lineTo(9, 11);
        chevron.lineTo(13, 7);
      }
      p.drawPath(chevron);
      break;
    }
    case skin::kScrollThumb: {
      trackBody(QRectF(0, -4, 18, 26), 0);
      QLinearGradient fill(3, 0, 15, 0);
      fill.setColorAt(0, QColor(0x6A, 0x6A, 0x6A));
      fill.setColorAt(1, QColor(0x56, 0x56, 0x56));
      p.setPen(QPen(QColor(0x7C, 0x7C, 0x7C), 1));
      p.setBrush(fill);
      p.drawRoundedRect(QRectF(4.5, 1.5, 9, 15), 4, 4);
      p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 1));
      for (int y : {7, 9, 11}) p.drawLine(QPointF(7, y + 0.5), QPointF(11, y + 0.5));
      break;
    }
    default:
      break;
  }
  return image;
}

QImage DrawVolume(bool full) {
  // Ten bars on a 7-pixel pitch, so level n lights exactly the first n bars.
  QImage image = NewImage(70, 21, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 10; ++i) {
    const qreal height = 5 + i * 1.5;
    const QRectF bar(7 * i + 1, 19 - height, 5, height);
    p.setBrush(full ? Mix(kAccent, kAccentLight, i / 9.0) : QColor(0x2C, 0x2C, 0x2C));
    p.drawRoundedRect(bar, 1.2, 1.2);
  }
  return image;
}

QImage DrawSpeedBackground(bool mph) {
  QImage image = NewImage(124, 38, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  QLinearGradient body(0, 0, 0, 38);
  body.setColorAt(0, QColor(0x1C, 0x1C, 0x1C));
  body.setColorAt(1, QColor(0x12, 0x12, 0x12));
  p.setPen(QPen(QColor(0x34, 0x34, 0x34), 1));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(0.5, 0.5, 123, 37), 7, 7);
  // The display window holds the four digit places (x 20..69, y 11..28).
  p.setPen(QPen(QColor(0x06, 0x08, 0x09), 1));
  p.setBrush(kLcdFill);
  p.drawRoundedRect(QRectF(13.5, 6.5, 63, 25), 3, 3);
  p.setPen(Qt::NoPen);
  p.fillRect(QRect(14, 7, 62, 24), kLcdFill);
  // Unlit segments show faintly in every place, as on a real display.
  p.setBrush(kLcdGhost);
  for (int x : {20, 32, 44, 60}) {
    for (const QPolygonF& segment : Segments(-1, 0)) p.drawPolygon(segment.translated(x, 11));
  }
  p.drawRoundedRect(QRectF(55 + 1.7, 11 + 15.4, 2.6, 2.6), 0.6, 0.6);
  // Unit.
  QFont unit(QStringLiteral("DejaVu Sans"));
  unit.setPixelSize(12);
  unit.setBold(true);
  p.setFont(unit);
  const QString text = mph ? QStringLiteral("mph") : QStringLiteral("km/h");
  p.setPen(kAccentLight);
  // Centred in the space right of the display, on the digits' baseline.
  const qreal unitWidth = QFontMetricsF(unit).horizontalAdvance(text);
  p.drawText(QPointF(std::round(77 + (124 - 77 - unitWidth) / 2), 29), text);
  return image;
}

QImage DrawSpeedDigit(int digit) { return KeyedGlyph(10, 18, Segments(digit, 0), QRectF()); }

QImage DrawSpeedPoint() { return KeyedGlyph(6, 18, {}, QRectF(1.7, 15.4, 2.6, 2.6)); }

}  // namespace gen
