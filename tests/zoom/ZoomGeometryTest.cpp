// The magnifier's source rectangle: size from the client and the factor, centred on the
// cursor, clamped to the virtual screen; and where the zoom window's own area lies.

#include <gtest/gtest.h>

#include "tools/zoom/ZoomGeometry.h"

using zoom::PlanMagnification;
using zoom::Rect;
using zoom::ZoomInput;
using zoom::ZoomPlan;

namespace {

constexpr Rect kFullHd{0, 0, 1920, 1080};
// The zoom window where the main window puts it, its client 425 x 330.
constexpr Rect kZoomClient{800, 200, 425, 330};

ZoomPlan Plan(Rect screen, int x, int y, Rect client = kZoomClient, int factor = 3) {
  ZoomInput input;
  input.virtualScreen = screen;
  input.client = client;
  input.cursorX = x;
  input.cursorY = y;
  input.zoomFactor = factor;
  return PlanMagnification(input);
}

TEST(ZoomSource, SizeIsTheClientDividedByTheFactorRoundedDown) {
  EXPECT_EQ(Plan(kFullHd, 960, 540).source, (Rect{890, 485, 141, 110}));
  EXPECT_EQ(Plan(kFullHd, 960, 540, Rect{0, 0, 424, 332}).source, (Rect{890, 485, 141, 110}));
  EXPECT_EQ(Plan(kFullHd, 960, 540, kZoomClient, 2).source, (Rect{854, 458, 212, 165}));
}

TEST(ZoomSource, TopLeftCornerStartsAtTheScreensEdges) {
  EXPECT_EQ(Plan(kFullHd, 0, 0).source, (Rect{0, 0, 141, 110}));
  EXPECT_EQ(Plan(kFullHd, 69, 54).source, (Rect{0, 0, 141, 110})) << "still inside the half-size margin";
  EXPECT_EQ(Plan(kFullHd, 71, 56).source, (Rect{1, 1, 141, 110})) << "one past the margin moves by one";
}

TEST(ZoomSource, BottomRightCornerEndsAtTheScreensEdges) {
  const Rect source = Plan(kFullHd, 1919, 1079).source;
  EXPECT_EQ(source, (Rect{1779, 970, 141, 110}));
  EXPECT_EQ(source.Right(), 1920);
  EXPECT_EQ(source.Bottom(), 1080);
  EXPECT_EQ(Plan(kFullHd, 5000, -300).source, (Rect{1779, 0, 141, 110})) << "a cursor off the screen is clamped";
}

TEST(ZoomSource, ScreenLeftOfThePrimaryIsPartOfTheVirtualScreen) {
  // A 1280-wide screen left of the primary: the virtual screen starts at -1280.
  const Rect desk{-1280, 0, 3200, 1080};
  const ZoomPlan left = Plan(desk, -1280, 0);
  EXPECT_EQ(left.source, (Rect{-1280, 0, 141, 110}));
  EXPECT_EQ(left.sourceInCapture, (Rect{0, 0, 141, 110}));
  EXPECT_EQ(left.selfAreaInCapture, (Rect{2080, 200, 425, 330})) << "the own area shifts by -L";
  const ZoomPlan right = Plan(desk, 1919, 1079);
  EXPECT_EQ(right.source.Right(), 1920);
  EXPECT_EQ(right.sourceInCapture, (Rect{3059, 970, 141, 110}));
}

TEST(ZoomSource, ScreenAboveThePrimaryIsReachedToo) {
  // A screen stacked above the primary starts at y = -1080; clamping to y = 0 would
  // keep the magnifier off it.
  const Rect desk{0, -1080, 1920, 2160};
  const ZoomPlan top = Plan(desk, 10, -1080);
  EXPECT_EQ(top.source, (Rect{0, -1080, 141, 110}));
  EXPECT_EQ(top.sourceInCapture, (Rect{0, 0, 141, 110}));
  EXPECT_EQ(top.selfAreaInCapture, (Rect{800, 1280, 425, 330}));
  EXPECT_EQ(Plan(desk, 10, 1079).source.Bottom(), 1080);
}

TEST(ZoomSource, VirtualScreenNotStartingAtTheOriginShiftsTheCapture) {
  const Rect desk{1920, 0, 1280, 1024};
  const ZoomPlan plan = Plan(desk, 1920, 0, Rect{2000, 100, 300, 300});
  EXPECT_EQ(plan.source, (Rect{1920, 0, 100, 100}));
  EXPECT_EQ(plan.sourceInCapture, (Rect{0, 0, 100, 100}));
  EXPECT_EQ(plan.selfAreaInCapture, (Rect{80, 100, 300, 300}));
}

TEST(ZoomSource, SourceWiderThanTheScreenStartsBeforeIt) {
  // The lower bound is applied first, then the upper one.
  EXPECT_EQ(Plan(Rect{0, 0, 100, 80}, 50, 40).source, (Rect{-41, -30, 141, 110}));
}

TEST(ZoomSource, FactorBelowOneCountsAsOneAndATinyClientReadsNothing) {
  EXPECT_EQ(Plan(kFullHd, 960, 540, kZoomClient, 0).source, (Rect{748, 375, 425, 330}));
  EXPECT_EQ(Plan(kFullHd, 960, 540, kZoomClient, -4).source, (Rect{748, 375, 425, 330}));
  EXPECT_TRUE(Plan(kFullHd, 960, 540, Rect{0, 0, 2, 2}).source.IsEmpty());
  EXPECT_TRUE(Plan(kFullHd, 960, 540, Rect{0, 0, -10, 30}).source.IsEmpty());
}

TEST(ZoomSelfArea, CursorInsideTheZoomWindowMakesTheWholeSourceGrey) {
  const ZoomPlan plan = Plan(kFullHd, 1012, 365);
  EXPECT_EQ(plan.source, (Rect{942, 310, 141, 110}));
  EXPECT_EQ(plan.selfAreaInSource, (Rect{0, 0, 141, 110}));
}

TEST(ZoomSelfArea, CursorOnTheZoomWindowsEdgeGreysThePartItCovers) {
  const ZoomPlan left = Plan(kFullHd, 800, 365);
  EXPECT_EQ(left.source, (Rect{730, 310, 141, 110}));
  EXPECT_EQ(left.selfAreaInSource, (Rect{70, 0, 71, 110}));
  const ZoomPlan below = Plan(kFullHd, 1012, 530);
  EXPECT_EQ(below.source, (Rect{942, 475, 141, 110}));
  EXPECT_EQ(below.selfAreaInSource, (Rect{0, 0, 141, 55}));
}

TEST(ZoomSelfArea, ZoomWindowElsewhereGreysNothing) {
  EXPECT_TRUE(Plan(kFullHd, 100, 100).selfAreaInSource.IsEmpty());
  // One column over the window's left edge is one grey column; touching it is none.
  const ZoomPlan touching = Plan(kFullHd, 730, 365);
  EXPECT_EQ(touching.source.Right(), 801);
  EXPECT_EQ(touching.selfAreaInSource, (Rect{140, 0, 1, 110}));
  EXPECT_TRUE(Plan(kFullHd, 729, 365).selfAreaInSource.IsEmpty());
}

TEST(ZoomIntersect, OverlapAndDisjointRectangles) {
  EXPECT_EQ(zoom::Intersect(Rect{0, 0, 10, 10}, Rect{5, 5, 10, 10}), (Rect{5, 5, 5, 5}));
  EXPECT_TRUE(zoom::Intersect(Rect{0, 0, 10, 10}, Rect{10, 0, 10, 10}).IsEmpty());
  EXPECT_TRUE(zoom::Intersect(Rect{0, 0, 10, 10}, Rect{-20, -20, 5, 5}).IsEmpty());
}

}  // namespace
