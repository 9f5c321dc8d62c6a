#include "ui/win32/dpi.h"

#include "ui/dpi_scale.h"

namespace pyr {
namespace {

// user32 is always loaded: its newer exports are looked up, never imported.
template <typename Fn>
Fn User32Export(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int SystemDpi() {
  // The system DPI holds for the life of the process.
  static const int dpi = [] {
    static const auto forSystem = User32Export<GetDpiForSystemFn>("GetDpiForSystem");
    if (forSystem) return static_cast<int>(forSystem());
    const HDC screen = GetDC(nullptr);
    const int logPixels = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return logPixels > 0 ? logPixels : kBaseDpi;
  }();
  return dpi;
}

int WindowDpi(HWND hwnd) {
  static const auto forWindow = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
  const int dpi = forWindow && hwnd ? static_cast<int>(forWindow(hwnd)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int MetricForDpi(int index, int dpi) {
  static const auto forDpi = User32Export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return RescaleForDpi(GetSystemMetrics(index), SystemDpi(), dpi);
}

bool AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = User32Export<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (forDpi) return forDpi(rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
  return AdjustWindowRectEx(rect, style, FALSE, exStyle) != FALSE;
}

}  // namespace pyr
