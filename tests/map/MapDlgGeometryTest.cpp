// The map window's sizing borders and edge drags, never below 300 x 300.

#include <gtest/gtest.h>

#include "map/MapDlgGeometry.h"

namespace {

using mapview::DragEdges;
using mapview::FrameGrip;
using mapview::FrameRect;
using mapview::GripAt;

TEST(MapDlgGrip, CornersWinOverEdgesAndTheBandsAreTenPixels) {
  EXPECT_EQ(GripAt(0, 0, 400, 300), FrameGrip::TopLeft);
  EXPECT_EQ(GripAt(9, 9, 400, 300), FrameGrip::TopLeft);
  EXPECT_EQ(GripAt(399, 0, 400, 300), FrameGrip::TopRight);
  EXPECT_EQ(GripAt(390, 9, 400, 300), FrameGrip::TopRight);
  EXPECT_EQ(GripAt(0, 299, 400, 300), FrameGrip::BottomLeft);
  EXPECT_EQ(GripAt(399, 299, 400, 300), FrameGrip::BottomRight);
  EXPECT_EQ(GripAt(9, 150, 400, 300), FrameGrip::Left);
  EXPECT_EQ(GripAt(200, 9, 400, 300), FrameGrip::Top);
  EXPECT_EQ(GripAt(390, 150, 400, 300), FrameGrip::Right);
  EXPECT_EQ(GripAt(200, 290, 400, 300), FrameGrip::Bottom);
  // One pixel inside the bands.
  EXPECT_EQ(GripAt(10, 150, 400, 300), FrameGrip::None);
  EXPECT_EQ(GripAt(389, 150, 400, 300), FrameGrip::None);
  EXPECT_EQ(GripAt(200, 10, 400, 300), FrameGrip::None);
  EXPECT_EQ(GripAt(200, 289, 400, 300), FrameGrip::None);
}

TEST(MapDlgDrag, DraggedEdgesFollowTheMouseOppositeEdgesStay) {
  const FrameRect start{100, 100, 600, 500};
  EXPECT_EQ(DragEdges(start, FrameGrip::Right, 50, 999), (FrameRect{100, 100, 650, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Left, -40, 999), (FrameRect{60, 100, 600, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Top, 999, -30), (FrameRect{100, 70, 600, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Bottom, 999, 25), (FrameRect{100, 100, 600, 525}));
  EXPECT_EQ(DragEdges(start, FrameGrip::TopLeft, 10, 20), (FrameRect{110, 120, 600, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::BottomRight, -10, -20), (FrameRect{100, 100, 590, 480}));
  EXPECT_EQ(DragEdges(start, FrameGrip::None, 10, 20), start);
}

TEST(MapDlgDrag, EveryEdgeStopsAtThreeHundredPixels) {
  const FrameRect start{100, 100, 600, 500};  // 500 x 400
  EXPECT_EQ(DragEdges(start, FrameGrip::Left, 450, 0), (FrameRect{300, 100, 600, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Right, -450, 0), (FrameRect{100, 100, 400, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Top, 0, 350), (FrameRect{100, 200, 600, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::Bottom, 0, -350), (FrameRect{100, 100, 600, 400}));
  EXPECT_EQ(DragEdges(start, FrameGrip::TopRight, -1000, 1000), (FrameRect{100, 200, 400, 500}));
  EXPECT_EQ(DragEdges(start, FrameGrip::BottomLeft, 1000, -1000), (FrameRect{300, 100, 600, 400}));
  // Exactly at the minimum, and one pixel short of it.
  EXPECT_EQ(DragEdges(start, FrameGrip::Right, -200, 0).Width(), 300);
  EXPECT_EQ(DragEdges(start, FrameGrip::Right, -199, 0).Width(), 301);
}

TEST(MapDlgDrag, WindowBelowTheMinimumIsBroughtUpToIt) {
  const FrameRect small{0, 0, 200, 250};
  EXPECT_EQ(DragEdges(small, FrameGrip::BottomRight, 0, 0), (FrameRect{0, 0, 300, 300}));
  EXPECT_EQ(DragEdges(small, FrameGrip::TopLeft, 0, 0), (FrameRect{-100, -50, 200, 250}));
}

}  // namespace
