#include "controls/CBbPanelCtrl.h"

#include <QPainter>

#include "controls/ControlId.h"

CBbPanelCtrl::CBbPanelCtrl(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBbPanelCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
}
