#include "controls/CBbSimpleSliderCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"

CBbSimpleSliderCtrl::CBbSimpleSliderCtrl(int controlId, QWidget* parent) : QAbstractSlider(parent) {
  SetControlId(this, controlId);
  setOrientation(Qt::Horizontal);
  setRange(0, 100);
  setPageStep(10);
  setValue(50);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(95, 30);
}

float CBbSimpleSliderCtrl::SpeedFactor(int p) {
  if (p > 50) return 1.0f + static_cast<float>(p - 50) * 0.02f;
  return 0.1f + static_cast<float>(p) * 0.018f;
}

int CBbSimpleSliderCtrl::BrightnessOffset(int p) { return static_cast<int>(std::trunc((p - 50) * 5.1)); }

int CBbSimpleSliderCtrl::ThumbLeft() const {
  const int span = maximum() - minimum();
  const int travel = kChannelWidth - kThumbWidth;
  if (span <= 0) return margin;
  return margin + (value() - minimum()) * travel / span;
}

int CBbSimpleSliderCtrl::ValueAt(int x) const {
  const int span = maximum() - minimum();
  const int travel = kChannelWidth - kThumbWidth;
  const int offset = x - margin - kThumbWidth / 2;
  // Rounded to the nearest value so that the thumb follows the pointer evenly.
  const int v = minimum() + (offset * span * 2 + travel) / (2 * travel);
  return std::clamp(v, minimum(), maximum());
}

void CBbSimpleSliderCtrl::MoveByUser(int position) {
  const int clamped = std::clamp(position, minimum(), maximum());
  if (clamped == value()) return;
  setValue(clamped);
  update();
  emit Scrolled(ControlId(this), value());
}

void CBbSimpleSliderCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(backgroundColour));
  DrawSkinBitmapPart(p, channelImage, margin, (height() - kChannelHeight) / 2, kChannelWidth, kChannelHeight, 0, 0);
  DrawSkinBitmapPart(p, thumbImage, ThumbLeft(), height() / 2 - 7, kThumbWidth, kThumbHeight, 1, 0);
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CBbSimpleSliderCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractSlider::mousePressEvent(event);
    return;
  }
  const int x = static_cast<int>(std::floor(event->position().x()));
  const int thumb = ThumbLeft();
  if (x >= thumb && x < thumb + kThumbWidth) {
    draggingThumb = true;
    dragOffset = x - (thumb + kThumbWidth / 2);
    setSliderDown(true);
  } else {
    // A click beside the thumb moves one page toward the click.
    MoveByUser(value() + (x < thumb ? -pageStep() : pageStep()));
  }
  event->accept();
}

void CBbSimpleSliderCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (!draggingThumb) return;
  MoveByUser(ValueAt(static_cast<int>(std::floor(event->position().x())) - dragOffset));
  event->accept();
}

void CBbSimpleSliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (draggingThumb) {
    draggingThumb = false;
    setSliderDown(false);
  }
  event->accept();
}

void CBbSimpleSliderCtrl::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) MoveByUser(value() + (delta > 0 ? singleStep() : -singleStep()));
  event->accept();
}
