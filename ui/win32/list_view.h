// The toolkit's report-style list view: a control of a UiWindow addressed by its id
// (-1 = the last created control). Every operation on an id that is not a list view does nothing
// and returns its neutral value (0, false, -1 or empty).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/wide_text.h"
#include "base/colours.h"
#include "base/list_sort.h"
#include "ui/win32/ui_window.h"

namespace pyr {

// Colours of one cell, or of a whole item (COLORREF; kDefaultColour = the list's own).
struct CellStyle {
  COLORREF textColour = kDefaultColour;
  COLORREF backColour = kDefaultColour;
  BrushHandle brush;         // made from backColour
  HFONT font = nullptr;      // borrowed; null = the list's font
  HBITMAP image = nullptr;   // borrowed; drawn at the left of the cell
};

// Kept as the item's lParam from the first use on, freed when the item is deleted.
struct ListItemStyle {
  CellStyle item;
  std::vector<CellStyle> cells;  // optional per-column styles
  uint64_t userValue = 0;
};

// Index lists carry a leading count: {count, index, index, ...}.
using IndexList = std::vector<int32_t>;

// Columns are separated by "\n"; each is (w - 20) / count wide. exStyle -1 = full-row select.
// Places, sizes and column widths are 96-DPI units, shown at the window's DPI.
int32_t AddListView(UiWindow& window, const char16_t* columns, int x, int y, int w, int h,
                    DWORD style, DWORD exStyle);
bool InsertColumn(UiWindow& window, int32_t listId, const char16_t* title, int index, int width);
// A width below 0 is the list view's own (LVSCW_AUTOSIZE...).
bool SetColumnWidth(UiWindow& window, int32_t listId, int column, int width);
// index -1 appends; groupId/image -1 leave them unset. Returns the item index or -1.
int AddListItem(UiWindow& window, int32_t listId, const char16_t* text, int index = -1,
                int groupId = -1, int image = -1, int indent = 0);
// As AddListItem, with the item's style record and check box made in the same insertion: one
// change instead of three, each of which the control announces to its window (a large list
// fills in a fraction of the time).
int AddCheckListItem(UiWindow& window, int32_t listId, const char16_t* text, int index,
                     int groupId, int image, int indent, bool checked);
bool SetItemText(UiWindow& window, int32_t listId, int index, int column, const char16_t* text);
WideText ItemText(UiWindow& window, int32_t listId, int index, int column);
int ItemCount(UiWindow& window, int32_t listId);
bool DeleteAllItems(UiWindow& window, int32_t listId);

bool SetItemUserValue(UiWindow& window, int32_t listId, int index, uint64_t value);
uint64_t ItemUserValue(UiWindow& window, int32_t listId, int index);
// White text on colour (colour -1 keeps the background).
bool SetItemBackColour(UiWindow& window, int32_t listId, int index, COLORREF colour);
bool SetCellColours(UiWindow& window, int32_t listId, int index, int column, COLORREF text,
                    COLORREF back);
// An image drawn at the left of a cell (column -1: of the item's first cell); the caller keeps
// the bitmap alive while the item shows it.
bool SetCellImage(UiWindow& window, int32_t listId, int index, int column, HBITMAP image);
// Null when the item has no style yet.
const ListItemStyle* ItemStyle(UiWindow& window, int32_t listId, int index);

// The drawn check boxes as the list's state images, at the window's DPI.
bool SetCheckBoxImages(UiWindow& window, int32_t listId);
bool SetItemChecked(UiWindow& window, int32_t listId, int index, bool checked);
bool IsItemChecked(UiWindow& window, int32_t listId, int index);
int SetAllChecked(UiWindow& window, int32_t listId, bool checked);
IndexList CheckedItems(UiWindow& window, int32_t listId);

int SelectedItem(UiWindow& window, int32_t listId);
bool SelectItem(UiWindow& window, int32_t listId, int index);

int ItemGroupId(UiWindow& window, int32_t listId, int index);
bool EnableGroupView(UiWindow& window, int32_t listId, bool on);
bool ExpandGroup(UiWindow& window, int32_t listId, int groupId);
// A click anywhere on a group header toggles the group.
bool InstallGroupHeaderClick(UiWindow& window, int32_t listId);

// Returns 1 after a descending sort, -1 after an ascending one (the next toggle's direction),
// 0 when nothing was sorted.
int SortList(UiWindow& window, int32_t listId, int column, int direction);
// As SortList, by ranks[user value - 1] instead of the column's texts: for columns whose texts do
// not order as their values do. Items without a rank go last.
int SortListByRank(UiWindow& window, int32_t listId, int column, int direction,
                   std::span<const uint32_t> ranks);
// The sort arrow a column header shows.
SortArrow ArrowOf(HWND header, int column);
// From now on a header click sorts by that column instead of posting the column-click event.
bool EnableHeaderSort(UiWindow& window, int32_t listId);

// Internal: the window procedure's WM_NOTIFY handling and the image list of SetControlImage.
bool HandleListViewNotify(UiWindow& window, ControlEntry& entry, HWND hwnd, NMHDR* header,
                          LRESULT& result);
bool SetListFirstImage(ControlEntry& entry, HBITMAP bitmap, int w, int h);

}  // namespace pyr
