// Sorting a list view by a column, with the header's sort arrows.
#include <algorithm>
#include <span>
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

namespace {

// The column and direction a sort resolves to, from the header's arrows.
struct ResolvedSort {
  HWND list = nullptr;
  HWND header = nullptr;
  int columns = 0;
  int column = 0;
  bool descending = false;
};

bool ResolveSort(UiWindow& window, int32_t listId, int column, int direction, ResolvedSort* out) {
  const ControlEntry* e = window.Entry(listId);
  if (!e || e->kind != kKindListView || !e->handle) return false;
  out->list = e->handle;
  out->header = reinterpret_cast<HWND>(SendMessageW(out->list, LVM_GETHEADER, 0, 0));
  out->columns = out->header ? static_cast<int>(SendMessageW(out->header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  int arrowColumn = -1;
  for (int i = 0; i < out->columns && arrowColumn < 0; ++i) {
    if (ArrowOf(out->header, i) != SortArrow::kNone) arrowColumn = i;
  }
  out->column = ResolveSortColumn(column, arrowColumn);
  out->descending =
      ResolveSortDescending(direction, out->header ? ArrowOf(out->header, out->column) : SortArrow::kNone);
  return true;
}

// Every item gets its style record first: its address is the item's key during the sort.
void GiveEveryItemItsRecord(UiWindow& window, int32_t listId) {
  const int count = ItemCount(window, listId);
  for (int i = 0; i < count; ++i) SetItemUserValue(window, listId, i, ItemUserValue(window, listId, i));
}

void ShowSortArrow(const ResolvedSort& sort) {
  for (int i = 0; i < sort.columns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(sort.header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const int was = item.fmt;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == sort.column) item.fmt |= sort.descending ? HDF_SORTDOWN : HDF_SORTUP;
    // Each change makes the header and the list lay themselves out again: only real changes.
    if (item.fmt == was) continue;
    SendMessageW(sort.header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

struct RankContext {
  std::span<const uint32_t> ranks;
  bool descending;
};

uint64_t RankOf(LPARAM record, std::span<const uint32_t> ranks) {
  const auto* style = reinterpret_cast<const ListItemStyle*>(record);
  const uint64_t value = style ? style->userValue : 0;
  return value == 0 || value > ranks.size() ? uint64_t{UINT32_MAX} + 1 : ranks[value - 1];
}

int CALLBACK CompareRanks(LPARAM first, LPARAM second, LPARAM data) {
  const auto* context = reinterpret_cast<const RankContext*>(data);
  const uint64_t a = RankOf(first, context->ranks), b = RankOf(second, context->ranks);
  const int order = a < b ? -1 : a > b ? 1 : 0;
  return context->descending ? -order : order;
}

}  // namespace

int SortList(UiWindow& window, int32_t listId, int column, int direction) {
  ResolvedSort sort;
  if (!ResolveSort(window, listId, column, direction, &sort)) return 0;
  GiveEveryItemItsRecord(window, listId);
  SortContext context{{}, sort.descending};
  const int count = ItemCount(window, listId);
  for (int i = 0; i < count; ++i) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    SendMessageW(sort.list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    context.texts.emplace(item.lParam, CellText(sort.list, i, sort.column));
  }
  SendMessageW(sort.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(&CompareRows));
  ShowSortArrow(sort);
  return sort.descending ? 1 : -1;
}

int SortListByRank(UiWindow& window, int32_t listId, int column, int direction,
                   std::span<const uint32_t> ranks) {
  ResolvedSort sort;
  if (!ResolveSort(window, listId, column, direction, &sort)) return 0;
  GiveEveryItemItsRecord(window, listId);
  RankContext context{ranks, sort.descending};
  SendMessageW(sort.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
               reinterpret_cast<LPARAM>(&CompareRanks));
  ShowSortArrow(sort);
  return sort.descending ? 1 : -1;
}

}  // namespace pyr
