#include "devices/memory_device_list.h"

#include <algorithm>

#include "base/list_sort.h"

namespace pyr {

namespace {
// The list control hands out group headers of at most this many characters.
constexpr size_t kHeaderLimit = 1024;
constexpr uint32_t kWhite = 0xFFFFFF;
}  // namespace

MemoryDeviceList::MemoryDeviceList(int columnCount)
    : arrows_(static_cast<size_t>(std::max(columnCount, 1)), SortArrow::kNone) {}

int MemoryDeviceList::InsertRow(int position, const WideText& text, int image, int groupId,
                                int indent) {
  Row row;
  row.cells.resize(arrows_.size());
  row.cells[0] = text;
  row.image = image;
  row.groupId = groupId;
  row.indent = indent > 0 ? indent : 0;
  int at = (position < 0 || position > RowCount()) ? RowCount() : position;
  rows_.insert(rows_.begin() + at, std::move(row));
  return at;
}

void MemoryDeviceList::SetCellText(int row, int column, const WideText& text) {
  if (Valid(row) && column >= 0 && column < ColumnCount()) rows_[row].cells[column] = text;
}

WideText MemoryDeviceList::CellText(int row, int column) const {
  if (!Valid(row) || column < 0 || column >= ColumnCount()) return WideText();
  return rows_[row].cells[column];
}

void MemoryDeviceList::SetRowUserValue(int row, uint64_t value) {
  if (Valid(row)) rows_[row].userValue = value;
}

uint64_t MemoryDeviceList::RowUserValue(int row) const {
  return Valid(row) ? rows_[row].userValue : 0;
}

int MemoryDeviceList::FindRowByUserValue(uint64_t value) const {
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].userValue == value) return i;
  }
  return -1;
}

void MemoryDeviceList::SetRowColour(int row, uint32_t background) {
  if (!Valid(row)) return;
  rows_[row].styled = true;
  if (background != kDefaultColour) rows_[row].background = background;
}

int MemoryDeviceList::RowGroupId(int row) const {
  return Valid(row) ? rows_[row].groupId : kNoGroup;
}

void MemoryDeviceList::SetRowChecked(int row, bool checked) {
  if (Valid(row)) rows_[row].checked = checked;
}

bool MemoryDeviceList::RowChecked(int row) const { return Valid(row) && rows_[row].checked; }

int MemoryDeviceList::SetAllChecked(bool checked) {
  int changed = 0;
  for (Row& r : rows_) {
    if (r.checked != checked) ++changed;
    r.checked = checked;
  }
  return changed;
}

std::vector<int> MemoryDeviceList::CheckedRows() const {
  std::vector<int> out;
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].checked) out.push_back(i);
  }
  return out;
}

void MemoryDeviceList::SelectRow(int row) {
  if (!Valid(row)) return;
  for (Row& r : rows_) r.selected = false;
  rows_[row].selected = true;
}

int MemoryDeviceList::SelectedRow() const {
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].selected) return i;
  }
  return -1;
}

int MemoryDeviceList::InsertGroup(const ListGroup& group) {
  if (GroupById(group.groupId)) return -1;
  groups_.push_back(group);
  return GroupCount() - 1;
}

bool MemoryDeviceList::GroupAt(int index, ListGroup* group) const {
  if (index < 0 || index >= GroupCount()) return false;
  *group = groups_[index];
  if (group->header.Length() > kHeaderLimit) group->header.Left(kHeaderLimit);
  return true;
}

bool MemoryDeviceList::SetGroupState(int groupId, uint32_t stateMask, uint32_t state) {
  for (ListGroup& g : groups_) {
    if (g.groupId == groupId) {
      g.state = (g.state & ~stateMask) | (state & stateMask);
      return true;
    }
  }
  return false;
}

int MemoryDeviceList::SortRows(int column, int direction) {
  column = ResolveSortColumn(column, SortArrowColumn());
  if (column >= ColumnCount()) column = 0;
  const bool descending = ResolveSortDescending(direction, ColumnArrow(column));
  // Sort the keys, then move each row once: rows are large and far apart in memory.
  std::vector<std::pair<CellSortKey, size_t>> keys;
  keys.reserve(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) {
    keys.emplace_back(MakeCellSortKey(rows_[i].cells[column].View()), i);
  }
  std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    int c = CompareCellSortKeys(a.first, b.first);
    return descending ? c > 0 : c < 0;
  });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (const auto& k : keys) sorted.push_back(std::move(rows_[k.second]));
  rows_ = std::move(sorted);
  std::fill(arrows_.begin(), arrows_.end(), SortArrow::kNone);
  arrows_[column] = descending ? SortArrow::kDown : SortArrow::kUp;
  return descending ? 1 : -1;
}

int MemoryDeviceList::SortRowsByRank(int column, int direction, std::span<const uint32_t> ranks) {
  column = ResolveSortColumn(column, SortArrowColumn());
  if (column >= ColumnCount()) column = 0;
  const bool descending = ResolveSortDescending(direction, ColumnArrow(column));
  const auto rank = [&](const Row& row) {
    return row.userValue == 0 || row.userValue > ranks.size() ? uint64_t{UINT32_MAX} + 1 : ranks[row.userValue - 1];
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
    return descending ? rank(a) > rank(b) : rank(a) < rank(b);
  });
  std::fill(arrows_.begin(), arrows_.end(), SortArrow::kNone);
  arrows_[column] = descending ? SortArrow::kDown : SortArrow::kUp;
  return descending ? 1 : -1;
}

int MemoryDeviceList::SortArrowColumn() const {
  for (int i = 0; i < ColumnCount(); ++i) {
    if (arrows_[i] != SortArrow::kNone) return i;
  }
  return -1;
}

SortArrow MemoryDeviceList::ColumnArrow(int column) const {
  if (column < 0 || column >= ColumnCount()) return SortArrow::kNone;
  return arrows_[column];
}

uint32_t MemoryDeviceList::RowBackground(int row) const {
  return Valid(row) ? rows_[row].background : kDefaultColour;
}

uint32_t MemoryDeviceList::RowTextColour(int row) const {
  return Valid(row) && rows_[row].styled ? kWhite : kDefaultColour;
}

int MemoryDeviceList::RowImage(int row) const { return Valid(row) ? rows_[row].image : kNoImage; }

int MemoryDeviceList::RowIndent(int row) const { return Valid(row) ? rows_[row].indent : 0; }

bool MemoryDeviceList::RowShown(int row) const {
  if (!Valid(row)) return false;
  return !groupView_ || GroupById(rows_[row].groupId) != nullptr;
}

const ListGroup* MemoryDeviceList::GroupById(int groupId) const {
  for (const ListGroup& g : groups_) {
    if (g.groupId == groupId) return &g;
  }
  return nullptr;
}

std::vector<int> MemoryDeviceList::ShownGroupIds() const {
  std::vector<int> out;
  if (!groupView_) return out;
  for (const ListGroup& g : groups_) {
    for (const Row& r : rows_) {
      if (r.groupId == g.groupId) {
        out.push_back(g.groupId);
        break;
      }
    }
  }
  return out;
}

}  // namespace pyr
