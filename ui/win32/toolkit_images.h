// The pictures the toolkit draws for its own controls. GDI+ draws them; when it is not running
// (a test without a GDI+ session) plain GDI draws a close likeness, so controls never go blank.
#pragma once

#include <windows.h>

namespace pyr {

// A size x size check-box picture for the list view's state images.
HBITMAP MakeCheckBoxBitmap(int size, bool checked);
// The close button's cross: two black strokes of width 40 on a 300 x 300 square, scaled down.
HBITMAP MakeCloseCrossBitmap(int size);

}  // namespace pyr
