// Display scale. Every fixed pixel value of the toolkit's layouts is given for 96 pixels per inch
// (100 %), the unit the settings are stored in too; a window shows it at the DPI of the monitor it
// is on. ScaleForDpi is the one way from the first to the second.
#pragma once

#include <cstdint>

namespace pyr {

inline constexpr int kBaseDpi = 96;

namespace dpi_detail {

// n / d rounded to the nearest integer, halves away from zero (as MulDiv rounds); d > 0.
constexpr int RoundedQuotient(int64_t n, int64_t d) {
  return static_cast<int>(n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d));
}

constexpr int64_t Usable(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

}  // namespace dpi_detail

// A 96-DPI value in pixels at dpi, to the nearest pixel. A DPI of 0 or below counts as 96.
constexpr int ScaleForDpi(int value, int dpi) {
  return dpi_detail::RoundedQuotient(int64_t{value} * dpi_detail::Usable(dpi), kBaseDpi);
}

// Pixels at dpi as the 96-DPI value the program keeps (a window size, a column width), to the
// nearest unit: scaling it again at the same DPI gives the pixels back, give or take the one pixel
// a 96-DPI unit cannot tell apart, and a value kept at 96 DPI reads the same at any DPI above.
constexpr int UnscaleForDpi(int pixels, int dpi) {
  return dpi_detail::RoundedQuotient(int64_t{pixels} * kBaseDpi, dpi_detail::Usable(dpi));
}

// A measured extent (a text's width) in 96-DPI units, rounded up: scaled again, it never comes
// back smaller than measured.
constexpr int UnscaleUpForDpi(int pixels, int dpi) {
  const int64_t d = dpi_detail::Usable(dpi);
  const int64_t n = int64_t{pixels} * kBaseDpi;
  return static_cast<int>(n >= 0 ? (n + d - 1) / d : -(-n / d));
}

// Pixels at one DPI as pixels at another, for a window that moved to a monitor of another scale.
constexpr int RescaleForDpi(int pixels, int fromDpi, int toDpi) {
  return dpi_detail::RoundedQuotient(int64_t{pixels} * dpi_detail::Usable(toDpi),
                                     dpi_detail::Usable(fromDpi));
}

}  // namespace pyr
