#include "ui/dialogs/progress_rules.h"

#include <algorithm>

namespace pyr {

RingRequest InterpretProgress(int32_t value) {
  RingRequest r;
  if (value >= 0) {
    r.change = RingChange::kPercent;
    r.percent = std::min(value, 100);
    r.taskbar = value;
  } else if (value <= -2) {
    r.change = RingChange::kSpin;
    // -value cannot overflow here for any value but INT32_MIN, which caps to 100 first.
    r.speed = value < -100 ? 100 : -value;
    r.stored = std::max(value, -100);
  }
  return r;
}

RingGeometry RingGeometryFor(int32_t side, int32_t percent) {
  RingGeometry g;
  const float s = static_cast<float>(side);
  const float p = s / 10;
  g.penWidth = p;
  g.arcBox = {p / 2 + 1, p / 2 + 1, s - p - 2, s - p - 2};
  g.sweep = static_cast<float>(std::clamp(percent, 0, 100)) * 3.6f + 1;
  const float pi = static_cast<float>(static_cast<int32_t>(p));  // the label uses whole pixels
  g.textBox = {pi + 1, 2 * pi, s - 2 * pi, s - 4 * pi};
  g.textPixels = s * 0.25f;
  return g;
}

SpinnerGeometry SpinnerGeometryFor(int32_t side) {
  SpinnerGeometry g;
  g.penWidth = side / 6 - 1;
  const float w = static_cast<float>(g.penWidth);
  const float s = static_cast<float>(side);
  g.arcBox = {w / 2 + 2, w / 2 + 2, s - w - 4, s - w - 4};
  return g;
}

ButtonPlacement CancelButtonPlacement(int32_t clientWidth, int32_t ringSide, int32_t listHeight,
                                      bool second) {
  const int32_t extra = listHeight > 0 ? listHeight + 10 : 0;
  ButtonPlacement b;
  b.width = clientWidth / 2 - 45;
  b.height = 24;
  b.x = second ? 30 : clientWidth / 2 + 15;
  b.y = ringSide + 23 + extra;
  b.neededClientHeight = ringSide + 54 + extra;
  return b;
}

}  // namespace pyr
