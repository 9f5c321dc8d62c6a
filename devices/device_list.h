// DeviceList: everything the inventory build, the presentation, the selection commands and the
// device operations do to the device list control. Rows are addressed by index (0-based, in the
// control's item order); groups by their identifier, or by index when enumerated.
//
// Implementations: the toolkit's list view (Win32) and MemoryDeviceList (tests, benchmarks).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/colours.h"
#include "base/list_sort.h"
#include "base/wide_text.h"
#include "devices/device_platform.h"

namespace pyr {

// Group states, as the list control has them (LVGS_*).
constexpr uint32_t kGroupNormal = 0x0;
constexpr uint32_t kGroupCollapsed = 0x1;
constexpr uint32_t kGroupCollapsible = 0x8;

// No group identifier / no image, for InsertRow.
constexpr int kNoGroup = -1;
constexpr int kNoImage = -1;
// A row colour of kDefaultColour means "the list's normal colours".


struct ListGroup {
  WideText header;          // shown as the group's title
  WideText descriptionTop;  // line below the title
  int groupId = 0;
  int titleImage = kNoImage;
  uint32_t state = kGroupNormal;
};

class DeviceList {
 public:
  virtual ~DeviceList() = default;

  // --- Rows ---
  virtual int RowCount() const = 0;
  // Inserts a row at min(position, RowCount()) (position < 0 appends) whose column 0 is text;
  // image kNoImage and groupId kNoGroup leave those unset, indent 0 leaves no indent. The new
  // row is unchecked. Returns its index, or -1 when the control refuses it.
  virtual int InsertRow(int position, const WideText& text, int image, int groupId,
                        int indent) = 0;
  // Removes every row (LVM_DELETEALLITEMS).
  virtual void DeleteAllRows() = 0;
  // Text of one cell; column 0 is the row's own text.
  virtual void SetCellText(int row, int column, const WideText& text) = 0;
  // A new text of the cell (empty for a row or column that does not exist).
  virtual WideText CellText(int row, int column) const = 0;
  // The caller's own value kept with the row (see StoreDeviceIndex).
  virtual void SetRowUserValue(int row, uint64_t value) = 0;
  virtual uint64_t RowUserValue(int row) const = 0;
  // First row whose user value equals value, or -1.
  virtual int FindRowByUserValue(uint64_t value) const = 0;
  // Draws the row in white text on this background (COLORREF); kDefaultColour resets the
  // background only.
  virtual void SetRowColour(int row, uint32_t background) = 0;
  // Group identifier of the row; kNoGroup when it has none or does not exist.
  virtual int RowGroupId(int row) const = 0;

  // --- Check boxes and selection ---
  virtual void SetRowChecked(int row, bool checked) = 0;
  virtual bool RowChecked(int row) const = 0;
  // Sets every row's check box; returns how many rows changed.
  virtual int SetAllChecked(bool checked) = 0;
  // Indices of the checked rows in row order.
  virtual std::vector<int> CheckedRows() const = 0;
  // Single selection: selecting a row deselects the previous one. It does not scroll.
  virtual void SelectRow(int row) = 0;
  // Scrolls until the whole row is in view (LVM_ENSUREVISIBLE, partial not accepted).
  virtual void ScrollToRow(int row) = 0;
  // The selected row, or -1.
  virtual int SelectedRow() const = 0;

  // --- Groups ---
  // LVM_ENABLEGROUPVIEW.
  virtual void EnableGroupView(bool on) = 0;
  virtual bool GroupViewEnabled() const = 0;
  // Appends a group (index -1); returns its index, or -1 when the identifier is already used
  // (then the group holding that identifier keeps receiving its rows).
  virtual int InsertGroup(const ListGroup& group) = 0;
  // LVM_REMOVEALLGROUPS.
  virtual void RemoveAllGroups() = 0;
  virtual int GroupCount() const = 0;
  // Reads a group by index (header up to 1024 characters, state, identifier).
  virtual bool GroupAt(int index, ListGroup* group) const = 0;
  // Changes the state bits of stateMask of the group with this identifier to state.
  virtual bool SetGroupState(int groupId, uint32_t stateMask, uint32_t state) = 0;

  // --- Sorting ---
  // Sorts the rows by the text of column (< 0: the column that shows an arrow, else 0) in
  // direction (kSortAscending ... kSortReverseShown), sets that column's header arrow and
  // clears the others. Returns 1 after a descending sort, -1 after an ascending one.
  virtual int SortRows(int column, int direction) = 0;
  // As SortRows, ordered by ranks[user value - 1] instead of the column's texts: for columns
  // whose texts do not order as their values do (sizes, versions). Rows without a rank go last.
  virtual int SortRowsByRank(int column, int direction, std::span<const uint32_t> ranks) = 0;
  // The column whose header shows a sort arrow, or -1.
  virtual int SortArrowColumn() const = 0;
  virtual SortArrow ColumnArrow(int column) const = 0;

  // --- Drawing ---
  // WM_SETREDRAW.
  virtual void SetRedraw(bool on) = 0;
  // The class image list as the small-icon list (LVSIL_SMALL) and the group-header list
  // (LVSIL_GROUPHEADER); the list only borrows it.
  virtual void SetSmallImageList(ImageListHandle list) = 0;
  virtual void SetGroupHeaderImageList(ImageListHandle list) = 0;
};

// A row keeps its device's index in the device set plus one, so that a row that never got one
// (user value 0) names no device rather than the set's first.
inline void StoreDeviceIndex(DeviceList& list, int row, uint32_t setIndex) {
  list.SetRowUserValue(row, uint64_t{setIndex} + 1);
}
// The device index stored with the row; false when it has none.
inline bool StoredDeviceIndex(const DeviceList& list, int row, uint32_t* setIndex) {
  const uint64_t value = list.RowUserValue(row);
  if (value == 0 || value - 1 > UINT32_MAX) return false;
  *setIndex = static_cast<uint32_t>(value - 1);
  return true;
}

}  // namespace pyr
