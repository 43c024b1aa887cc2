#include "res/generator/Style.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "res/SkinIds.h"

namespace gen {

QImage NewImage(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void Smooth(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor TopBarRow(int y) {
  // A hairline of the stripe grey at the very top, fading into the window background
  // within the first nine rows, so that everything from row 9 on (where the buttons
  // start) is exactly the window background.
  static const int kRows[9] = {0x50, 0x30, 0x26, 0x20, 0x1B, 0x17, 0x13, 0x10, 0x0D};
  if (y < 0 || y >= 9) return kWindowBg;
  const int v = kRows[y];
  return QColor(v, v, v);
}

QFont LanguageFont(int language, qreal pixelSize, bool bold, bool condensed) {
  QString family;
  switch (language) {
    case skin::kLanguageKorean:
      family = QStringLiteral("Noto Sans CJK KR");
      break;
    case skin::kLanguageJapanese:
      family = QStringLiteral("Noto Sans CJK JP");
      break;
    case skin::kLanguageChinese:
      family = QStringLiteral("Noto Sans CJK SC");
      break;
    default:
      family = condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans");
      break;
  }
  QFont font(family);
  font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK KR")});
  font.setPixelSize(std::max(1, static_cast<int>(pixelSize + 0.5)));
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QFont FitFont(QFont font, const QString& text, qreal maxWidth, qreal minPixels) {
  for (int px = font.pixelSize(); px > static_cast<int>(minPixels); --px) {
    font.setPixelSize(px);
    if (QFontMetricsF(font).horizontalAdvance(text) <= maxWidth) return font;
  }
  font.setPixelSize(static_cast<int>(minPixels));
  return font;
}

void RoundedBox(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill, const QColor& border) {
  painter.save();
  if (border.alpha() > 0) {
    painter.setPen(QPen(border, 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);
  }
  painter.restore();
}

void CentredText(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour) {
  const QFontMetricsF metrics(painter.font());
  const qreal width = metrics.horizontalAdvance(text);
  // Latin caps, Cyrillic and CJK glyphs all rise about the cap height above the baseline.
  qreal capHeight = metrics.capHeight();
  if (capHeight <= 0) capHeight = metrics.ascent() * 0.72;
  const qreal x = rect.left() + (rect.width() - width) / 2.0;
  const qreal baseline = rect.top() + (rect.height() + capHeight) / 2.0;
  painter.save();
  painter.setPen(colour);
  painter.drawText(QPointF(std::round(x), std::round(baseline)), text);
  painter.restore();
}

}  // namespace gen
