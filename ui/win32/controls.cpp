// Creating the child controls of a UiWindow.
#include <windows.h>
#include <commctrl.h>

#include "base/win32/wchar.h"
#include "ui/layout_rules.h"
#include "ui/win32/toolkit_images.h"
#include "ui/win32/procedure_hooks.h"
#include "ui/win32/ui_window.h"
#include "ui/win32/window_procs.h"

namespace pyr {
namespace {

constexpr size_t kPanelChildLimit = 255;
constexpr wchar_t kPanelClass[] = L"_WINSUB_ WINDOW";

bool EnsurePanelClass(HINSTANCE instance) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  if (GetClassInfoExW(instance, kPanelClass, &info)) return true;
  info.style = CS_DBLCLKS;
  info.lpfnWndProc = DefWindowProcW;
  info.hInstance = instance;
  info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  info.lpszClassName = kPanelClass;
  return RegisterClassExW(&info) != 0;
}

}  // namespace

int32_t UiWindow::AddControl(uint32_t kind, const wchar_t* className, const char16_t* text,
                             DWORD style, DWORD exStyle, int x, int y, int w, int h) {
  if (!hwnd_) return 0;
  style |= WS_CHILD;
  if (flagWord_ & kStartsGroup) {
    style |= WS_GROUP;
    flagWord_ &= ~kStartsGroup;
  }
  HWND parent = parentForNew_ ? parentForNew_ : hwnd_;
  int32_t id = NewEntry(kind);
  const LayoutBox place = ScaleBox({x, y, w, h}, dpi_);
  HWND handle = CreateWindowExW(exStyle, className, W(text ? text : u""), style, place.x, place.y,
                                place.width, place.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                                nullptr);
  if (!handle) {
    controls_.RemoveLast();
    return 0;
  }
  if (kind == kKindButton || kind == kKindCheckBox || kind == kKindText || kind == kKindPicture ||
      kind == kKindLink) {
    HookProcedure(handle, FramelessPaintProc, nullptr);
  }
  ControlEntry& e = controls_.At(id);
  e.handle = handle;
  e.x = x;
  e.y = y;
  e.width = w;
  e.height = h;
  SetEntryFont(e, fontPoints_, fontWeight_, false);
  if (parent != hwnd_) {
    if (ControlEntry* panel = Entry(ControlFromHandle(parent));
        panel && panel->panelChildren.size() < kPanelChildLimit) {
      panel->panelChildren.push_back(id);
    }
  }
  if (e.flags) {
    uint32_t flags = e.flags;
    e.flags = 0;
    SetControlLayoutFlags(id, flags);
  }
  return id;
}

int32_t UiWindow::AddButton(const char16_t* text, int x, int y, int w, int h, DWORD style) {
  if (style == DWORD(-1)) style = WS_VISIBLE;
  int32_t id = AddControl(kKindButton, L"Button", text, style | WS_TABSTOP, 0, x, y, w, h);
  if (id && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    defaultButton_ = id;
  }
  return id;
}

int32_t UiWindow::AddCheckBox(const char16_t* text, int x, int y, int w, int h) {
  return AddControl(kKindCheckBox, L"Button", text, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                    x, y, w, h);
}

int32_t UiWindow::AddStartupTipCheckBox() {
  return AddCheckBox(u"Show startup tooltip", 10, 310, 130, 18);
}

int32_t UiWindow::AddText(const char16_t* text, int x, int y, int w, int h, DWORD style) {
  if (style == DWORD(-1)) style = WS_VISIBLE | SS_NOTIFY;
  return AddControl(kKindText, L"Static", text, style, 0, x, y, w, h);
}

int32_t UiWindow::AddEdit(int x, int y, int w, int h) {
  return AddControl(kKindStatusEdit, L"Edit", u"",
                    WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN, 0, x, y,
                    w, h);
}

int32_t UiWindow::AddSingleLineEdit(int x, int y, int w, int h) {
  return AddControl(kKindEdit, L"Edit", u"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                    WS_EX_CLIENTEDGE, x, y, w, h);
}

int32_t UiWindow::AddLink(const char16_t* text, int y, int x, int w, int h) {
  return AddControl(kKindLink, WC_LINK, text, WS_VISIBLE | WS_TABSTOP, 0, x, y, w, h);
}

int32_t UiWindow::AddPicture(HBITMAP bitmap, int x, int y, int w, int h) {
  int32_t id = AddControl(kKindPicture, L"Static", u"",
                          WS_VISIBLE | SS_BITMAP | SS_REALSIZECONTROL | SS_NOTIFY, 0, x, y, w, h);
  if (id && bitmap) SetControlImage(id, bitmap, w, h);
  return id;
}

int32_t UiWindow::AddCloseButton() {
  int32_t id = AddPicture(nullptr, 230, 1, 20, 20);
  if (!id) return 0;
  controls_.At(id).drawnCross = true;
  DrawCloseCross(id);
  SetControlCursor(id, LoadCursorW(nullptr, IDC_HAND));
  SetControlTooltip(id, u"Close this dialog box");
  return id;
}

int32_t UiWindow::AddSizeGrip(HBITMAP image) {
  if (!hwnd_) return 0;
  RECT client{};
  GetClientRect(parentForNew_ ? parentForNew_ : hwnd_, &client);
  uint32_t old = SetNewControlFlags(0);
  int32_t id = AddPicture(image, Unscale(client.right) - 21, Unscale(client.bottom) - 21, 24, 24);
  SetNewControlFlags(old);
  if (!id) return 0;
  controls_.At(id).kind = kKindSizeGrip;
  SetControlLayoutFlags(id, 0x0C20);
  SetControlCursor(id, LoadCursorW(nullptr, IDC_SIZENWSE));
  return id;
}

int32_t UiWindow::AddPanel(int x, int y, int w, int h) {
  if (!hwnd_ || !EnsurePanelClass(instance_)) return 0;
  EndPanel();
  int32_t id = AddControl(kKindPanel, kPanelClass, u"", WS_VISIBLE | WS_BORDER,
                          WS_EX_CONTROLPARENT, x, y, w, h);
  if (!id) return 0;
  HWND panel = controls_.At(id).handle;
  SetPropW(panel, UiWindowProperty(), this);
  HookProcedure(panel, PanelProc, this);
  currentPanel_ = id;
  parentForNew_ = panel;
  return id;
}

void UiWindow::DrawCloseCross(int32_t id) {
  const int side = Scale(20);
  if (const BitmapHandle cross(MakeCloseCrossBitmap(side)); cross) {
    SetControlImage(id, cross.Get(), side, side);  // the control keeps a copy
  }
}

bool UiWindow::PlaceControl(int32_t id, int x, int y, int w, int h) {
  ControlEntry* e = Entry(id);
  if (!e || !e->handle) return false;
  const LayoutBox place = ScaleBox({x, y, w, h}, dpi_);
  e->x = x;
  e->y = y;
  e->width = w;
  e->height = h;
  return SetWindowPos(e->handle, nullptr, place.x, place.y, place.width, place.height,
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
}

bool UiWindow::SetControlCursor(int32_t id, HCURSOR cursor) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  e->cursor = cursor;
  return true;
}

}  // namespace pyr
