#include "store/progress_meter.h"

#include <gtest/gtest.h>

namespace korvo {
namespace {

TEST(ProgressWindowRectTest, CentredOnWorkArea) {
  // 1280 x 800 with a task bar of 40 pixels at the bottom; caption 23 pixels.
  EXPECT_EQ(ProgressWindowRect({0, 0, 1280, 760}, 23), (ScreenRect{480, 351, 800, 409}));
  // A work area that does not start at 0 (task bar on the left or top).
  EXPECT_EQ(ProgressWindowRect({100, 30, 1380, 830}, 20), (ScreenRect{580, 402, 900, 457}));
}

TEST(ProgressMeterTest, RedrawsOnlyWhenTheBarMoves) {
  ProgressMeter meter(320);
  EXPECT_TRUE(meter.SetRange(262140));
  int redraws = 0;
  for (uint32_t i = 1; i < 262140; ++i) redraws += meter.Step();
  EXPECT_EQ(meter.position(), 262139u);
  EXPECT_EQ(redraws, 319);
  EXPECT_TRUE(meter.Step());   // the last step fills the bar
  EXPECT_FALSE(meter.Step());  // never past the range
  EXPECT_EQ(meter.position(), 262140u);
  // Small ranges move on every step.
  EXPECT_TRUE(meter.SetRange(3));
  EXPECT_EQ(meter.position(), 3u);
  EXPECT_TRUE(meter.SetPosition(0));
  EXPECT_TRUE(meter.Step());
  EXPECT_TRUE(meter.Step());
  EXPECT_TRUE(meter.SetPosition(99));
  EXPECT_EQ(meter.position(), 3u);
  ProgressMeter empty;
  EXPECT_FALSE(empty.Step());
  EXPECT_EQ(empty.position(), 0u);
}

}  // namespace
}  // namespace korvo
