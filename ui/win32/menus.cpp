// Menus: popup menus attached to controls, the menu bar, items with bitmaps.
#include <windows.h>
#include <commctrl.h>

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

HBITMAP CopyOf(HBITMAP bitmap, int w = 0, int h = 0) {
  if (!bitmap) return nullptr;
  return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, w, h, LR_CREATEDIBSECTION));
}

}  // namespace

int32_t UiWindow::AttachPopupMenu(int32_t controlId, const char16_t* firstItemText, HBITMAP bitmap) {
  ControlEntry* e = Entry(controlId);
  if (!e || e->kind == kKindMenuItem || e->kind == kKindSubmenuItem) return 0;
  if (e->ownsMenu && e->menu) DestroyMenu(e->menu);
  e->menu = NewPopupMenu();
  e->ownsMenu = e->menu != nullptr;
  if (!e->menu) return 0;
  return AddMenuItem(e->id, firstItemText, 100, 0, bitmap, nullptr);
}

int32_t UiWindow::AddMenuItem(int32_t parentId, const char16_t* text, int position, uint32_t flags,
                              HBITMAP bitmapChecked, HBITMAP bitmapUnchecked) {
  if (!hwnd_) return 0;
  HMENU parent = nullptr;
  if (parentId == 0) {
    if (!menu_) {
      menu_ = CreateMenu();
      if (!menu_) return 0;
      MENUINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = MIM_STYLE;
      info.dwStyle = MNS_NOTIFYBYPOS;
      SetMenuInfo(menu_, &info);
      SetMenu(hwnd_, menu_);
    }
    parent = menu_;
  } else if (ControlEntry* p = Entry(parentId)) {
    parent = p->menu;
  }
  if (!parent) return 0;

  bool separator = flags & 8;
  int32_t id = NewEntry(separator || !(flags & 4) ? kKindMenuItem : kKindSubmenuItem);
  ControlEntry& e = controls_[static_cast<size_t>(id)];
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
    if (flags & 4) {
      e.menu = NewPopupMenu();
      if (!e.menu) {
        controls_.pop_back();
        return 0;
      }
      item.fMask |= MIIM_SUBMENU;
      item.hSubMenu = e.menu;
    }
    if (flags & 3) {
      item.fMask |= MIIM_STATE | MIIM_CHECKMARKS;
      item.fState = MFS_CHECKED;
      if (flags & 2) item.fType |= MFT_RADIOCHECK;
    }
    // The item keeps its own copies, so the caller may free its bitmaps.
    if ((flags & 16) && bitmapChecked) {
      e.picture = CopyOf(bitmapChecked);
      item.fMask |= MIIM_BITMAP;
      item.hbmpItem = e.picture;
    } else if (bitmapChecked || bitmapUnchecked) {
      e.picture = CopyOf(bitmapChecked);
      e.pictureAlt = bitmapUnchecked ? CopyOf(bitmapUnchecked) : nullptr;
      item.fMask |= MIIM_CHECKMARKS;
      item.hbmpChecked = e.picture;
      item.hbmpUnchecked = e.pictureAlt ? e.pictureAlt : e.picture;
    }
  }
  if (!InsertMenuItemW(parent, static_cast<UINT>(position), TRUE, &item)) {
    if (e.kind == kKindSubmenuItem && e.menu) DestroyMenu(e.menu);
    if (e.picture) DeleteObject(e.picture);
    if (e.pictureAlt) DeleteObject(e.pictureAlt);
    controls_.pop_back();
    return 0;
  }
  if (parent == menu_) DrawMenuBar(hwnd_);
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
      HBITMAP copy = CopyOf(bitmap);
      MENUITEMINFOW item{};
      item.cbSize = sizeof(item);
      item.fMask = MIIM_BITMAP;
      item.hbmpItem = copy;
      if (!SetMenuItemInfoW(e->menu, static_cast<UINT>(e->id), FALSE, &item)) {
        if (copy) DeleteObject(copy);
        return false;
      }
      if (e->picture) DeleteObject(e->picture);
      e->picture = copy;
      return true;
    }
    case kKindPicture:
    case kKindSizeGrip: {
      HBITMAP copy = CopyOf(bitmap);
      auto old = reinterpret_cast<HBITMAP>(SendMessageW(e->handle, STM_SETIMAGE, IMAGE_BITMAP,
                                                        reinterpret_cast<LPARAM>(copy)));
      if (old && old != e->picture) DeleteObject(old);
      if (e->picture) DeleteObject(e->picture);
      e->picture = copy;
      InvalidateRect(e->handle, nullptr, TRUE);
      return copy != nullptr;
    }
    case kKindButton: {
      HBITMAP copy = CopyOf(bitmap);
      SendMessageW(e->handle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy));
      if (e->picture) DeleteObject(e->picture);
      e->picture = copy;
      return copy != nullptr;
    }
    case kKindListView:
      return SetListFirstImage(*e, bitmap, w, h);
    default:
      return false;
  }
}

bool UiWindow::SetControlImageFromImage(int32_t id, Gdiplus::GpBitmap* image) {
  if (!image) return false;
  ImageSize size = SizeOf(image);
  BitmapHandle bitmap = ImageToBitmap(image);
  return bitmap && SetControlImage(id, bitmap.Get(), size.width, size.height);
}

int32_t UiWindow::AddPictureFromImage(Gdiplus::GpBitmap* image, int x, int y, int w, int h) {
  ImagePtr scaled = image ? ScaledCopy(image, w, h) : nullptr;
  BitmapHandle bitmap = scaled ? ImageToBitmap(scaled.get()) : BitmapHandle();
  // A picture without its image still takes its place and its id.
  return AddPicture(bitmap.Get(), x, y, w, h);
}

}  // namespace pyr
