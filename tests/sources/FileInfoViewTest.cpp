// The card information view: its two sizes, the pieces and their values, the list, the
// refusals' messages, and the about box's button that opens it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/CDezirureDovuriDlg.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/ControlId.h"
#include "settings/ApplicationStrings.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileInfoView.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"
#include "tests/app/WindowInspector.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using fileinfo::FileFigures;
using testsupport::TempFolder;

constexpr uint64_t kMiB = 1024;  // in KiB

FileFigures SampleFigures() {
  FileFigures f;
  fileinfo::CountEntry("REC_20240101_120000_2.avi", "REC_20240101_120000_2.avi", 1024 * kMiB, f);
  fileinfo::CountEntry("REC_20240101_120100_2.avi", "REC_20240101_120100_2.avi", 512 * kMiB, f);
  fileinfo::CountEntry("EVT_20240101_120200_2.avi", "EVT_20240101_120200_2.avi", 300 * kMiB, f);
  fileinfo::CountEntry("PRK_20240101_120300_1.avi", "PRK_20240101_120300_1.avi", 90 * kMiB, f);
  fileinfo::CountEntry("MOT_20240101_120400_1.avi", "MOT_20240101_120400_1.avi", 120 * kMiB, f);
  return f;
}

// Calls `act` with the first modal window of type T that opens (polled from the event
// loop), or with null when none opens within five seconds.
template <typename T>
void WhenModalOpens(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
    T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (modal == nullptr && ++*waited < 500) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start(10);
}

class FileInfoViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
  void SetUp() override { apptest::UseEnglish(); }
  void TearDown() override { apptest::UseEnglish(); }
  void MarkUser() { std::ofstream(marker / "User.bin") << ""; }

  // A set as an opened card with a settings file leaves it.
  void MakeCardSet(RecordingCollection& set) {
    SourceEntry card;
    card.root = cardRoot.Path().string() + "/";
    card.kind = kSourceCard;
    set.sources.push_back(card);
    set.selectedSource = 0;
    set.sourceKind = kSourceCard;
    std::ofstream(cardRoot / "setup.cfg") << "x";
    for (const char* name : {"REC_20240101_120000_2.avi", "EVT_20240101_120200_2.avi"}) {
      RecordingEntry entry;
      entry.fileName = entry.path = name;
      entry.cardFileNumber = 3;
      entry.sizeKiB = 768 * kMiB;
      set.entries.push_back(entry);
    }
  }

  TempFolder marker;
  TempFolder cardRoot;
};

TEST_F(FileInfoViewTest, WithoutMarkerTheViewIsSmallAndTheListHidden) {
  CFileInfoView view(SampleFigures(), 0, nullptr, marker.Path());
  EXPECT_EQ(view.windowTitle(), QStringLiteral("Info"));
  EXPECT_FALSE(view.ListShown());
  EXPECT_EQ(view.size(), QSize(250, 230));
  auto* list = FindControl<QTreeWidget>(&view, CFileInfoView::kIdList);
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(list->isVisibleTo(&view));
  EXPECT_EQ(list->topLevelItemCount(), 5) << "the rows go in even when the list is hidden";
  const struct {
    int id, kind;
    QPoint at;
  } texts[] = {
      {1004, 16, {70, 10}}, {1000, 12, {10, 40}}, {1001, 15, {10, 70}}, {1002, 13, {10, 100}}, {1003, 14, {10, 130}}};
  for (const auto& t : texts) {
    auto* text = FindControl<CBbTextCtrl>(&view, t.id);
    ASSERT_NE(text, nullptr) << t.id;
    EXPECT_EQ(text->kind, t.kind) << t.id;
    // 210 wide, so that the largest card size fits (the text fit test measures it).
    EXPECT_EQ(text->geometry(), QRect(t.at, QSize(210, 20))) << t.id;
    EXPECT_EQ(text->backgroundColour, 0x0A0A0Au) << t.id;
  }
  auto* ok = FindControl<CBbButtonCtrl>(&view, CFileInfoView::kIdOk);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->geometry(), QRect(150, 160, 83, 32));
  EXPECT_EQ(ok->normalImage, 192);
}

TEST_F(FileInfoViewTest, WithMarkerTheListShowsBesideTheRows) {
  MarkUser();
  CFileInfoView view(SampleFigures(), 0, nullptr, marker.Path());
  EXPECT_TRUE(view.ListShown());
  EXPECT_EQ(view.size(), QSize(634, 742));
  auto* list = FindControl<QTreeWidget>(&view, CFileInfoView::kIdList);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisibleTo(&view));
  EXPECT_EQ(list->geometry(), QRect(10, 10, 364, 692));
  EXPECT_EQ(FindControl<CBbTextCtrl>(&view, 1004)->pos(), QPoint(444, 10));
  EXPECT_EQ(FindControl<CBbTextCtrl>(&view, 1000)->pos(), QPoint(384, 40));
  EXPECT_EQ(FindControl<CBbTextCtrl>(&view, 1003)->pos(), QPoint(384, 130));
  EXPECT_EQ(FindControl<CBbButtonCtrl>(&view, 1)->pos(), QPoint(541, 160));
}

TEST_F(FileInfoViewTest, ListHasTheThreeColumnsAndOneRowPerFile) {
  CFileInfoView view(SampleFigures(), 0, nullptr, marker.Path());
  auto* list = FindControl<QTreeWidget>(&view, CFileInfoView::kIdList);
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), QString::fromUtf8("번호"));
  EXPECT_EQ(list->headerItem()->text(1), QString::fromUtf8("파일이름"));
  EXPECT_EQ(list->headerItem()->text(2), QString::fromUtf8("파일크기"));
  EXPECT_EQ(list->columnWidth(0), 50);
  EXPECT_EQ(list->columnWidth(1), 200);
  EXPECT_EQ(list->columnWidth(2), 80);
  ASSERT_EQ(list->topLevelItemCount(), 5);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("1"));
  EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("REC_20240101_120000_2.avi"));
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("1024MB"));
  EXPECT_EQ(list->topLevelItem(3)->text(2), QStringLiteral(" 90MB"));
  EXPECT_EQ(list->topLevelItem(4)->text(0), QStringLiteral("5"));
  EXPECT_STREQ("번호", ApplicationString(kAppStrInfoColumnNumber));
  EXPECT_STREQ("파일이름", ApplicationString(kAppStrInfoColumnName));
  EXPECT_STREQ("파일크기", ApplicationString(kAppStrInfoColumnSize));
}

TEST_F(FileInfoViewTest, RowsShowCountsFourWideAndGigabytes) {
  CFileInfoView view(SampleFigures(), 0, nullptr, marker.Path());
  auto* total = FindControl<CBbTextCtrl>(&view, 1000);
  auto* normal = FindControl<CBbTextCtrl>(&view, 1001);
  auto* event = FindControl<CBbTextCtrl>(&view, 1002);
  auto* parking = FindControl<CBbTextCtrl>(&view, 1003);
  EXPECT_EQ(total->countAll, QStringLiteral("   5"));
  EXPECT_EQ(total->sizeAll, QStringLiteral("2.0GB"));  // 2046 MiB
  EXPECT_EQ(normal->countNormal, QStringLiteral("   2"));
  EXPECT_EQ(normal->sizeNormal, QStringLiteral("1.5GB"));
  EXPECT_EQ(event->countEvent, QStringLiteral("   1"));
  EXPECT_EQ(event->sizeEvent, QStringLiteral("0.3GB"));
  EXPECT_EQ(parking->countParking, QStringLiteral("   1")) << "MOT only; PRK is in the total";
  EXPECT_EQ(parking->sizeParking, QStringLiteral("0.1GB"));
  // The row draws its label, then the two values.
  const auto runs = normal->Layout();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, QString::fromUtf8("상시"));
  EXPECT_EQ(runs[1].text, QStringLiteral("   2"));
  EXPECT_EQ(runs[2].text, QStringLiteral("1.5GB"));
}

TEST_F(FileInfoViewTest, CentredOverItsOwnerAndOkEndsIt) {
  QWidget owner;
  owner.setGeometry(100, 80, 291, 160);
  owner.show();
  CFileInfoView view(SampleFigures(), 0, &owner, marker.Path());
  view.show();
  const QRect frame = owner.frameGeometry();
  EXPECT_EQ(view.pos(), QPoint(frame.left() + (frame.width() - 250) / 2, frame.top() + (frame.height() - 230) / 2));
  QTest::mouseClick(FindControl<CBbButtonCtrl>(&view, CFileInfoView::kIdOk), Qt::LeftButton);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_FALSE(view.isVisible());
}

TEST_F(FileInfoViewTest, RefusalsShowTheirLanguageString) {
  RecordingCollection set;
  apptest::ShownMessages().Clear();
  EXPECT_EQ(kStrInfoNoRecordings, CFileInfoView::ShowFor(set, 0, nullptr));
  MakeCardSet(set);
  set.sourceKind = kSourceChosenFiles;
  EXPECT_EQ(kStrInfoNotCard, CFileInfoView::ShowFor(set, 0, nullptr));
  set.sourceKind = kSourceCard;
  std::filesystem::remove(cardRoot / "setup.cfg");
  EXPECT_EQ(kStrInfoNoSetupFile, CFileInfoView::ShowFor(set, 0, nullptr));
  const std::vector<QString> expected = {
      QStringLiteral("There are no recordings to show."),
      QStringLiteral("File information is only available for a dashcam memory card."),
      QStringLiteral("There is no dashcam settings file on this card.")};
  EXPECT_EQ(apptest::ShownMessages().texts, expected);
}

TEST_F(FileInfoViewTest, NoLanguageLibraryMeansNoMessageBox) {
  TheViewerSettings().language = 12;
  LoadLanguageLibrary(TheViewerSettings());
  RecordingCollection set;
  apptest::ShownMessages().Clear();
  // The refusal still stops the gathering; only the box is skipped.
  EXPECT_EQ(kStrInfoNoRecordings, CFileInfoView::ShowFor(set, 0, nullptr));
  EXPECT_TRUE(apptest::ShownMessages().texts.empty());
}

TEST_F(FileInfoViewTest, FiguresRunTheViewModally) {
  RecordingCollection set;
  MakeCardSet(set);
  int rows = -1;
  WhenModalOpens<CFileInfoView>([&rows](CFileInfoView* view) {
    if (view == nullptr) return;
    rows = FindControl<QTreeWidget>(view, CFileInfoView::kIdList)->topLevelItemCount();
    QTest::mouseClick(FindControl<CBbButtonCtrl>(view, CFileInfoView::kIdOk), Qt::LeftButton);
  });
  EXPECT_EQ(0, CFileInfoView::ShowFor(set, 0, nullptr));
  EXPECT_EQ(rows, 2);
}

// The main window with its start-up notice over, as a user finds it.
class AboutBoxCardButton : public FileInfoViewTest {
 protected:
  void SetUp() override {
    FileInfoViewTest::SetUp();
    main = std::make_unique<CDezirureDovuriDlg>();
    app::WindowInspector(*main).LoadingDialog()->delayOverrideMs = 0;
    QTest::qWait(20);
    ASSERT_TRUE(
        apptest::WaitUntil([this] { return !app::WindowInspector(*main).LoadingDialog()->TimerActive(); }, 5000));
    MakeCardSet(app::WindowInspector(*main).Collection());
  }
  void TearDown() override {
    main.reset();
    FileInfoViewTest::TearDown();
  }
  void ClickCardButton(CAboutDlg& about) {
    QTest::mouseClick(FindControl<CBbButtonCtrl>(&about, CAboutDlg::kIdCardInfo), Qt::LeftButton);
  }
  std::unique_ptr<CDezirureDovuriDlg> main;
};

TEST_F(AboutBoxCardButton, OpensTheViewOverTheMainWindowsCard) {
  CAboutDlg about(0, &app::WindowInspector(*main).Collection(), main.get());
  about.show();
  int count = -1;
  QString title;
  WhenModalOpens<CFileInfoView>([&count, &title](CFileInfoView* view) {
    if (view == nullptr) return;
    title = view->windowTitle();
    count = view->Figures().totalCount;
    QTest::mouseClick(FindControl<CBbButtonCtrl>(view, CFileInfoView::kIdOk), Qt::LeftButton);
  });
  ClickCardButton(about);
  EXPECT_EQ(title, QStringLiteral("Info"));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(about.isVisible()) << "the about box stays open under the view";
}

TEST_F(AboutBoxCardButton, OnAFolderSetSays287) {
  app::WindowInspector(*main).Collection().sourceKind = kSourceChosenFiles;
  CAboutDlg about(0, &app::WindowInspector(*main).Collection(), main.get());
  about.show();
  apptest::ShownMessages().Clear();
  ClickCardButton(about);
  ASSERT_EQ(apptest::ShownMessages().texts.size(), 1u);
  EXPECT_EQ(apptest::ShownMessages().texts[0],
            QStringLiteral("File information is only available for a dashcam memory card."));
}

TEST_F(FileInfoViewTest, PicturesWithAndWithoutTheMarker) {
  for (bool marked : {false, true}) {
    if (marked) MarkUser();
    CFileInfoView view(SampleFigures(), 0, nullptr, marker.Path());
    view.show();
    const QImage picture = view.grab().toImage();
    EXPECT_EQ(picture.size(), marked ? QSize(634, 742) : QSize(250, 230));
    // The background between the pieces is the window colour.
    EXPECT_EQ(picture.pixel(marked ? 620 : 240, 220), qRgb(0x0A, 0x0A, 0x0A));
    const char* name = marked ? "file-info-with-list.png" : "file-info.png";
    EXPECT_TRUE(picture.save(QString::fromStdString((apptest::ScreenshotFolder() / name).string())));
  }
}

}  // namespace
