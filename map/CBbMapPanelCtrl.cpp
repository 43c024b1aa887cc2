#include "map/CBbMapPanelCtrl.h"

#include <QPainter>

#include "controls/CMemoryDC.h"
#include "controls/ControlEvents.h"
#include "controls/ControlId.h"
#include "controls/SkinPalette.h"

CBbMapPanelCtrl::CBbMapPanelCtrl(int controlId, QWidget* parent) : QWidget(parent) {
  SetControlId(this, controlId);
  setProperty(kWindowClassProperty, QString::fromLatin1(kWindowClass));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CBbMapPanelCtrl::event(QEvent* event) {
  if (event->type() == PrivateEventType(kMsgMapPanelHost)) {
    const auto* message = static_cast<PrivateMessageEvent*>(event);
    Host(reinterpret_cast<QWidget*>(message->WParam()));
    return true;
  }
  return QWidget::event(event);
}

void CBbMapPanelCtrl::Host(QWidget* window) {
  disconnect(hostedGone);
  hosted = window;
  if (hosted) hostedGone = connect(hosted, &QObject::destroyed, this, [this] { hosted = nullptr; });
  FitHosted();
}

void CBbMapPanelCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  buffer.Painter().fillRect(rect(), skin::ToColor(skin::kPanelBackground));
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CBbMapPanelCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitHosted();
}

void CBbMapPanelCtrl::FitHosted() {
  if (hosted && hosted->parentWidget() == this) hosted->setGeometry(rect());
}
