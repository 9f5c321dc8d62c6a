// Header titles drawn as written: the header control takes an "&" in a title for a mnemonic
// under some systems (Wine), so "Date & time" shows as "Date _time". A title holding an "&" is
// drawn by the list view's owner-draw handler without prefix processing instead.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/list_view_parts.h"
#include "ui/win32/procedure_hooks.h"

namespace pyr {
namespace {

void DrawHeaderTitle(const DRAWITEMSTRUCT& draw) {
  wchar_t text[260] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT;
  item.pszText = text;
  item.cchTextMax = 260;
  if (!SendMessageW(draw.hwndItem, HDM_GETITEMW, draw.itemID, reinterpret_cast<LPARAM>(&item))) {
    return;
  }
  RECT area = draw.rcItem;
  const auto margin = static_cast<int>(SendMessageW(draw.hwndItem, HDM_GETBITMAPMARGIN, 0, 0));
  area.left += margin;
  area.right -= margin;
  if (draw.itemState & ODS_SELECTED) OffsetRect(&area, 1, 1);  // a pressed item's text moves
  UINT align = DT_LEFT;
  if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
  if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0));
  const HGDIOBJ old = font ? SelectObject(draw.hDC, font) : nullptr;
  const int oldMode = SetBkMode(draw.hDC, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(draw.hDC, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(draw.hDC, text, -1, &area,
            align | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  SetTextColor(draw.hDC, oldColour);
  SetBkMode(draw.hDC, oldMode);
  if (old) SelectObject(draw.hDC, old);
}

LRESULT CALLBACK HeaderTextProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(list, message, HeaderTextProc, hook)) {
    return DefWindowProcW(list, message, wParam, lParam);
  }
  if (message == WM_DRAWITEM) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw->CtlType == ODT_HEADER && draw->hwndItem == ListView_GetHeader(list)) {
      DrawHeaderTitle(*draw);
      return TRUE;
    }
  }
  return PassOn(hook, list, message, wParam, lParam);
}

}  // namespace

bool DrawHeaderTitleLiterally(HWND list, int column) {
  const HWND header = ListView_GetHeader(list);
  if (!header) return false;
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(&item))) {
    return false;
  }
  item.fmt |= HDF_OWNERDRAW;
  return SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&item)) &&
         HookProcedure(list, HeaderTextProc, nullptr);
}

}  // namespace pyr
