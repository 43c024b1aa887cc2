#include "controls/SkinImages.h"

#include <QHash>
#include <QPainter>
#include <QString>
#include <utility>

#include "res/SkinIds.h"
#include "res/SkinResources.h"

namespace skin {
namespace {

struct Entry {
  QImage image;
  DrawKind kind = DrawKind::None;
};

// Painting happens on the UI thread only, so the caches need no lock.
QHash<int, Entry>& Cache() {
  static QHash<int, Entry> cache;
  return cache;
}

QHash<quint64, QImage>& KeyedCache() {
  static QHash<quint64, QImage> cache;
  return cache;
}

const Entry& Lookup(int id) {
  auto& cache = Cache();
  auto it = cache.find(id);
  if (it != cache.end()) return *it;
  Entry entry;
  if (id > 0) {
    InitSkinResources();
    QImage image(SkinResourcePath(id));
    if (!image.isNull()) {
      // The skin table says how each picture is drawn; a picture outside it is blended
      // when it carries alpha.
      const SkinImage* row = FindSkinImage(id);
      const bool blended = row ? row->kind == SkinKind::Png : image.hasAlphaChannel();
      entry.image = image.convertToFormat(blended ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
      entry.kind = blended ? DrawKind::Png : DrawKind::Bitmap;
    }
  }
  return *cache.insert(id, std::move(entry));
}

// The picture with every pixel of `key` made fully transparent.
const QImage& Keyed(int id, COLORREF key) {
  const quint64 cacheKey = (static_cast<quint64>(static_cast<quint32>(id)) << 32) | key;
  auto& cache = KeyedCache();
  auto it = cache.find(cacheKey);
  if (it != cache.end()) return *it;
  QImage keyed = Lookup(id).image.convertToFormat(QImage::Format_ARGB32);
  const QRgb keyRgb = qRgb(RValue(key), GValue(key), BValue(key)) & 0x00FFFFFFu;
  for (int y = 0; y < keyed.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if ((row[x] & 0x00FFFFFFu) == keyRgb) row[x] = 0;
    }
  }
  return *cache.insert(cacheKey, keyed);
}

}  // namespace

const QImage& LoadSkinImage(int id) { return Lookup(id).image; }
DrawKind DrawKindOf(int id) { return Lookup(id).kind; }
bool HasSkinImage(int id) { return !Lookup(id).image.isNull(); }

void RegisterSkinImage(int id, const QImage& image, DrawKind kind) {
  Entry entry;
  if (!image.isNull() && kind != DrawKind::None) {
    entry.image =
        image.convertToFormat(kind == DrawKind::Png ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    entry.kind = kind;
  }
  Cache().insert(id, std::move(entry));
  // Keyed copies of the old picture are stale now.
  auto& keyed = KeyedCache();
  for (auto it = keyed.begin(); it != keyed.end();) {
    if (static_cast<int>(it.key() >> 32) == id) {
      it = keyed.erase(it);
    } else {
      ++it;
    }
  }
}

void ClearSkinImages() {
  Cache().clear();
  KeyedCache().clear();
}

}  // namespace skin

void DrawSkinBitmap(QPainter& target, int id, int x, int y, int width, int height, bool transparent,
                    COLORREF keyColour) {
  const QImage& image = skin::LoadSkinImage(id);
  if (image.isNull() || width <= 0 || height <= 0) return;
  const int w = std::min(width, image.width());
  const int h = std::min(height, image.height());
  if (transparent) {
    target.drawImage(QPoint(x, y), skin::Keyed(id, keyColour), QRect(0, 0, w, h));
  } else {
    target.drawImage(QPoint(x, y), image, QRect(0, 0, w, h));
  }
}

void DrawSkinBitmapPart(QPainter& target, int id, int x, int y, int width, int height, int sourceX, int sourceY) {
  const QImage& image = skin::LoadSkinImage(id);
  if (image.isNull() || width <= 0 || height <= 0) return;
  const QRect source = QRect(sourceX, sourceY, width, height).intersected(image.rect());
  if (source.isEmpty()) return;
  target.drawImage(QPoint(x + source.x() - sourceX, y + source.y() - sourceY), image, source);
}

bool DrawSkinPng(QPainter& target, int id) {
  const QImage& image = skin::LoadSkinImage(id);
  if (image.isNull()) return false;
  target.drawImage(QPoint(0, 0), image);
  return true;
}
