// The progress dialog's arithmetic: progress values, ring and spinner geometry, status text
// centring (the Cancel button's place is checked on the dialog itself).
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ui/dialogs/progress_rules.h"

namespace pyr {
namespace {

TEST(ProgressValues, PercentagesCapForTheRingButNotTheTaskbarAndMinusOneLeavesItAlone) {
  for (const auto& [value, percent] : {std::pair{0, 0}, {42, 42}, {100, 100}, {150, 100}}) {
    const RingRequest r = InterpretProgress(value);
    EXPECT_EQ(r.change, RingChange::kPercent) << value;
    EXPECT_EQ(r.percent, percent) << value;
    EXPECT_EQ(r.taskbar, value) << value;
  }
  EXPECT_EQ(InterpretProgress(-1).change, RingChange::kNone);
}

TEST(ProgressValues, NegativeValuesSpinAtCappedSpeed) {
  struct Case {
    int32_t value, speed, stored, step;
  } const cases[] = {
      {-2, 2, -2, 1},          {-80, 80, -80, 3}, {-100, 100, -100, 4}, {-500, 100, -100, 4},
      {INT_MIN, 100, -100, 4}, {-29, 29, -29, 1}, {-30, 30, -30, 2},
  };
  for (const auto& c : cases) {
    RingRequest r = InterpretProgress(c.value);
    EXPECT_EQ(r.change, RingChange::kSpin) << c.value;
    EXPECT_EQ(r.speed, c.speed) << c.value;
    EXPECT_EQ(r.stored, c.stored) << c.value;
    EXPECT_EQ(SpinStepDegrees(r.speed), c.step) << c.value;
  }
  for (const auto& [angle, speed, next] :
       {std::tuple{280, 80, 283}, {358, 80, 1}, {359, 2, 0}, {356, 100, 0}}) {
    EXPECT_EQ(NextSpinAngle(angle, speed), next) << angle << " at " << speed;
  }
}

// A seventy-pixel ring and spinner; the sweep runs from a dot to a full circle; the label's box
// uses whole pixels of the pen.
TEST(Ring, Geometry) {
  const SpinnerGeometry spinner = SpinnerGeometryFor(70);
  EXPECT_EQ(spinner.penWidth, 10);
  EXPECT_FLOAT_EQ(spinner.arcBox.x, 7);
  EXPECT_FLOAT_EQ(spinner.arcBox.w, 56);
  const struct {
    int32_t side, percent;
    float pen, arc, arcSide, sweep, textX, textY, textW, textH;
  } cases[] = {
      {70, 50, 7, 4.5f, 61, 181, 8, 14, 56, 42}, {65, 10, 6.5f, 4.25f, 56.5f, 37, 7, 12, 53, 41},
      {70, 0, 7, 4.5f, 61, 1, 8, 14, 56, 42}, {70, 150, 7, 4.5f, 61, 361, 8, 14, 56, 42},
  };
  for (const auto& c : cases) {
    const RingGeometry g = RingGeometryFor(c.side, c.percent);
    EXPECT_EQ(std::vector<float>({g.penWidth, g.arcBox.x, g.arcBox.y, g.arcBox.w, g.startAngle, g.sweep, g.textBox.x,
                                  g.textBox.y, g.textBox.w, g.textBox.h, g.textPixels}),
              std::vector<float>({c.pen, c.arc, c.arc, c.arcSide, -90, c.sweep, c.textX, c.textY, c.textW, c.textH,
                                  c.side * 0.25f}))
        << c.side << " " << c.percent;
  }
}

// One line is centred as fourteen pixels at 96 DPI (21 at 144); several use their measured
// height, and more than fits starts above the top, as the edit does.
TEST(StatusText, TopOfTheText) {
  const struct {
    int32_t height, lines, lineHeight, dpi, top;
  } cases[] = {
      {70, 1, 0, 96, 28},   {70, 1, 20, 96, 28},  {70, 0, 0, 96, 28},
      {105, 1, 0, 144, 42}, {88, 1, 30, 120, 35}, {70, 2, 16, 96, 19},
      {70, 3, 16, 144, 11}, {60, 4, 15, 96, 0},   {70, 6, 16, 96, -13},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusTextTop(c.height, c.lines, c.lineHeight, c.dpi), c.top)
        << c.lines << " lines of " << c.lineHeight << " at " << c.dpi;
  }
}

}  // namespace
}  // namespace pyr
