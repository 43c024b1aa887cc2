#include "app/CDezirureDovuriApp.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/AppInfo.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/ShutdownSignals.h"
#include "controls/FocusReturn.h"
#include "map/WebEngineSetup.h"
#include "res/SkinResources.h"
#include "settings/ViewerSettings.h"

namespace {

void ApplyStartOptions(CDezirureDovuriDlg& dlg, const app::ViewerArgs& args) {
  if (args.language) dlg.ChangeLanguage(*args.language);
  if (args.width > 0) dlg.resize(args.width, args.height);
}

}  // namespace

int CDezirureDovuriApp::Run(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  std::string error;
  const std::optional<app::ViewerArgs> parsed = app::ParseViewerArgs(words, error);
  if (!parsed) {
    std::fprintf(stderr, "tarvo-viewer: %s\n%s", error.c_str(), app::ViewerUsage());
    return 2;
  }
  if (parsed->help) {
    std::fputs(app::ViewerUsage(), stdout);
    return 0;
  }
  const app::ViewerArgs& args = *parsed;

  // The map's web engine needs its settings before the application exists.
  PrepareWebEngine();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tarvo-viewer"));
  QApplication::setApplicationDisplayName(QString::fromUtf8(app::kAppName));
  QApplication::setOrganizationName(QString::fromUtf8(app::kOrganizationName));
  // Ties the windows to the desktop entry (its name and icon in docks and task bars).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tarvo.viewer"));
  InitSkinResources();
  InstallFocusReturn(application);

  // Paths on the command line open as a drop of them would, once the window shows.
  SetStartupPaths(args.paths);
  // Before the window, so that a signal while it is made is not lost: it waits in the
  // pipe until the event loop runs.
  CDezirureDovuriDlg* window = nullptr;
  const app::ShutdownSignals shutdown([&window](int) {
    if (window) {
      window->EndBySignal();
    } else {
      QApplication::exit(0);
    }
  });
  CDezirureDovuriDlg dlg;
  window = &dlg;
  ApplyStartOptions(dlg, args);
  if (args.layoutMode == 2) dlg.ToggleLayout();
  if (args.maximised) {
    dlg.showMaximized();
  } else {
    dlg.show();
  }

  if (!args.screenshotPath.empty()) {
    // A screenshot run leaves the user's settings file as it found it.
    dlg.SetWriteSettingsOnClose(false);
    const QString out = QString::fromStdString(args.screenshotPath);
    QTimer::singleShot(args.afterMs, &dlg, [&dlg, out] {
      const bool saved = dlg.grab().save(out, "PNG");
      if (!saved) std::fprintf(stderr, "tarvo-viewer: cannot write %s\n", qPrintable(out));
      QApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
  }
  // The window writes the settings file when it goes.
  return QApplication::exec();
}
