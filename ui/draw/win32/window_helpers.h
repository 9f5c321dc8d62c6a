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
// (A control that keeps its own copy of an alpha bitmap gets the original freed at once.)
void SetPictureBitmap(HWND picture, HBITMAP bitmap);
// Takes the picture out of the control and frees it: controls do not free pictures themselves.
void ClearPictureBitmap(HWND picture);

}  // namespace pyr
