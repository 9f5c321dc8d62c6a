// The pictures drawn for the progress dialog and the message tip.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// The determinate progress ring: a side x side image with the arc from twelve o'clock clockwise
// and the percentage in its middle.
ImagePtr RingImage(int side, int percent, Argb arc, Argb text, Argb background);

// The tip's background, width x height pixels: black, a white outline 2 pixels wide and a blue
// corner triangle of 32 pixels, both at 96 DPI and drawn larger at dpi.
ImagePtr TipBackgroundImage(int width, int height, int dpi);
inline constexpr Argb kTipCornerColour = 0xFF6060FF;

}  // namespace pyr
