#include "controls/CBbPanelCtrl.h"

#include <QPainter>

#include "controls/ControlEvents.h"
#include "controls/ControlId.h"

CBbPanelCtrl::CBbPanelCtrl(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CBbPanelCtrl::event(QEvent* event) {
  if (event->type() == PrivateEventType(kMsgCommand)) {
    const auto* command = static_cast<PrivateMessageEvent*>(event);
    PostPrivateMessage(parentWidget(), kMsgCommand, command->WParam(), command->LParam());
    return true;
  }
  return QWidget::event(event);
}

void CBbPanelCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
}
