#include "res/generator/ImageSet.h"

#include "res/generator/Style.h"

namespace gen {

ImageSet::ImageSet(const std::vector<RenderedImage>& images) {
  for (const RenderedImage& r : images) byId_[r.info.id] = &r;
}

QImage ImageSet::Get(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? QImage() : it->second->image;
}

void ImageSet::Put(QPainter& p, int id, int x, int y) const {
  auto it = byId_.find(id);
  if (it == byId_.end()) return;
  const RenderedImage& r = *it->second;
  if (r.info.kind == skin::SkinKind::KeyedBitmap) {
    QImage keyed = r.image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = 0xFF000000u | r.info.keyColour;
    for (int yy = 0; yy < keyed.height(); ++yy) {
      for (int xx = 0; xx < keyed.width(); ++xx) {
        if (keyed.pixel(xx, yy) == key) keyed.setPixel(xx, yy, 0);
      }
    }
    p.drawImage(x, y, keyed);
    return;
  }
  if (r.info.kind == skin::SkinKind::Png && r.info.language < 0 && r.info.id != skin::kAppIcon) {
    p.fillRect(QRect(x, y, r.image.width(), r.image.height()), kWindowBg);
  }
  p.drawImage(x, y, r.image);
}

void ImageSet::PutPart(QPainter& p, int id, int x, int y, int w, int h, int sx, int sy) const {
  auto it = byId_.find(id);
  if (it != byId_.end()) p.drawImage(QPoint(x, y), it->second->image, QRect(sx, sy, w, h));
}

}  // namespace gen
