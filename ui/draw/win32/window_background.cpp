#include "ui/draw/win32/window_background.h"

#include "base/win32/system_library.h"

#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"

namespace pyr {

BitmapHandle BackgroundBitmap(GpBitmap* image, int width, int height) {
  ImageSize own = SizeOf(image);
  if (own.width == 0) return {};
  if (own.width == width && own.height == height) return ImageToBitmap(image, kBackgroundHoleColour);
  ImagePtr scaled = ScaledCopy(image, width, height);
  return ImageToBitmap(scaled.get(), kBackgroundHoleColour);
}

FrameNeed ApplyBackgroundRegion(HWND hwnd, int width, int height, int corner) {
  if (!hwnd) return FrameNeed::kFailed;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if ((style & WS_CAPTION) == WS_CAPTION) {
    static const SystemLibrary uxtheme(L"uxtheme.dll");
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setWindowTheme = uxtheme.GetProc<SetWindowThemeFn>("SetWindowTheme");
    if (setWindowTheme) setWindowTheme(hwnd, L"", L"");
    if (corner == 0) return FrameNeed::kCustomFrame;
    RECT window{}, client{};
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client)) return FrameNeed::kFailed;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    const int x = origin.x - window.left, y = origin.y - window.top;
    if (corner == 1) {
      HRGN rgn = CreateRectRgn(x, y, x + client.right, y + client.bottom);
      if (!rgn) return FrameNeed::kFailed;
      if (!SetWindowRgn(hwnd, rgn, TRUE)) {
        DeleteObject(rgn);
        return FrameNeed::kFailed;
      }
      return FrameNeed::kNone;
    }
    return SetRoundedRegionAt(hwnd, x, y, client.right, client.bottom, corner) ? FrameNeed::kNone
                                                                               : FrameNeed::kFailed;
  }
  if (corner == 0) return FrameNeed::kNone;
  return SetRoundedRegion(hwnd, width, height, corner) ? FrameNeed::kNone : FrameNeed::kFailed;
}

}  // namespace pyr
