// Background erasing, control colours and double-buffered painting.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/procedure_hooks.h"
#include "ui/win32/ui_window.h"
#include "ui/win32/window_procs.h"

namespace pyr {

LRESULT UiWindow::OnControlColour(UINT message, HDC dc, HWND control, bool& handled) {
  ControlEntry* e = Entry(ControlFromHandle(control));
  if (!e) return 0;
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
    if (!e->brush) return 0;
    if (e->textColour != kDefaultColour) SetTextColor(dc, e->textColour);
    if (e->backColour < 0x1000000) SetBkColor(dc, e->backColour);
    handled = true;
    return reinterpret_cast<LRESULT>(e->brush.Get());
  }
  if (e->textColour != kDefaultColour) SetTextColor(dc, e->textColour);
  handled = true;
  if (e->backColour == kTransparentColour) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  if (e->backColour < 0x1000000) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, e->backColour);
  } else {
    SetBkMode(dc, TRANSPARENT);
  }
  HBRUSH brush = e->brush ? e->brush.Get() : BrushBehind(control);
  return reinterpret_cast<LRESULT>(brush);
}

// A brush that paints, at the control's place, what the window background shows there.
HBRUSH UiWindow::BrushBehind(HWND control) {
  if (!backgroundImage_) {
    if (!backgroundBrush_) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    // A solid brush looks the same everywhere; a pattern brush is aligned by the caller's DC.
    return backgroundBrush_;
  }
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return backgroundBrush_;
  const BitmapHandle piece(CreateCompatibleBitmap(memoryDc_.Get(), w, h));
  {
    const MemoryDc cut(memoryDc_.Get());
    const SelectedObject selected(cut.Get(), piece.Get());
    BitBlt(cut.Get(), 0, 0, w, h, memoryDc_.Get(), r.left, r.top, SRCCOPY);
  }
  cutBrush_.Reset(CreatePatternBrush(piece.Get()));
  return cutBrush_ ? cutBrush_.Get() : backgroundBrush_;
}

COLORREF UiWindow::BackgroundColourAt(HWND control) const {
  ControlEntry const* e = Entry(ControlFromHandle(control));
  if (e && e->backColour < 0x1000000) return e->backColour;
  LOGBRUSH info{};
  if (backgroundBrush_ && GetObjectW(backgroundBrush_, sizeof(info), &info) &&
      info.lbStyle == BS_SOLID) {
    return info.lbColor;
  }
  return GetSysColor(COLOR_WINDOW);
}

void UiWindow::FillBackgroundBehind(HWND control, HDC dc, const RECT& area) {
  ControlEntry const* e = Entry(ControlFromHandle(control));
  if (e && e->backColour < 0x1000000) {
    const BrushHandle solid(CreateSolidBrush(e->backColour));
    FillRect(dc, &area, solid.Get());
    return;
  }
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  if (backgroundImage_) {
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memoryDc_.Get(),
           r.left + area.left, r.top + area.top, SRCCOPY);
  } else if (backgroundBrush_) {
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    FillRect(dc, &area, backgroundBrush_);
  }
}

bool UiWindow::OnEraseBackground(HWND hwnd, HDC dc) {
  RECT client{};
  GetClientRect(hwnd, &client);
  int saved = SaveDC(dc);
  // Controls that paint their own opaque background are left out of the erase.
  for (const ControlEntry& e : controls_) {
    if (!e.id || !e.handle || !(e.flags & kFlagClipFromErase)) continue;
    if (GetParent(e.handle) != hwnd || !IsWindowVisible(e.handle)) continue;
    if (e.backColour == kTransparentColour) continue;
    RECT r{};
    GetWindowRect(e.handle, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    const RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(e.handle, region.Get()) != ERROR) {
      OffsetRgn(region.Get(), r.left, r.top);
      ExtSelectClipRgn(dc, region.Get(), RGN_DIFF);
    } else {
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
  }
  POINT origin{0, 0};
  if (hwnd != hwnd_) MapWindowPoints(hwnd, hwnd_, &origin, 1);
  if (backgroundMode_ == 2 && backgroundImage_) {
    BITMAP info{};
    GetObjectW(backgroundImage_.Get(), sizeof(info), &info);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memoryDc_.Get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  } else if (backgroundImage_) {
    BitBlt(dc, 0, 0, client.right, client.bottom, memoryDc_.Get(), origin.x, origin.y, SRCCOPY);
  } else if (backgroundBrush_) {
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    FillRect(dc, &client, backgroundBrush_);
  }
  RestoreDC(dc, saved);
  return true;
}

LRESULT CALLBACK BufferedPaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, BufferedPaintProc, hook)) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  auto* window = static_cast<UiWindow*>(hook.context);
  if (!window) return PassOn(hook, hwnd, message, wParam, lParam);
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT || wParam) return PassOn(hook, hwnd, message, wParam, lParam);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  {
    const BitmapHandle bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    const MemoryDc memoryDc(dc);
    HDC memory = memoryDc.Get();
    if (memory && bitmap) {
      const SelectedObject selected(memory, bitmap.Get());
      window->FillBackgroundBehind(hwnd, memory, client);
      PassOn(hook, hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
             PRF_CLIENT | PRF_CHILDREN);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
  }
  EndPaint(hwnd, &paint);
  return 0;
}

bool HasNoFrame(HWND window) {
  constexpr LONG_PTR kFrame = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL;
  constexpr LONG_PTR kEdges = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE |
                              WS_EX_DLGMODALFRAME;
  return (GetWindowLongPtrW(window, GWL_STYLE) & kFrame) == 0 &&
         (GetWindowLongPtrW(window, GWL_EXSTYLE) & kEdges) == 0;
}

// A frameless control has nothing to paint outside its client area, yet the default handling
// of WM_NCPAINT still fetches a window DC for it; under Wine that is a round of display queries
// for every control at the window's first paint. The style is read at each message, so a frame
// or scroll bar added later is painted as usual.
LRESULT CALLBACK FramelessPaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, FramelessPaintProc, hook)) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCPAINT && HasNoFrame(hwnd)) return 0;
  return PassOn(hook, hwnd, message, wParam, lParam);
}

}  // namespace pyr
