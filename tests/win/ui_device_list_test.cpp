// The device list on the real list view behaves like the in-memory list the core is tested with;
// its sorting covers the list view's sort and header arrows.
#include <string>
#include <vector>

#include "app/package_view.h"
#include "devices/memory_device_list.h"
#include "driverstore/package_columns.h"
#include "tests/win/ui_toolkit_fixture.h"
#include "ui/win32/list_view.h"
#include "app/win32/list_view_device_list.h"

#include <commctrl.h>

namespace pyr::testing {
namespace {

class UiDeviceList : public ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    listId_ = AddListView(window_, u" Device name\n Status\n Class", 0, 0, 580, 380,
                          WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                              LVS_SHAREIMAGELISTS,
                          LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ASSERT_NE(listId_, 0);
    real_ = std::make_unique<ListViewDeviceList>(window_, listId_);
  }

  // The same steps on both lists.
  template <class Step>
  void Both(Step step) {
    step(*real_);
    step(memory_);
  }
  std::vector<std::u16string> Names(const DeviceList& list) {
    std::vector<std::u16string> out;
    for (int i = 0; i < list.RowCount(); ++i) out.push_back(list.CellText(i, 0).Str());
    return out;
  }
  void ExpectSameRows() {
    ASSERT_EQ(real_->RowCount(), memory_.RowCount());
    for (int i = 0; i < memory_.RowCount(); ++i) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(real_->CellText(i, c), memory_.CellText(i, c)) << "row " << i << " col " << c;
      }
      EXPECT_EQ(real_->RowUserValue(i), memory_.RowUserValue(i)) << "row " << i;
      EXPECT_EQ(real_->RowChecked(i), memory_.RowChecked(i)) << "row " << i;
    }
    EXPECT_EQ(real_->CheckedRows(), memory_.CheckedRows());
    EXPECT_EQ(real_->SelectedRow(), memory_.SelectedRow());
  }

  int32_t listId_ = 0;
  std::unique_ptr<ListViewDeviceList> real_;
  MemoryDeviceList memory_{3};
};

void FillDevices(DeviceList& list) {
  const char16_t* names[] = {u"Realtek Audio", u"Intel Ethernet", u"Generic USB Hub",
                             u"ACPI Fan"};
  const char16_t* sizes[] = {u"2 KB", u"1 MB", u"900 KB", u"10"};
  for (int i = 0; i < 4; ++i) {
    int row = list.InsertRow(-1, names[i], kNoImage, kNoGroup, 0);
    list.SetCellText(row, 1, sizes[i]);
    list.SetCellText(row, 2, i % 2 ? u"Net" : u"Media");
    list.SetRowUserValue(row, 10 + i);
  }
}

TEST_F(UiDeviceList, RowsChecksAndSelectionMatchTheMemoryList) {
  Both(FillDevices);
  Both([](DeviceList& l) { l.InsertRow(1, u"Inserted", kNoImage, kNoGroup, 0); });
  Both([](DeviceList& l) { l.InsertRow(99, u"Past the end", kNoImage, kNoGroup, 0); });
  Both([](DeviceList& l) { l.SetRowChecked(5, true); });
  Both([](DeviceList& l) { l.SetRowChecked(0, true); });
  Both([](DeviceList& l) { l.SelectRow(2); });
  Both([](DeviceList& l) { l.SelectRow(1); });
  ExpectSameRows();
  EXPECT_EQ(real_->FindRowByUserValue(12), memory_.FindRowByUserValue(12));
  EXPECT_EQ(real_->FindRowByUserValue(77), -1);
  EXPECT_EQ(real_->CellText(42, 0), u"");
  EXPECT_EQ(real_->SetAllChecked(true), memory_.SetAllChecked(true));
  EXPECT_EQ(real_->SetAllChecked(false), memory_.SetAllChecked(false));
  Both([](DeviceList& l) { l.SetRowChecked(1, true); });
  Both([](DeviceList& l) { l.DeleteAllRows(); });
  ExpectSameRows();
}

TEST_F(UiDeviceList, SortingMatchesTheMemoryListInEveryDirection) {
  Both(FillDevices);
  for (int direction : {kSortAscending, kSortToggle, kSortKeepShown, kSortReverseShown,
                        kSortDescending}) {
    int column = direction == kSortKeepShown ? -1 : 1;
    EXPECT_EQ(real_->SortRows(column, direction), memory_.SortRows(column, direction))
        << "direction " << direction;
    EXPECT_EQ(Names(*real_), Names(memory_)) << "direction " << direction;
    EXPECT_EQ(real_->SortArrowColumn(), memory_.SortArrowColumn());
    EXPECT_EQ(real_->ColumnArrow(1), memory_.ColumnArrow(1));
  }
  // Another column takes the arrow and the old one loses it.
  EXPECT_EQ(real_->SortRows(0, kSortAscending), memory_.SortRows(0, kSortAscending));
  EXPECT_EQ(real_->SortArrowColumn(), 0);
  EXPECT_EQ(real_->ColumnArrow(1), SortArrow::kNone);
  EXPECT_EQ(real_->ColumnArrow(0), memory_.ColumnArrow(0));
  ExpectSameRows();
}

// The packages view on the real list view: its columns, its rows and their colours as the memory
// list has them, and every column's order by value in both directions with the header's arrow.
TEST_F(UiDeviceList, PackageRowsColoursAndValueOrderMatchTheMemoryList) {
  const int32_t id = AddPackageListView(window_, 0, 0, 580, 380);
  ASSERT_NE(id, 0);
  window_.SetControlState(id, kStateShow);
  ListViewDeviceList real(window_, id);
  MemoryDeviceList memory(kPackageColumnCount);
  const HWND header = reinterpret_cast<HWND>(SendMessageW(window_.ControlHandle(id), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), kPackageColumnCount);
  std::vector<StorePackage> packages;
  const char16_t* vers[] = {u"03/01/2021,10.0", u"01/01/2022,9.1", u"12/31/2020,9.10", u"05/05/2019,1.0"};
  for (int i = 0; i < 4; ++i) {
    StorePackage& p = packages.emplace_back();
    p.publishedName = Concat({u"oem", WideText::FromInt32(i * 7 + 2), u".inf"});
    p.driverVer = WideText(vers[i]);
    p.parts = ParseDriverVer(vers[i]);
    p.infRead = p.usersKnown = true;
    p.size = uint64_t{900} << (i * 5);
    p.use.present = static_cast<size_t>(i == 1);
    p.use.notPresent = static_cast<size_t>(i == 2);
    p.older = i == 3;
  }
  PackageView realView, memoryView;
  realView.Show(real, packages);
  memoryView.Show(memory, packages);
  for (int column = 0; column < kPackageColumnCount; ++column) {
    for (int direction : {kSortAscending, kSortToggle}) {
      EXPECT_EQ(realView.Sort(real, column, direction), memoryView.Sort(memory, column, direction));
      EXPECT_EQ(real.ColumnArrow(column), memory.ColumnArrow(column)) << column;
      for (int row = 0; row < memory.RowCount(); ++row) {
        EXPECT_EQ(real.RowUserValue(row), memory.RowUserValue(row)) << column << " row " << row;
      }
    }
  }
  ASSERT_EQ(real.RowCount(), 4);
  for (int row = 0; row < memory.RowCount(); ++row) {
    for (int c = 0; c < kPackageColumnCount; ++c) EXPECT_EQ(real.CellText(row, c), memory.CellText(row, c));
    const ListItemStyle* style = ItemStyle(window_, id, row);
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->item.backColour, memory.RowBackground(row)) << row;
  }
  // Largest first, the bytes as people read them.
  realView.Sort(real, kPackageSize, kSortDescending);
  std::vector<std::u16string> sizes;
  for (int row = 0; row < 4; ++row) sizes.push_back(real.CellText(row, kPackageSize).Str());
  EXPECT_EQ(sizes, (std::vector<std::u16string>{u"28.1 MB", u"900 KB", u"29 KB", u"900 bytes"}));
}

}  // namespace
}  // namespace pyr::testing
