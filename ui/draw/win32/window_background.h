// The framed backgrounds of the toolkit's windows: the picture, the bitmap a window brush is made
// of, and the window region that goes with them. The window object (its brush and memory DC)
// takes the bitmap; these functions know nothing of it.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// Background bitmap for a window brush: the image scaled to w x h unless it has that size,
// with transparent pixels turned into the colour the window class treats as "no background".
inline constexpr Argb kBackgroundHoleColour = 0xFFFEFEFE;
BitmapHandle BackgroundBitmap(GpBitmap* image, int width, int height);

// What the window still has to do after its region was set.
enum class FrameNeed { kNone, kCustomFrame, kFailed };

// The region that goes with a framed background. A captioned window loses its themed frame and
// is cut to its client area (square for corner 1, rounded above); corner 0 leaves it to the
// window's own 1-pixel frame (kCustomFrame). A window without caption is rounded when corner > 0.
FrameNeed ApplyBackgroundRegion(HWND hwnd, int width, int height, int corner);

}  // namespace pyr
