#include "controls/CMemoryDC.h"

#include <QPaintDevice>

CMemoryDC::~CMemoryDC() { Destroy(); }

bool CMemoryDC::Create(const QPaintDevice* reference, int w, int h) {
  if (created || w <= 0 || h <= 0) return false;
  const qreal ratio = reference ? reference->devicePixelRatioF() : 1.0;
  image = QImage(qRound(w * ratio), qRound(h * ratio), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return false;
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  painter = std::make_unique<QPainter>(&image);
  width = w;
  height = h;
  created = true;
  return true;
}

void CMemoryDC::EndPainting() {
  if (painter && painter->isActive()) painter->end();
}

void CMemoryDC::CopyTo(QPainter& target, int x, int y) {
  if (!created) return;
  EndPainting();
  target.drawImage(QPoint(x, y), image);
}

void CMemoryDC::CopyPartTo(QPainter& target, int x, int y, int w, int h, int sourceX, int sourceY) {
  if (!created) return;
  EndPainting();
  const qreal ratio = image.devicePixelRatio();
  target.drawImage(QRectF(x, y, w, h), image, QRectF(sourceX * ratio, sourceY * ratio, w * ratio, h * ratio));
}

void CMemoryDC::Destroy() {
  EndPainting();
  painter.reset();
  image = QImage();
  width = height = 0;
  created = false;
}
