#include "ui/layout_rules.h"

#include "ui/dpi_scale.h"

namespace pyr {
namespace {

struct Span {
  int start, length;
};

// One axis. The flags are given as the bits of that axis.
Span PlaceAxis(int start, int length, int ref, int now, bool proportionalStart,
               bool centreFraction, bool centreOffset, bool farEdge, bool nearEdge,
               bool proportionalLength, Span current) {
  int scaled = proportionalLength && ref != 0 ? length * now / ref : length;
  if (proportionalStart && ref != 0) return {start * now / ref, scaled};
  if (centreFraction) {
    // The centre keeps its fraction of the client; quotients carry a factor of 1000.
    long long centre = start + length / 2;
    if (centre == 0) return {-scaled / 2, scaled};
    long long fraction = static_cast<long long>(ref) * 1000 / centre;
    if (fraction == 0) return {current.start, scaled};
    return {static_cast<int>(static_cast<long long>(now) * 1000 / fraction) - scaled / 2, scaled};
  }
  if (centreOffset) return {start + length / 2 + now / 2 - ref / 2 - scaled / 2, scaled};
  if (farEdge) {
    int d = now - scaled + (length - ref);
    if (nearEdge) return {start, scaled + d};
    return {start + d, scaled};
  }
  return {current.start, proportionalLength ? scaled : current.length};
}

}  // namespace

LayoutBox PlaceInLayout(const LayoutBox& recorded, int refWidth, int refHeight, uint32_t flags,
                        const LayoutBox& current, int newWidth, int newHeight) {
  Span x = PlaceAxis(recorded.x, recorded.width, refWidth, newWidth,
                     flags & kProportionalLeft, flags & kKeepCentreFractionX,
                     flags & kKeepCentreOffsetX, flags & kAnchorRight, flags & kAnchorLeft,
                     flags & kProportionalWidth, {current.x, current.width});
  Span y = PlaceAxis(recorded.y, recorded.height, refHeight, newHeight,
                     flags & kProportionalTop, flags & kKeepCentreFractionY,
                     flags & kKeepCentreOffsetY, flags & kAnchorBottom, flags & kAnchorTop,
                     flags & kProportionalHeight, {current.y, current.height});
  return {x.start, y.start, x.length, y.length};
}

LayoutBox ScaleBox(const LayoutBox& box, int dpi) {
  const int left = ScaleForDpi(box.x, dpi), top = ScaleForDpi(box.y, dpi);
  return {left, top, ScaleForDpi(box.x + box.width, dpi) - left,
          ScaleForDpi(box.y + box.height, dpi) - top};
}

LayoutBox UnscaleBox(const LayoutBox& box, int dpi) {
  const int left = UnscaleForDpi(box.x, dpi), top = UnscaleForDpi(box.y, dpi);
  return {left, top, UnscaleForDpi(box.x + box.width, dpi) - left,
          UnscaleForDpi(box.y + box.height, dpi) - top};
}

}  // namespace pyr
