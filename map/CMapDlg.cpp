#include "map/CMapDlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CMemoryDC.h"
#include "controls/ControlEvents.h"
#include "controls/SkinPalette.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapViewWnd.h"
#include "map/MapHost.h"
#include "res/SkinIds.h"

namespace {

using mapview::FrameGrip;

mapview::FrameRect ToFrameRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
QRect ToQRect(const mapview::FrameRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

Qt::Edges EdgesOf(FrameGrip grip) {
  Qt::Edges edges;
  if (mapview::GripsLeft(grip)) edges |= Qt::LeftEdge;
  if (mapview::GripsTop(grip)) edges |= Qt::TopEdge;
  if (mapview::GripsRight(grip)) edges |= Qt::RightEdge;
  if (mapview::GripsBottom(grip)) edges |= Qt::BottomEdge;
  return edges;
}

Qt::CursorShape CursorFor(FrameGrip grip) {
  switch (grip) {
    case FrameGrip::TopLeft:
    case FrameGrip::BottomRight:
      return Qt::SizeFDiagCursor;
    case FrameGrip::TopRight:
    case FrameGrip::BottomLeft:
      return Qt::SizeBDiagCursor;
    case FrameGrip::Left:
    case FrameGrip::Right:
      return Qt::SizeHorCursor;
    case FrameGrip::Top:
    case FrameGrip::Bottom:
      return Qt::SizeVerCursor;
    case FrameGrip::None:
      break;
  }
  return Qt::ArrowCursor;
}

}  // namespace

CMapDlg::CMapDlg(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("CMapDlg"));
  setWindowTitle(QString());
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(mapview::kMapDlgMinimumSize, mapview::kMapDlgMinimumSize);

  closeButton = new CBbButtonCtrl(kIdClose, this);
  closeButton->SetImages(skin::kMapCloseNormal, skin::kMapClosePressed, skin::kMapCloseHover, 0);
  closeButton->Redraw();
  connect(closeButton, &CBbButtonCtrl::Clicked, this, [this](int) { emit CloseRequested(); });

  panel = new CBbMapPanelCtrl(kIdPanel, this);

  captionText = new CBbTextCtrl(kIdCaptionText, kCaptionTextKind, this);
  captionText->backgroundColour = skin::kBarBackground;
  coordText = new CBbTextCtrl(kIdCoordText, kCoordTextKind, this);
  coordText->backgroundColour = skin::kBarBackground;

  setGeometry(QRect(kInitialPosition, QSize(mapview::kMapDlgMinimumSize, mapview::kMapDlgMinimumSize)));
  ApplyLayout();
  hide();
}

void CMapDlg::SetCoordinates(float latitude, float longitude) {
  coordText->latitude = latitude;
  coordText->longitude = longitude;
  coordText->update();
}

void CMapDlg::ApplyLayout() {
  const int w = width();
  const int h = height();
  closeButton->setGeometry(w - 40, 5, 30, 24);
  // 60, not 50: the Italian and Russian captions ("Mappa", "Карта") need the room,
  // and a one-word caption cannot be shortened.
  captionText->setGeometry(5, 10, 60, 20);
  coordText->setGeometry(5, h - 26, 300, 20);
  panel->setGeometry(5, 35, w - 10, h - 65);
}

bool CMapDlg::event(QEvent* event) {
  if (event->type() == PrivateEventType(kMsgMapDlgLayout)) {
    ApplyLayout();
    return true;
  }
  return QWidget::event(event);
}

void CMapDlg::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  buffer.Painter().fillRect(rect(), skin::ToColor(skin::kBarBackground));
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CMapDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyLayout();
  // The page has a new size: put the vehicle back in its middle.
  auto* view = qobject_cast<CMapViewWnd*>(panel->Hosted());
  if (view && host) view->ShowPosition(host->CurrentPositionMs());
}

void CMapDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CMapDlg::closeEvent(QCloseEvent* event) {
  // The window system's close does what the close button does: the window only
  // hides, and the map goes back to the main window.
  event->ignore();
  emit CloseRequested();
}

void CMapDlg::UpdateCursor(QPoint pos) { setCursor(CursorFor(mapview::GripAt(pos.x(), pos.y(), width(), height()))); }

void CMapDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPoint pos = event->position().toPoint();
  grip = mapview::GripAt(pos.x(), pos.y(), width(), height());
  dragStart = event->globalPosition().toPoint();
  dragStartGeometry = geometry();
  if (grip != FrameGrip::None) {
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemResize(EdgesOf(grip))) return;
    resizing = true;
    grabMouse();
    return;
  }
  movePending = true;
}

void CMapDlg::DragTo(QPoint globalPos) {
  const QPoint delta = globalPos - dragStart;
  if (moving) {
    move(dragStartGeometry.topLeft() + delta);
    return;
  }
  setGeometry(ToQRect(mapview::DragEdges(ToFrameRect(dragStartGeometry), grip, delta.x(), delta.y())));
}

void CMapDlg::mouseMoveEvent(QMouseEvent* event) {
  if (resizing || moving) {
    DragTo(event->globalPosition().toPoint());
    return;
  }
  if (movePending && (event->buttons() & Qt::LeftButton)) {
    movePending = false;
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove()) return;
    moving = true;
    grabMouse();
    DragTo(event->globalPosition().toPoint());
    return;
  }
  UpdateCursor(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void CMapDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    movePending = false;
    if (resizing || moving) {
      DragTo(event->globalPosition().toPoint());
      resizing = false;
      moving = false;
      grip = FrameGrip::None;
      releaseMouse();
      return;
    }
  }
  QWidget::mouseReleaseEvent(event);
}
