// Push buttons: the top bar (alpha PNGs), the window buttons, the control bar, the map
// buttons and the about box's card-information button.

#include <QLinearGradient>

#include "res/generator/Drawers.h"
#include "res/generator/Style.h"

namespace gen {
namespace {

QColor WithAlpha(QColor colour, int alpha) {
  colour.setAlpha(alpha);
  return colour;
}

}  // namespace

QImage DrawTopButton(Icon icon, ButtonState state) {
  QImage image = NewImage(32, 31, Qt::transparent);
  QPainter p(&image);
  Smooth(p);
  QColor iconColour = kIconNormal;
  qreal dy = 0;
  switch (state) {
    case ButtonState::Hover:
      RoundedBox(p, QRectF(1, 1, 30, 29), 6, QColor(255, 255, 255, 24), QColor(255, 255, 255, 40));
      iconColour = kIconHover;
      break;
    case ButtonState::Pressed:
      RoundedBox(p, QRectF(1, 1, 30, 29), 6, WithAlpha(kAccent, 80), WithAlpha(kAccentLight, 150));
      iconColour = kIconHover;
      dy = 1;
      break;
    case ButtonState::Disabled:
      iconColour = WithAlpha(kIconNormal, 56);
      break;
    default:
      break;
  }
  DrawIcon(p, icon, QRectF(6, 5.5 + dy, 20, 20), iconColour, 1.5);
  return image;
}

QImage DrawWindowButton(WindowButton which, ButtonState state) {
  QImage image = NewImage(30, 24, TopBarRow(9));
  QPainter p(&image);
  Smooth(p);
  QColor iconColour(0xB8, 0xB8, 0xB8);
  const bool close = which == WindowButton::Close;
  if (state == ButtonState::Hover) {
    RoundedBox(p, QRectF(0, 0, 30, 24), 4, close ? kDanger : QColor(0x2A, 0x2A, 0x2A), Qt::transparent);
    iconColour = Qt::white;
  } else if (state == ButtonState::Pressed) {
    RoundedBox(p, QRectF(0, 0, 30, 24), 4, close ? QColor(0x96, 0x28, 0x20) : QColor(0x38, 0x38, 0x38),
               Qt::transparent);
    iconColour = Qt::white;
  }
  switch (which) {
    case WindowButton::Minimise:
      p.fillRect(QRect(10, 12, 10, 1), iconColour);
      break;
    case WindowButton::Maximise:
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(iconColour, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRect(10, 7, 9, 9));
      p.fillRect(QRect(10, 7, 10, 2), iconColour);
      break;
    case WindowButton::Close:
      p.setPen(QPen(iconColour, 1.3, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(10.5, 7.5), QPointF(19.5, 16.5));
      p.drawLine(QPointF(19.5, 7.5), QPointF(10.5, 16.5));
      break;
  }
  return image;
}

QImage DrawTransportButton(Icon icon, ButtonState state) {
  QImage image = NewImage(32, 32, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  const bool primary = icon == Icon::Play || icon == Icon::Pause;
  QColor fill, border, iconColour;
  switch (state) {
    case ButtonState::Hover:
      fill = primary ? QColor(0x46, 0xBA, 0xCE) : QColor(0x26, 0x26, 0x26);
      border = primary ? kAccentLight : QColor(0x44, 0x44, 0x44);
      iconColour = Qt::white;
      break;
    case ButtonState::Pressed:
      fill = kAccentDark;
      border = kAccent;
      iconColour = Qt::white;
      break;
    case ButtonState::Disabled:
      fill = QColor(0x12, 0x12, 0x12);
      border = QColor(0x1C, 0x1C, 0x1C);
      iconColour = QColor(0x3C, 0x3C, 0x3C);
      break;
    default:
      fill = primary ? kAccent : QColor(0x1A, 0x1A, 0x1A);
      border = primary ? QColor(0x4F, 0xC2, 0xD4) : QColor(0x2C, 0x2C, 0x2C);
      iconColour = primary ? Qt::white : QColor(0xD2, 0xD2, 0xD2);
      break;
  }
  if (primary) {
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
  } else {
    RoundedBox(p, QRectF(1, 1, 30, 30), 8, fill, border);
  }
  // Solid play triangles look centred when nudged toward their point.
  const qreal dx = icon == Icon::Play ? 1 : 0;
  DrawIcon(p, icon, QRectF(6 + dx, 6, 20, 20), iconColour, 1.5);
  return image;
}

QImage DrawSmallButton(Icon icon, ButtonState state) {
  QImage image = NewImage(24, 24, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  QColor iconColour(0xB4, 0xB4, 0xB4);
  if (state == ButtonState::Pressed) {
    RoundedBox(p, QRectF(0, 0, 24, 24), 6, kAccentDark, kAccent);
    iconColour = Qt::white;
  } else {
    RoundedBox(p, QRectF(0, 0, 24, 24), 6, QColor(0x17, 0x17, 0x17), QColor(0x26, 0x26, 0x26));
  }
  DrawIcon(p, icon, QRectF(4, 4, 16, 16), iconColour, 1.35);
  return image;
}

QImage DrawMapButton(ButtonState state) {
  QImage image = NewImage(32, 32, kPanelBg);
  QPainter p(&image);
  Smooth(p);
  QColor iconColour(0xBC, 0xBC, 0xBC);
  if (state == ButtonState::Pressed) {
    RoundedBox(p, QRectF(3, 3, 26, 26), 6, kAccentDark, kAccent);
    iconColour = Qt::white;
  } else if (state == ButtonState::Disabled) {
    iconColour = QColor(0x3A, 0x3A, 0x3A);
  }
  DrawIcon(p, Icon::MapOut, QRectF(7, 7, 18, 18), iconColour, 1.4);
  return image;
}

QImage DrawMapClose(ButtonState state) {
  QImage image = NewImage(30, 24, kBarBg);
  QPainter p(&image);
  Smooth(p);
  QColor iconColour(0xB8, 0xB8, 0xB8);
  if (state == ButtonState::Hover) {
    RoundedBox(p, QRectF(0, 0, 30, 24), 4, kDanger, Qt::transparent);
    iconColour = Qt::white;
  } else if (state == ButtonState::Pressed) {
    RoundedBox(p, QRectF(0, 0, 30, 24), 4, QColor(0x96, 0x28, 0x20), Qt::transparent);
    iconColour = Qt::white;
  }
  p.setPen(QPen(iconColour, 1.3, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(10.5, 7.5), QPointF(19.5, 16.5));
  p.drawLine(QPointF(19.5, 7.5), QPointF(10.5, 16.5));
  return image;
}

QImage DrawCardInfo(ButtonState state) {
  QImage image = NewImage(83, 32, kWindowBg);
  QPainter p(&image);
  Smooth(p);
  const bool pressed = state == ButtonState::Pressed;
  QLinearGradient fill(0, 0, 0, 32);
  fill.setColorAt(0, pressed ? QColor(0x1A, 0x1A, 0x1A) : QColor(0x2A, 0x2A, 0x2A));
  fill.setColorAt(1, pressed ? QColor(0x22, 0x22, 0x22) : QColor(0x1C, 0x1C, 0x1C));
  p.setPen(QPen(pressed ? kAccent : QColor(0x44, 0x44, 0x44), 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, 82, 31), 6, 6);
  const qreal dy = pressed ? 1 : 0;
  DrawIcon(p, Icon::Card, QRectF(22, 6 + dy, 20, 20), QColor(0xD8, 0xD8, 0xD8), 1.4);
  DrawIcon(p, Icon::About, QRectF(44, 8 + dy, 16, 16), kAccentLight, 1.4);
  return image;
}

}  // namespace gen
