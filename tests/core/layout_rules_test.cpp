// Where anchored controls go when their window changes size, and how 96-DPI places become pixels.
#include <gtest/gtest.h>

#include "ui/dpi_scale.h"
#include "ui/layout_rules.h"

namespace pyr {
namespace {

TEST(LayoutPlacement, EachAnchorPlacesTheControl) {
  const struct {
    const char* name;
    LayoutBox recorded;
    int refWidth, refHeight;
    uint32_t flags;
    int newWidth, newHeight;
    LayoutBox expected;
  } cases[] = {
      {"stretch x", {10, 0, 580, 100}, 600, 400, 0x0003, 900, 400, {10, 0, 880, 100}},
      {"right edge", {10, 0, 580, 100}, 600, 400, 0x0002, 900, 400, {310, 0, 580, 100}},
      {"right, shrink", {10, 0, 580, 100}, 600, 400, 0x0002, 500, 400, {-90, 0, 580, 100}},
      {"bottom edge", {30, 300, 50, 20}, 600, 400, 0x0020, 900, 550, {30, 450, 50, 20}},
      {"stretch x y", {0, 0, 600, 550}, 750, 550, 0x0033, 1000, 700, {0, 0, 850, 700}},
      // The main window's pane: keeps to the right edge and stretches in height.
      {"pane", {600, -1, 152, 553}, 750, 550, 0x0032, 900, 650, {750, -1, 152, 653}},
      {"size grip", {129, 530, 24, 24}, 150, 551, 0x0C20, 150, 651, {129, 630, 24, 24}},
      {"share of x", {100, 0, 200, 10}, 400, 100, 0x2100, 800, 100, {200, 0, 400, 10}},
      {"share of y", {0, 50, 10, 100}, 100, 200, 0x4200, 100, 300, {0, 75, 10, 150}},
      {"centre offset", {250, 0, 100, 10}, 600, 100, 0x0004, 800, 100, {350, 0, 100, 10}},
      {"centre fraction", {100, 0, 100, 10}, 600, 100, 0x0008, 1200, 100, {250, 0, 100, 10}},
      {"centre offset y", {0, 100, 10, 50}, 100, 300, 0x0040, 100, 500, {0, 200, 10, 50}},
      // Proportional widths divide whole.
      {"share of width", {0, 0, 100, 10}, 300, 100, 0x0100, 200, 100, {0, 0, 66, 10}},
      // The centre of a fraction at the origin does not divide by zero.
      {"fraction at 0", {-50, 0, 100, 10}, 600, 100, 0x0008, 900, 100, {-50, 0, 100, 10}},
      // Proportional rules with a reference size of 0 leave the size as it was.
      {"no reference", {10, 10, 50, 20}, 0, 0, 0x6300, 400, 300, {10, 10, 50, 20}},
  };
  for (const auto& c : cases) {
    // The control has not moved since its flags were recorded.
    EXPECT_EQ(PlaceInLayout(c.recorded, c.refWidth, c.refHeight, c.flags, c.recorded, c.newWidth,
                            c.newHeight),
              c.expected)
        << c.name;
    // At the recorded size every rule gives the recorded rectangle back.
    EXPECT_EQ(PlaceInLayout(c.recorded, c.refWidth, c.refHeight, c.flags, c.recorded, c.refWidth,
                            c.refHeight),
              c.recorded)
        << c.name;
  }
}

TEST(LayoutPlacement, AnAxisWithoutRuleKeepsWhereTheControlIsNowAndAnchorsAloneNeverMove) {
  // The control was moved by hand after recording: x has no rule, so its current x and width stay.
  const LayoutBox placed = PlaceInLayout({10, 10, 50, 20}, 200, 100, 0x0020, {70, 10, 40, 20}, 400, 160);
  EXPECT_EQ(placed, (LayoutBox{70, 70, 40, 20}));
  EXPECT_FALSE(TakesPartInLayout(0x0001 | 0x0010));
  EXPECT_FALSE(TakesPartInLayout(0x0400 | 0x0800 | 0x1000 | 0x8000));
  for (const uint32_t flags : {0x0002u, 0x0C20u, 0x4000u})
    EXPECT_TRUE(TakesPartInLayout(flags)) << flags;
}

// 96-DPI values at 100, 125, 150, 175 and 200 % and at 72 DPI; halves go away from zero.
TEST(DisplayScale, RoundingTable) {
  const struct {
    int value, dpi, scaled, unscaledUp;  // UnscaleUpForDpi(value, dpi)
  } cases[] = {
      {0, 144, 0, 0},        {1, 120, 1, 1},    {2, 120, 3, 2},    {15, 120, 19, 12},
      {35, 120, 44, 28},     {-1, 144, -2, 0},  {-3, 120, -4, -2}, {553, 144, 830, 369},
      {750, 192, 1500, 375}, {16, 144, 24, 11}, {9, 72, 7, 12},    {270, 96, 270, 270},
      {21, 168, 37, 12},     {10, 0, 10, 10},   {10, -5, 10, 10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    EXPECT_EQ(UnscaleUpForDpi(c.value, c.dpi), c.unscaledUp) << c.value << " at " << c.dpi;
  }
  // Stored 96-DPI values come back whole at 96 DPI and above; pixels measured at any DPI are never
  // made smaller by the way through 96-DPI units rounded up.
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int v = -60; v <= 3000; ++v) {
      ASSERT_EQ(UnscaleForDpi(ScaleForDpi(v, dpi), dpi), v) << v << " at " << dpi;
      ASSERT_GE(ScaleForDpi(UnscaleUpForDpi(v, dpi), dpi), v) << v << " at " << dpi;
      ASSERT_LE(ScaleForDpi(UnscaleUpForDpi(v, dpi), dpi) - v, (dpi + 95) / 96) << v << " at " << dpi;
    }
  }
  EXPECT_EQ(UnscaleForDpi(301, 144), 201);
  EXPECT_EQ(UnscaleForDpi(-4, 120), -3);
  EXPECT_EQ(RescaleForDpi(405, 144, 96), 270);
  EXPECT_EQ(RescaleForDpi(301, 144, 120), 251);
  EXPECT_EQ(RescaleForDpi(-3, 96, 144), -5);
  EXPECT_EQ(RescaleForDpi(77, 0, 0), 77);
}

// Boxes are scaled by their edges: boxes that touch keep touching, whatever the rounding.
TEST(DisplayScale, BoxesScaleByTheirEdges) {
  EXPECT_EQ(ScaleBox({10, 15, 130, 28}, 120), (LayoutBox{13, 19, 162, 35}));
  EXPECT_EQ(ScaleBox({600, -1, 152, 553}, 144), (LayoutBox{900, -2, 228, 830}));
  EXPECT_EQ(UnscaleBox({13, 19, 162, 35}, 120), (LayoutBox{10, 15, 130, 28}));
  for (const int dpi : {120, 144, 168}) {
    for (int x = 0; x < 40; ++x) {
      const LayoutBox left = ScaleBox({x, 0, 7, 5}, dpi), right = ScaleBox({x + 7, 0, 9, 5}, dpi);
      ASSERT_EQ(left.x + left.width, right.x) << x << " at " << dpi;
    }
  }
}

}  // namespace
}  // namespace pyr
