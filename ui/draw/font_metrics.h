// Font arithmetic of the toolkit: character heights for the DPI of the window that shows them.
#pragma once

#include <cstdint>

#include "ui/dpi_scale.h"

namespace pyr {

// Sizes below one point are a caller's "don't care" and mean the small UI size.
constexpr double kFallbackFontPoints = 8.5;
constexpr int32_t kNormalFontWeight = 400;

// The negative (character) height CreateFont expects for a size in points at dpi.
constexpr int32_t UiFontHeight(double points, int dpi = kBaseDpi) {
  if (points < 1.0) points = kFallbackFontPoints;
  return -static_cast<int32_t>(points * (dpi > 0 ? dpi : kBaseDpi) / 72.0);
}

constexpr int32_t UiFontWeight(int32_t weight) { return weight < 1 ? kNormalFontWeight : weight; }

// Style bits accepted by CreateUiFont.
enum UiFontStyle : uint32_t { kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8 };

}  // namespace pyr
