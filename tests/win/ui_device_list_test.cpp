// The device list on the real list view behaves like the in-memory list the core is tested with;
// its sorting covers the list view's sort and header arrows.
#include <string>
#include <vector>

#include "devices/memory_device_list.h"
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

}  // namespace
}  // namespace pyr::testing
