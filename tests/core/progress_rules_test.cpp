// The progress dialog's arithmetic: progress values, ring and spinner geometry, the Cancel
// button's place and the window growth it causes, status text centring.
#include <gtest/gtest.h>

#include <climits>

#include "ui/dialogs/progress_rules.h"

namespace pyr {
namespace {

TEST(ProgressValues, PercentagesAreCappedForTheRingButNotTheTaskbar) {
  struct Case { int32_t value; int32_t percent; int32_t taskbar; } const cases[] = {
      {0, 0, 0}, {42, 42, 42}, {100, 100, 100}, {150, 100, 150},
  };
  for (const auto& c : cases) {
    RingRequest r = InterpretProgress(c.value);
    EXPECT_EQ(r.change, RingChange::kPercent) << c.value;
    EXPECT_EQ(r.percent, c.percent) << c.value;
    EXPECT_EQ(r.taskbar, c.taskbar) << c.value;
  }
}

TEST(ProgressValues, MinusOneLeavesTheRingAlone) {
  EXPECT_EQ(InterpretProgress(-1).change, RingChange::kNone);
}

TEST(ProgressValues, NegativeValuesSpinAtCappedSpeed) {
  struct Case { int32_t value; int32_t speed; int32_t stored; int32_t step; } const cases[] = {
      {-2, 2, -2, 1}, {-80, 80, -80, 3}, {-100, 100, -100, 4}, {-500, 100, -100, 4},
      {INT_MIN, 100, -100, 4}, {-29, 29, -29, 1}, {-30, 30, -30, 2},
  };
  for (const auto& c : cases) {
    RingRequest r = InterpretProgress(c.value);
    EXPECT_EQ(r.change, RingChange::kSpin) << c.value;
    EXPECT_EQ(r.speed, c.speed) << c.value;
    EXPECT_EQ(r.stored, c.stored) << c.value;
    EXPECT_EQ(SpinStepDegrees(r.speed), c.step) << c.value;
  }
}

TEST(Spinner, AngleWrapsAtAFullTurn) {
  EXPECT_EQ(NextSpinAngle(280, 80), 283);
  EXPECT_EQ(NextSpinAngle(358, 80), 1);
  EXPECT_EQ(NextSpinAngle(359, 2), 0);
  EXPECT_EQ(NextSpinAngle(356, 100), 0);
}

TEST(Spinner, GeometryOfASeventyPixelRing) {
  SpinnerGeometry g = SpinnerGeometryFor(70);
  EXPECT_EQ(g.penWidth, 10);
  EXPECT_FLOAT_EQ(g.arcBox.x, 7);
  EXPECT_FLOAT_EQ(g.arcBox.w, 56);
}

TEST(Ring, GeometryOfASeventyPixelRing) {
  RingGeometry g = RingGeometryFor(70, 50);
  EXPECT_FLOAT_EQ(g.penWidth, 7);
  EXPECT_FLOAT_EQ(g.arcBox.x, 4.5f);
  EXPECT_FLOAT_EQ(g.arcBox.y, 4.5f);
  EXPECT_FLOAT_EQ(g.arcBox.w, 61);
  EXPECT_FLOAT_EQ(g.startAngle, -90);
  EXPECT_FLOAT_EQ(g.sweep, 181);
  EXPECT_FLOAT_EQ(g.textBox.x, 8);
  EXPECT_FLOAT_EQ(g.textBox.y, 14);
  EXPECT_FLOAT_EQ(g.textBox.w, 56);
  EXPECT_FLOAT_EQ(g.textBox.h, 42);
  EXPECT_FLOAT_EQ(g.textPixels, 17.5f);
}

TEST(Ring, SweepRunsFromADotToAFullCircle) {
  EXPECT_FLOAT_EQ(RingGeometryFor(70, 0).sweep, 1);
  EXPECT_FLOAT_EQ(RingGeometryFor(70, 100).sweep, 361);
  EXPECT_FLOAT_EQ(RingGeometryFor(70, 150).sweep, 361);
}

TEST(Ring, TextBoxUsesWholePixelsOfThePen) {
  RingGeometry g = RingGeometryFor(65, 10);  // pen 6.5, label margins from 6
  EXPECT_FLOAT_EQ(g.penWidth, 6.5f);
  EXPECT_FLOAT_EQ(g.textBox.x, 7);
  EXPECT_FLOAT_EQ(g.textBox.y, 12);
  EXPECT_FLOAT_EQ(g.textBox.w, 53);
  EXPECT_FLOAT_EQ(g.textBox.h, 41);
}

// The results dialog grows from 350 to 384, the compact ones by 34 too; a second button sits left.
TEST(CancelButton, PlaceAndTheHeightItNeeds) {
  const struct {
    int32_t width, ring, listHeight;
    bool second;
    ButtonPlacement placement;  // x, y, width, height, needed client height
  } cases[] = {
      {650, 70, 250, false, {340, 353, 280, 24, 384}},
      {450, 70, 0, false, {240, 93, 180, 24, 124}},
      {400, 60, 0, false, {215, 83, 155, 24, 114}},
      {650, 70, 250, true, {30, 353, 280, 24, 384}},
  };
  for (const auto& c : cases) {
    const ButtonPlacement b = CancelButtonPlacement(c.width, c.ring, c.listHeight, c.second);
    const ButtonPlacement& want = c.placement;
    const auto row = ::testing::Message() << c.width << " ring " << c.ring << " second " << c.second;
    EXPECT_EQ(b.x, want.x) << row;
    EXPECT_EQ(b.y, want.y) << row;
    EXPECT_EQ(b.width, want.width) << row;
    EXPECT_EQ(b.height, want.height) << row;
    EXPECT_EQ(b.neededClientHeight, want.neededClientHeight) << row;
  }
}

// One line is centred as fourteen pixels; several use their measured height, and more than fits
// starts above the top, as the edit does.
TEST(StatusText, TopOfTheText) {
  const struct {
    int32_t height, lines, lineHeight, top;
  } cases[] = {
      {70, 1, 0, 28}, {70, 1, 20, 28}, {70, 0, 0, 28},
      {70, 2, 16, 19}, {70, 3, 16, 11}, {60, 4, 15, 0}, {70, 6, 16, -13},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusTextTop(c.height, c.lines, c.lineHeight, 96), c.top) << c.lines << " lines of " << c.lineHeight;
  }
}

}  // namespace
}  // namespace pyr
