#include "ui/win32/text_fit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/dpi_scale.h"
#include "ui/win32/dpi.h"
#include "ui/win32/ui_window.h"

#ifndef LM_GETIDEALSIZE
#define LM_GETIDEALSIZE LM_GETIDEALHEIGHT  // one message: wParam the width, lParam a SIZE
#endif

namespace pyr {
namespace {

// Room a push button keeps around its text (its edge, focus rectangle and padding), and the gap
// between a check box's square and its text, in 96-DPI units.
constexpr int kButtonPadding = 16;
constexpr int kCheckGap = 6;

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

std::wstring TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

// The text's extent with the control's own font; wrapWidth > 0 wraps at that width. The text is
// measured on a memory DC: a window's own DC costs a round of display queries under Wine.
SIZE MeasureText(HDC dc, HWND control, const std::wstring& text, UINT format, int wrapWidth) {
  SIZE size{};
  if (dc == nullptr) return size;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0x7FFF, 0};
  const std::wstring shown = text.empty() ? L" " : text;  // an empty text still needs a line
  DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
            format | DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  size = {r.right - r.left, r.bottom - r.top};
  SelectObject(dc, old);
  return size;
}

SIZE OuterOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// Text plus the control's own surroundings (frame, check square) for one kind of control.
struct TextRoom {
  int extraWidth = 0;
  int extraHeight = 0;
  UINT format = 0;
};

SIZE FitWithRoom(HDC dc, HWND control, const TextRoom& room, int maxWidth) {
  const std::wstring text = TextOf(control);
  SIZE text1 = MeasureText(dc, control, text, room.format, 0);
  SIZE need{text1.cx + room.extraWidth, text1.cy + room.extraHeight};
  if (need.cx > maxWidth) {
    const SIZE wrapped = MeasureText(dc, control, text, room.format, maxWidth - room.extraWidth);
    need = {maxWidth, wrapped.cy + room.extraHeight};
  }
  return need;
}

SIZE LinkFitSize(HWND control, int maxWidth) {
  SIZE ideal{};
  const auto height = static_cast<LONG>(SendMessageW(
      control, LM_GETIDEALSIZE, static_cast<WPARAM>(maxWidth), reinterpret_cast<LPARAM>(&ideal)));
  // Older links answer only the height, for their current width.
  if (ideal.cx <= 0) ideal.cx = maxWidth;
  return {std::min<LONG>(ideal.cx, maxWidth), std::max(ideal.cy, height)};
}

SIZE TextFitSizeOn(HDC dc, HWND control, int maxWidth, int dpi) {
  const std::wstring cls = ClassOf(control);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (_wcsicmp(cls.c_str(), WC_LINK) == 0) return LinkFitSize(control, maxWidth);
  if (_wcsicmp(cls.c_str(), L"Static") == 0) {
    const DWORD kind = style & SS_TYPEMASK;
    if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_LEFTNOWORDWRAP) {
      return OuterOf(control);
    }
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    return FitWithRoom(dc, control, {0, 0, prefix | DT_EXPANDTABS}, maxWidth);
  }
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    const DWORD kind = style & BS_TYPEMASK;
    if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
        kind == BS_AUTO3STATE || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) {
      const int square = MetricForDpi(SM_CXMENUCHECK, dpi);
      const TextRoom room{square + ScaleForDpi(kCheckGap, dpi), ScaleForDpi(2, dpi), 0};
      return FitWithRoom(dc, control, room, maxWidth);
    }
    if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) {
      SIZE image{};
      if (const auto bitmap = reinterpret_cast<HBITMAP>(
              SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
        BITMAP bits{};
        if (GetObjectW(bitmap, sizeof(bits), &bits)) {
          image = {bits.bmWidth + ScaleForDpi(4, dpi), bits.bmHeight};
        }
      }
      const int edges = ScaleForDpi(8, dpi);
      const TextRoom room{ScaleForDpi(kButtonPadding, dpi) + image.cx, edges, DT_CENTER};
      SIZE need = FitWithRoom(dc, control, room, maxWidth);
      need.cy = std::max<LONG>(need.cy, image.cy + edges);
      return need;
    }
  }
  return OuterOf(control);
}

}  // namespace

SIZE TextFitSize(HWND control, int maxWidth, int dpi) {
  const MemoryDc dc;
  return TextFitSizeOn(dc.Get(), control, maxWidth, dpi);
}

int FitStackToTexts(UiWindow& window, std::span<const int32_t> ids, int maxWidth) {
  int pushedDown = 0;
  const MemoryDc dc;
  for (const int32_t id : ids) {
    const HWND control = window.ControlHandle(id);
    if (control == nullptr || id < 1) continue;
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    const SIZE now{r.right - r.left, r.bottom - r.top};
    const SIZE need = TextFitSizeOn(dc.Get(), control, maxWidth, window.Dpi());
    const SIZE size{std::max(now.cx, need.cx), std::max(now.cy, need.cy)};
    if (size.cx == now.cx && size.cy == now.cy && pushedDown == 0) continue;
    // A control that now wraps needs its style to allow it.
    if (need.cy > now.cy && ClassOf(control) == L"Button") {
      SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | BS_MULTILINE);
    }
    if (need.cy > now.cy && ClassOf(control) == L"Static") {
      SetWindowLongPtrW(control, GWL_STYLE,
                        GetWindowLongPtrW(control, GWL_STYLE) & ~static_cast<LONG_PTR>(SS_CENTERIMAGE));
    }
    SetWindowPos(control, nullptr, r.left, r.top + pushedDown, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The layout and a change of DPI place the control from its record: record the new place,
    // its size rounded up so that no scale takes a pixel of the text's room.
    if (ControlEntry* e = window.Entry(id)) {
      e->x = window.Unscale(r.left);
      e->y = window.Unscale(r.top + pushedDown);
      e->width = UnscaleUpForDpi(size.cx, window.Dpi());
      e->height = UnscaleUpForDpi(size.cy, window.Dpi());
    }
    pushedDown += size.cy - now.cy;
  }
  return pushedDown;
}

}  // namespace pyr
