// Colour values as the two worlds keep them: GDI+ ARGB (0xAARRGGBB) and Win32 COLORREF
// (0x00BBGGRR). Portable so the conversions are tested everywhere.
#pragma once

#include <cstdint>

namespace pyr {

using Argb = uint32_t;
using ColourRef = uint32_t;

// Stored in colour fields that accept either: the system default (-1), and a see-through
// background (-2).
constexpr uint32_t kDefaultColour = 0xFFFFFFFFu;
constexpr uint32_t kTransparentColour = 0xFFFFFFFEu;

constexpr uint32_t SwapRedBlue(uint32_t c) {
  return (c & 0x0000FF00u) | ((c & 0x000000FFu) << 16) | ((c & 0x00FF0000u) >> 16);
}

// Alpha is dropped: controls have no use for it.
constexpr ColourRef ArgbToColourRef(Argb argb) { return SwapRedBlue(argb); }

// Any COLORREF becomes fully opaque.
constexpr Argb ColourRefToArgb(ColourRef ref) { return 0xFF000000u | SwapRedBlue(ref); }

// A fill pixel never has alpha 0, or layered drawing would treat it as a hole.
constexpr uint32_t SolidFillPixel(Argb argb) {
  return (argb & 0xFF000000u) ? argb : (argb | 0x01000000u);
}

}  // namespace pyr
