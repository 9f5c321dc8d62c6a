// Sorting a list view by a column, with the header's sort arrows.
#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/win32/wchar.h"
#include "base/list_sort.h"
#include "ui/win32/list_view.h"

namespace pyr {
namespace {

// The texts are read once before the sort and found again by each item's lParam, which stays
// the same while the control reorders its items (item positions do not).
struct SortContext {
  std::unordered_map<LPARAM, std::u16string> texts;
  bool descending;
};

std::u16string CellText(HWND list, int index, int column) {
  wchar_t buffer[261] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 261;
  auto n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item));
  return std::u16string(U(buffer), static_cast<size_t>(std::clamp<LRESULT>(n, 0, 260)));
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM data) {
  const auto* context = reinterpret_cast<const SortContext*>(data);
  auto a = context->texts.find(first), b = context->texts.find(second);
  if (a == context->texts.end() || b == context->texts.end()) return 0;
  int order = CompareCellTexts(a->second, b->second);
  return context->descending ? -order : order;
}


}  // namespace

SortArrow ArrowOf(HWND header, int column) {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(&item))) {
    return SortArrow::kNone;
  }
  if (item.fmt & HDF_SORTUP) return SortArrow::kUp;
  if (item.fmt & HDF_SORTDOWN) return SortArrow::kDown;
  return SortArrow::kNone;
}

int SortList(UiWindow& window, int32_t listId, int column, int direction) {
  const ControlEntry* e = window.Entry(listId);
  if (!e || e->kind != kKindListView || !e->handle) return 0;
  HWND list = e->handle;
  auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  int arrowColumn = -1;
  for (int i = 0; i < columns && arrowColumn < 0; ++i) {
    if (ArrowOf(header, i) != SortArrow::kNone) arrowColumn = i;
  }
  column = ResolveSortColumn(column, arrowColumn);
  bool descending = ResolveSortDescending(direction, header ? ArrowOf(header, column)
                                                            : SortArrow::kNone);
  SortContext context{{}, descending};
  int count = ItemCount(window, listId);
  for (int i = 0; i < count; ++i) {
    // Every item gets its style record, whose address is the item's key during the sort.
    if (!SetItemUserValue(window, listId, i, ItemUserValue(window, listId, i))) continue;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    context.texts.emplace(item.lParam, CellText(list, i, column));
  }
  SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(&CompareRows));
  for (int i = 0; i < columns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const int was = item.fmt;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    // Each change makes the header and the list lay themselves out again: only real changes.
    if (item.fmt == was) continue;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  return descending ? 1 : -1;
}

}  // namespace pyr
