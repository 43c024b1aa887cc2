#include "map/MapPlaceholderWnd.h"

#include <QPainter>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"

MapPlaceholderWnd::MapPlaceholderWnd(int controlId, int skin::LanguageSkin::*pictureOfLanguage, QWidget* parent)
    : QWidget(parent), picture(pictureOfLanguage) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
  hide();
}

void MapPlaceholderWnd::SetLanguageIndex(int index) {
  languageIndex = index;
  update();
}

int MapPlaceholderWnd::PictureId() const {
  if (languageIndex < 0 || languageIndex >= skin::kLanguageCount) return 0;
  return skin::LanguageSkinFor(languageIndex).*picture;
}

void MapPlaceholderWnd::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(skin::kPlaceholderBackground));
  const QImage& image = skin::LoadSkinImage(PictureId());
  if (!image.isNull()) {
    p.drawImage(QPoint((width() - image.width()) / 2, (height() - image.height()) / 2), image);
  }
  QPainter painter(this);
  buffer.CopyTo(painter);
}
