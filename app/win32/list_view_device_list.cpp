#include <windows.h>
#include <commctrl.h>

#include "app/win32/list_view_device_list.h"

#include "base/win32/wchar.h"
#include "devices/device_columns.h"
#include "driverstore/package_columns.h"
#include "ui/win32/list_view.h"

namespace pyr {
namespace {

constexpr int kHeaderLimit = 1024;

HWND HeaderOf(HWND list) {
  return list ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr;
}

constexpr DWORD kListStyle = WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                             LVS_SHAREIMAGELISTS;  // 0x1000004D
constexpr DWORD kListExStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;

}  // namespace

int32_t AddDeviceListView(UiWindow& window, int x, int y, int w, int h) {
  const int32_t id = AddListView(window, nullptr, x, y, w, h, kListStyle, kListExStyle);
  if (id == 0) return 0;
  // Each column comes with its default width: a later width change re-lays the header out.
  const auto columns = DeviceColumns();
  for (int i = 0; i < kDeviceColumnCount; ++i) {
    InsertColumn(window, id, columns[i].title, i, columns[i].defaultWidth);
  }
  return id;
}

int32_t AddPackageListView(UiWindow& window, int x, int y, int w, int h) {
  // Hidden until the packages view is chosen.
  const int32_t id = AddListView(window, nullptr, x, y, w, h, kListStyle & ~WS_VISIBLE, kListExStyle);
  if (id == 0) return 0;
  for (int i = 0; i < kPackageColumnCount; ++i) {
    InsertColumn(window, id, PackageColumnOf(i).title, i, PackageColumnOf(i).defaultWidth);
  }
  return id;
}

HWND ListViewDeviceList::List() const {
  const ControlEntry* e = window_.Entry(listId_);
  return e && e->kind == kKindListView ? e->handle : nullptr;
}

int ListViewDeviceList::RowCount() const { return ItemCount(window_, listId_); }

int ListViewDeviceList::InsertRow(int position, const WideText& text, int image, int groupId,
                                  int indent) {
  return AddCheckListItem(window_, listId_, text.Buffer(), position, groupId, image, indent, false);
}

void ListViewDeviceList::DeleteAllRows() { DeleteAllItems(window_, listId_); }

void ListViewDeviceList::SetCellText(int row, int column, const WideText& text) {
  SetItemText(window_, listId_, row, column, text.Buffer());
}

WideText ListViewDeviceList::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount()) return WideText();
  return ItemText(window_, listId_, row, column);
}

void ListViewDeviceList::SetRowUserValue(int row, uint64_t value) {
  SetItemUserValue(window_, listId_, row, value);
}

uint64_t ListViewDeviceList::RowUserValue(int row) const {
  return ItemUserValue(window_, listId_, row);
}

int ListViewDeviceList::FindRowByUserValue(uint64_t value) const {
  int count = RowCount();
  for (int i = 0; i < count; ++i) {
    if (ItemUserValue(window_, listId_, i) == value) return i;
  }
  return -1;
}

void ListViewDeviceList::SetRowColour(int row, uint32_t background) {
  SetItemBackColour(window_, listId_, row, background);
}

int ListViewDeviceList::RowGroupId(int row) const {
  if (row < 0) return kNoGroup;
  return ItemGroupId(window_, listId_, row);
}

void ListViewDeviceList::SetRowChecked(int row, bool checked) {
  SetItemChecked(window_, listId_, row, checked);
}

bool ListViewDeviceList::RowChecked(int row) const {
  return IsItemChecked(window_, listId_, row);
}

int ListViewDeviceList::SetAllChecked(bool checked) {
  return pyr::SetAllChecked(window_, listId_, checked);
}

std::vector<int> ListViewDeviceList::CheckedRows() const {
  IndexList counted = CheckedItems(window_, listId_);
  return std::vector<int>(counted.begin() + 1, counted.end());
}

void ListViewDeviceList::SelectRow(int row) {
  HWND list = List();
  if (!list) return;
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  if (row < 0 || row >= RowCount()) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewDeviceList::ScrollToRow(int row) {
  HWND list = List();
  if (!list || row < 0 || row >= RowCount()) return;
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int ListViewDeviceList::SelectedRow() const { return SelectedItem(window_, listId_); }

void ListViewDeviceList::EnableGroupView(bool on) { pyr::EnableGroupView(window_, listId_, on); }

bool ListViewDeviceList::GroupViewEnabled() const {
  HWND list = List();
  return list && SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0);
}

int ListViewDeviceList::InsertGroup(const ListGroup& group) {
  HWND list = List();
  if (!list) return -1;
  LVGROUP g{};
  g.cbSize = sizeof(g);
  g.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_STATE | LVGF_ALIGN;
  g.pszHeader = const_cast<wchar_t*>(W(group.header));
  g.iGroupId = group.groupId;
  g.stateMask = group.state | LVGS_COLLAPSED | LVGS_COLLAPSIBLE;
  g.state = group.state;
  g.uAlign = LVGA_HEADER_LEFT;
  if (!group.descriptionTop.Empty()) {
    g.mask |= LVGF_DESCRIPTIONTOP;
    g.pszDescriptionTop = const_cast<wchar_t*>(W(group.descriptionTop));
  }
  if (group.titleImage != kNoImage) {
    g.mask |= LVGF_TITLEIMAGE;
    g.iTitleImage = group.titleImage;
  }
  return static_cast<int>(SendMessageW(list, LVM_INSERTGROUP, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(&g)));
}

void ListViewDeviceList::RemoveAllGroups() {
  if (HWND list = List()) SendMessageW(list, LVM_REMOVEALLGROUPS, 0, 0);
}

int ListViewDeviceList::GroupCount() const {
  HWND list = List();
  return list ? static_cast<int>(SendMessageW(list, LVM_GETGROUPCOUNT, 0, 0)) : 0;
}

bool ListViewDeviceList::GroupAt(int index, ListGroup* group) const {
  HWND list = List();
  if (!list || !group) return false;
  std::u16string header(kHeaderLimit + 1, u'\0');
  LVGROUP g{};
  g.cbSize = sizeof(g);
  g.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_STATE;
  g.pszHeader = W(header.data());
  g.cchHeader = kHeaderLimit + 1;
  g.stateMask = static_cast<UINT>(-1);
  if (!SendMessageW(list, LVM_GETGROUPINFOBYINDEX, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&g))) {
    return false;
  }
  header.resize(std::char_traits<char16_t>::length(header.c_str()));
  group->header = WideText(std::move(header));
  group->groupId = g.iGroupId;
  group->state = g.state;
  return true;
}

bool ListViewDeviceList::SetGroupState(int groupId, uint32_t stateMask, uint32_t state) {
  HWND list = List();
  if (!list) return false;
  LVGROUP g{};
  g.cbSize = sizeof(g);
  g.mask = LVGF_STATE;
  g.stateMask = stateMask;
  g.state = state;
  return SendMessageW(list, LVM_SETGROUPINFO, static_cast<WPARAM>(groupId),
                      reinterpret_cast<LPARAM>(&g)) != -1;
}

int ListViewDeviceList::SortRows(int column, int direction) {
  return SortList(window_, listId_, column, direction);
}

int ListViewDeviceList::SortRowsByRank(int column, int direction, std::span<const uint32_t> ranks) {
  return SortListByRank(window_, listId_, column, direction, ranks);
}

int ListViewDeviceList::SortArrowColumn() const {
  HWND header = HeaderOf(List());
  int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < columns; ++i) {
    if (ColumnArrow(i) != SortArrow::kNone) return i;
  }
  return -1;
}

SortArrow ListViewDeviceList::ColumnArrow(int column) const {
  HWND header = HeaderOf(List());
  return header ? ArrowOf(header, column) : SortArrow::kNone;
}

void ListViewDeviceList::SetRedraw(bool on) {
  HWND list = List();
  if (!list) return;
  SendMessageW(list, WM_SETREDRAW, on ? TRUE : FALSE, 0);
  if (on) InvalidateRect(list, nullptr, TRUE);
}

void ListViewDeviceList::SetSmallImageList(ImageListHandle images) {
  if (HWND list = List()) {
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, static_cast<LPARAM>(images.value));
  }
}

void ListViewDeviceList::SetGroupHeaderImageList(ImageListHandle images) {
  if (HWND list = List()) {
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_GROUPHEADER, static_cast<LPARAM>(images.value));
  }
}

}  // namespace pyr
