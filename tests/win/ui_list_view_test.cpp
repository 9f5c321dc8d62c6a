// The list view wrapper on a real SysListView32; what the device list does through it is
// compared with the in-memory list elsewhere.

#include <string>
#include <vector>

#include "tests/win/ui_toolkit_fixture.h"

#include <commctrl.h>
#include "ui/win32/list_view.h"

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
  // The last event as code and extra.
  std::pair<int32_t, uint64_t> Event() {
    return {window_.OwnEvent().code, window_.OwnEvent().extra};
  }
  int32_t list_ = 0;
};

TEST_F(UiListView, DeletingItemsPostsOnceAndFreesTheirStyle) {
  Fill({u"x", u"y"});
  SetItemBackColour(window_, list_, 0, 0x808080);
  ASSERT_NE(ItemStyle(window_, list_, 0), nullptr);
  EXPECT_EQ(ItemStyle(window_, list_, 0)->item.textColour, 0xFFFFFFu);
  SetItemBackColour(window_, list_, 0, kDefaultColour);
  EXPECT_EQ(ItemStyle(window_, list_, 0)->item.backColour, 0x808080u) << "-1 keeps the background";
  DeleteAllItems(window_, list_);
  // One event for the whole list, not one per item.
  EXPECT_EQ(Event(), std::make_pair(ev::kItemDeleted, ev::kAllItems));
  EXPECT_EQ(ItemCount(window_, list_), 0);
}

// (Inserting unticked rows, before a row and past the end, is compared with the in-memory list.)
TEST_F(UiListView, CheckItemsComeWithTheirStyleAndCheckBoxInOneInsertion) {
  Fill({u"a", u"b"});
  ASSERT_EQ(AddCheckListItem(window_, list_, u"new", 0, -1, -1, 0, true), 0);
  EXPECT_EQ(ItemText(window_, list_, 0, 0).Str(), u"new");
  EXPECT_TRUE(IsItemChecked(window_, list_, 0));
  const ListItemStyle* style = ItemStyle(window_, list_, 0);
  ASSERT_NE(style, nullptr);
  // The user value goes into that record; no second one replaces it.
  ASSERT_TRUE(SetItemUserValue(window_, list_, 0, 0x1234567890ull));
  EXPECT_EQ(ItemStyle(window_, list_, 0), style);
  EXPECT_EQ(ItemUserValue(window_, list_, 0), 0x1234567890ull) << "all 64 bits kept";
}

// A tick is the second of two state images; ticks, unticks and selections post their events
// (which rows are ticked and selected is compared with the in-memory list).
TEST_F(UiListView, ChecksAndSelectionAreStateImagesAndPostEvents) {
  Fill({u"a", u"b", u"c", u"d"});
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(List(), LVSIL_STATE)), 2);
  DrainMessages();
  ASSERT_TRUE(SetItemChecked(window_, list_, 3, true));
  EXPECT_EQ(Event(), std::make_pair(ev::kItemChecked, uint64_t{3}));
  EXPECT_EQ(window_.OwnEvent().param, static_cast<uint32_t>(list_));
  SetItemChecked(window_, list_, 3, false);
  EXPECT_EQ(Event(), std::make_pair(ev::kItemUnchecked, uint64_t{3}));
  EXPECT_EQ(SelectedItem(window_, list_), -1);
  ASSERT_TRUE(SelectItem(window_, list_, 2));
  EXPECT_EQ(Event(), std::make_pair(ev::kItemSelected, uint64_t{2}));
}

// A row's colour is painted across it (the device list colours its rows by status).
TEST_F(UiListView, RowColoursArePainted) {
  Fill({u"a", u"b"});
  SetItemBackColour(window_, list_, 1, 0x00C000);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate);
  RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  DrainMessages();
  RECT green{};
  ASSERT_TRUE(ListView_GetSubItemRect(List(), 1, 2, LVIR_BOUNDS, &green));
  HDC dc = GetDC(List());
  EXPECT_EQ(GetPixel(dc, green.right - 3, green.top + 2), static_cast<COLORREF>(0x00C000));
  EXPECT_NE(GetPixel(dc, green.right - 3, green.top - 4), static_cast<COLORREF>(0x00C000));
  ReleaseDC(List(), dc);
}

}  // namespace
}  // namespace pyr::testing
