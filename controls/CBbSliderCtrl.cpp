#include "controls/CBbSliderCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SeekTarget.h"
#include "controls/SkinImages.h"
#include "res/SkinIds.h"

namespace {
constexpr int kCapWidth = 10;
constexpr int kRightCapSource = 537;
constexpr int kProgressTileWidth = 3;
// The export's marks: green start, red end, the range between them lightly shaded.
const QColor kMarkStartColour(0x3c, 0xd2, 0x4b);
const QColor kMarkEndColour(0xf0, 0x46, 0x46);
const QColor kMarkBand(0xff, 0xd2, 0x3c, 0x60);
// The markers: amber for a hard G moment, sky blue with a pin through the strip for an
// event's trigger; both apart from the export's green and red lines.
const QColor kHardGColour(0xff, 0xa8, 0x1e);
const QColor kTriggerColour(0x5a, 0xc8, 0xff);
constexpr int kMarkerHalfWidth = 4;
constexpr int kMarkerTop = 0;
constexpr int kMarkerTip = 8;
}  // namespace

CBbSliderCtrl::CBbSliderCtrl(int controlId, QWidget* parent) : QAbstractSlider(parent) {
  SetControlId(this, controlId);
  setOrientation(Qt::Horizontal);
  setRange(0, 0);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

int CBbSliderCtrl::PositionAt(int x) const {
  const int w = width();
  const int maxValue = maximum();
  if (w <= 0 || maxValue <= 0 || x <= 0) return 0;
  if (x >= w - 1) return maxValue;
  const long long p = static_cast<long long>(x) * maxValue / w;
  return static_cast<int>(std::clamp<long long>(p, 0, maxValue));
}

int CBbSliderCtrl::ProgressWidth() const {
  const int w = width() - 2 * margin;
  if (maximum() <= 0 || w <= 0) return 0;
  const long long filled = static_cast<long long>(std::clamp(value(), 0, maximum())) * w / maximum();
  return static_cast<int>(filled);
}

int CBbSliderCtrl::XOf(int position) const {
  const int w = width() - 2 * margin;
  if (maximum() <= 0 || w <= 0) return margin;
  return margin + static_cast<int>(static_cast<long long>(std::clamp(position, 0, maximum())) * w / maximum());
}

void CBbSliderCtrl::SetMarks(int start, int end, int from, int to) {
  if (start == markStart && end == markEnd && from == bandFrom && to == bandTo) return;
  markStart = start;
  markEnd = end;
  bandFrom = from;
  bandTo = to;
  update();
}

void CBbSliderCtrl::SetSeekMarkers(const std::vector<SeekMarker>& markers) {
  if (markers == seekMarkers) return;
  seekMarkers = markers;
  update();
}

int CBbSliderCtrl::ClickPosition(int x) const {
  int best = -1;
  int bestDistance = kMarkerReach + 1;
  for (const SeekMarker& m : seekMarkers) {
    if (m.timeMs > maximum()) continue;
    const int distance = std::abs(XOf(m.timeMs) - x);
    if (distance < bestDistance) {
      best = m.timeMs;
      bestDistance = distance;
    }
  }
  return best >= 0 ? best : PositionAt(x);
}

int CBbSliderCtrl::ThumbLeft() const {
  const int w = width() - 2 * margin;
  if (maximum() <= 0 || w <= 0) return margin - kThumbWidth / 2;
  const long long centre = margin + static_cast<long long>(std::clamp(value(), 0, maximum())) * w / maximum();
  return static_cast<int>(centre) - kThumbWidth / 2;
}

void CBbSliderCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(backgroundColour));

  const int w = width() - 2 * margin;
  const int h = height() - 20;
  if (w > 0 && h > 0) {
    // The strip and its played part are clipped in place rather than composed in
    // buffers of their own: the bar repaints with every position update.
    p.save();
    p.translate(margin, 10);
    p.setClipRect(QRect(0, 0, w, h));
    p.fillRect(QRect(0, 0, w, h), skin::ToColor(backgroundColour));
    for (int i = 0; i < w / kCapWidth + 1; ++i) {
      DrawSkinBitmapPart(p, channelImage, i * kCapWidth, 0, kCapWidth, h, kCapWidth, 0);
    }
    DrawSkinBitmapPart(p, channelImage, 0, 0, kCapWidth, h, 0, 0);
    DrawSkinBitmapPart(p, channelImage, w - kCapWidth, 0, kCapWidth, h, kRightCapSource, 0);
    const int filled = ProgressWidth();
    if (filled > 0) {
      p.setClipRect(QRect(0, 1, filled, kProgressHeight), Qt::IntersectClip);
      for (int i = 0; i < w / kProgressTileWidth + 1; ++i) {
        DrawSkinBitmapPart(p, skin::kProgressTile, i * kProgressTileWidth, 1, kProgressTileWidth, kProgressHeight, 0,
                           0);
      }
    }
    p.restore();
    // The export range over the strip, its marks as lines through it.
    if (bandFrom >= 0 && bandTo > bandFrom)
      p.fillRect(QRect(XOf(bandFrom), 10, std::max(1, XOf(bandTo) - XOf(bandFrom)), h), kMarkBand);
    if (markStart >= 0) p.fillRect(QRect(XOf(markStart) - 1, 6, 2, h + 8), kMarkStartColour);
    if (markEnd >= 0) p.fillRect(QRect(XOf(markEnd) - 1, 6, 2, h + 8), kMarkEndColour);
    if (maximum() > 0) {
      p.save();
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(Qt::NoPen);
      for (const SeekMarker& m : seekMarkers) {
        if (m.timeMs > maximum()) continue;
        const int x = XOf(m.timeMs);
        const bool trigger = m.kind == SeekMarkerKind::EventTrigger;
        const QColor colour = trigger ? kTriggerColour : kHardGColour;
        if (trigger) p.fillRect(QRect(x, kMarkerTip, 1, h + 2), colour);
        const QPointF triangle[] = {QPointF(x - kMarkerHalfWidth + 0.5, kMarkerTop),
                                    QPointF(x + kMarkerHalfWidth + 0.5, kMarkerTop), QPointF(x + 0.5, kMarkerTip)};
        p.setBrush(colour);
        p.drawPolygon(triangle, 3);
      }
      p.restore();
    }
  }
  DrawSkinBitmapPart(p, thumbImage, ThumbLeft(), (height() - kThumbHeight) / 2, kThumbWidth, kThumbHeight, 0, 0);
  QPainter painter(this);
  buffer.CopyTo(painter);
}

bool CBbSliderCtrl::Busy() const { return seekTarget && seekTarget->IsBusy(); }

void CBbSliderCtrl::SeekTo(int position) {
  if (seekTarget && seekTarget->HasOpenRecording()) {
    seekTarget->SetPosition(static_cast<std::int64_t>(position) * 10000);
  }
  setValue(position);
  update();
}

void CBbSliderCtrl::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || Busy()) return;
  dragging = true;
  SeekTo(ClickPosition(static_cast<int>(std::floor(event->position().x()))));
}

void CBbSliderCtrl::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!dragging || Busy()) return;
  const int position = PositionAt(static_cast<int>(std::floor(event->position().x())));
  if (seekTarget) seekTarget->Seek(position);
  setValue(position);
  update();
}

void CBbSliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  // The drag ends even while busy, so that no later move seeks without a button held.
  dragging = false;
  if (!Busy()) {
    SeekTo(ClickPosition(static_cast<int>(std::floor(event->position().x()))));
  }
  if (seekTarget) seekTarget->RestoreFocus();
}

void CBbSliderCtrl::wheelEvent(QWheelEvent* event) {
  // The wheel would move the thumb without seeking; the position belongs to the player.
  event->accept();
}
