#include "ui/draw/win32/window_helpers.h"

#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

ScreenExtent ScreenSize() {
  ScreenDc screen;
  if (!screen.Get()) return {};
  return {GetDeviceCaps(screen.Get(), HORZRES), GetDeviceCaps(screen.Get(), VERTRES)};
}

void CentreWindow(HWND hwnd, HWND owner) {
  RECT area{}, own{};
  if (!GetWindowRect(hwnd, &own)) return;
  if (!(owner && GetWindowRect(owner, &area))) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int w = own.right - own.left, h = own.bottom - own.top;
  const int x = area.left + ((area.right - area.left) - w) / 2;
  const int y = area.top + ((area.bottom - area.top) - h) / 2;
  SetWindowPos(hwnd, nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void InvalidateControl(HWND control) {
  HWND parent = GetParent(control);
  RECT r{};
  if (!parent || !GetWindowRect(control, &r)) return;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
}

void SetPictureBitmap(HWND picture, HBITMAP bitmap) {
  if (!picture) return;
  auto previous = reinterpret_cast<HBITMAP>(
      SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  if (previous && previous != bitmap) DeleteObject(previous);
  auto shown = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (bitmap && shown != bitmap) DeleteObject(bitmap);
  InvalidateControl(picture);
}

void ClearPictureBitmap(HWND picture) {
  if (!picture) return;
  auto previous =
      reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (previous) DeleteObject(previous);
}

}  // namespace pyr
