// The viewer as a process among others: viewers that share a temporary root each keep
// their files in a folder of their own, a folder whose viewer has ended goes at the
// next start (only the files a viewer makes, never others), and SIGTERM, SIGINT and
// SIGHUP end a viewer as its Close does: settings written, its folder gone.

#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStartMs = 30000;

// The folders under `root` whose names start with viewer-<pid>-.
std::vector<fs::path> FoldersOf(const fs::path& root, qint64 pid) {
  std::vector<fs::path> found;
  const std::string prefix = "viewer-" + std::to_string(pid) + "-";
  std::error_code ec;
  for (const auto& item : fs::directory_iterator(root, ec)) {
    if (item.path().filename().string().rfind(prefix, 0) == 0) found.push_back(item.path());
  }
  return found;
}

std::string FileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void Touch(const fs::path& file) { std::ofstream(file) << "x"; }

// A viewer with a config folder of its own and the shared temporary root, in
// `language`; started, and its own temporary folder made.
class Viewer {
 public:
  Viewer(const fs::path& config, const fs::path& tempRoot, int language) : config_(config), root_(tempRoot) {
    fs::create_directories(config);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromStdString(apptest::OffscreenPlatform()));
    env.insert(QStringLiteral("TARVO_CONFIG_DIR"), QString::fromStdString(config.string()));
    env.insert(QStringLiteral("TARVO_TEMP_DIR"), QString::fromStdString(tempRoot.string()));
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(TARVO_BINARY_DIR "/bin/tarvo-viewer"),
                   {QStringLiteral("--language"), QString::number(language)});
  }
  ~Viewer() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(kStartMs);
    }
  }
  // Waits until the viewer's folder is there and its window has had a moment to show.
  bool Started() {
    const bool made =
        process_.waitForStarted(kStartMs) &&
        apptest::WaitUntil([this] { return FoldersOf(root_, process_.processId()).size() == 1; }, kStartMs);
    if (made) apptest::WaitUntil([] { return false; }, 500);
    return made;
  }
  fs::path Folder() const {
    const std::vector<fs::path> folders = FoldersOf(root_, process_.processId());
    return folders.empty() ? fs::path() : folders.front();
  }
  // Sends `number` and waits for the end; the exit code, -1 when it did not end.
  int EndWith(int number) {
    ::kill(static_cast<pid_t>(process_.processId()), number);
    if (!process_.waitForFinished(kStartMs) || process_.exitStatus() != QProcess::NormalExit) return -1;
    return process_.exitCode();
  }
  std::string Errors() { return process_.readAllStandardError().toStdString(); }
  std::string Settings() const { return FileText(config_ / "option.ini"); }

 private:
  fs::path config_;
  fs::path root_;
  QProcess process_;
};

TEST(ViewerProcess, ViewersKeepTheirOwnTemporaryFoldersAndSignalsEndThemAsCloseDoes) {
  apptest::EnsureApplication();
  testsupport::TempFolder work;
  const fs::path root = work.Path() / "temp";
  fs::create_directories(root);
  // The user's own file in the root, and the folders of two viewers that were killed:
  // one still holds a file of the user's.
  Touch(root / "notes_REPAIR.avi");
  const fs::path staleShared = root / "viewer-1-aaaaaa";
  const fs::path staleOwn = root / "viewer-2-bbbbbb";
  for (const fs::path& stale : {staleShared, staleOwn}) {
    fs::create_directories(stale);
    Touch(stale / "owner.lock");
    Touch(stale / "A_REPAIR.avi");
  }
  Touch(staleShared / "letter.txt");

  Viewer first(work.Path() / "config1", root, 2);
  ASSERT_TRUE(first.Started()) << first.Errors();
  Viewer second(work.Path() / "config2", root, 3);
  ASSERT_TRUE(second.Started()) << second.Errors();
  const fs::path firstFolder = first.Folder();
  const fs::path secondFolder = second.Folder();
  EXPECT_NE(firstFolder, secondFolder);
  EXPECT_FALSE(fs::exists(staleOwn));
  EXPECT_TRUE(fs::exists(staleShared / "letter.txt"));
  EXPECT_FALSE(fs::exists(staleShared / "A_REPAIR.avi"));
  EXPECT_FALSE(fs::exists(staleShared / "owner.lock"));

  // SIGTERM: the first viewer goes as Close ends it, the second keeps its folder.
  EXPECT_EQ(first.EndWith(SIGTERM), 0) << first.Errors();
  EXPECT_FALSE(fs::exists(firstFolder));
  EXPECT_NE(first.Settings().find("LANGUAGE=2\r\n"), std::string::npos) << first.Settings();
  EXPECT_TRUE(fs::exists(secondFolder / "owner.lock"));

  // A viewer killed outright leaves its folder; the next one to start removes it.
  EXPECT_EQ(second.EndWith(SIGKILL), -1);
  EXPECT_TRUE(fs::exists(secondFolder));
  EXPECT_EQ(second.Settings(), "");
  Viewer third(work.Path() / "config3", root, 4);
  ASSERT_TRUE(third.Started()) << third.Errors();
  EXPECT_FALSE(fs::exists(secondFolder));
  const fs::path thirdFolder = third.Folder();
  EXPECT_EQ(third.EndWith(SIGHUP), 0) << third.Errors();
  EXPECT_FALSE(fs::exists(thirdFolder));
  EXPECT_NE(third.Settings().find("LANGUAGE=4\r\n"), std::string::npos);

  Viewer fourth(work.Path() / "config4", root, 5);
  ASSERT_TRUE(fourth.Started()) << fourth.Errors();
  const fs::path fourthFolder = fourth.Folder();
  EXPECT_EQ(fourth.EndWith(SIGINT), 0) << fourth.Errors();
  EXPECT_FALSE(fs::exists(fourthFolder));
  EXPECT_NE(fourth.Settings().find("LANGUAGE=5\r\n"), std::string::npos);

  // What is left: the user's files and the folder that holds one of them.
  std::vector<std::string> left;
  for (const auto& item : fs::recursive_directory_iterator(root)) left.push_back(fs::relative(item.path(), root));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"notes_REPAIR.avi", "viewer-1-aaaaaa", "viewer-1-aaaaaa/letter.txt"}));
}

}  // namespace
