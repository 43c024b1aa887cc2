// When the zoom window shows its notice instead of a picture.

#include <gtest/gtest.h>

#include "tools/zoom/CaptureCheck.h"

using zoom::CaptureFacts;
using zoom::CaptureRefused;
using zoom::PlatformCanCapture;

namespace {

TEST(CaptureCheck, WaylandPlatformsNeverTryAGrab) {
  EXPECT_FALSE(PlatformCanCapture("wayland"));
  EXPECT_FALSE(PlatformCanCapture("wayland-egl"));
  EXPECT_TRUE(PlatformCanCapture("xcb"));
  EXPECT_TRUE(PlatformCanCapture("offscreen"));
  CaptureFacts facts;
  facts.platformName = "wayland";
  EXPECT_TRUE(CaptureRefused(facts)) << "refused even before any grab";
}

TEST(CaptureCheck, AGrabWithoutPictureIsRefusedAnywhere) {
  CaptureFacts facts;
  facts.platformName = "xcb";
  EXPECT_FALSE(CaptureRefused(facts));
  facts.grabNull = true;
  EXPECT_TRUE(CaptureRefused(facts));
  facts.platformName = "offscreen";
  EXPECT_TRUE(CaptureRefused(facts));
}

TEST(CaptureCheck, BlackCountsOnlyUnderXWayland) {
  CaptureFacts facts;
  facts.platformName = "xcb";
  facts.grabAllBlack = true;
  EXPECT_FALSE(CaptureRefused(facts)) << "a black video on an X11 desktop is just black";
  facts.waylandSession = true;
  EXPECT_TRUE(CaptureRefused(facts));
  facts.platformName = "offscreen";
  EXPECT_FALSE(CaptureRefused(facts));
  facts.platformName = "xcb";
  facts.grabAllBlack = false;
  EXPECT_FALSE(CaptureRefused(facts)) << "XWayland shows X11 windows: a grab with content is fine";
}

}  // namespace
