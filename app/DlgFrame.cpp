// The main window has no system frame: it moves when dragged by its own surface,
// resizes from 10-pixel bands along its edges, and maximises on a double click in its
// top bar. The window system does the dragging where it can; elsewhere the deltas are
// applied here.

#include <QMouseEvent>
#include <QWindow>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbButtonCtrl.h"

using app::DlgItem;

Qt::Edges CDezirureDovuriDlg::ResizeEdgesAt(QPoint pos, QSize size) {
  const int band = app::kResizeBorder;
  const bool left = pos.x() < band;
  const bool right = pos.x() >= size.width() - band;
  const bool top = pos.y() < band;
  const bool bottom = pos.y() >= size.height() - band;
  // Corners first, so that a press in a 10 x 10 corner takes both edges.
  if (top && left) return Qt::TopEdge | Qt::LeftEdge;
  if (top && right) return Qt::TopEdge | Qt::RightEdge;
  if (bottom && left) return Qt::BottomEdge | Qt::LeftEdge;
  if (bottom && right) return Qt::BottomEdge | Qt::RightEdge;
  if (left) return Qt::LeftEdge;
  if (top) return Qt::TopEdge;
  if (right) return Qt::RightEdge;
  if (bottom) return Qt::BottomEdge;
  return {};
}

namespace {

Qt::CursorShape CursorFor(Qt::Edges edges) {
  if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) {
    return Qt::SizeFDiagCursor;
  }
  if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge)) {
    return Qt::SizeBDiagCursor;
  }
  if (edges & (Qt::LeftEdge | Qt::RightEdge)) return Qt::SizeHorCursor;
  if (edges & (Qt::TopEdge | Qt::BottomEdge)) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

}  // namespace

void CDezirureDovuriDlg::ClearTopBarHover() {
  for (DlgItem item : app::kTopBarButtons) {
    if (CBbButtonCtrl* button = Button(item)) button->hoverShown = false;
  }
}

void CDezirureDovuriDlg::UpdateFrameCursor(QPoint pos) {
  const Qt::Edges edges = isMaximized() ? Qt::Edges() : ResizeEdgesAt(pos, size());
  setCursor(CursorFor(edges));
}

void CDezirureDovuriDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || isMaximized()) {
    QWidget::mousePressEvent(event);
    return;
  }
  const Qt::Edges edges = ResizeEdgesAt(event->position().toPoint(), size());
  dragEdges = edges;
  dragStart = event->globalPosition().toPoint();
  dragStartGeometry = geometry();
  if (edges) {
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemResize(edges)) return;
    dragging = true;
    grabMouse();
    return;
  }
  // A move starts only when the mouse moves, so a double click still arrives.
  movePending = true;
}

void CDezirureDovuriDlg::DragFrame(QPoint globalPos) {
  const QPoint delta = globalPos - dragStart;
  if (!dragEdges) {
    move(dragStartGeometry.topLeft() + delta);
    return;
  }
  QRect target = dragStartGeometry;
  const QSize least = minimumSize();
  // The dragged edge stops where the window would go below its minimum size; the
  // opposite edge stays put.
  if (dragEdges & Qt::LeftEdge) {
    target.setLeft(std::min(target.left() + delta.x(), target.right() + 1 - least.width()));
  }
  if (dragEdges & Qt::RightEdge) target.setRight(target.right() + delta.x());
  if (dragEdges & Qt::TopEdge) {
    target.setTop(std::min(target.top() + delta.y(), target.bottom() + 1 - least.height()));
  }
  if (dragEdges & Qt::BottomEdge) target.setBottom(target.bottom() + delta.y());
  target.setWidth(std::max(target.width(), least.width()));
  target.setHeight(std::max(target.height(), least.height()));
  setGeometry(target);
}

void CDezirureDovuriDlg::mouseMoveEvent(QMouseEvent* event) {
  if (dragging) {
    DragFrame(event->globalPosition().toPoint());
    return;
  }
  if (movePending && (event->buttons() & Qt::LeftButton)) {
    movePending = false;
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove()) return;
    dragging = true;
    grabMouse();
    DragFrame(event->globalPosition().toPoint());
    return;
  }
  // Crossing the window's own surface lets each top-bar button show its hover
  // picture again on the next entry.
  ClearTopBarHover();
  UpdateFrameCursor(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void CDezirureDovuriDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) movePending = false;
  if (dragging && event->button() == Qt::LeftButton) {
    DragFrame(event->globalPosition().toPoint());
    dragging = false;
    releaseMouse();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void CDezirureDovuriDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && layoutMode == 1 && event->position().y() < app::kTopBarHeight) {
    ToggleMaximise();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void CDezirureDovuriDlg::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    // A maximised window has no resize bands.
    setCursor(Qt::ArrowCursor);
  }
  QWidget::changeEvent(event);
}
