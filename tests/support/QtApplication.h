#pragma once
// The one Qt application object of a test process, made on first use: headless
// (offscreen) unless the environment names a platform, since test discovery runs the
// binaries outside ctest's environment too.

#include <QCoreApplication>
#include <QtGlobal>

namespace testsupport {

// App is QGuiApplication or QApplication, whichever the suite's code needs.
template <typename App>
App& TestApplication() {
  static int argc = 1;
  static char name[] = "tarvo-test";
  static char* argv[] = {name, nullptr};
  static App* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new App(argc, argv);
  }();
  return *app;
}

}  // namespace testsupport
