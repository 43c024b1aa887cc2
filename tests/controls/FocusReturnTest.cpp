// The viewer's windows give the keyboard back to the window they sit over: a dialog
// that put a question takes Escape and Enter again once the question is answered, and
// the main window takes Space again once a dialog over it closes.

#include <gtest/gtest.h>

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "controls/FocusReturn.h"
#include "tests/controls/ControlTestSupport.h"

namespace {

class FocusReturnTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallFocusReturn(TestApp()); }

  static void ShowActive(QWidget& window) {
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }, 2000));
  }
};

TEST_F(FocusReturnTest, TheAskingWindowHasTheKeyboardAgainOnceTheBoxIsAnswered) {
  QDialog asker;
  ShowActive(asker);

  QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("Question?"), QMessageBox::Ok | QMessageBox::Cancel,
                  &asker);
  bool sawBoxActive = false;
  QTimer::singleShot(50, &box, [&] {
    sawBoxActive = box.isActiveWindow();
    box.done(QMessageBox::Cancel);
  });
  EXPECT_EQ(box.exec(), QMessageBox::Cancel);
  EXPECT_TRUE(sawBoxActive);
  EXPECT_TRUE(QTest::qWaitFor([&] { return asker.isActiveWindow(); }, 2000));
}

TEST_F(FocusReturnTest, TheWindowBelowHasTheKeyboardAgainOnceADialogCloses) {
  QWidget main;
  ShowActive(main);

  QDialog dialog(&main);
  QTimer::singleShot(50, &dialog, [&] { dialog.reject(); });
  dialog.exec();
  EXPECT_TRUE(QTest::qWaitFor([&] { return main.isActiveWindow(); }, 2000));
}

}  // namespace
