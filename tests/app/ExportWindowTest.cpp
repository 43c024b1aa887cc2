// The export in the viewer's window: keys I and O mark the range on the seek bar,
// across two recordings; the menu's Export clip... opens the dialog, which exports
// off the window thread while the window keeps playing, shows the folder at the end,
// and cancels without leaving anything behind. Pictures of the dialog in English,
// Korean and Russian land in build/screenshots.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "WindowInspector.h"
#include "WindowTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/ContextMenus.h"
#include "app/DlgIds.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "playback/CPlayer.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "sources/CFileLoadDlg.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/TempFolder.h"
#include "tools/export/CExportDlg.h"

namespace fs = std::filesystem;

namespace {

// Two consecutive two-camera recordings of 2 s: 08:30:15 and 08:30:17.
const fs::path& RecordingFolder() {
  static testsupport::TempFolder folder;
  static bool made = false;
  if (!made) {
    made = true;
    for (int second : {15, 17}) {
      simulator::RecordOptions o = fixtures::SmallOptions(2, 2, avi::AudioKind::Aac);
      o.framesPerSecond = 10;
      o.start = fixtures::CameraClock(8, 30, second);
      fixtures::Record(o, folder.Path());
    }
  }
  return folder.Path();
}

class ExportWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    apptest::EnsureApplication();
    apptest::UseEnglish();
    apptest::ShownMessages().Clear();
    setenv("TARVO_AUDIO_SINK", "null", 1);
    dlg = std::make_unique<CDezirureDovuriDlg>();
    In().LoadingDialog()->delayOverrideMs = 0;
    dlg->resize(1034, 742);
    dlg->show();
    ASSERT_EQ(2, apptest::ListPaths(*dlg, {RecordingFolder().string()}));
    WaitForLoad();
  }
  void TearDown() override {
    dlg.reset();
    apptest::UseEnglish();
  }

  bool WaitForLoad() {
    apptest::WaitUntil([&] { return !In().Busy() && !In().LoadRunning(); }, 15000);
    return In().Player().state() == playback::kStateRunning;
  }
  // Pauses row `row` at `ms` and presses `key` on the file list, as a user would.
  void MarkAt(int row, int ms, int key) {
    if (In().CurrentRow() != row) {
      In().LoadItem(row);
      ASSERT_TRUE(WaitForLoad());
    }
    In().PausePlayback();
    In().Player().Seek(ms);
    ASSERT_TRUE(In().Player().WaitUntilSettled(std::chrono::seconds(5)));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(In().FileList(), &press);
  }
  CExportDlg* OpenDialog(int command) {
    dlg->OnCommand(command);
    auto* dialog = dlg->findChild<CExportDlg*>();
    if (dialog)
      dialog->SetFolderOpener([this](const QUrl& url) {
        opened.push_back(url.toLocalFile().toStdString());
        return true;
      });
    return dialog;
  }

  app::WindowInspector In() const { return app::WindowInspector(*dlg); }

  std::unique_ptr<CDezirureDovuriDlg> dlg;
  std::vector<std::string> opened;
  testsupport::TempFolder out;
};

TEST_F(ExportWindow, MarksOnTheSeekBarAndAClipMadeWhilePlaybackGoesOn) {
  // Without marks the menu says how to set them.
  dlg->OnCommand(app::kMenuExportClip);
  ASSERT_EQ(1u, apptest::ShownMessages().texts.size());
  EXPECT_EQ(QString::fromStdString(LanguageString(kStrExportNoMarks)), apptest::ShownMessages().texts[0]);
  EXPECT_EQ(nullptr, dlg->findChild<CExportDlg*>());

  auto* seek = In().SeekBar();
  MarkAt(0, 1500, Qt::Key_I);
  EXPECT_EQ(1500, seek->MarkStart());
  MarkAt(1, 1000, Qt::Key_O);
  EXPECT_EQ(-1, seek->MarkStart());  // the start mark is on the other recording
  EXPECT_EQ(1000, seek->MarkEnd());

  CExportDlg* dialog = OpenDialog(app::kMenuExportClip);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(ExportKind::Clip, dialog->Kind());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(clipexport::Layout::Side, dialog->Choices().layout);
  EXPECT_EQ(2u, dialog->Choices().plan.range.parts.size());
  EXPECT_EQ(15, dialog->Choices().plan.range.frames);  // 0.5 s and 1 s at 10 frames per second
  const QString range = QStringLiteral("2024-05-12 08:30:16.5 to 2024-05-12 08:30:18.0 (1.5 s)");
  const auto labels = dialog->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const QLabel* l) { return l->text() == range; }));
  dialog->grab().save(QString::fromStdString((apptest::ScreenshotFolder() / "export-dialog-en.png").string()));
  // The same command again brings the open dialog forward instead of a second one.
  dlg->OnCommand(app::kMenuExportClip);
  EXPECT_EQ(1, dlg->findChildren<CExportDlg*>().size());

  // Playback goes on while the clip is made.
  In().StartPlayback();
  const auto target = out.Path() / "clip.mp4";
  dialog->SetDestination(QString::fromStdString(target.string()));
  QSignalSpy finished(dialog, &CExportDlg::Finished);
  dialog->StartExport();
  EXPECT_TRUE(dialog->Running());
  ASSERT_TRUE(apptest::WaitUntil([&] { return finished.count() == 1; }, 30000));
  EXPECT_TRUE(finished.at(0).at(0).toBool()) << dialog->Outcome().error;
  EXPECT_EQ(15, dialog->Outcome().clip.frames);
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(std::vector<std::string>{out.Path().string()}, opened);
  EXPECT_EQ(In().Player().state(), playback::kStateRunning);
  dialog->close();
  EXPECT_TRUE(apptest::WaitUntil([&] { return dlg->findChild<CExportDlg*>() == nullptr; }, 2000));
  // The last recording played to its end: nothing plays, and the bar shows no marks.
  ASSERT_TRUE(apptest::WaitUntil([&] { return In().Player().state() != playback::kStateRunning; }, 10000));
  EXPECT_EQ(-1, seek->MarkStart());
  EXPECT_EQ(-1, seek->MarkEnd());
}

TEST_F(ExportWindow, CancelLeavesNoPackageAndTheDialogSpeaksTheLanguage) {
  MarkAt(0, 200, Qt::Key_I);
  MarkAt(1, 1800, Qt::Key_O);
  CExportDlg* dialog = OpenDialog(app::kMenuExportPackage);
  ASSERT_NE(nullptr, dialog);
  const auto target = out.Path() / "evidence";
  dialog->SetDestination(QString::fromStdString(target.string()));
  QSignalSpy finished(dialog, &CExportDlg::Finished);
  dialog->StartExport();
  dialog->CancelExport();
  ASSERT_TRUE(apptest::WaitUntil([&] { return finished.count() == 1; }, 30000));
  EXPECT_FALSE(finished.at(0).at(0).toBool());
  EXPECT_TRUE(dialog->Outcome().cancelled);
  EXPECT_EQ(QString::fromStdString(LanguageString(kStrExportCancelled)), dialog->StatusText());
  EXPECT_TRUE(fs::is_empty(out.Path()));
  EXPECT_TRUE(opened.empty());
  dialog->close();
  ASSERT_TRUE(apptest::WaitUntil([&] { return dlg->findChild<CExportDlg*>() == nullptr; }, 2000));

  // The dialog in Korean and Russian, for the pictures.
  for (const auto& [language, name] : {std::pair{1, "ko"}, std::pair{10, "ru"}}) {
    dlg->ChangeLanguage(language);
    dialog = OpenDialog(app::kMenuExportPackage);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(QString::fromStdString(LanguageString(kStrExportPackageTitle)), dialog->windowTitle());
    dialog->grab().save(QString::fromStdString(
        (apptest::ScreenshotFolder() / ("export-dialog-" + std::string(name) + ".png")).string()));
    dialog->close();
    ASSERT_TRUE(apptest::WaitUntil([&] { return dlg->findChild<CExportDlg*>() == nullptr; }, 2000));
  }
}

}  // namespace
