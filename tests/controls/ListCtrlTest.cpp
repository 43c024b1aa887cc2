// The file list: rows from the recording set, row colours, keys and wheel, and the
// skinned scroll bar's thumb geometry and hold-to-scroll timers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>

#include "ControlTestSupport.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlId.h"
#include "sources/RecordingCollection.h"

namespace {

bool NoLanguage(int number, std::string& text) {
  text = "T" + std::to_string(number);
  return true;
}

class ListCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    owner.resize(400, 400);
    list = new CBbListCtrl(1003, &owner);
    list->setGeometry(10, 20, 262, 200);
    bar = list->ScrollBar();
  }

  void Fill(int rows) {
    for (int i = 0; i < rows; ++i) {
      list->InsertRow(i,
                      RecordingRow{std::to_string(i + 1), "2024-05-01", "12:00:00", "Normal", "/tmp/x.avi", "x.avi"});
    }
    bar->UpdateThumb();
  }

  QWidget owner;
  CBbListCtrl* list = nullptr;
  CSkinVerticleScrollbar* bar = nullptr;
};

TEST_F(ListCtrlTest, ScrollBarSitsRightOfListInTheParent) {
  ShowAndSettle(&owner);
  EXPECT_EQ(bar->parentWidget(), &owner);
  EXPECT_EQ(ControlId(bar), 0xFFFF);
  EXPECT_EQ(bar->geometry(), QRect(272, 20, 18, 200));
}

TEST_F(ListCtrlTest, RowsAfterListAllCarryTheSetInOrder) {
  RecordingCollection set;
  set.languageLookup = &NoLanguage;
  for (const char* name : {"REC_20240501_120000_2.avi", "EVT_20240501_120100_2.avi", "PRK_20240501_120200_1.avi"}) {
    RecordingEntry entry;
    entry.fileName = name;
    entry.path = std::string("/data/") + name;
    RecordingCollection::ParseRecordingName(name, entry);
    set.entries.push_back(entry);
  }
  ASSERT_EQ(set.ListAll(*list), 3);
  EXPECT_EQ(list->GetItemCount(), 3);
  EXPECT_EQ(list->GetItemText(0, kColumnFileName), "REC_20240501_120000_2.avi");
  EXPECT_EQ(list->GetItemText(1, kColumnFileName), "EVT_20240501_120100_2.avi");
  EXPECT_EQ(list->GetItemText(2, kColumnPath), "/data/PRK_20240501_120200_1.avi");
  EXPECT_EQ(list->GetItemText(0, kColumnNumber), "1");
  // Listing again replaces the rows instead of adding to them.
  ASSERT_EQ(set.ListAll(*list), 3);
  EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(ListCtrlTest, RowColoursAlternateAndHighlightWinsOverSelection) {
  auto even = CBbListCtrl::ColoursFor(0, -1, false);
  EXPECT_EQ(even.background, 0x464646u);
  EXPECT_EQ(even.text, 0xB4B4B4u);
  auto odd = CBbListCtrl::ColoursFor(1, -1, false);
  EXPECT_EQ(odd.background, 0x323232u);
  auto selected = CBbListCtrl::ColoursFor(1, -1, true);
  EXPECT_EQ(selected.background, 0x008080u);
  EXPECT_EQ(selected.text, 0x141414u);
  auto highlighted = CBbListCtrl::ColoursFor(0, 0, true);
  EXPECT_EQ(highlighted.background, 0x808000u);
  EXPECT_EQ(highlighted.text, 0xC8C8C8u);
}

TEST_F(ListCtrlTest, PaintedRowsShowTheirColours) {
  Fill(4);
  list->SetHighlightRow(2);
  list->SelectRow(1);
  ShowAndSettle(&owner);
  const QImage shot = Grab(list);
  const int header = list->horizontalHeader()->height();
  const int rowHeight = CBbListCtrl::kRowHeight;
  // Sample the visible end of the type column (cut by the list's width), clear of text.
  const int x = 35 + 72 + 56 + 90;
  EXPECT_EQ(shot.pixel(x, header + rowHeight / 2), skin::ToColor(0x464646).rgb());
  EXPECT_EQ(shot.pixel(x, header + rowHeight + rowHeight / 2), skin::ToColor(0x008080).rgb());
  EXPECT_EQ(shot.pixel(x, header + 2 * rowHeight + rowHeight / 2), skin::ToColor(0x808000).rgb());
  EXPECT_EQ(shot.pixel(x, header + 3 * rowHeight + rowHeight / 2), skin::ToColor(0x323232).rgb());
}

TEST_F(ListCtrlTest, ATripsFirstRowHasASeparatorOverItUntilTheRowsAreReplaced) {
  Fill(4);
  list->SetTripStarts({true, false, true, false});
  ShowAndSettle(&owner);
  const int header = list->horizontalHeader()->height();
  const int rowHeight = CBbListCtrl::kRowHeight;
  const int x = 35 + 72 + 56 + 90;
  const auto top = [&](const QImage& shot, int row) { return shot.pixel(x, header + row * rowHeight + 1); };
  QImage shot = Grab(list);
  const QRgb line = skin::ToColor(CBbListCtrl::kTripSeparator).rgb();
  // None over the first row; one over row 2, the rest of which keeps its colour.
  EXPECT_EQ(top(shot, 0), skin::ToColor(0x464646).rgb());
  EXPECT_EQ(top(shot, 1), skin::ToColor(0x323232).rgb());
  EXPECT_EQ(top(shot, 2), line);
  EXPECT_EQ(shot.pixel(x, header + 2 * rowHeight + CBbListCtrl::kTripSeparatorHeight), skin::ToColor(0x464646).rgb());
  EXPECT_EQ(top(shot, 3), skin::ToColor(0x323232).rgb());
  list->DeleteAllItems();
  Fill(4);
  EXPECT_FALSE(list->SeparatorAbove(2));
  shot = Grab(list);
  EXPECT_EQ(top(shot, 2), skin::ToColor(0x464646).rgb());
}

TEST_F(ListCtrlTest, RightArrowLeavesHorizontalPositionAndSelection) {
  Fill(3);
  list->SelectRow(1);
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QCoreApplication::sendEvent(list, &right);
  EXPECT_TRUE(right.isAccepted());
  EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
  EXPECT_EQ(list->GetSelectedRow(), 1);
}

TEST_F(ListCtrlTest, WheelScrollsOneLinePerNotch) {
  Fill(40);
  ShowAndSettle(&owner);
  QWheelEvent down(QPointF(20, 40), list->mapToGlobal(QPointF(20, 40)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(list->viewport(), &down);
  EXPECT_EQ(list->verticalScrollBar()->value(), 1);
  QWheelEvent up(QPointF(20, 40), list->mapToGlobal(QPointF(20, 40)), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(list->viewport(), &up);
  QCoreApplication::sendEvent(list->viewport(), &up);
  EXPECT_EQ(list->verticalScrollBar()->value(), 0);
}

TEST_F(ListCtrlTest, RowsThatFitShowNoThumbAndRestAtArrowZone) {
  Fill(3);
  ShowAndSettle(&owner);
  EXPECT_EQ(list->verticalScrollBar()->maximum(), 0);
  EXPECT_FALSE(bar->HasScrollRange());
  EXPECT_EQ(bar->thumbTop, 36);
  EXPECT_EQ(bar->scale, 0.0);
}

TEST_F(ListCtrlTest, ThumbFollowsPositionAndIsClampedAtBothEnds) {
  Fill(100);
  ShowAndSettle(&owner);
  QScrollBar* v = list->verticalScrollBar();
  const int limit = v->maximum();
  ASSERT_GT(limit, 0);
  const double scale = (200.0 - 5 * 18) / limit;
  v->setValue(10);
  EXPECT_EQ(bar->thumbTop, static_cast<int>(scale * 10) + 36);
  v->setValue(limit);
  // trunc(110) + 36 = 146 overlaps the arrows (200 - 36 < 18 + 146): held at 200 - 54.
  EXPECT_EQ(bar->thumbTop, 200 - 3 * 18);
  v->setValue(0);
  EXPECT_EQ(bar->thumbTop, 36);
}

TEST_F(ListCtrlTest, DraggingThumbScrollsListAndClampsThumb) {
  Fill(100);
  ShowAndSettle(&owner);
  const int limit = list->verticalScrollBar()->maximum();
  const double scale = (200.0 - 5 * 18) / limit;
  Press(bar, QPoint(9, 36 + 9));
  EXPECT_TRUE(bar->thumbDragging);
  Drag(bar, QPoint(9, 100));
  EXPECT_EQ(list->verticalScrollBar()->value(), static_cast<int>((100 - 9 - 36) / scale));
  Drag(bar, QPoint(9, 195));
  EXPECT_EQ(list->verticalScrollBar()->value(), limit);
  EXPECT_EQ(bar->thumbTop, 200 - 3 * 18);
  Release(bar, QPoint(9, 195));
  EXPECT_FALSE(bar->thumbDragging);
}

TEST_F(ListCtrlTest, ShortClickOnDownArrowScrollsOneLineOnRelease) {
  Fill(100);
  ShowAndSettle(&owner);
  Press(bar, QPoint(9, 200 - 30));
  EXPECT_TRUE(bar->downPressed);
  EXPECT_TRUE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerHoldDelay));
  EXPECT_EQ(list->verticalScrollBar()->value(), 0);
  Release(bar, QPoint(9, 200 - 30));
  EXPECT_EQ(list->verticalScrollBar()->value(), 1);
  EXPECT_FALSE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerHoldDelay));
  EXPECT_FALSE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerRepeat));
}

TEST_F(ListCtrlTest, HoldDelayHandsOverToRepeatTimerThatScrollsLines) {
  Fill(100);
  ShowAndSettle(&owner);
  Press(bar, QPoint(9, 200 - 30));
  bar->OnTimer(CSkinVerticleScrollbar::kTimerHoldDelay);
  EXPECT_FALSE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerHoldDelay));
  EXPECT_TRUE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerRepeat));
  EXPECT_EQ(list->verticalScrollBar()->value(), 0);
  bar->OnTimer(CSkinVerticleScrollbar::kTimerRepeat);
  bar->OnTimer(CSkinVerticleScrollbar::kTimerRepeat);
  EXPECT_EQ(list->verticalScrollBar()->value(), 2);
  Release(bar, QPoint(9, 200 - 30));
  EXPECT_EQ(list->verticalScrollBar()->value(), 3);
  EXPECT_FALSE(bar->IsTimerActive(CSkinVerticleScrollbar::kTimerRepeat));
}

TEST_F(ListCtrlTest, HoldingUpArrowInRealTimeWaitsThenRepeats) {
  Fill(100);
  ShowAndSettle(&owner);
  list->verticalScrollBar()->setValue(50);
  QElapsedTimer clock;
  Press(bar, QPoint(9, 20));
  clock.start();
  QTest::qWait(150);
  if (clock.elapsed() < 240) {
    EXPECT_EQ(list->verticalScrollBar()->value(), 50);  // nothing in the first 250 ms
  }
  QTest::qWait(400);
  const int moved = 50 - list->verticalScrollBar()->value();
  const qint64 held = clock.elapsed();
  EXPECT_GE(moved, 1);
  EXPECT_LE(moved, static_cast<int>((held - 250) / 50) + 1);
  Release(bar, QPoint(9, 20));
  EXPECT_EQ(50 - list->verticalScrollBar()->value(), moved + 1);
}

TEST_F(ListCtrlTest, ClickOnTrackBelowThumbPagesDown) {
  Fill(100);
  ShowAndSettle(&owner);
  const int page = list->verticalScrollBar()->pageStep();
  Press(bar, QPoint(9, 150));
  Release(bar, QPoint(9, 150));
  EXPECT_EQ(list->verticalScrollBar()->value(), page);
}

TEST_F(ListCtrlTest, DroppedFilesGoToTheOwner) {
  QStringList received;
  QObject::connect(list, &CBbListCtrl::FilesDropped, [&](const QStringList& p) { received = p; });
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/tmp/a.avi"), QUrl(QStringLiteral("https://x/y")), QUrl::fromLocalFile("/tmp/b")});
  QDragEnterEvent enter(QPoint(10, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &drop);
  EXPECT_EQ(received, (QStringList{"/tmp/a.avi", "/tmp/b"}));
}

}  // namespace
