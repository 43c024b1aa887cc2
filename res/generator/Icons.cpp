#include "res/generator/Icons.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace gen {
namespace {

// Everything below is in grid units (0..24).
struct Pen {
  QPainter& p;
  QColor colour;
  qreal width;  // grid units

  void Line() {
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
  }
  void Fill() {
    p.setPen(QPen(colour, width * 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
  }
};

QPolygonF Tri(QPointF a, QPointF b, QPointF c) { return QPolygonF({a, b, c}); }

void Gear(QPainter& p) {
  QPainterPath path;
  const int teeth = 8;
  const qreal outer = 10.0, inner = 7.6;
  for (int i = 0; i < teeth * 4; ++i) {
    const qreal angle = (i / (teeth * 4.0)) * 2 * std::numbers::pi - std::numbers::pi / 2;
    const qreal r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
    // Teeth are narrow flats: shift the tooth corners a little toward each other.
    const qreal a = angle + ((i % 4 == 0) ? 0.09 : (i % 4 == 1) ? -0.09 : (i % 4 == 2) ? 0.05 : -0.05);
    const QPointF pt(12 + r * std::cos(a), 12 + r * std::sin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  p.drawPath(path);
  p.drawEllipse(QPointF(12, 12), 3.2, 3.2);
}

void Speaker(QPainter& p) {
  QPainterPath path;
  path.moveTo(3.5, 9.2);
  path.lineTo(7.5, 9.2);
  path.lineTo(12, 5);
  path.lineTo(12, 19);
  path.lineTo(7.5, 14.8);
  path.lineTo(3.5, 14.8);
  path.closeSubpath();
  p.drawPath(path);
}

void Slash(QPainter& p, const QColor& colour, qreal width) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 4), QPointF(20, 20));
}

}  // namespace

void DrawIcon(QPainter& painter, Icon icon, const QRectF& box, const QColor& colour, qreal stroke) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const qreal scale = box.width() / 24.0;
  painter.translate(box.topLeft());
  painter.scale(scale, scale);
  Pen pen{painter, colour, stroke / scale};
  QPainter& p = painter;

  switch (icon) {
    case Icon::Open: {
      pen.Line();
      QPainterPath back;
      back.moveTo(3, 18.5);
      back.lineTo(3, 5.5);
      back.lineTo(9, 5.5);
      back.lineTo(11, 7.5);
      back.lineTo(19, 7.5);
      back.lineTo(19, 10.5);
      p.drawPath(back);
      QPainterPath front;
      front.moveTo(3, 18.5);
      front.lineTo(6.2, 10.5);
      front.lineTo(22, 10.5);
      front.lineTo(18.8, 18.5);
      front.closeSubpath();
      p.drawPath(front);
      break;
    }
    case Icon::Merge: {
      // Saving a copy: an arrow into a tray.
      pen.Line();
      QPainterPath tray;
      tray.moveTo(3.5, 14);
      tray.lineTo(3.5, 18.5);
      tray.quadTo(3.5, 20.5, 5.5, 20.5);
      tray.lineTo(18.5, 20.5);
      tray.quadTo(20.5, 20.5, 20.5, 18.5);
      tray.lineTo(20.5, 14);
      p.drawPath(tray);
      QPainterPath arrow;
      arrow.moveTo(12, 3.5);
      arrow.lineTo(12, 15);
      arrow.moveTo(7.5, 10.5);
      arrow.lineTo(12, 15);
      arrow.lineTo(16.5, 10.5);
      p.drawPath(arrow);
      break;
    }
    case Icon::Capture: {
      pen.Line();
      QPainterPath body;
      body.addRoundedRect(QRectF(2.5, 7, 19, 13), 2.2, 2.2);
      p.drawPath(body);
      QPainterPath top;
      top.moveTo(8, 7);
      top.lineTo(9.6, 4.2);
      top.lineTo(14.4, 4.2);
      top.lineTo(16, 7);
      p.drawPath(top);
      p.drawEllipse(QPointF(12, 13.5), 3.6, 3.6);
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(18.2, 10), 0.9, 0.9);
      break;
    }
    case Icon::Zoom: {
      pen.Line();
      p.drawEllipse(QPointF(10.5, 10.5), 6.5, 6.5);
      p.drawLine(QPointF(7.5, 10.5), QPointF(13.5, 10.5));
      p.drawLine(QPointF(10.5, 7.5), QPointF(10.5, 13.5));
      p.setPen(QPen(colour, pen.width * 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(15.6, 15.6), QPointF(20.5, 20.5));
      break;
    }
    case Icon::Print: {
      pen.Line();
      QPainterPath path;
      path.moveTo(7, 8);
      path.lineTo(7, 3.5);
      path.lineTo(17, 3.5);
      path.lineTo(17, 8);
      p.drawPath(path);
      QPainterPath body;
      body.moveTo(7, 17);
      body.lineTo(4.5, 17);
      body.quadTo(2.5, 17, 2.5, 15);
      body.lineTo(2.5, 10);
      body.quadTo(2.5, 8, 4.5, 8);
      body.lineTo(19.5, 8);
      body.quadTo(21.5, 8, 21.5, 10);
      body.lineTo(21.5, 15);
      body.quadTo(21.5, 17, 19.5, 17);
      body.lineTo(17, 17);
      p.drawPath(body);
      p.drawRect(QRectF(7, 13, 10, 7.5));
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(18, 11), 0.9, 0.9);
      break;
    }
    case Icon::Setting:
      pen.Line();
      Gear(p);
      break;
    case Icon::Layout: {
      pen.Line();
      QPainterPath path;
      path.moveTo(3.5, 8.5);
      path.lineTo(3.5, 3.5);
      path.lineTo(8.5, 3.5);
      path.moveTo(15.5, 3.5);
      path.lineTo(20.5, 3.5);
      path.lineTo(20.5, 8.5);
      path.moveTo(20.5, 15.5);
      path.lineTo(20.5, 20.5);
      path.lineTo(15.5, 20.5);
      path.moveTo(8.5, 20.5);
      path.lineTo(3.5, 20.5);
      path.lineTo(3.5, 15.5);
      p.drawPath(path);
      p.drawRoundedRect(QRectF(8, 8.5, 8, 7), 1, 1);
      break;
    }
    case Icon::About: {
      pen.Line();
      p.drawEllipse(QPointF(12, 12), 9, 9);
      p.drawLine(QPointF(12, 11), QPointF(12, 16.5));
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(12, 7.6), 1.15, 1.15);
      break;
    }
    case Icon::Previous:
      pen.Fill();
      p.drawRoundedRect(QRectF(5, 6, 2.6, 12), 0.8, 0.8);
      p.drawPolygon(Tri({19, 6.2}, {19, 17.8}, {9.5, 12}));
      break;
    case Icon::Next:
      pen.Fill();
      p.drawRoundedRect(QRectF(16.4, 6, 2.6, 12), 0.8, 0.8);
      p.drawPolygon(Tri({5, 6.2}, {5, 17.8}, {14.5, 12}));
      break;
    case Icon::Rewind:
      pen.Fill();
      p.drawPolygon(Tri({11.5, 6.5}, {11.5, 17.5}, {3, 12}));
      p.drawPolygon(Tri({20.5, 6.5}, {20.5, 17.5}, {12, 12}));
      break;
    case Icon::Forward:
      pen.Fill();
      p.drawPolygon(Tri({3.5, 6.5}, {3.5, 17.5}, {12, 12}));
      p.drawPolygon(Tri({12.5, 6.5}, {12.5, 17.5}, {21, 12}));
      break;
    case Icon::Play:
      pen.Fill();
      p.drawPolygon(Tri({8, 5}, {8, 19}, {19.5, 12}));
      break;
    case Icon::Pause:
      pen.Fill();
      p.drawRoundedRect(QRectF(6.5, 5, 3.8, 14), 0.9, 0.9);
      p.drawRoundedRect(QRectF(13.7, 5, 3.8, 14), 0.9, 0.9);
      break;
    case Icon::SpeedReset: {
      pen.Line();
      QRectF arc(3.5, 5.5, 17, 17);
      p.drawArc(arc, -30 * 16, 240 * 16);
      p.drawLine(QPointF(12, 14), QPointF(16, 9.5));
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(12, 14), 1.6, 1.6);
      break;
    }
    case Icon::BrightnessReset: {
      pen.Line();
      p.drawEllipse(QPointF(12, 12), 3.8, 3.8);
      for (int i = 0; i < 8; ++i) {
        const qreal a = i * std::numbers::pi / 4;
        p.drawLine(QPointF(12 + 6.6 * std::cos(a), 12 + 6.6 * std::sin(a)),
                   QPointF(12 + 8.8 * std::cos(a), 12 + 8.8 * std::sin(a)));
      }
      break;
    }
    case Icon::SoundOn: {
      pen.Fill();
      Speaker(p);
      pen.Line();
      p.drawArc(QRectF(10, 8.5, 7, 7), -50 * 16, 100 * 16);
      p.drawArc(QRectF(8, 5, 13.5, 14), -52 * 16, 104 * 16);
      break;
    }
    case Icon::Muted: {
      pen.Fill();
      Speaker(p);
      pen.Line();
      p.drawLine(QPointF(15.5, 9.5), QPointF(20.5, 14.5));
      p.drawLine(QPointF(20.5, 9.5), QPointF(15.5, 14.5));
      break;
    }
    case Icon::MapOut: {
      pen.Line();
      QPainterPath frame;
      frame.moveTo(11, 5);
      frame.lineTo(6, 5);
      frame.quadTo(4, 5, 4, 7);
      frame.lineTo(4, 18);
      frame.quadTo(4, 20, 6, 20);
      frame.lineTo(17, 20);
      frame.quadTo(19, 20, 19, 18);
      frame.lineTo(19, 13);
      p.drawPath(frame);
      QPainterPath arrow;
      arrow.moveTo(14.5, 3.5);
      arrow.lineTo(20.5, 3.5);
      arrow.lineTo(20.5, 9.5);
      arrow.moveTo(20.5, 3.5);
      arrow.lineTo(11.5, 12.5);
      p.drawPath(arrow);
      break;
    }
    case Icon::Close:
      pen.Line();
      p.drawLine(QPointF(6, 6), QPointF(18, 18));
      p.drawLine(QPointF(18, 6), QPointF(6, 18));
      break;
    case Icon::Card: {
      pen.Line();
      QPainterPath card;
      card.moveTo(6, 2.5);
      card.lineTo(15, 2.5);
      card.lineTo(19.5, 7);
      card.lineTo(19.5, 20);
      card.quadTo(19.5, 21.5, 18, 21.5);
      card.lineTo(6, 21.5);
      card.quadTo(4.5, 21.5, 4.5, 20);
      card.lineTo(4.5, 4);
      card.quadTo(4.5, 2.5, 6, 2.5);
      p.drawPath(card);
      p.drawLine(QPointF(8.5, 5.5), QPointF(8.5, 8.5));
      p.drawLine(QPointF(11.5, 5.5), QPointF(11.5, 8.5));
      p.drawLine(QPointF(14.5, 6.5), QPointF(14.5, 8.5));
      break;
    }
    case Icon::MapPinOff: {
      pen.Line();
      QPainterPath pin;
      pin.moveTo(12, 21.5);
      pin.cubicTo(7, 15.5, 5, 12.5, 5, 9.5);
      pin.arcTo(QRectF(5, 2.5, 14, 14), 180, -180);
      pin.cubicTo(19, 12.5, 17, 15.5, 12, 21.5);
      p.drawPath(pin);
      p.drawEllipse(QPointF(12, 9.5), 2.6, 2.6);
      break;
    }
    case Icon::GlobeOff: {
      pen.Line();
      p.drawEllipse(QPointF(12, 12), 9, 9);
      p.drawEllipse(QRectF(8, 3, 8, 18));
      p.drawLine(QPointF(3.5, 9), QPointF(20.5, 9));
      p.drawLine(QPointF(3.5, 15), QPointF(20.5, 15));
      break;
    }
    case Icon::Logo: {
      // A lens in a windscreen-shaped frame: the dashcam's eye.
      pen.Line();
      QPainterPath frame;
      frame.moveTo(3, 8);
      frame.quadTo(12, 3.5, 21, 8);
      frame.lineTo(19.5, 18);
      frame.quadTo(12, 20.5, 4.5, 18);
      frame.closeSubpath();
      p.drawPath(frame);
      p.drawEllipse(QPointF(12, 12.2), 3.8, 3.8);
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(QPointF(12, 12.2), 1.5, 1.5);
      break;
    }
  }
  painter.restore();
}

void DrawSlash(QPainter& painter, const QRectF& box, const QColor& colour, qreal stroke) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const qreal scale = box.width() / 24.0;
  painter.translate(box.topLeft());
  painter.scale(scale, scale);
  Slash(painter, colour, stroke / scale);
  painter.restore();
}

}  // namespace gen
