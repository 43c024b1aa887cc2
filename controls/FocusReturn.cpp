#include "controls/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Dialogs, boxes and tool windows that sit over another window; not menus, tooltips
// or the main window itself.
bool SitsOverAnotherWindow(const QWidget* widget) {
  if (!widget->isWindow() || widget->parentWidget() == nullptr) return false;
  const Qt::WindowType type = widget->windowType();
  return type == Qt::Dialog || type == Qt::Tool || type == Qt::Window;
}

class FocusReturn : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Hide || !watched->isWidgetType()) return false;
    const auto* gone = static_cast<QWidget*>(watched);
    if (!SitsOverAnotherWindow(gone)) return false;
    QPointer<QWidget> below = gone->parentWidget()->window();
    // After the window is gone: a modal window still open (a dialog under a box) takes
    // the keyboard before the window the gone one belonged to.
    QTimer::singleShot(0, this, [below] {
      QWidget* target = QApplication::activeModalWidget();
      if (target == nullptr) target = below.data();
      if (target != nullptr && target->isVisible() && !target->isActiveWindow()) target->activateWindow();
    });
    return false;
  }
};

}  // namespace

void InstallFocusReturn(QApplication& application) {
  static FocusReturn* installed = nullptr;
  if (installed != nullptr) return;
  installed = new FocusReturn(&application);
  application.installEventFilter(installed);
}
