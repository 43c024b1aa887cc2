#include "tools/capture/CaptureJpeg.h"

#include <QSaveFile>
#include <bit>

// The engine's pixels are B, G, R, A bytes, which QImage's RGB32 is on a
// little-endian machine.
static_assert(std::endian::native == std::endian::little, "BGRA bytes are read as RGB32 words");

QImage CapturedToQImage(const playback::CapturedImage& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  if (image.pixels.size() < rowBytes * static_cast<std::size_t>(image.height)) return {};
  const QImage wrapped(image.pixels.data(), image.width, image.height, static_cast<qsizetype>(rowBytes),
                       QImage::Format_RGB32);
  return wrapped.copy();
}

bool SaveCaptureJpeg(const playback::CapturedImage& image, const std::string& path) {
  const QImage picture = CapturedToQImage(image);
  if (picture.isNull() || path.empty()) return false;
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!picture.save(&file, "JPEG")) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}
