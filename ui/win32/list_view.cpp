// The list view wrapper: columns, items, styles, check boxes, selection and groups.
#include "ui/win32/list_view.h"

#include "ui/win32/list_view_parts.h"

#include <string_view>

#include "base/text_list.h"
#include "base/win32/wchar.h"
#include "ui/win32/toolkit_images.h"

namespace pyr {

HWND ListHandle(UiWindow& window, int32_t listId) {
  const ControlEntry* e = window.Entry(listId);
  return e && e->kind == kKindListView ? e->handle : nullptr;
}

namespace {

constexpr int kAppendIndex = 20000000;

ListItemStyle* StyleOf(HWND list, int index) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<ListItemStyle*>(item.lParam);
}

ListItemStyle* StyleFor(HWND list, int index) {
  if (index < 0 || index >= ListView_GetItemCount(list)) return nullptr;
  if (ListItemStyle* style = StyleOf(list, index)) return style;
  auto made = std::make_unique<ListItemStyle>();
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = reinterpret_cast<LPARAM>(made.get());
  if (!SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  // Owned by the item from now on; freed on LVN_DELETEITEM.
  return made.release();
}

void SetBack(CellStyle& cell, COLORREF colour) {
  cell.backColour = colour;
  cell.brush.Reset(colour < 0x1000000 ? CreateSolidBrush(colour) : nullptr);
}

UINT StateImage(HWND list, int index) {
  return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index),
                                        LVIS_STATEIMAGEMASK));
}

bool SetStateImage(HWND list, int index, UINT state) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = state;
  return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&item)) != FALSE;
}

IndexList IndicesWhere(HWND list, bool (*test)(HWND, int)) {
  IndexList result{0};
  if (!list) return result;
  int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    if (test(list, i)) result.push_back(i);
  }
  result[0] = static_cast<int32_t>(result.size() - 1);
  return result;
}

}  // namespace

int32_t AddListView(UiWindow& window, const char16_t* columns, int x, int y, int w, int h,
                    DWORD style, DWORD exStyle) {
  int32_t id = window.AddControl(kKindListView, WC_LISTVIEWW, u"", style | WS_TABSTOP, 0, x, y,
                                 w, h);
  if (!id) return 0;
  HWND list = window.ControlHandle(id);
  if (exStyle == DWORD(-1)) exStyle = LVS_EX_FULLROWSELECT;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
  if (columns && *columns) {
    TextList titles = Split(columns, u"\n", false);
    int width = titles.Count() ? (w - 20) / static_cast<int>(titles.Count()) : 0;
    for (uint32_t i = 0; i < titles.Count(); ++i) {
      InsertColumn(window, id, titles.Piece(i), static_cast<int>(i), width);
    }
  }
  if (exStyle & LVS_EX_CHECKBOXES) SetCheckBoxImages(window, id);
  return id;
}

bool InsertColumn(UiWindow& window, int32_t listId, const char16_t* title, int index, int width) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<wchar_t*>(W(title ? title : u""));
  if (width >= 0) {
    column.mask |= LVCF_WIDTH;
    column.cx = window.Scale(width);
  }
  const auto at = static_cast<int>(SendMessageW(list, LVM_INSERTCOLUMNW,
                                                static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(&column)));
  if (at < 0) return false;
  if (title && std::u16string_view(title).find(u'&') != std::u16string_view::npos) {
    DrawHeaderTitleLiterally(list, at);
  }
  return true;
}

bool SetColumnWidth(UiWindow& window, int32_t listId, int column, int width) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  if (width >= 0) width = window.Scale(width);
  // Setting a width re-lays the header out even when nothing changes; skip that.
  if (width >= 0 && ListView_GetColumnWidth(list, column) == width) return true;
  return SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
}

namespace {

int InsertItem(HWND list, const char16_t* text, int index, int groupId, int image, int indent,
               LPARAM param) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index < 0 ? kAppendIndex : index;
  item.pszText = const_cast<wchar_t*>(W(text ? text : u""));
  item.lParam = param;
  if (groupId != -1) {
    item.mask |= LVIF_GROUPID;
    item.iGroupId = groupId;
  }
  if (image != -1) {
    item.mask |= LVIF_IMAGE;
    item.iImage = image;
  }
  if (indent > 0) {
    item.mask |= LVIF_INDENT;
    item.iIndent = indent;
  }
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

int AddListItem(UiWindow& window, int32_t listId, const char16_t* text, int index, int groupId,
                int image, int indent) {
  HWND list = ListHandle(window, listId);
  if (!list) return -1;
  return InsertItem(list, text, index, groupId, image, indent, 0);
}

int AddCheckListItem(UiWindow& window, int32_t listId, const char16_t* text, int index,
                     int groupId, int image, int indent, bool checked) {
  HWND list = ListHandle(window, listId);
  if (!list) return -1;
  auto style = std::make_unique<ListItemStyle>();
  const int row = InsertItem(list, text, index, groupId, image, indent,
                             reinterpret_cast<LPARAM>(style.get()));
  if (row < 0) return row;
  // Owned by the item once inserted; freed on its deletion.
  style.release();
  // A list with check boxes gives every new item the empty box whatever the insertion asks;
  // only a ticked one needs a change of its own.
  if (checked) SetStateImage(list, row, kCheckedImage);
  return row;
}

bool SetItemText(UiWindow& window, int32_t listId, int index, int column, const char16_t* text) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(W(text ? text : u""));
  return SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&item)) != FALSE;
}

WideText ItemText(UiWindow& window, int32_t listId, int index, int column) {
  WideText result;
  HWND list = ListHandle(window, listId);
  if (!list || index < 0) return result;
  std::u16string buffer(4097, u'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = W(buffer.data());
  item.cchTextMax = 4097;
  auto n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item));
  buffer.resize(static_cast<size_t>(n < 0 ? 0 : n));
  result.Adopt(std::move(buffer));
  return result;
}

int ItemCount(UiWindow& window, int32_t listId) {
  HWND list = ListHandle(window, listId);
  return list ? ListView_GetItemCount(list) : 0;
}

bool DeleteAllItems(UiWindow& window, int32_t listId) {
  HWND list = ListHandle(window, listId);
  return list && SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

bool SetItemUserValue(UiWindow& window, int32_t listId, int index, uint64_t value) {
  HWND list = ListHandle(window, listId);
  ListItemStyle* style = list ? StyleFor(list, index) : nullptr;
  if (!style) return false;
  style->userValue = value;
  return true;
}

uint64_t ItemUserValue(UiWindow& window, int32_t listId, int index) {
  HWND list = ListHandle(window, listId);
  const ListItemStyle* style = list && index >= 0 ? StyleOf(list, index) : nullptr;
  return style ? style->userValue : 0;
}

bool SetItemBackColour(UiWindow& window, int32_t listId, int index, COLORREF colour) {
  HWND list = ListHandle(window, listId);
  ListItemStyle* style = list ? StyleFor(list, index) : nullptr;
  if (!style) return false;
  style->item.textColour = 0xFFFFFF;
  if (colour != kDefaultColour) SetBack(style->item, colour);
  RECT r{};
  r.left = LVIR_BOUNDS;
  if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) {
    InvalidateRect(list, &r, TRUE);
  }
  return true;
}

bool SetCellColours(UiWindow& window, int32_t listId, int index, int column, COLORREF text,
                    COLORREF back) {
  HWND list = ListHandle(window, listId);
  ListItemStyle* style = list && column >= 0 ? StyleFor(list, index) : nullptr;
  if (!style) return false;
  if (style->cells.size() <= static_cast<size_t>(column)) {
    style->cells.resize(static_cast<size_t>(column) + 1);
  }
  CellStyle& cell = style->cells[static_cast<size_t>(column)];
  cell.textColour = text;
  SetBack(cell, back);
  InvalidateRect(list, nullptr, TRUE);
  return true;
}

bool SetCellImage(UiWindow& window, int32_t listId, int index, int column, HBITMAP image) {
  HWND list = ListHandle(window, listId);
  ListItemStyle* style = list && column >= -1 ? StyleFor(list, index) : nullptr;
  if (!style) return false;
  if (column < 0) {
    style->item.image = image;
  } else {
    if (style->cells.size() <= static_cast<size_t>(column)) {
      style->cells.resize(static_cast<size_t>(column) + 1);
    }
    style->cells[static_cast<size_t>(column)].image = image;
  }
  InvalidateRect(list, nullptr, TRUE);
  return true;
}

const ListItemStyle* ItemStyle(UiWindow& window, int32_t listId, int index) {
  HWND list = ListHandle(window, listId);
  return list && index >= 0 ? StyleOf(list, index) : nullptr;
}

bool SetCheckBoxImages(UiWindow& window, int32_t listId) {
  HWND list = ListHandle(window, listId);
  ControlEntry* e = window.Entry(listId);
  if (!list || !e) return false;
  const int side = window.Scale(16);
  ImageListOwner images(ImageList_Create(side, side, ILC_COLOR32, 2, 0));
  if (!images) return false;
  for (bool checked : {false, true}) {
    const BitmapHandle picture(MakeCheckBoxBitmap(side, checked));
    if (!picture || ImageList_Add(images.Get(), picture.Get(), nullptr) < 0) return false;
  }
  // The list hands back the image list it showed before; it is ours to free.
  ImageListOwner old(reinterpret_cast<HIMAGELIST>(
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(images.Get()))));
  if (old.Get() == e->stateImages.Get()) old.Release();
  e->stateImages = std::move(images);
  return true;
}

bool SetItemChecked(UiWindow& window, int32_t listId, int index, bool checked) {
  HWND list = ListHandle(window, listId);
  return list && SetStateImage(list, index, checked ? kCheckedImage : kUncheckedImage);
}

bool IsItemChecked(UiWindow& window, int32_t listId, int index) {
  HWND list = ListHandle(window, listId);
  return list && index >= 0 && StateImage(list, index) == kCheckedImage;
}

int SetAllChecked(UiWindow& window, int32_t listId, bool checked) {
  HWND list = ListHandle(window, listId);
  if (!list) return 0;
  UINT wanted = checked ? kCheckedImage : kUncheckedImage;
  int changed = 0;
  int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    if (StateImage(list, i) == wanted) continue;
    if (SetStateImage(list, i, wanted)) ++changed;
  }
  return changed;
}

IndexList CheckedItems(UiWindow& window, int32_t listId) {
  return IndicesWhere(ListHandle(window, listId),
                      [](HWND list, int i) { return StateImage(list, i) == kCheckedImage; });
}

int SelectedItem(UiWindow& window, int32_t listId) {
  HWND list = ListHandle(window, listId);
  if (!list) return -1;
  return static_cast<int>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

bool SelectItem(UiWindow& window, int32_t listId, int index) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&item)) != FALSE;
}

int ItemGroupId(UiWindow& window, int32_t listId, int index) {
  HWND list = ListHandle(window, listId);
  if (!list) return -1;
  if (index < 0) index = SelectedItem(window, listId);
  if (index < 0) return -1;
  LVITEMW item{};
  item.mask = LVIF_GROUPID;
  item.iItem = index;
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iGroupId;
}

bool EnableGroupView(UiWindow& window, int32_t listId, bool on) {
  HWND list = ListHandle(window, listId);
  return list && SendMessageW(list, LVM_ENABLEGROUPVIEW, on ? TRUE : FALSE, 0) >= 0;
}

bool ExpandGroup(UiWindow& window, int32_t listId, int groupId) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  LVGROUP group{};
  group.cbSize = sizeof(group);
  group.mask = LVGF_STATE;
  group.stateMask = LVGS_COLLAPSED;
  group.state = 0;
  return SendMessageW(list, LVM_SETGROUPINFO, static_cast<WPARAM>(groupId),
                      reinterpret_cast<LPARAM>(&group)) != -1;
}

bool EnableHeaderSort(UiWindow& window, int32_t listId) {
  ControlEntry* e = window.Entry(listId);
  if (!e || e->kind != kKindListView) return false;
  e->headerSort = true;
  return true;
}

bool SetListFirstImage(ControlEntry& entry, HBITMAP bitmap, int w, int h) {
  if (!entry.handle || !bitmap) return false;
  if (!entry.smallImages) {
    entry.smallImages.Reset(ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, 1, 1));
    if (!entry.smallImages) return false;
    SendMessageW(entry.handle, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(entry.smallImages.Get()));
  }
  if (ImageList_GetImageCount(entry.smallImages.Get()) > 0) {
    return ImageList_Replace(entry.smallImages.Get(), 0, bitmap, nullptr) != FALSE;
  }
  return ImageList_Add(entry.smallImages.Get(), bitmap, nullptr) >= 0;
}

}  // namespace pyr
