// The device list on the toolkit's list view: what the inventory, the presentation, the selection
// commands and the operations do to the main window's list control.
#pragma once

#include "devices/device_list.h"
#include "ui/win32/ui_window.h"

namespace pyr {

// The device list's control: a report list with check boxes and the device columns at their
// default widths. Returns its id, 0 on failure.
int32_t AddDeviceListView(UiWindow& window, int x, int y, int w, int h);

// The packages view's list: the same kind of control, hidden, with the package columns.
int32_t AddPackageListView(UiWindow& window, int x, int y, int w, int h);

class ListViewDeviceList : public DeviceList {
 public:
  // The list view control listId of window; both must outlive this object.
  ListViewDeviceList(UiWindow& window, int32_t listId) : window_(window), listId_(listId) {}

  int RowCount() const override;
  int InsertRow(int position, const WideText& text, int image, int groupId, int indent) override;
  void DeleteAllRows() override;
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
  void ScrollToRow(int row) override;
  int SelectedRow() const override;

  void EnableGroupView(bool on) override;
  bool GroupViewEnabled() const override;
  int InsertGroup(const ListGroup& group) override;
  void RemoveAllGroups() override;
  int GroupCount() const override;
  bool GroupAt(int index, ListGroup* group) const override;
  bool SetGroupState(int groupId, uint32_t stateMask, uint32_t state) override;

  int SortRows(int column, int direction) override;
  int SortRowsByRank(int column, int direction, std::span<const uint32_t> ranks) override;
  int SortArrowColumn() const override;
  SortArrow ColumnArrow(int column) const override;

  void SetRedraw(bool on) override;
  void SetSmallImageList(ImageListHandle list) override;
  void SetGroupHeaderImageList(ImageListHandle list) override;

 private:
  HWND List() const;

  UiWindow& window_;
  int32_t listId_;
};

}  // namespace pyr
