// The pictures drawn for the progress dialog and the message tip.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// The determinate progress ring: a side x side image with the arc from twelve o'clock clockwise
// and the percentage in its middle.
ImagePtr RingImage(int side, int percent, Argb arc, Argb text, Argb background);

// The tip's background: black, a white 2-pixel outline and a blue corner triangle.
ImagePtr TipBackgroundImage(int width, int height);
inline constexpr Argb kTipCornerColour = 0xFF6060FF;

}  // namespace pyr
