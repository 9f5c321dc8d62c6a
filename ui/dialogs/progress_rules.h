// The arithmetic of the progress and results dialog: what a progress value means for the ring,
// the ring's geometry, the spinner's step, where the Cancel button goes and how tall the window
// must then be, and where a status text of some lines starts.
#pragma once

#include <cstdint>

#include "ui/dpi_scale.h"

namespace pyr {

// SetProgress values: >= 0 a percentage, -1 leave the ring as it is, <= -2 spin.
enum class RingChange { kNone, kPercent, kSpin };
struct RingRequest {
  RingChange change = RingChange::kNone;
  int32_t percent = 0;  // shown on the ring, 0..100
  int32_t taskbar = 0;  // sent to the taskbar as "of 100" (not capped, as the caller gave it)
  int32_t speed = 0;    // spin speed 1..100
  int32_t stored = 0;   // the value the ring remembers for a spin: -speed, at least -100
};
RingRequest InterpretProgress(int32_t value);

// Degrees the spinner's arc advances per frame at a speed.
constexpr int32_t SpinStepDegrees(int32_t speed) { return speed / 30 + 1; }
inline constexpr int32_t kSpinnerSweep = 280;
inline constexpr int32_t kSpinnerStartAngle = 280;
constexpr int32_t NextSpinAngle(int32_t angle, int32_t speed) {
  angle += SpinStepDegrees(speed);
  return angle >= 360 ? angle - 360 : angle;
}

struct RectF32 {
  float x = 0, y = 0, w = 0, h = 0;
};

// The determinate ring drawn in a square of side s.
struct RingGeometry {
  float penWidth = 0;  // s / 10
  RectF32 arcBox;      // the arc's bounding square
  float startAngle = -90;
  float sweep = 0;     // percent x 3.6 + 1, so 0 % still shows a dot
  RectF32 textBox;     // where the "n%" label is centred
  float textPixels = 0;
};
RingGeometry RingGeometryFor(int32_t side, int32_t percent);

// The spinner's pen width and arc box in a square of side s.
struct SpinnerGeometry {
  int32_t penWidth = 0;
  RectF32 arcBox;
};
SpinnerGeometry SpinnerGeometryFor(int32_t side);

// Placement of a Cancel button in a dialog whose client is w x h, with a ring of side ring and,
// in the results variant, a list of listHeight above it (0 without a list).
struct ButtonPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t neededClientHeight = 0;  // the client must grow to this when it is shorter
};
ButtonPlacement CancelButtonPlacement(int32_t clientWidth, int32_t ringSide, int32_t listHeight,
                                      bool second);

// Top of the formatting rectangle that centres lines of text in an edit of this client height
// (pixels at dpi). A single line is taken as 14 pixels high at 96 DPI.
inline constexpr int32_t kSingleStatusLineHeight = 14;
constexpr int32_t StatusTextTop(int32_t clientHeight, int32_t lines, int32_t lineHeight,
                                int dpi) {
  if (lines <= 1) {
    lines = 1;
    lineHeight = ScaleForDpi(kSingleStatusLineHeight, dpi);
  }
  return (clientHeight - lines * lineHeight) / 2;
}

}  // namespace pyr
