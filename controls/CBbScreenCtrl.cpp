#include "controls/CBbScreenCtrl.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "controls/ControlId.h"
#include "controls/PopupMenus.h"
#include "controls/SkinImages.h"
#include "res/SkinIds.h"

namespace {

// Wraps the frame's bytes without copying; the frame must outlive the image.
QImage WrapFrame(const playback::VideoFrame& frame) {
  if (frame.IsEmpty()) return QImage();
  // B, G, R, A bytes are one 0xAARRGGBB word on a little-endian machine; the alpha is
  // always opaque, so the picture is copied without blending.
  return QImage(frame.pixels.get(), frame.width, frame.height, frame.stride, QImage::Format_RGB32);
}

}  // namespace

CBbScreenCtrl::CBbScreenCtrl(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CBbScreenCtrl::~CBbScreenCtrl() = default;

void CBbScreenCtrl::PresentFrame(const playback::VideoFrame& frame) {
  {
    std::lock_guard<std::mutex> hold(frameLock);
    lastFrame = frame;
  }
  RequestRepaint();
}

void CBbScreenCtrl::RequestRepaint() {
  if (repaintQueued.exchange(true)) return;
  // Queued to this widget's thread; dropped if the widget is gone by then. The flag
  // drops before update(), so a picture stored after it posts a call of its own.
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaintQueued.store(false);
        update();
      },
      Qt::QueuedConnection);
}

playback::VideoFrame CBbScreenCtrl::LastFrame() const {
  std::lock_guard<std::mutex> hold(frameLock);
  return lastFrame;
}

QImage CBbScreenCtrl::CurrentImage() const {
  const playback::VideoFrame frame = LastFrame();
  return WrapFrame(frame).copy();
}

void CBbScreenCtrl::ClearFrame() {
  {
    std::lock_guard<std::mutex> hold(frameLock);
    lastFrame = playback::VideoFrame();
  }
  update();
}

void CBbScreenCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const playback::VideoFrame frame = LastFrame();
  const QImage picture = WrapFrame(frame);
  if (!picture.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture);
    return;
  }
  painter.fillRect(rect(), Qt::black);
  const QImage& idle = skin::LoadSkinImage(skin::kIdlePicture);
  if (!idle.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), idle);
  }
}

void CBbScreenCtrl::resizeEvent(QResizeEvent* event) {
  clientWidth.store(event->size().width());
  clientHeight.store(event->size().height());
  QWidget::resizeEvent(event);
}

void CBbScreenCtrl::showEvent(QShowEvent* event) {
  shown.store(true);
  QWidget::showEvent(event);
}

void CBbScreenCtrl::hideEvent(QHideEvent* event) {
  shown.store(false);
  QWidget::hideEvent(event);
}

void CBbScreenCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const int popup = PlaybackPopupIndex(languageIndex);
    if (popup >= 0) emit ContextMenuRequested(popup, event->globalPosition().toPoint());
  }
  QWidget::mousePressEvent(event);
}
