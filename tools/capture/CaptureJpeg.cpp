#include "tools/capture/CaptureJpeg.h"

#include <QBuffer>
#include <QByteArray>
#include <bit>
#include <cerrno>
#include <string_view>

#include "platform/WholeFile.h"

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

bool SaveCaptureJpeg(const playback::CapturedImage& image, const std::string& path, int* error) {
  if (error != nullptr) *error = 0;
  const QImage picture = CapturedToQImage(image);
  if (picture.isNull() || path.empty()) return false;
  // Encoded first, then written in one piece: the file write is the only step that
  // can fail for the disk's sake, and its errno tells the user why.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "JPEG")) return false;
  return platform::WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}
