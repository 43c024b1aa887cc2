#include "tools/export/OverlayPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/export/ExportRange.h"

namespace clipexport {

namespace {

constexpr double kTextShare = 1.0 / 30;  // text height per picture height
constexpr int kSmallestText = 10;
constexpr QRgb kGround = 0xFF141414;  // the viewer's panel colour
constexpr QRgb kInk = 0xFFFFFFFF;

}  // namespace

QImage OverlayPanel(const std::vector<std::string>& lines, int clipWidth, int clipHeight, int& x, int& y) {
  x = y = 0;
  if (lines.empty() || clipWidth <= 0 || clipHeight <= 0) return {};
  const int pixels = std::max(kSmallestText, static_cast<int>(std::lround(clipHeight * kTextShare)));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setStyleHint(QFont::SansSerif);
  const QFontMetrics metrics(font);
  const int pad = std::max(2, pixels / 3);
  const int lineHeight = metrics.height();
  int textWidth = 0;
  for (const std::string& line : lines)
    textWidth = std::max(textWidth, metrics.horizontalAdvance(QString::fromStdString(line)));
  // The panel never leaves the picture: a long line is cut at its right edge.
  const int width = std::min(clipWidth, textWidth + 2 * pad);
  const int height = std::min(clipHeight, static_cast<int>(lines.size()) * lineHeight + 2 * pad);
  const int margin = std::max(0, std::min({pad, clipWidth - width, clipHeight - height}));
  QImage panel(width, height, QImage::Format_ARGB32_Premultiplied);
  panel.fill(kGround);
  QPainter painter(&panel);
  painter.setFont(font);
  painter.setPen(QColor::fromRgba(kInk));
  for (std::size_t i = 0; i < lines.size(); ++i)
    painter.drawText(pad, pad + static_cast<int>(i) * lineHeight + metrics.ascent(), QString::fromStdString(lines[i]));
  painter.end();
  x = margin;
  y = clipHeight - height - margin;
  return panel;
}

OverlayPainter::OverlayPainter(std::vector<OverlayPart> parts, OverlayFields fields, bool miles,
                               std::shared_ptr<const platform::TimeZone> zone)
    : parts_(std::move(parts)), fields_(fields), miles_(miles), zone_(std::move(zone)), samples_(parts_.size()) {}

void OverlayPainter::BeginSource(std::size_t index, const TelemetrySamples& samples) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < samples_.size()) samples_[index] = samples;
}

std::vector<std::string> OverlayPainter::LinesFor(std::size_t index, int64_t position) const {
  if (index >= parts_.size()) return {};
  OverlayMoment moment;
  moment.positionMs = static_cast<int32_t>(RoundToMs(position) / kUnitsPerMs);
  moment.clock = parts_[index].clockStart * kUnitsPerSecond + int64_t{moment.positionMs} * kUnitsPerMs;
  moment.fileName = parts_[index].fileName;
  return OverlayLines(moment, samples_[index], fields_, miles_, zone_.get());
}

const OverlayImage* OverlayPainter::ImageFor(std::size_t index, int64_t position, int clipWidth, int clipHeight) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines = LinesFor(index, position);
  if (lines.empty()) return nullptr;
  // The text changes a few times a second; the panel is drawn only then.
  if (lines != lastLines_ || clipWidth != lastWidth_ || clipHeight != lastHeight_) {
    int x = 0, y = 0;
    const QImage panel = OverlayPanel(lines, clipWidth, clipHeight, x, y);
    image_.x = x;
    image_.y = y;
    image_.width = panel.width();
    image_.height = panel.height();
    image_.pixels.resize(static_cast<std::size_t>(panel.width()) * static_cast<std::size_t>(panel.height()));
    for (int row = 0; row < panel.height(); ++row)
      std::memcpy(image_.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(panel.width()),
                  panel.constScanLine(row), static_cast<std::size_t>(panel.width()) * sizeof(uint32_t));
    ++image_.serial;
    lastLines_ = std::move(lines);
    lastWidth_ = clipWidth;
    lastHeight_ = clipHeight;
  }
  return &image_;
}

}  // namespace clipexport
