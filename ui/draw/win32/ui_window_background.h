// Window backgrounds applied to a toolkit window: the framed picture becomes its background
// brush and memory-DC picture, and the window gets the region that matches the frame.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"
#include "ui/win32/ui_window.h"

namespace pyr {

// Scales image to w x h pixels (0 = the client size) unless it has that size already and makes
// it the window's background. False when there was nothing to set.
bool SetBackgroundImage(UiWindow& window, GpBitmap* image, int width = 0, int height = 0);

// Outer colour over w x h rounded by border, inner colour inset by border, a footer band when
// footer differs from inner; then the window region: see ApplyBackgroundRegion. corner 0 on a
// captioned window gives it the custom 1-pixel frame. Sizes are 96-DPI units, drawn at the
// window's DPI.
bool PaintWindowBackground(UiWindow& window, int width, int height, Argb outer, Argb inner,
                           Argb footer, int corner, int border);

}  // namespace pyr
