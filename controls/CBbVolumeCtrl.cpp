#include "controls/CBbVolumeCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/CMemoryDC.h"
#include "controls/ControlEvents.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"
#include "res/SkinIds.h"

CBbVolumeCtrl::CBbVolumeCtrl(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(kDefaultWidth, kDefaultHeight);
}

int CBbVolumeCtrl::LevelAt(int x, int clientWidth) {
  if (x < 0) return 0;
  if (x >= clientWidth) return kMaxLevel;
  // Eleven equal steps, the last one taking what the integer division leaves over.
  const int step = clientWidth / (kMaxLevel + 1);
  if (step <= 0) return kMaxLevel;
  return std::clamp(x / step, 0, kMaxLevel);
}

int CBbVolumeCtrl::FilledWidth(int barLevel, int clientWidth) {
  return std::clamp(barLevel, 0, kMaxLevel) * (clientWidth / kMaxLevel);
}

void CBbVolumeCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(skin::kBarBackground));
  DrawSkinBitmap(p, skin::kVolumeEmpty, 0, 0, width(), height());
  if (!drawEmpty) DrawSkinBitmap(p, skin::kVolumeFull, 0, 0, FilledWidth(level, width()), height());
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CBbVolumeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  level = LevelAt(static_cast<int>(event->position().x()), width());
  update();
  PostPrivateMessage(parentWidget(), kMsgVolumeLevel, level);
  event->accept();
}
