// The list view wrapper on a real SysListView32; what the device list does through it is
// compared with the in-memory list elsewhere.
#include <string>
#include <vector>

#include "base/win32/wchar.h"
#include "tests/win/ui_toolkit_fixture.h"
#include "ui/draw/win32/images.h"
#include "ui/win32/list_view.h"

#include <commctrl.h>

namespace pyr::testing {
namespace {

class UiListView : public ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    list_ = AddListView(window_, u" Device name\n Status\n Size", 0, 0, 580, 380,
                        WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ASSERT_NE(list_, 0);
  }
  HWND List() { return window_.ControlHandle(list_); }
  void Fill(std::initializer_list<const char16_t*> names) {
    for (const char16_t* n : names) AddListItem(window_, list_, n);
  }
  std::vector<std::u16string> Column(int column) {
    std::vector<std::u16string> out;
    for (int i = 0; i < ItemCount(window_, list_); ++i) {
      out.push_back(ItemText(window_, list_, i, column).Str());
    }
    return out;
  }
  int HeaderFormat(int column) {
    auto header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  int32_t list_ = 0;
};

TEST_F(UiListView, ColumnsComeFromTheLineSeparatedTitles) {
  auto header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  wchar_t title[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = title;
  column.cchTextMax = 32;
  ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
  EXPECT_EQ(std::u16string(U(title)), u" Status");
  EXPECT_EQ(column.cx, (580 - 20) / 3);
}

// A width already set is left alone; the list view's own auto-size widths still go through.
TEST_F(UiListView, ColumnWidthsAndTheAutoSizeWidths) {
  const int first = ListView_GetColumnWidth(List(), 0);
  EXPECT_TRUE(SetColumnWidth(window_, list_, 0, first));
  EXPECT_EQ(ListView_GetColumnWidth(List(), 0), first);
  EXPECT_TRUE(SetColumnWidth(window_, list_, 0, 61));
  EXPECT_EQ(ListView_GetColumnWidth(List(), 0), 61);
  Fill({u"A rather long device name that needs more room than sixty pixels"});
  EXPECT_TRUE(SetColumnWidth(window_, list_, 0, LVSCW_AUTOSIZE));
  EXPECT_GT(ListView_GetColumnWidth(List(), 0), 200);
  EXPECT_FALSE(SetColumnWidth(window_, 999, 0, 61)) << "no such list";
}

TEST_F(UiListView, DeletingItemsPostsAndFreesTheirStyle) {
  Fill({u"x"});
  SetItemBackColour(window_, list_, 0, 0x808080);
  ASSERT_NE(ItemStyle(window_, list_, 0), nullptr);
  EXPECT_EQ(ItemStyle(window_, list_, 0)->item.textColour, 0xFFFFFFu);
  EXPECT_EQ(ItemStyle(window_, list_, 0)->item.backColour, 0x808080u);
  SetItemBackColour(window_, list_, 0, kDefaultColour);
  EXPECT_EQ(ItemStyle(window_, list_, 0)->item.backColour, 0x808080u) << "-1 keeps the background";
  DeleteAllItems(window_, list_);
  // One event for the whole list, not one per item.
  EXPECT_EQ(window_.OwnEvent().code, ev::kItemDeleted);
  EXPECT_EQ(window_.OwnEvent().extra, ev::kAllItems);
  EXPECT_EQ(ItemCount(window_, list_), 0);
}

TEST_F(UiListView, CheckItemsComeWithTheirStyleAndCheckBoxInOneInsertion) {
  struct Case {
    bool checked;
    int index;
  };
  for (const Case& c : {Case{false, -1}, Case{true, -1}, Case{true, 0}}) {
    DeleteAllItems(window_, list_);
    Fill({u"a", u"b"});
    const int row = AddCheckListItem(window_, list_, u"new", c.index, -1, -1, 0, c.checked);
    ASSERT_EQ(row, c.index < 0 ? 2 : c.index);
    EXPECT_EQ(ItemText(window_, list_, row, 0).Str(), u"new");
    EXPECT_EQ(IsItemChecked(window_, list_, row), c.checked);
    const ListItemStyle* style = ItemStyle(window_, list_, row);
    ASSERT_NE(style, nullptr);
    // The user value goes into that record; no second one replaces it.
    ASSERT_TRUE(SetItemUserValue(window_, list_, row, 0x1234567890ull));
    EXPECT_EQ(ItemStyle(window_, list_, row), style);
    EXPECT_EQ(ItemUserValue(window_, list_, row), 0x1234567890ull) << "all 64 bits kept";
  }
}

TEST_F(UiListView, CheckStatesAreTheTwoStateImagesAndPostEvents) {
  Fill({u"a", u"b", u"c"});
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(List(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 2);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  Drain();
  ASSERT_TRUE(SetItemChecked(window_, list_, 1, true));
  EXPECT_EQ(window_.OwnEvent().code, ev::kItemChecked);
  EXPECT_EQ(window_.OwnEvent().extra, 1u);
  EXPECT_EQ(window_.OwnEvent().param, static_cast<uint32_t>(list_));
  EXPECT_EQ(SendMessageW(List(), LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), 0x2000);
  EXPECT_EQ(SendMessageW(List(), LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), 0x1000);
  EXPECT_TRUE(IsItemChecked(window_, list_, 1));
  EXPECT_FALSE(IsItemChecked(window_, list_, 0));
  SetItemChecked(window_, list_, 1, false);
  EXPECT_EQ(window_.OwnEvent().code, ev::kItemUnchecked);
}

TEST_F(UiListView, CheckedItemsInOrderWithLeadingCount) {
  Fill({u"a", u"b", u"c", u"d"});
  EXPECT_EQ(CheckedItems(window_, list_), (IndexList{0}));
  EXPECT_EQ(FirstCheckedItem(window_, list_), -1);
  SetItemChecked(window_, list_, 3, true);
  SetItemChecked(window_, list_, 1, true);
  EXPECT_EQ(CheckedItems(window_, list_), (IndexList{2, 1, 3}));
  EXPECT_EQ(FirstCheckedItem(window_, list_), 1);
  EXPECT_EQ(SetAllChecked(window_, list_, true), 2);
  EXPECT_EQ(CheckedItems(window_, list_), (IndexList{4, 0, 1, 2, 3}));
  EXPECT_EQ(SetAllChecked(window_, list_, false), 4);
  EXPECT_EQ(SetAllChecked(window_, list_, false), 0);
}

TEST_F(UiListView, SelectionQueriesAndEvents) {
  Fill({u"a", u"b", u"c"});
  EXPECT_EQ(SelectedItem(window_, list_), -1);
  EXPECT_EQ(SelectedItems(window_, list_), (IndexList{0}));
  ASSERT_TRUE(SelectItem(window_, list_, 2));
  EXPECT_EQ(window_.OwnEvent().code, ev::kItemSelected);
  EXPECT_EQ(window_.OwnEvent().extra, 2u);
  SelectItem(window_, list_, 0);
  EXPECT_EQ(SelectedItem(window_, list_), 0);
  EXPECT_EQ(SelectedItems(window_, list_), (IndexList{2, 0, 2}));
}

TEST_F(UiListView, FindItemMatchesPartOfTheNameIgnoringCase) {
  Fill({u"Intel Ethernet", u"Realtek Audio", u"Intel USB Hub"});
  EXPECT_EQ(FindItem(window_, list_, u"intel"), 0);
  EXPECT_EQ(FindItem(window_, list_, u"INTEL", 0), 2);
  EXPECT_EQ(FindItem(window_, list_, u"intel", 2), -1);
  EXPECT_EQ(FindItem(window_, list_, u"audio"), 1);
  EXPECT_EQ(FindItem(window_, list_, u"missing"), -1);
}

TEST_F(UiListView, OperationsOnSomethingElseAreNeutral) {
  int32_t button = window_.AddButton(u"b", 600, 0, 10, 10);
  EXPECT_EQ(AddListItem(window_, button, u"x"), -1);
  EXPECT_EQ(CheckedItems(window_, button), (IndexList{0}));
  EXPECT_EQ(SelectedItem(window_, button), -1);
  EXPECT_EQ(SortList(window_, button, 0, 1), 0);
  EXPECT_EQ(ItemUserValue(window_, 99, 0), 0u);
  EXPECT_EQ(ItemGroupId(window_, button, 0), -1);
  EXPECT_FALSE(SetItemUserValue(window_, list_, 5, 1));  // no such row
}

TEST_F(UiListView, ColumnClickPostsUnlessTheHeaderSorts) {
  Fill({u"b", u"a"});
  NMLISTVIEW click{};
  click.hdr.hwndFrom = List();
  click.hdr.idFrom = static_cast<UINT_PTR>(list_);
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = 1;
  SendMessageW(window_.Handle(), WM_NOTIFY, static_cast<WPARAM>(list_),
               reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(window_.OwnEvent().code, ev::kColumnClick);
  EXPECT_EQ(window_.OwnEvent().extra, 1u);
  window_.OwnEvent() = UiEvent{};
  ASSERT_TRUE(EnableHeaderSort(window_, list_));
  click.iSubItem = 0;
  SendMessageW(window_.Handle(), WM_NOTIFY, static_cast<WPARAM>(list_),
               reinterpret_cast<LPARAM>(&click));
  EXPECT_NE(window_.OwnEvent().code, ev::kColumnClick);
  EXPECT_EQ(Column(0), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(HeaderFormat(0), HDF_SORTUP);
}

TEST_F(UiListView, CellColoursAndImagesArePainted) {
  Fill({u"a", u"b"});
  BitmapHandle red = SolidBitmap(10, 10, 0xFFFF0000);
  ASSERT_TRUE(SetCellImage(window_, list_, 0, 1, red.Get()));
  ASSERT_TRUE(SetCellColours(window_, list_, 1, 2, 0xFFFFFF, 0x00C000));
  window_.ShowUiWindow(SW_SHOW, kShowUpdate);
  RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Drain();
  RECT image{};
  image.top = 1;
  image.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(List(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&image)));
  RECT green{};
  green.top = 2;
  green.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(List(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&green)));
  HDC dc = GetDC(List());
  COLORREF onImage = GetPixel(dc, image.left + 6, (image.top + image.bottom) / 2);
  COLORREF inCell = GetPixel(dc, green.right - 3, green.top + 2);
  COLORREF plainCell = GetPixel(dc, green.right - 3, green.top - 4);
  ReleaseDC(List(), dc);
  EXPECT_EQ(onImage, RGB(255, 0, 0));
  EXPECT_EQ(inCell, static_cast<COLORREF>(0x00C000));
  EXPECT_NE(plainCell, static_cast<COLORREF>(0x00C000));
}

// Wine 8 keeps no groups: group view cannot be switched on and items keep no group id. The
// rules that depend on groups are covered through the in-memory device list.
// The group-header click takes the list's procedure once, however often it is installed, passes
// every message it does not use on to the list, and gives the procedure back when the list goes.
TEST_F(UiListView, GroupHeaderClickHookChainsOnceAndLeavesWithTheList) {
  const auto own = GetWindowLongPtrW(List(), GWLP_WNDPROC);
  ASSERT_TRUE(InstallGroupHeaderClick(window_, list_));
  const auto hooked = GetWindowLongPtrW(List(), GWLP_WNDPROC);
  EXPECT_NE(hooked, own);
  ASSERT_TRUE(InstallGroupHeaderClick(window_, list_));
  EXPECT_EQ(GetWindowLongPtrW(List(), GWLP_WNDPROC), hooked) << "a second hook would call itself";
  Fill({u"One", u"Two", u"Three"});
  EXPECT_EQ(ItemCount(window_, list_), 3);
  EXPECT_EQ(Column(0), (std::vector<std::u16string>{u"One", u"Two", u"Three"}));

  // A list made after the first went takes the hook afresh, whether it gets the old handle or not.
  DestroyWindow(List());
  const int32_t other = AddListView(window_, u" Name", 0, 0, 200, 100, WS_VISIBLE | LVS_REPORT, 0);
  ASSERT_NE(other, 0);
  ASSERT_TRUE(InstallGroupHeaderClick(window_, other));
  EXPECT_EQ(GetWindowLongPtrW(window_.ControlHandle(other), GWLP_WNDPROC), hooked);
  AddListItem(window_, other, u"Four");
  EXPECT_EQ(ItemCount(window_, other), 1);
}

TEST_F(UiListView, GroupViewAsThisSystemAnswersIt) {
  Fill({u"a"});
  bool enabled = EnableGroupView(window_, list_, true);
  LRESULT on = SendMessageW(List(), LVM_ISGROUPVIEWENABLED, 0, 0);
  LVGROUP group{};
  group.cbSize = sizeof(group);
  group.mask = LVGF_GROUPID | LVGF_HEADER;
  group.iGroupId = 5;
  group.pszHeader = const_cast<wchar_t*>(L"Display adapters");
  LRESULT inserted = SendMessageW(List(), LVM_INSERTGROUP, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(&group));
  int item = AddListItem(window_, list_, u"grouped", -1, 5);
  if (on) {
    // A system with group view: the item carries its group.
    EXPECT_GE(inserted, 0);
    EXPECT_EQ(ItemGroupId(window_, list_, item), 5);
    EXPECT_EQ(SendMessageW(List(), LVM_GETGROUPCOUNT, 0, 0), 1);
  } else {
    // What Wine answers: the messages go through, but no group is kept.
    EXPECT_TRUE(enabled);
    EXPECT_EQ(inserted, 0);
    EXPECT_EQ(SendMessageW(List(), LVM_GETGROUPCOUNT, 0, 0), 0);
    EXPECT_NE(ItemGroupId(window_, list_, item), 5);
  }
  SelectItem(window_, list_, item);
  EXPECT_EQ(ItemGroupId(window_, list_, -1), ItemGroupId(window_, list_, item));
}

}  // namespace
}  // namespace pyr::testing
