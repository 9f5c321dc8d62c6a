// State, text, colours and fonts of controls and menu items.
#include <windows.h>
#include <commctrl.h>

#include "base/win32/wchar.h"
#include "ui/draw/win32/fonts.h"
#include "ui/win32/ui_window.h"

namespace pyr {
namespace {

bool IsMenuKind(uint32_t kind) { return kind == kKindMenuItem || kind == kKindSubmenuItem; }

bool SetMenuItemStateBits(HMENU menu, UINT id, UINT set, UINT clear) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE;
  if (!GetMenuItemInfoW(menu, id, FALSE, &item)) return false;
  item.fState = (item.fState & ~clear) | set;
  return SetMenuItemInfoW(menu, id, FALSE, &item) != FALSE;
}

}  // namespace

bool UiWindow::SetControlState(int32_t id, uint32_t flags) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  if (IsMenuKind(e->kind)) {
    auto item = static_cast<UINT>(e->id);
    bool ok = true;
    if (flags & kStateCheck) ok &= SetMenuItemStateBits(e->menu, item, MFS_CHECKED, 0);
    if (flags & kStateUncheck) ok &= SetMenuItemStateBits(e->menu, item, 0, MFS_CHECKED);
    if (flags & kStateEnable) ok &= SetMenuItemStateBits(e->menu, item, 0, MFS_DISABLED | MFS_GRAYED);
    if (flags & kStateDisable) ok &= SetMenuItemStateBits(e->menu, item, MFS_DISABLED | MFS_GRAYED, 0);
    if (flags & kStateFocus) ok &= SetMenuItemStateBits(e->menu, item, MFS_HILITE, 0);
    if (flags & kStateUnfocus) ok &= SetMenuItemStateBits(e->menu, item, 0, MFS_HILITE);
    return ok;
  }
  HWND h = e->handle;
  if (!h) return false;
  if (flags & kStateHide) {
    ShowWindow(h, SW_HIDE);
    SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) & ~WS_VISIBLE);
  }
  if (flags & kStateShow) ShowWindow(h, SW_SHOWNA);
  if (flags & kStateCheck) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
  if (flags & kStateUncheck) SendMessageW(h, BM_SETCHECK, BST_UNCHECKED, 0);
  if (flags & kStateIndeterminate) SendMessageW(h, BM_SETCHECK, BST_INDETERMINATE, 0);
  if (flags & kStateEnable) EnableWindow(h, TRUE);
  if (flags & kStateDisable) EnableWindow(h, FALSE);
  if (flags & kStateFocus) SetFocus(h);
  if (flags & kStateUnfocus) SetFocus(hwnd_);
  return true;
}

uint32_t UiWindow::GetControlState(int32_t id, uint32_t mask) const {
  const ControlEntry* e = Entry(id);
  if (!e) return 0;
  uint32_t state = 0;
  if (IsMenuKind(e->kind)) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(e->menu, static_cast<UINT>(e->id), FALSE, &item)) return 0;
    state |= (item.fState & MFS_CHECKED) ? kStateCheck : kStateUncheck;
    state |= (item.fState & (MFS_DISABLED | MFS_GRAYED)) ? kStateDisable : kStateEnable;
    state |= (item.fState & MFS_HILITE) ? kStateFocus : kStateUnfocus;
    return state & mask;
  }
  HWND h = e->handle;
  if (!h) return 0;
  state |= IsWindowVisible(h) ? kStateShow : kStateHide;
  if (e->kind == kKindCheckBox || e->kind == kKindButton) {
    LRESULT check = SendMessageW(h, BM_GETCHECK, 0, 0);
    state |= check == BST_CHECKED ? kStateCheck
             : check == BST_INDETERMINATE ? kStateIndeterminate
                                          : kStateUncheck;
  }
  state |= IsWindowEnabled(h) ? kStateEnable : kStateDisable;
  state |= GetFocus() == h ? kStateFocus : kStateUnfocus;
  return state & mask;
}

bool UiWindow::SetControlText(int32_t id, const char16_t* text) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  if (!text) text = u"";
  if (IsMenuKind(e->kind)) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(W(text));
    return SetMenuItemInfoW(e->menu, static_cast<UINT>(e->id), FALSE, &item) != FALSE;
  }
  if (!e->handle) return false;
  bool ok = SendMessageW(e->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W(text))) != FALSE;
  RECT r{};
  GetWindowRect(e->handle, &r);
  HWND parent = GetParent(e->handle);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
  InvalidateRect(e->handle, nullptr, TRUE);
  return ok;
}

WideText UiWindow::GetControlText(int32_t id) {
  WideText result;
  ControlEntry* e = Entry(id);
  if (!e) return result;
  if (IsMenuKind(e->kind)) {
    wchar_t buffer[257] = {};
    GetMenuStringW(e->menu, static_cast<UINT>(e->id), buffer, 257, MF_BYCOMMAND);
    result.Assign(U(buffer));
  } else if (e->handle) {
    int length = GetWindowTextLengthW(e->handle);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(e->handle, W(text.data()), length + 1);
    text.resize(static_cast<size_t>(got));
    result.Adopt(std::move(text));
  }
  textBuffer_ = result.Str();
  return result;
}

bool UiWindow::SetControlBackColour(int32_t id, COLORREF colour) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  e->backColour = colour;
  e->brush.Reset(colour < 0x1000000 ? CreateSolidBrush(colour) : nullptr);
  if (e->kind == kKindListView && e->handle) {
    COLORREF c = colour < 0x1000000 ? colour : CLR_DEFAULT;
    SendMessageW(e->handle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(c));
    SendMessageW(e->handle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(c));
  } else if (e->kind == kKindSubmenuItem || (e->ownsMenu && e->menu)) {
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = e->brush.Get();
    SetMenuInfo(e->menu, &info);
  }
  // A window not shown yet is painted whole when it shows.
  if (e->handle && IsWindowVisible(e->handle)) InvalidateRect(e->handle, nullptr, TRUE);
  return true;
}

bool UiWindow::SetControlTextColour(int32_t id, COLORREF colour) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  e->textColour = colour;
  if (e->kind == kKindListView && e->handle) {
    SendMessageW(e->handle, LVM_SETTEXTCOLOR, 0,
                 static_cast<LPARAM>(colour < 0x1000000 ? colour : CLR_DEFAULT));
  }
  // A window not shown yet is painted whole when it shows.
  if (e->handle && IsWindowVisible(e->handle)) InvalidateRect(e->handle, nullptr, TRUE);
  return true;
}

bool UiWindow::SetControlFont(int32_t id, double points) {
  ControlEntry* e = Entry(id == 0 ? -1 : id);
  if (!e || !e->handle || !FontFor(points, 400)) return false;
  SetEntryFont(*e, points, 400, IsWindowVisible(e->handle));
  return true;
}

}  // namespace pyr
