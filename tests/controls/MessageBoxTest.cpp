// The viewer's boxes give the keyboard back to the window that asked: a dialog that
// put a question must take Escape and Enter again once the question is answered.

#include <gtest/gtest.h>

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "controls/LanguageMessageBox.h"
#include "tests/controls/ControlTestSupport.h"

namespace {

TEST(MessageBox, TheAskingWindowHasTheKeyboardAgainOnceTheBoxIsAnswered) {
  QDialog asker;
  asker.resize(300, 200);
  asker.show();
  asker.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return asker.isActiveWindow(); }, 2000));

  QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("Question?"), QMessageBox::Ok | QMessageBox::Cancel,
                  &asker);
  bool sawBoxActive = false;
  QTimer::singleShot(50, &box, [&] {
    sawBoxActive = box.isActiveWindow();
    box.done(QMessageBox::Cancel);
  });
  EXPECT_EQ(ExecMessageBox(box), QMessageBox::Cancel);
  EXPECT_TRUE(sawBoxActive);
  EXPECT_TRUE(QTest::qWaitFor([&] { return asker.isActiveWindow(); }, 2000));
}

}  // namespace
