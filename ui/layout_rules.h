// Where a control goes when its window's client area changes size: pure arithmetic on the
// rectangle recorded with the control's anchor flags.
#pragma once

#include <cstdint>

namespace pyr {

enum LayoutFlag : uint32_t {
  kAnchorLeft = 0x0001,
  kAnchorRight = 0x0002,
  kKeepCentreOffsetX = 0x0004,
  kKeepCentreFractionX = 0x0008,
  kAnchorTop = 0x0010,
  kAnchorBottom = 0x0020,
  kKeepCentreOffsetY = 0x0040,
  kKeepCentreFractionY = 0x0080,
  kProportionalWidth = 0x0100,
  kProportionalHeight = 0x0200,
  kProportionalLeft = 0x2000,
  kProportionalTop = 0x4000,
};

// Only controls with one of these bits move; left and top anchors alone keep a control still.
constexpr uint32_t kMovingLayoutBits = 0x63EE;

struct LayoutBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const LayoutBox&) const = default;
};

inline bool TakesPartInLayout(uint32_t flags) { return (flags & kMovingLayoutBits) != 0; }

// A box of 96-DPI units in pixels at dpi. Its edges are scaled, not its size, so that boxes that
// touch at 96 DPI touch at every DPI and never overlap by a rounded pixel.
LayoutBox ScaleBox(const LayoutBox& box, int dpi);
// Pixels at dpi as a box of 96-DPI units, edges to the nearest unit.
LayoutBox UnscaleBox(const LayoutBox& box, int dpi);

// recorded: the rectangle when the flags were set, in a parent of refWidth x refHeight;
// current: where the control is now (an axis without a rule keeps it); newWidth x newHeight:
// the parent's new client size.
LayoutBox PlaceInLayout(const LayoutBox& recorded, int refWidth, int refHeight, uint32_t flags,
                        const LayoutBox& current, int newWidth, int newHeight);

}  // namespace pyr
