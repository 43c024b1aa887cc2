#pragma once
// What the control suites share: one application object, synthetic mouse events and
// solid skin pictures whose pixels the tests know.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include "controls/SkinImages.h"
#include "tests/support/QtApplication.h"

inline QApplication& TestApp() { return testsupport::TestApplication<QApplication>(); }

// Fixtures hold widgets as members, so the application exists before any test starts.
inline const bool kTestAppReady = (TestApp(), true);

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
  const QPointF local(at);
  QMouseEvent event(type, local, widget->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

inline void Press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonPress, at, b);
}
inline void Release(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonRelease, at, b);
}
inline void Move(QWidget* w, QPoint at) { SendMouse(w, QEvent::MouseMove, at); }
// A move with the left button held (what a drag delivers).
inline void Drag(QWidget* w, QPoint at) {
  const QPointF local(at);
  QMouseEvent event(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}
// Shows the window and lets the pending layout and resize work run.
inline void ShowAndSettle(QWidget* w) {
  w->show();
  QCoreApplication::processEvents();
}
inline void Leave(QWidget* w) {
  QEvent event(QEvent::Leave);
  QCoreApplication::sendEvent(w, &event);
}

// A picture of one colour, registered under `id`.
inline void RegisterSolid(int id, int w, int h, QRgb colour, skin::DrawKind kind = skin::DrawKind::Bitmap) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  skin::RegisterSkinImage(id, image, kind);
}

// The grab of a widget as an image.
inline QImage Grab(QWidget* widget) { return widget->grab().toImage(); }

// Saves a screenshot under the build folder; returns its path.
inline QString SaveShot(QWidget* widget, const QString& name) {
  const QString folder = QStringLiteral(TARVO_BINARY_DIR "/screenshots/controls");
  QDir().mkpath(folder);
  const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
  widget->grab().save(path);
  return path;
}
