#include "controls/CSkinVerticleScrollbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

#include "controls/CBbListCtrl.h"
#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"
#include "res/SkinIds.h"

namespace {
constexpr int kTopCap = skin::kScrollTopCap;
constexpr int kUpButton = skin::kScrollUp;
constexpr int kTrack = skin::kScrollTrack;
constexpr int kDownButton = skin::kScrollDown;
constexpr int kBottomCap = skin::kScrollBottomCap;
constexpr int kThumb = skin::kScrollThumb;
constexpr int kTrackSourceWidth = 12;
constexpr COLORREF kScrollBackground = 0x6B524A;
}  // namespace

CSkinVerticleScrollbar::CSkinVerticleScrollbar(QWidget* parent) : QWidget(parent) {
  SetControlId(this, kControlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CSkinVerticleScrollbar::HasScrollRange() const { return list && list->verticalScrollBar()->maximum() > 0; }

void CSkinVerticleScrollbar::ComputeScale() {
  const int limit = list ? list->verticalScrollBar()->maximum() : 0;
  const int track = height() - 5 * thumbHeight;
  // Without a scroll range there is nothing to scale; the thumb rests at the top.
  scale = limit > 0 ? static_cast<double>(track) / limit : 0.0;
}

void CSkinVerticleScrollbar::ClampThumb() {
  const int hc = height();
  if (hc - arrowZone < thumbHeight + thumbTop) thumbTop = hc - 3 * thumbHeight;
  if (thumbTop < arrowZone) thumbTop = arrowZone;
}

void CSkinVerticleScrollbar::UpdateThumb() {
  const int pos = list ? list->verticalScrollBar()->value() : 0;
  ComputeScale();
  thumbTop = static_cast<int>(std::trunc(scale * pos)) + arrowZone;
  ClampThumb();
  update();
}

bool CSkinVerticleScrollbar::InUpButton(int y) const { return y >= 18 && y < 36; }
bool CSkinVerticleScrollbar::InDownButton(int y) const { return y >= height() - 36 && y < height() - 18; }
bool CSkinVerticleScrollbar::InThumb(int y) const {
  return HasScrollRange() && y >= thumbTop && y < thumbTop + thumbHeight;
}

bool CSkinVerticleScrollbar::IsTimerActive(int timerId) const {
  if (timerId == kTimerRepeat) return repeatTimer.isActive();
  if (timerId == kTimerHoldDelay) return holdDelayTimer.isActive();
  return false;
}

void CSkinVerticleScrollbar::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  const int hc = height();
  p.fillRect(rect(), skin::ToColor(kScrollBackground));
  DrawSkinBitmap(p, kTopCap, 0, 0, barWidth, 18);
  DrawSkinBitmap(p, kUpButton, 0, 18, barWidth, 18);
  const QImage& track = skin::LoadSkinImage(kTrack);
  if (!track.isNull() && hc - 72 > 0) {
    // The 12-pixel track piece is stretched across the bar's width and down its length.
    p.drawImage(QRect(0, 36, barWidth, hc - 72), track,
                QRect(0, 0, std::min(kTrackSourceWidth, track.width()), track.height()));
  }
  DrawSkinBitmap(p, kDownButton, 0, hc - 36, barWidth, 18);
  DrawSkinBitmap(p, kBottomCap, 0, hc - 18, barWidth, 18);
  if (HasScrollRange()) DrawSkinBitmap(p, kThumb, 0, thumbTop, barWidth, thumbHeight);
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CSkinVerticleScrollbar::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const int y = static_cast<int>(std::floor(event->position().y()));
  if (InThumb(y)) {
    thumbDragging = true;
  } else if (InDownButton(y)) {
    downPressed = true;
    holdDelayTimer.start(kHoldDelayMs, this);
  } else if (InUpButton(y)) {
    upPressed = true;
    holdDelayTimer.start(kHoldDelayMs, this);
  }
}

void CSkinVerticleScrollbar::OnTimer(int timerId) {
  if (timerId == kTimerHoldDelay) {
    if (upPressed || downPressed) {
      holdDelayTimer.stop();
      repeatTimer.start(kRepeatMs, this);
    }
  } else if (timerId == kTimerRepeat && list) {
    if (downPressed) {
      list->ScrollLines(1);
      UpdateThumb();
    } else if (upPressed) {
      list->ScrollLines(-1);
      UpdateThumb();
    }
  }
}

void CSkinVerticleScrollbar::timerEvent(QTimerEvent* event) {
  if (event->timerId() == holdDelayTimer.timerId()) {
    OnTimer(kTimerHoldDelay);
  } else if (event->timerId() == repeatTimer.timerId()) {
    OnTimer(kTimerRepeat);
  } else {
    QWidget::timerEvent(event);
  }
}

void CSkinVerticleScrollbar::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!thumbDragging || !list) return;
  const int y = static_cast<int>(std::floor(event->position().y()));
  thumbTop = y - thumbHeight / 2;
  ComputeScale();
  if (scale > 0.0) {
    const int target = static_cast<int>(std::trunc((thumbTop - arrowZone) / scale));
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(std::clamp(target, bar->minimum(), bar->maximum()));
  }
  ClampThumb();
  update();
}

void CSkinVerticleScrollbar::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const int y = static_cast<int>(std::floor(event->position().y()));
  UpdateThumb();
  repeatTimer.stop();
  // A press shorter than the hold delay leaves timer 2 pending; it must not fire later.
  holdDelayTimer.stop();
  if (list) {
    if (InUpButton(y) && upPressed) {
      list->ScrollLines(-1);
    } else if (InDownButton(y) && downPressed) {
      list->ScrollLines(1);
    } else if (!InThumb(y) && !thumbDragging && HasScrollRange()) {
      if (y >= thumbTop + thumbHeight && y < height() - 36) {
        list->ScrollPages(1);
      } else if (y >= 36 && y < thumbTop) {
        list->ScrollPages(-1);
      }
    }
  }
  upPressed = downPressed = thumbDragging = false;
  UpdateThumb();
}
