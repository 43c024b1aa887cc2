#include "WindowTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <random>

#include "WindowInspector.h"
#include "app/CDezirureDovuriDlg.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/LanguageMessageBox.h"
#include "controls/ViewerStyle.h"
#include "map/WebEngineSetup.h"
#include "res/SkinResources.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileLoadDlg.h"
#include "tests/support/TempFolder.h"

namespace apptest {

std::string OffscreenPlatform() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform ? platform : "offscreen";
}

void EnsureApplication() {
  if (QApplication::instance()) return;
  // Lives until the process ends, like the application, and is removed then.
  static testsupport::TempFolder configFolder;
  testsupport::TempFolder* config = &configFolder;
  setenv("TARVO_CONFIG_DIR", config->Path().c_str(), 1);
  setenv("TARVO_TEMP_DIR", (config->Path() / "temp").c_str(), 1);
  // A full-HD screen, so that a maximised window has the size of a common desktop.
  const std::filesystem::path screens = config->Path() / "screens.json";
  std::ofstream(screens) << R"({"screens": [{"name": "screen0", "x": 0, "y": 0,
    "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
  // The map page needs no tiles in these suites: no connection unless a test says so.
  setenv("TARVO_NETWORK", "offline", 0);
  PrepareWebEngine();
  static int argc = 1;
  static char name[] = "app_window_test";
  static char* argv[] = {name, nullptr};
  auto* application = new QApplication(argc, argv);
  InitSkinResources();
  // The colours the viewer's windows have.
  skin::ApplyViewerStyle(*application);
  // No box ever waits for a person: each is recorded and answered.
  SetMessagePresenter([](QWidget*, const QString& text, QMessageBox::StandardButtons buttons) {
    Messages& shown = ShownMessages();
    shown.texts.push_back(text);
    if (buttons & shown.answer) return shown.answer;
    for (int bit = 1; bit != 0; bit <<= 1) {
      if (buttons & bit) return static_cast<QMessageBox::StandardButton>(bit);
    }
    return QMessageBox::NoButton;
  });
}

void UseEnglish() {
  TheViewerSettings().language = 0;
  LoadLanguageLibrary(TheViewerSettings());
}

Messages& ShownMessages() {
  static Messages messages;
  return messages;
}

bool WaitUntilFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

int ListPaths(CDezirureDovuriDlg& dlg, const std::vector<std::string>& paths) {
  app::WindowInspector window(dlg);
  window.LoadingDialog()->delayOverrideMs = 0;
  window.OpenPickedPaths(paths);
  WaitUntil([&] { return !window.LoadingDialog()->TimerActive(); }, 5000);
  return window.FileList()->GetItemCount();
}

std::vector<std::string> MakeSampleRecordings(const std::filesystem::path& folder) {
  static const char* const kNames[] = {
      "REC_20261208_091500_2.avi", "REC_20261208_091600_2.avi", "REC_20261208_091700_2.avi",
      "EVT_20261208_091742_2.avi", "REC_20261208_091800_2.avi", "REC_20261208_091900_1.avi",
      "PRK_20261208_123000_1.avi", "PRK_20261208_124500_1.avi", "REC_20261208_140000_2.avi",
      "EVT_20261208_140112_2.avi", "REC_20261208_140100_2.avi", "REC_20261208_140200_2.avi",
      "MOT_20261208_220015_1.avi", "REC_20261209_075900_2.avi", "REC_20261209_080000_2.avi",
      "EVT_20261209_080031_2.avi", "REC_20261209_080100_2.avi", "REC_20261209_080200_2.avi",
      "REC_20261209_080300_2.avi", "REC_20261209_080400_2.avi", "PRK_20261209_183000_1.avi",
      "REC_20261209_183500_2.avi", "REC_20261209_183600_2.avi", "REC_20261209_183700_2.avi",
  };
  std::vector<std::string> paths;
  for (const char* name : kNames) {
    const std::filesystem::path file = folder / name;
    std::ofstream out(file, std::ios::binary);
    out << std::string(2048, '\0');
    paths.push_back(file.string());
  }
  return paths;
}

std::filesystem::path ScreenshotFolder() {
  const std::filesystem::path folder = std::filesystem::path(TARVO_BINARY_DIR) / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace apptest
