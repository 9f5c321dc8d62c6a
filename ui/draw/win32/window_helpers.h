// Small window chores shared by the toolkit's windows.
#pragma once

#include <windows.h>

namespace pyr {

struct ScreenExtent { int width = 0; int height = 0; };
ScreenExtent ScreenSize();

// Centres over the owner's window rectangle, or over the work area without an owner.
void CentreWindow(HWND hwnd, HWND owner);

// Repaints the parent behind a control, so that see-through controls redraw their background.
void InvalidateControl(HWND control);

// Shows a bitmap in a picture control, which then owns it; the bitmap it showed before is freed.
void SetPictureBitmap(HWND picture, HBITMAP bitmap);

}  // namespace pyr
