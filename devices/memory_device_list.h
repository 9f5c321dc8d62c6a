// MemoryDeviceList: the device list kept in memory, following the list control's rules that the
// program relies on (insertion positions, single selection, group identifiers shared by one
// group, collapsed states, header arrows). Used by tests, benchmarks and the sandbox's checks.
#pragma once

#include <vector>

#include "devices/device_columns.h"
#include "devices/device_list.h"

namespace pyr {

class MemoryDeviceList : public DeviceList {
 public:
  explicit MemoryDeviceList(int columnCount = kDeviceColumnCount);

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int InsertRow(int position, const WideText& text, int image, int groupId, int indent) override;
  void DeleteAllRows() override { rows_.clear(); }
  void SetCellText(int row, int column, const WideText& text) override;
  WideText CellText(int row, int column) const override;
  void SetRowUserValue(int row, uint64_t value) override;
  uint64_t RowUserValue(int row) const override;
  int FindRowByUserValue(uint64_t value) const override;
  void SetRowColour(int row, uint32_t background) override;
  int RowGroupId(int row) const override;

  void SetRowChecked(int row, bool checked) override;
  bool RowChecked(int row) const override;
  int SetAllChecked(bool checked) override;
  std::vector<int> CheckedRows() const override;
  void SelectRow(int row) override;
  void ScrollToRow(int row) override { scrolledTo_ = Valid(row) ? row : scrolledTo_; }
  // The row last scrolled into view, or -1.
  int ScrolledToRow() const { return scrolledTo_; }
  int SelectedRow() const override;

  void EnableGroupView(bool on) override { groupView_ = on; }
  bool GroupViewEnabled() const override { return groupView_; }
  int InsertGroup(const ListGroup& group) override;
  void RemoveAllGroups() override { groups_.clear(); }
  int GroupCount() const override { return static_cast<int>(groups_.size()); }
  bool GroupAt(int index, ListGroup* group) const override;
  bool SetGroupState(int groupId, uint32_t stateMask, uint32_t state) override;

  int SortRows(int column, int direction) override;
  int SortRowsByRank(int column, int direction, std::span<const uint32_t> ranks) override;
  int SortArrowColumn() const override;
  SortArrow ColumnArrow(int column) const override;

  void SetRedraw(bool on) override { redraw_ = on; }
  void SetSmallImageList(ImageListHandle list) override { smallImages_ = list; }
  void SetGroupHeaderImageList(ImageListHandle list) override { groupImages_ = list; }

  // --- Inspection, beyond what the control offers the program ---
  int ColumnCount() const { return static_cast<int>(arrows_.size()); }
  // Background COLORREF, kDefaultColour when the row keeps the list's colours.
  uint32_t RowBackground(int row) const;
  // Text colour: white on a coloured row, kDefaultColour otherwise.
  uint32_t RowTextColour(int row) const;
  int RowImage(int row) const;
  int RowIndent(int row) const;
  // A row is shown in group view only when its group exists.
  bool RowShown(int row) const;
  // The group with this identifier, or null.
  const ListGroup* GroupById(int groupId) const;
  // Groups the control draws: in group view, those holding at least one row.
  std::vector<int> ShownGroupIds() const;
  bool RedrawOn() const { return redraw_; }
  ImageListHandle SmallImageList() const { return smallImages_; }
  ImageListHandle GroupHeaderImageList() const { return groupImages_; }

 private:
  struct Row {
    std::vector<WideText> cells;
    int image = kNoImage;
    int groupId = kNoGroup;
    int indent = 0;
    uint64_t userValue = 0;
    uint32_t background = kDefaultColour;
    bool styled = false;
    bool checked = false;
    bool selected = false;
  };
  bool Valid(int row) const { return row >= 0 && row < RowCount(); }

  std::vector<Row> rows_;
  std::vector<ListGroup> groups_;
  std::vector<SortArrow> arrows_;
  bool groupView_ = false;
  bool redraw_ = true;
  ImageListHandle smallImages_;
  ImageListHandle groupImages_;
  int scrolledTo_ = -1;
};

}  // namespace pyr
