// Anti-aliased shapes, text and the drawn pictures of the toolkit (window backgrounds, check
// boxes), all into GDI+ images.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// Straight edges joined by quarter arcs of diameter corner, from the top edge clockwise, closed.
// A corner below 1 gives a plain rectangle.
bool RoundedRectPath(GpPath* path, float corner, float x, float y, float w, float h);
bool FillRoundedRect(GpImage* image, float x, float y, float w, float h, Argb argb, float corner);

// Gives a window a rounded w x h region; the region is freed if the window does not take it.
bool SetRoundedRegion(HWND hwnd, int width, int height, int corner);
// The same for a w x h rectangle at (x, y) of the window rectangle.
bool SetRoundedRegionAt(HWND hwnd, int x, int y, int width, int height, int corner);

// Text centred both ways in a rectangle. A null font means "Arial" of a third of the height.
bool DrawTextCentred(GpImage* image, const wchar_t* text, float x, float y, float w, float h,
                     Gdiplus::GpFont* font, Argb argb);
// "Arial" of the given pixel height, or null.
GpFontPtr PixelFont(float pixels, int style = 0);

// The framed background of the toolkit's popups: outer colour across w x h (rounded with
// corner = border), inner colour inset by border, and, when footer differs from inner, a band of
// footer colour band pixels high along the bottom inside the border.
ImagePtr WindowBackgroundImage(int width, int height, Argb outer, Argb inner, Argb footer,
                               int border, int band);
// The footer band's height in 96-DPI units.
inline constexpr int kFooterBandHeight = 35;

// The list's check-box picture in one of its states, size x size.
enum CheckBoxStyle : int { kCheckBoxEmpty = 0, kCheckBoxTicked = 1, kCheckBoxFilled = 2,
                           kCheckBoxRounded = 4 };
ImagePtr CheckBoxPicture(int size, int style, Argb argb);
BitmapHandle CheckBoxImage(int size, int style, Argb argb);

}  // namespace pyr
