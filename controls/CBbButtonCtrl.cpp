#include "controls/CBbButtonCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"
#include "res/SkinIds.h"

namespace {
constexpr int kTopStripeHeight = 7;
}  // namespace

CBbButtonCtrl::CBbButtonCtrl(int controlId, QWidget* parent) : QAbstractButton(parent) {
  SetControlId(this, controlId);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(this, &QAbstractButton::clicked, this, &CBbButtonCtrl::ReportClick);
}

void CBbButtonCtrl::SetImages(int normal, int pressed, int hover, int disabled) {
  normalImage = normal;
  pressedImage = pressed;
  hoverImage = hover;
  disabledImage = disabled;
}

int CBbButtonCtrl::CurrentImage() const {
  if (!enabled) return disabledImage;
  return selected ? selectedImage : normalImage;
}

void CBbButtonCtrl::Redraw() { Show(CurrentImage()); }

void CBbButtonCtrl::Show(int image) {
  shownImage = image;
  update();
}

void CBbButtonCtrl::PaintBackground(QPainter& painter) const {
  const QRect client = rect();
  if (!backgroundMode) {
    painter.fillRect(client, skin::ToColor(skin::kWindowBackground));
    return;
  }
  const QWidget* owner = parentWidget();
  const QVariant mode = owner ? owner->property("layoutMode") : QVariant();
  const int layoutMode = mode.isValid() ? mode.toInt() : 1;
  if (layoutMode == 1) {
    painter.fillRect(QRect(0, 0, client.width(), kTopStripeHeight), skin::ToColor(skin::kTopBarStripe));
    painter.fillRect(QRect(0, kTopStripeHeight, client.width(), client.height() - kTopStripeHeight),
                     skin::ToColor(skin::kWindowBackground));
    DrawSkinBitmapPart(painter, skin::kTopBarTile, 0, 0, 32, 8, 0, 9);
  } else {
    painter.fillRect(client, skin::ToColor(skin::kBarBackground));
  }
}

void CBbButtonCtrl::DrawButtonImage(QPainter& painter, int image) const {
  const skin::DrawKind kind = skin::DrawKindOf(image);
  PaintBackground(painter);
  if (kind == skin::DrawKind::Bitmap) {
    DrawSkinBitmap(painter, image, 0, 0, width(), height());
  } else if (kind == skin::DrawKind::Png) {
    DrawSkinPng(painter, image);
  }
}

void CBbButtonCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  DrawButtonImage(buffer.Painter(), shownImage);
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CBbButtonCtrl::mousePressEvent(QMouseEvent* event) {
  if (!enabled) {
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton && pressedImage != 0) Show(pressedImage);
  QAbstractButton::mousePressEvent(event);
}

void CBbButtonCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (!enabled) {
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton) {
    if (selectedImage != 0) {
      Show(selected ? selectedImage : normalImage);
    } else if (normalImage != 0) {
      Show(normalImage);
    }
  }
  QAbstractButton::mouseReleaseEvent(event);
}

void CBbButtonCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (enabled && !hoverShown && hoverImage != 0) {
    Show(hoverImage);
    hoverShown = true;
    leaveArmed = true;
  }
  QAbstractButton::mouseMoveEvent(event);
}

void CBbButtonCtrl::leaveEvent(QEvent* event) {
  if (leaveArmed) {
    leaveArmed = false;
    if (normalImage != 0) Show(normalImage);
  }
  QAbstractButton::leaveEvent(event);
}

void CBbButtonCtrl::keyPressEvent(QKeyEvent* event) {
  if (!enabled) {
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void CBbButtonCtrl::keyReleaseEvent(QKeyEvent* event) {
  if (!enabled) {
    event->accept();
    return;
  }
  QAbstractButton::keyReleaseEvent(event);
}

void CBbButtonCtrl::ReportClick() { emit Clicked(ControlId(this)); }
