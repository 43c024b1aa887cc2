// The viewer's Capture command: capture folder of a new user, the files, the
// question with string 145 and the folder handed to the file manager.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>

#include "controls/LanguageMessageBox.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "tests/playback/PlaybackTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/CaptureCommand.h"

namespace fs = std::filesystem;
using playback_test::Recording;
using playback_test::TestChannelWindow;
using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

QApplication& App() { return testsupport::TestApplication<QApplication>(); }
const bool kAppReady = (App(), true);

const fs::path kScreenshots = fs::path(TARVO_BINARY_DIR) / "screenshots" / "capture";

// Answers the next message box with `button` once it shows, remembering its text.
// A box that never comes is no failure here; a test that expects one checks `text`.
class BoxAnswer {
 public:
  explicit BoxAnswer(QMessageBox::StandardButton button, const char* screenshot = nullptr)
      : button_(button), screenshot_(screenshot) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  std::optional<QString> text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    text = box->text();
    buttons = box->standardButtons();
    icon = box->icon();
    if (screenshot_) {
      fs::create_directories(kScreenshots);
      box->grab().save(QString::fromStdString((kScreenshots / screenshot_).string()));
    }
    timer_.stop();
    box->button(button_)->click();
  }
  QMessageBox::StandardButton button_;
  const char* screenshot_;
  QTimer timer_;
};

// A new user: an empty home folder without Documents, the viewer's settings empty.
class CaptureCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    player.AttachWindows(&front, &rear);
    player.SetSourceOption(false);
    ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
    const int seen = front.Frames();
    ASSERT_TRUE(player.Seek(1200));
    front.WaitForFrames(seen + 1, 5000);
    FreeLanguageLibrary(TheViewerSettings());
    TheViewerSettings().language = 0;
  }
  void TearDown() override {
    FreeLanguageLibrary(TheViewerSettings());
    TheViewerSettings().language = 0;
  }
  StillCaptureResult Capture(int videoChannels = 2) {
    return RunCaptureCommand(
        player, "REC_20240512_083015_2.avi", videoChannels, settings, nullptr,
        [this](const QUrl& url) {
          opened.push_back(url);
          return true;
        },
        settingsFile);
  }

  TempFolder home;
  ScopedEnv homeEnv{"HOME", home.Path().c_str()};
  ScopedEnv xdg{"XDG_CONFIG_HOME", nullptr};
  TempFolder config;
  fs::path settingsFile = config / "option.ini";
  fs::path captureFolder = home / "Documents" / "CAM_CAPTURE";
  ViewerSettings settings;
  TestChannelWindow front{100, 56};
  TestChannelWindow rear{100, 56};
  playback::CPlayer player;
  std::vector<QUrl> opened;
};

TEST_F(CaptureCommand, ANewUsersFirstCaptureMakesTheFolderWritesBothPicturesAndAsks) {
  ASSERT_FALSE(fs::exists(home / "Documents"));
  BoxAnswer answer(QMessageBox::Yes, "capture-question.png");
  const StillCaptureResult result = Capture();
  ASSERT_TRUE(result.complete);
  EXPECT_EQ(captureFolder, fs::path(result.names.track1).parent_path());
  EXPECT_TRUE(fs::is_regular_file(result.names.track1));
  EXPECT_TRUE(fs::is_regular_file(result.names.track2));
  EXPECT_EQ(QSize(320, 180), QImage(QString::fromStdString(result.names.track1)).size());
  EXPECT_EQ(QSize(192, 108), QImage(QString::fromStdString(result.names.track2)).size());
  // The reset folder is in the settings file.
  ViewerSettings saved;
  ASSERT_TRUE(ReadSettings(settingsFile, saved));
  EXPECT_EQ(captureFolder.string(), saved.saveDirectory);
  // The question: the channel 1 file name, then string 145; Yes opens the folder.
  ASSERT_TRUE(answer.text.has_value());
  EXPECT_EQ(QString::fromStdString(result.names.track1 + " has been saved.\nOpen the capture folder?"), *answer.text);
  EXPECT_EQ(QMessageBox::Question, answer.icon);
  EXPECT_EQ(QMessageBox::Yes | QMessageBox::No, answer.buttons);
  ASSERT_EQ(1u, opened.size());
  EXPECT_EQ(QUrl::fromLocalFile(QString::fromStdString(captureFolder.string())), opened[0]);
}

TEST_F(CaptureCommand, NoKeepsTheFileManagerClosed) {
  BoxAnswer answer(QMessageBox::No);
  EXPECT_TRUE(Capture().complete);
  EXPECT_TRUE(answer.text.has_value());
  EXPECT_TRUE(opened.empty());
}

TEST_F(CaptureCommand, WithoutALanguageLibraryThePicturesAreWrittenButNothingAsks) {
  TheViewerSettings().language = 42;
  BoxAnswer answer(QMessageBox::Yes);
  const StillCaptureResult result = Capture();
  EXPECT_TRUE(result.complete);
  EXPECT_TRUE(fs::exists(result.names.track2));
  EXPECT_FALSE(answer.text.has_value());
  EXPECT_TRUE(opened.empty());
}

TEST_F(CaptureCommand, AKoreanQuestionFollowsTheFileName) {
  TheViewerSettings().language = 1;
  BoxAnswer answer(QMessageBox::No, "capture-question-korean.png");
  const StillCaptureResult result = Capture(1);
  ASSERT_TRUE(result.complete);
  EXPECT_FALSE(fs::exists(result.names.track2)) << "one video channel, one file";
  ASSERT_TRUE(answer.text.has_value());
  EXPECT_TRUE(answer.text->startsWith(QString::fromStdString(result.names.track1)));
  EXPECT_TRUE(answer.text->endsWith(QString::fromStdString(LanguageString(kStrCaptureSavedAsk))));
}

TEST_F(CaptureCommand, AnExistingChosenFolderIsKeptAndTheSettingsFileUntouched) {
  TempFolder chosen;
  settings.saveDirectory = chosen.Path().string();
  BoxAnswer answer(QMessageBox::No);
  const StillCaptureResult result = Capture();
  EXPECT_EQ(chosen.Path(), fs::path(result.names.track1).parent_path());
  EXPECT_FALSE(fs::exists(settingsFile));
  EXPECT_FALSE(fs::exists(captureFolder));
}

TEST_F(CaptureCommand, PicturesOrSettingsThatCannotBeWrittenAreSaidWithTheFileAndWhyAndNothingAsks) {
  std::vector<QString> said;
  const MessagePresenter old = SetMessagePresenter([&](QWidget*, const QString& text, QMessageBox::StandardButtons) {
    said.push_back(text);
    return QMessageBox::Ok;
  });
  TempFolder chosen;
  settings.saveDirectory = chosen.Path().string();
  StillCaptureResult locked;
  {
    BoxAnswer answer(QMessageBox::Yes);
    const testsupport::ReadOnlyFolder readOnly(chosen.Path());
    locked = Capture();
    EXPECT_FALSE(answer.text.has_value()) << "nothing was saved: no question";
  }
  EXPECT_FALSE(locked.complete);
  EXPECT_FALSE(locked.track1Written);
  EXPECT_EQ(locked.failedFile, locked.names.track1);
  EXPECT_TRUE(fs::is_empty(chosen.Path()));
  EXPECT_TRUE(opened.empty());
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], QStringLiteral("The picture could not be saved as %1.\nWriting there is not permitted.")
                         .arg(QString::fromStdString(locked.names.track1)));

  // The chosen folder gone and the settings folder locked: the pictures still go to
  // the default folder, and the settings file that kept the old folder is said.
  said.clear();
  settings.saveDirectory = (chosen / "gone").string();
  StillCaptureResult reset;
  {
    BoxAnswer answer(QMessageBox::No);
    const testsupport::ReadOnlyFolder readOnly(config.Path());
    reset = Capture();
  }
  EXPECT_TRUE(reset.complete);
  EXPECT_EQ(captureFolder, fs::path(reset.names.track1).parent_path());
  EXPECT_FALSE(fs::exists(settingsFile));
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], QStringLiteral("The settings could not be saved in %1.\nWriting there is not permitted.")
                         .arg(QString::fromStdString(settingsFile.string())));
  SetMessagePresenter(old);
}

TEST(CaptureCommandFailures, AFailedGrabAsksNothing) {
  App();
  TempFolder dir;
  ViewerSettings settings;
  settings.saveDirectory = dir.Path().string();
  playback::CPlayer player;  // no recording: an empty picture
  std::vector<QUrl> opened;
  BoxAnswer answer(QMessageBox::Yes);
  const StillCaptureResult result = RunCaptureCommand(player, "rec.avi", 2, settings, nullptr, [&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  EXPECT_FALSE(result.complete);
  EXPECT_FALSE(answer.text.has_value());
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
