// The main window on a real X display (a private Xvfb): the map's browser, created a
// moment after the window shows, lands in the window as it is. Qt makes a window anew
// (a new X window, a blink) when it gains an OpenGL child after it was shown.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/CDezirureDovuriDlg.h"
#include "map/CMapViewWnd.h"
#include "map/WebEngineSetup.h"
#include "res/SkinResources.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A private X server; its display (":N"), or "" when there is no Xvfb.
class PrivateXServer {
 public:
  explicit PrivateXServer(const fs::path& folder) {
    const fs::path displayFile = folder / "display";
    const std::string command =
        "exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>'" + displayFile.string() + "' 2>/dev/null";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
      return;
    }
    for (int i = 0; i < 100 && display_.empty(); ++i) {
      QTest::qSleep(100);
      std::ifstream in(displayFile);
      std::string number;
      if (in >> number) display_ = ":" + number;
    }
  }
  ~PrivateXServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

TEST(WindowSurface, TheMapBrowserLandsInTheWindowWithoutMakingItAnew) {
  testsupport::TempFolder folder;
  PrivateXServer server(folder.Path());
  if (server.Display().empty()) GTEST_SKIP() << "no Xvfb on this machine";
  setenv("DISPLAY", server.Display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("TARVO_CONFIG_DIR", (folder.Path() / "config").c_str(), 1);
  setenv("TARVO_TEMP_DIR", (folder.Path() / "temp").c_str(), 1);
  // The map page loads a second after the window shows when there is a connection.
  setenv("TARVO_NETWORK", "online", 1);
  PrepareWebEngine();
  int argc = 1;
  char name[] = "app_surface_test";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  InitSkinResources();
  {
    CDezirureDovuriDlg dlg;
    dlg.SetWriteSettingsOnClose(false);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg, 10000));
    const WId before = dlg.winId();
    const QWindow* handle = dlg.windowHandle();
    auto* map = dlg.findChild<CMapViewWnd*>();
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return map->Browser() != nullptr; }, 10000)) << "no map browser was made";
    // The page loads and draws; the window must still be the one that was shown.
    QTest::qWait(1500);
    EXPECT_EQ(dlg.winId(), before);
    EXPECT_EQ(dlg.windowHandle(), handle);
    EXPECT_TRUE(dlg.isVisible());
  }
}

}  // namespace
