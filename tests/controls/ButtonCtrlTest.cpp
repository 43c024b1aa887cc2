// The skinned button's picture per state and its click reporting, and the panel that
// passes commands up.
#include <gtest/gtest.h>

#include <QWidget>

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

// Counts the commands that reach it, by control id.
class CommandSink : public QWidget {
 public:
  int commands = 0;
  int lastId = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == PrivateEventType(kMsgCommand)) {
      ++commands;
      lastId = static_cast<int>(static_cast<PrivateMessageEvent*>(event)->WParam());
      return true;
    }
    return QWidget::event(event);
  }
};

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
  }

  CommandSink parent;
  CBbButtonCtrl* button = nullptr;
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
  EXPECT_EQ(parent.commands, 1);
  EXPECT_EQ(parent.lastId, 1013);
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
  EXPECT_EQ(parent.commands, 0);
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

TEST_F(ButtonCtrlTest, ButtonInsidePanelReachesWindowExactlyOnce) {
  auto* panel = new CBbPanelCtrl(2000, &parent);
  auto* inner = new CBbButtonCtrl(1021, panel);
  inner->resize(20, 20);
  inner->SetImages(kNormal, kPressed, 0, 0);
  Press(inner, QPoint(3, 3));
  Release(inner, QPoint(3, 3));
  EXPECT_EQ(parent.commands, 0);  // posted, not sent
  QCoreApplication::processEvents();
  EXPECT_EQ(parent.commands, 1);
  EXPECT_EQ(parent.lastId, 1021);
}

TEST_F(ButtonCtrlTest, ClickedSignalCarriesTheId) {
  int reported = 0;
  QObject::connect(button, &CBbButtonCtrl::Clicked, [&](int id) { reported = id; });
  Press(button, QPoint(1, 1));
  Release(button, QPoint(1, 1));
  EXPECT_EQ(reported, 1013);
}

}  // namespace
