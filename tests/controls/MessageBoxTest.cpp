// The viewer's boxes give the keyboard back to the window that asked: a dialog that
// put a question must take Escape and Enter again once the question is answered.

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "controls/LanguageMessageBox.h"
#include "tests/controls/ControlTestSupport.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (done()) return true;
  }
  return done();
}

TEST(MessageBox, TheAskingWindowHasTheKeyboardAgainOnceTheBoxIsAnswered) {
  QDialog asker;
  asker.resize(300, 200);
  asker.show();
  asker.activateWindow();
  ASSERT_TRUE(WaitFor([&] { return asker.isActiveWindow(); }, 2000));

  QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("Question?"), QMessageBox::Ok | QMessageBox::Cancel,
                  &asker);
  bool sawBoxActive = false;
  QTimer::singleShot(50, &box, [&] {
    sawBoxActive = box.isActiveWindow();
    box.done(QMessageBox::Cancel);
  });
  EXPECT_EQ(ExecMessageBox(box), QMessageBox::Cancel);
  EXPECT_TRUE(sawBoxActive);
  EXPECT_TRUE(WaitFor([&] { return asker.isActiveWindow(); }, 2000));
}

}  // namespace
