// Menus: popup menus attached to controls, the menu bar, items with bitmaps.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "base/win32/wchar.h"
#include "ui/draw/win32/images.h"
#include "ui/win32/list_view.h"
#include "ui/win32/ui_window.h"

namespace pyr {
namespace {

HMENU NewPopupMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  // A choice arrives as WM_MENUCOMMAND, whose item id becomes the event code.
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_STYLE;
  info.dwStyle = MNS_NOTIFYBYPOS;
  SetMenuInfo(menu, &info);
  return menu;
}

// A 32-bit DIB section is copied byte for byte: CopyImage converts through a device context, and
// a menu of forty items with two pictures each made it a visible part of the start-up.
HBITMAP CopyOfDib(HBITMAP bitmap) {
  DIBSECTION dib{};
  if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr ||
      dib.dsBmih.biBitCount != 32 || dib.dsBmih.biCompression != BI_RGB) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader = dib.dsBmih;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (copy == nullptr || bits == nullptr) {
    if (copy != nullptr) DeleteObject(copy);
    return nullptr;
  }
  GdiFlush();  // the source's pending drawing lands in its bits first
  std::memcpy(bits, dib.dsBm.bmBits,
              static_cast<size_t>(dib.dsBm.bmWidthBytes) * static_cast<size_t>(dib.dsBm.bmHeight));
  return copy;
}

HBITMAP CopyOf(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  if (HBITMAP copy = CopyOfDib(bitmap)) return copy;
  return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The entry keeps its own copies; one picture for both states is copied once.
void TakeCheckMarks(ControlEntry& e, HBITMAP checked, HBITMAP unchecked) {
  e.picture.Reset(CopyOf(checked));
  e.pictureAlt.Reset(unchecked && unchecked != checked ? CopyOf(unchecked) : nullptr);
}

}  // namespace

bool UiWindow::SetMenuItemCheckMarks(int32_t id, HBITMAP checked, HBITMAP unchecked) {
  ControlEntry* e = Entry(id);
  if (!e || e->kind != kKindMenuItem || !e->menu) return false;
  TakeCheckMarks(*e, checked, unchecked);
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_CHECKMARKS;
  item.hbmpChecked = e->picture.Get();
  item.hbmpUnchecked = e->pictureAlt ? e->pictureAlt.Get() : e->picture.Get();
  return SetMenuItemInfoW(e->menu, static_cast<UINT>(id), FALSE, &item) != FALSE;
}

int32_t UiWindow::AttachPopupMenu(int32_t controlId, const char16_t* firstItemText, HBITMAP bitmap) {
  ControlEntry* e = Entry(controlId);
  if (!e || e->kind == kKindMenuItem || e->kind == kKindSubmenuItem) return 0;
  if (e->ownsMenu && e->menu) DestroyMenu(e->menu);
  e->menu = NewPopupMenu();
  e->ownsMenu = e->menu != nullptr;
  if (!e->menu) return 0;
  return AddMenuItem(e->id, firstItemText, 100, kMenuItemPlain, bitmap, nullptr);
}

int32_t UiWindow::AddMenuItem(int32_t parentId, const char16_t* text, int position, MenuItemFlags flags,
                              HBITMAP bitmapChecked, HBITMAP bitmapUnchecked) {
  if (!hwnd_) return 0;
  HMENU parent = nullptr;
  if (parentId == 0) {
    if (!menu_) {
      menu_.Reset(CreateMenu());
      if (!menu_) return 0;
      MENUINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = MIM_STYLE;
      info.dwStyle = MNS_NOTIFYBYPOS;
      SetMenuInfo(menu_.Get(), &info);
      SetMenu(hwnd_, menu_.Get());
    }
    parent = menu_.Get();
  } else if (ControlEntry* p = Entry(parentId)) {
    parent = p->menu;
  }
  if (!parent) return 0;

  bool separator = flags & kMenuItemSeparator;
  int32_t id = NewEntry(separator || !(flags & kMenuItemSubmenu) ? kKindMenuItem : kKindSubmenuItem);
  ControlEntry& e = controls_.At(id);
  e.flags = 0;
  e.menu = parent;

  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_FTYPE;
  item.wID = static_cast<UINT>(id);
  if (separator) {
    item.fType = MFT_SEPARATOR;
  } else {
    item.fMask |= MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(W(text ? text : u""));
    if (flags & kMenuItemSubmenu) {
      e.menu = NewPopupMenu();
      if (!e.menu) {
        controls_.RemoveLast();
        return 0;
      }
      item.fMask |= MIIM_SUBMENU;
      item.hSubMenu = e.menu;
    }
    if (flags & (kMenuItemCheck | kMenuItemRadio)) {
      item.fMask |= MIIM_STATE | MIIM_CHECKMARKS;
      item.fState = MFS_CHECKED;
      if (flags & kMenuItemRadio) item.fType |= MFT_RADIOCHECK;
    }
    // The item keeps its own copies, so the caller may free its bitmaps.
    if ((flags & kMenuItemOwnBitmap) && bitmapChecked) {
      e.picture.Reset(CopyOf(bitmapChecked));
      item.fMask |= MIIM_BITMAP;
      item.hbmpItem = e.picture.Get();
    } else if (bitmapChecked || bitmapUnchecked) {
      TakeCheckMarks(e, bitmapChecked, bitmapUnchecked);
      item.fMask |= MIIM_CHECKMARKS;
      item.hbmpChecked = e.picture.Get();
      item.hbmpUnchecked = e.pictureAlt ? e.pictureAlt.Get() : e.picture.Get();
    }
  }
  if (!InsertMenuItemW(parent, static_cast<UINT>(position), TRUE, &item)) {
    if (e.kind == kKindSubmenuItem && e.menu) DestroyMenu(e.menu);
    controls_.RemoveLast();  // with the entry go its pictures
    return 0;
  }
  if (parent == menu_.Get()) DrawMenuBar(hwnd_);
  return id;
}

int UiWindow::ShowPopupMenu(int32_t controlId, UINT flags, int x, int y) {
  HMENU menu = ControlMenu(controlId);
  if (!menu || !hwnd_) return 0;
  if (x == -1 || y == -1) {
    // Where the click that led here happened.
    POINT p = sink_->msg.hwnd ? sink_->msg.pt : POINT{};
    if (!sink_->msg.hwnd) {
      DWORD pos = GetMessagePos();
      p = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    }
    if (x == -1) x = p.x;
    if (y == -1) y = p.y;
  }
  return TrackPopupMenu(menu, flags, x, y, 0, hwnd_, nullptr);
}

bool UiWindow::SetControlImage(int32_t id, HBITMAP bitmap, int w, int h) {
  ControlEntry* e = Entry(id);
  if (!e) return false;
  switch (e->kind) {
    case kKindMenuItem:
    case kKindSubmenuItem: {
      BitmapHandle copy(CopyOf(bitmap));
      MENUITEMINFOW item{};
      item.cbSize = sizeof(item);
      item.fMask = MIIM_BITMAP;
      item.hbmpItem = copy.Get();
      if (!SetMenuItemInfoW(e->menu, static_cast<UINT>(e->id), FALSE, &item)) return false;
      e->picture = std::move(copy);
      return true;
    }
    case kKindPicture:
    case kKindSizeGrip: {
      BitmapHandle copy(CopyOf(bitmap));
      auto old = reinterpret_cast<HBITMAP>(SendMessageW(e->handle, STM_SETIMAGE, IMAGE_BITMAP,
                                                        reinterpret_cast<LPARAM>(copy.Get())));
      // Common controls 6 may show its own copy of the old bitmap, which is ours to free.
      if (old && old != e->picture.Get()) DeleteObject(old);
      const bool made = copy.Valid();
      e->picture = std::move(copy);
      InvalidateRect(e->handle, nullptr, TRUE);
      return made;
    }
    case kKindButton: {
      BitmapHandle copy(CopyOf(bitmap));
      SendMessageW(e->handle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy.Get()));
      const bool made = copy.Valid();
      e->picture = std::move(copy);
      return made;
    }
    case kKindListView:
      return SetListFirstImage(*e, bitmap, w, h);
    default:
      return false;
  }
}

}  // namespace pyr
