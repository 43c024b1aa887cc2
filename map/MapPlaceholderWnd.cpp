#include "map/MapPlaceholderWnd.h"

#include <QPainter>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"

MapPlaceholderWnd::MapPlaceholderWnd(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
  hide();
}

void MapPlaceholderWnd::SetLanguageIndex(int index) {
  languageIndex = index;
  update();
}

void MapPlaceholderWnd::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(skin::kPlaceholderBackground));
  const int picture = PictureId();
  const QImage& image = picture != 0 ? skin::LoadSkinImage(picture) : QImage();
  if (!image.isNull()) {
    p.drawImage(QPoint((width() - image.width()) / 2, (height() - image.height()) / 2), image);
  }
  QPainter painter(this);
  buffer.CopyTo(painter);
}
