// Where anchored controls go when their window changes size.
#include <gtest/gtest.h>

#include "ui/layout_rules.h"

namespace pyr {
namespace {

struct LayoutCase {
  const char* name;
  LayoutBox recorded;
  int refWidth, refHeight;
  uint32_t flags;
  int newWidth, newHeight;
  LayoutBox expected;
};

class LayoutPlacement : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutPlacement, PlacesTheControl) {
  const LayoutCase& c = GetParam();
  // The control has not moved since its flags were recorded.
  LayoutBox placed = PlaceInLayout(c.recorded, c.refWidth, c.refHeight, c.flags, c.recorded,
                                   c.newWidth, c.newHeight);
  EXPECT_EQ(placed, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, LayoutPlacement,
    ::testing::Values(
        LayoutCase{"StretchBetweenLeftAndRight", {10, 0, 580, 100}, 600, 400, 0x0003, 900, 400,
                   {10, 0, 880, 100}},
        LayoutCase{"RightEdgeOnlyMoves", {10, 0, 580, 100}, 600, 400, 0x0002, 900, 400,
                   {310, 0, 580, 100}},
        LayoutCase{"RightEdgeFollowsAShrink", {10, 0, 580, 100}, 600, 400, 0x0002, 500, 400,
                   {-90, 0, 580, 100}},
        LayoutCase{"BottomOnlyKeepsXAndWidth", {30, 300, 50, 20}, 600, 400, 0x0020, 900, 550,
                   {30, 450, 50, 20}},
        LayoutCase{"StretchBetweenTopAndBottom", {0, 0, 600, 550}, 750, 550, 0x0033, 1000, 700,
                   {0, 0, 850, 700}},
        // The main window's pane: keeps to the right edge and stretches in height.
        LayoutCase{"PaneToTheRightAndFullHeight", {600, -1, 152, 553}, 750, 550, 0x0032, 900, 650,
                   {750, -1, 152, 653}},
        LayoutCase{"SizeGripFollowsTheBottomOnly", {129, 530, 24, 24}, 150, 551, 0x0C20, 150, 651,
                   {129, 630, 24, 24}},
        LayoutCase{"ProportionalLeftAndWidth", {100, 0, 200, 10}, 400, 100, 0x2100, 800, 100,
                   {200, 0, 400, 10}},
        LayoutCase{"ProportionalTopAndHeight", {0, 50, 10, 100}, 100, 200, 0x4200, 100, 300,
                   {0, 75, 10, 150}},
        LayoutCase{"CentreKeepsItsOffsetFromTheMiddle", {250, 0, 100, 10}, 600, 100, 0x0004, 800,
                   100, {350, 0, 100, 10}},
        LayoutCase{"CentreKeepsItsFraction", {100, 0, 100, 10}, 600, 100, 0x0008, 1200, 100,
                   {250, 0, 100, 10}},
        LayoutCase{"VerticalCentreOffset", {0, 100, 10, 50}, 100, 300, 0x0040, 100, 500,
                   {0, 200, 10, 50}},
        LayoutCase{"IntegerDivisionForProportionalWidth", {0, 0, 100, 10}, 300, 100, 0x0100, 200,
                   100, {0, 0, 66, 10}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(LayoutParticipation, LeftAndTopAnchorsAloneNeverMove) {
  EXPECT_FALSE(TakesPartInLayout(0x0001 | 0x0010));
  EXPECT_FALSE(TakesPartInLayout(0x0400 | 0x0800 | 0x1000 | 0x8000));
  EXPECT_TRUE(TakesPartInLayout(0x0002));
  EXPECT_TRUE(TakesPartInLayout(0x0C20));
  EXPECT_TRUE(TakesPartInLayout(0x4000));
}

TEST(LayoutPlacementAxes, AnAxisWithoutRuleKeepsWhereTheControlIsNow) {
  // The control was moved by hand after recording: x has no rule, so its current x and width stay.
  LayoutBox recorded{10, 10, 50, 20};
  LayoutBox current{70, 10, 40, 20};
  LayoutBox placed = PlaceInLayout(recorded, 200, 100, 0x0020, current, 400, 160);
  EXPECT_EQ(placed.x, 70);
  EXPECT_EQ(placed.width, 40);
  EXPECT_EQ(placed.y, 70);
}

TEST(LayoutPlacementAxes, SameSizeGivesTheRecordedRectangleBack) {
  LayoutBox recorded{10, 20, 580, 500};
  for (uint32_t flags : {0x0003u, 0x0002u, 0x0030u, 0x0020u, 0x2100u, 0x4200u, 0x0004u, 0x0008u,
                         0x0040u, 0x0080u}) {
    EXPECT_EQ(PlaceInLayout(recorded, 600, 550, flags, recorded, 600, 550), recorded) << flags;
  }
}

TEST(LayoutPlacementAxes, CentreOfFractionAtTheOriginDoesNotDivideByZero) {
  LayoutBox recorded{-50, 0, 100, 10};
  LayoutBox placed = PlaceInLayout(recorded, 600, 100, 0x0008, recorded, 900, 100);
  EXPECT_EQ(placed.x, -50);
}

TEST(LayoutPlacementAxes, ZeroReferenceSizeLeavesProportionalRulesHarmless) {
  LayoutBox recorded{10, 10, 50, 20};
  LayoutBox placed = PlaceInLayout(recorded, 0, 0, 0x6300, recorded, 400, 300);
  EXPECT_EQ(placed.width, 50);
  EXPECT_EQ(placed.height, 20);
}

}  // namespace
}  // namespace pyr
