// The skinned button's picture per state and its click reporting, also from inside a
// panel.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QWidget>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbPanelCtrl.h"
#include "controls/ControlEvents.h"
#include "controls/ControlId.h"

namespace {

constexpr int kNormal = 90001;
constexpr int kPressed = 90002;
constexpr int kHover = 90003;
constexpr int kDisabled = 90004;
constexpr int kSelected = 90005;
constexpr int kPng = 90006;

// Counts the private messages that reach it: a click must not arrive a second way.
class MessageSink : public QWidget {
 public:
  int messages = 0;

 protected:
  bool event(QEvent* event) override {
    if (PrivateMessageEvent::MessageOf(event) != 0) ++messages;
    return QWidget::event(event);
  }
};

// Collects the id of every click the button reports.
void CollectClicks(CBbButtonCtrl* button, std::vector<int>& ids) {
  QObject::connect(button, &CBbButtonCtrl::Clicked, [&ids](int id) { ids.push_back(id); });
}

void SendKey(QWidget* widget, QEvent::Type type, int key) {
  QKeyEvent event(type, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

class ButtonCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    RegisterSolid(kNormal, 32, 32, qRgb(10, 20, 30));
    RegisterSolid(kPressed, 32, 32, qRgb(200, 0, 0));
    RegisterSolid(kHover, 32, 32, qRgb(0, 200, 0));
    RegisterSolid(kDisabled, 32, 32, qRgb(60, 60, 60));
    RegisterSolid(kSelected, 32, 32, qRgb(0, 0, 200));
    button = new CBbButtonCtrl(1013, &parent);
    button->resize(32, 32);
    button->SetImages(kNormal, kPressed, kHover, kDisabled);
    button->selectedImage = kSelected;
    button->Redraw();
    CollectClicks(button, clicks);
  }

  MessageSink parent;
  CBbButtonCtrl* button = nullptr;
  std::vector<int> clicks;
};

TEST_F(ButtonCtrlTest, KeepsItsControlIdForLookups) {
  EXPECT_EQ(ControlId(button), 1013);
  EXPECT_EQ(FindControl<CBbButtonCtrl>(&parent, 1013), button);
}

TEST_F(ButtonCtrlTest, RestPictureFollowsSelectedAndEnabled) {
  EXPECT_EQ(button->CurrentImage(), kNormal);
  button->selected = true;
  EXPECT_EQ(button->CurrentImage(), kSelected);
  button->enabled = false;
  EXPECT_EQ(button->CurrentImage(), kDisabled);
}

TEST_F(ButtonCtrlTest, PressShowsPressedReleaseShowsRestAndClicksOnce) {
  Press(button, QPoint(5, 5));
  EXPECT_EQ(button->ShownImage(), kPressed);
  EXPECT_EQ(Grab(button).pixel(5, 5), qRgb(200, 0, 0));
  Release(button, QPoint(5, 5));
  EXPECT_EQ(button->ShownImage(), kNormal);
  EXPECT_EQ(clicks, std::vector<int>{1013});
}

TEST_F(ButtonCtrlTest, ReleaseOfSelectedToggleShowsSelectedPicture) {
  button->selected = true;
  Press(button, QPoint(5, 5));
  Release(button, QPoint(5, 5));
  EXPECT_EQ(button->ShownImage(), kSelected);
}

TEST_F(ButtonCtrlTest, DisabledButtonSwallowsClicksAndShowsNoHover) {
  button->enabled = false;
  button->Redraw();
  Move(button, QPoint(3, 3));
  EXPECT_EQ(button->ShownImage(), kDisabled);
  EXPECT_FALSE(button->hoverShown);
  Press(button, QPoint(5, 5));
  EXPECT_EQ(button->ShownImage(), kDisabled);
  Release(button, QPoint(5, 5));
  SendKey(button, QEvent::KeyPress, Qt::Key_Space);
  SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(Grab(button).pixel(5, 5), qRgb(60, 60, 60));
}

TEST_F(ButtonCtrlTest, HoverShowsOncePerParentClearedCycle) {
  Move(button, QPoint(3, 3));
  EXPECT_EQ(button->ShownImage(), kHover);
  EXPECT_TRUE(button->hoverShown);
  Leave(button);
  EXPECT_EQ(button->ShownImage(), kNormal);
  // Re-entering without crossing the parent: no hover picture.
  Move(button, QPoint(4, 4));
  EXPECT_EQ(button->ShownImage(), kNormal);
  // The parent clears the mark when the mouse crosses its own surface.
  button->hoverShown = false;
  Move(button, QPoint(4, 4));
  EXPECT_EQ(button->ShownImage(), kHover);
}

TEST_F(ButtonCtrlTest, SelectedToggleShowsNormalAfterLeaveUntilRedraw) {
  button->selected = true;
  button->Redraw();
  Move(button, QPoint(3, 3));
  Leave(button);
  EXPECT_EQ(button->ShownImage(), kNormal);
  button->Redraw();
  EXPECT_EQ(button->ShownImage(), kSelected);
}

TEST_F(ButtonCtrlTest, PngFaceBlendsOverWindowBackground) {
  QImage face(32, 31, QImage::Format_ARGB32);
  face.fill(Qt::transparent);
  for (int x = 10; x < 20; ++x) face.setPixel(x, 15, qRgb(255, 255, 255));
  skin::RegisterSkinImage(kPng, face, skin::DrawKind::Png);
  button->SetImages(kPng, 0, 0, 0);
  button->selectedImage = 0;
  button->resize(32, 31);
  button->Redraw();
  const QImage shot = Grab(button);
  EXPECT_EQ(shot.pixel(2, 2), qRgb(0x0A, 0x0A, 0x0A));
  EXPECT_EQ(shot.pixel(12, 15), qRgb(255, 255, 255));
}

TEST_F(ButtonCtrlTest, TopBarBackgroundModeDrawsStripeInLayoutOne) {
  QImage face(32, 31, QImage::Format_ARGB32);
  face.fill(Qt::transparent);
  skin::RegisterSkinImage(kPng, face, skin::DrawKind::Png);
  RegisterSolid(1057, 100, 33, qRgb(80, 80, 80));
  button->SetImages(kPng, 0, 0, 0);
  button->selectedImage = 0;
  button->backgroundMode = true;
  parent.setProperty("layoutMode", 1);
  button->Redraw();
  QImage shot = Grab(button);
  EXPECT_EQ(shot.pixel(5, 3), qRgb(80, 80, 80));
  EXPECT_EQ(shot.pixel(5, 20), qRgb(0x0A, 0x0A, 0x0A));
  parent.setProperty("layoutMode", 2);
  button->Redraw();
  shot = Grab(button);
  EXPECT_EQ(shot.pixel(5, 3), qRgb(0x1E, 0x1E, 0x1E));
  skin::ClearSkinImages();
}

TEST_F(ButtonCtrlTest, OneMouseClickIsReportedOnceAndOnlyAsTheSignal) {
  Press(button, QPoint(1, 1));
  Release(button, QPoint(1, 1));
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks, std::vector<int>{1013});
  EXPECT_EQ(parent.messages, 0) << "a click also went to the parent as a message";
}

TEST_F(ButtonCtrlTest, KeyboardActivationIsReportedOnceThroughTheSameSignal) {
  SendKey(button, QEvent::KeyPress, Qt::Key_Space);
  EXPECT_TRUE(clicks.empty()) << "the click comes with the release";
  SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks, std::vector<int>{1013});
  button->click();
  EXPECT_EQ(clicks, (std::vector<int>{1013, 1013}));
  EXPECT_EQ(parent.messages, 0);
}

TEST_F(ButtonCtrlTest, PressWithoutReleaseOnTheButtonReportsNothing) {
  Press(button, QPoint(5, 5));
  Release(button, QPoint(50, 50));
  EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonCtrlTest, ButtonInsidePanelReachesItsOwnerExactlyOnce) {
  auto* panel = new CBbPanelCtrl(2000, &parent);
  auto* inner = new CBbButtonCtrl(1021, panel);
  inner->resize(20, 20);
  inner->SetImages(kNormal, kPressed, 0, 0);
  std::vector<int> innerClicks;
  CollectClicks(inner, innerClicks);
  Press(inner, QPoint(3, 3));
  Release(inner, QPoint(3, 3));
  QCoreApplication::processEvents();
  EXPECT_EQ(innerClicks, std::vector<int>{1021});
  EXPECT_EQ(parent.messages, 0);
}

}  // namespace
