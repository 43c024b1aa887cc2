#include "app/BrowserSurface.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QStringList>

namespace app {

bool PrepareBrowserSurface(QWidget& window) {
  // Qt refuses (and, in this version, falls over) when an OpenGL child is made on a
  // platform without OpenGL composition, so only these are asked, and only with a
  // context that can be made.
  static const QStringList kComposingPlatforms = {QStringLiteral("xcb"), QStringLiteral("wayland"),
                                                  QStringLiteral("wayland-egl"), QStringLiteral("eglfs")};
  if (!kComposingPlatforms.contains(QGuiApplication::platformName())) return false;
  QOpenGLContext probe;
  if (!probe.create()) return false;
  auto* surface = new QOpenGLWidget(&window);
  surface->setObjectName(QStringLiteral("BrowserSurface"));
  surface->hide();
  return true;
}

}  // namespace app
