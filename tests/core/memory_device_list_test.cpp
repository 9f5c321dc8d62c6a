#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/list_presentation.h"
#include "devices/memory_device_list.h"

namespace pyr {
namespace {

std::vector<std::string> Texts(const MemoryDeviceList& list, int column = 0) {
  std::vector<std::string> out;
  for (int r = 0; r < list.RowCount(); ++r) out.push_back(list.CellText(r, column).ToUtf8());
  return out;
}

TEST(MemoryDeviceList, InsertionPositions) {
  MemoryDeviceList list;
  EXPECT_EQ(list.InsertRow(5, u"a", kNoImage, kNoGroup, 0), 0);  // past the end: appended
  EXPECT_EQ(list.InsertRow(-1, u"c", kNoImage, kNoGroup, 0), 1);
  EXPECT_EQ(list.InsertRow(1, u"b", kNoImage, kNoGroup, 0), 1);
  EXPECT_EQ(list.InsertRow(0, u"first", kNoImage, kNoGroup, 0), 0);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"first", "a", "b", "c"}));
  EXPECT_FALSE(list.RowChecked(2));
}

TEST(MemoryDeviceList, CellsOutsideTheListAreEmpty) {
  MemoryDeviceList list;
  list.InsertRow(0, u"a", kNoImage, kNoGroup, 0);
  list.SetCellText(0, 10, u"ignored");
  EXPECT_EQ(list.CellText(0, 10).ToUtf8(), "");
  EXPECT_EQ(list.CellText(1, 0).ToUtf8(), "");
  EXPECT_EQ(list.CellText(-1, 0).ToUtf8(), "");
  EXPECT_EQ(list.FindRowByUserValue(42), -1);
}

TEST(MemoryDeviceList, GroupIdentifiersAreShared) {
  MemoryDeviceList list;
  list.EnableGroupView(true);
  EXPECT_EQ(list.InsertGroup({u"Print queues", u"", 17, 17, kGroupCollapsed}), 0);
  EXPECT_EQ(list.InsertGroup({u"Printers", u"", 17, 17, 0}), -1);
  EXPECT_EQ(list.GroupCount(), 1);
  list.InsertRow(0, u"queue", 17, 17, 1);
  list.InsertRow(1, u"orphan", 3, 3, 1);
  EXPECT_TRUE(list.RowShown(0));
  EXPECT_FALSE(list.RowShown(1));  // its group was never inserted
  EXPECT_EQ(list.ShownGroupIds(), std::vector<int>{17});
  EXPECT_TRUE(list.SetGroupState(17, kGroupCollapsed, 0));
  EXPECT_FALSE(list.SetGroupState(3, kGroupCollapsed, 0));
  ListGroup g;
  ASSERT_TRUE(list.GroupAt(0, &g));
  EXPECT_EQ(g.header.ToUtf8(), "Print queues");
  EXPECT_EQ(g.state, 0u);
  EXPECT_FALSE(list.GroupAt(1, &g));
  list.EnableGroupView(false);
  EXPECT_TRUE(list.RowShown(1));
  EXPECT_TRUE(list.ShownGroupIds().empty());
}

TEST(MemoryDeviceList, GroupStateChangesOnlyTheMaskedBits) {
  MemoryDeviceList list;
  list.InsertGroup({u"g", u"", 1, 1, kGroupCollapsible | kGroupCollapsed});
  list.SetGroupState(1, kGroupCollapsed, 0);
  EXPECT_EQ(list.GroupById(1)->state, kGroupCollapsible);
  list.SetGroupState(1, kGroupCollapsed, kGroupCollapsed | 0x2);
  EXPECT_EQ(list.GroupById(1)->state, kGroupCollapsible | kGroupCollapsed);
}

TEST(MemoryDeviceList, HeadersAreReadUpTo1024Characters) {
  MemoryDeviceList list;
  list.InsertGroup({WideText(std::u16string(1500, u'h')), u"", 1, 1, 0});
  ListGroup g;
  ASSERT_TRUE(list.GroupAt(0, &g));
  EXPECT_EQ(g.header.Length(), 1024u);
}

TEST(MemoryDeviceList, SortingSetsOneArrowAndReturnsTheNextDirection) {
  MemoryDeviceList list;
  const char16_t* sizes[] = {u"1 MB", u"2 KB", u"900 KB"};
  for (const char16_t* s : sizes) {
    int row = list.InsertRow(-1, s, kNoImage, kNoGroup, 0);
    list.SetCellText(row, 2, s);
  }
  EXPECT_EQ(list.SortRows(2, kSortAscending), -1);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"2 KB", "900 KB", "1 MB"}));
  EXPECT_EQ(list.ColumnArrow(2), SortArrow::kUp);
  // Toggle on the column showing the up arrow: descending.
  EXPECT_EQ(list.SortRows(-1, kSortToggle), 1);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"1 MB", "900 KB", "2 KB"}));
  EXPECT_EQ(list.ColumnArrow(2), SortArrow::kDown);
  EXPECT_EQ(list.SortRows(-1, kSortKeepShown), 1);
  EXPECT_EQ(list.SortRows(-1, kSortReverseShown), -1);
  // Another column takes the arrow away.
  EXPECT_EQ(list.SortRows(0, kSortKeepShown), -1);
  EXPECT_EQ(list.ColumnArrow(2), SortArrow::kNone);
  EXPECT_EQ(list.SortArrowColumn(), 0);
}

TEST(MemoryDeviceList, RowStateTravelsWithTheRowWhenSorted) {
  MemoryDeviceList list;
  for (const char16_t* s : {u"c", u"a", u"b"}) list.InsertRow(-1, s, kNoImage, kNoGroup, 0);
  list.SetRowUserValue(0, 30);
  list.SetRowChecked(0, true);
  list.SelectRow(2);
  list.SetRowColour(1, 0x808080);
  list.SortRows(0, kSortAscending);
  EXPECT_EQ(list.FindRowByUserValue(30), 2);
  EXPECT_EQ(list.CheckedRows(), std::vector<int>{2});
  EXPECT_EQ(list.CellText(list.SelectedRow(), 0).ToUtf8(), "b");
  EXPECT_EQ(list.RowBackground(0), 0x808080u);
  EXPECT_EQ(list.RowTextColour(0), 0xFFFFFFu);
  EXPECT_EQ(list.RowTextColour(1), kDefaultColour);
}

TEST(MemoryDeviceList, ChecksAndSingleSelection) {
  MemoryDeviceList list;
  for (int i = 0; i < 4; ++i) list.InsertRow(-1, u"x", kNoImage, kNoGroup, 0);
  list.SetRowChecked(3, true);
  list.SetRowChecked(1, true);
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.SetAllChecked(true), 2);
  EXPECT_EQ(list.SetAllChecked(false), 4);
  EXPECT_TRUE(list.CheckedRows().empty());
  list.SelectRow(1);
  list.SelectRow(2);
  EXPECT_EQ(list.SelectedRow(), 2);
  list.SelectRow(9);
  EXPECT_EQ(list.SelectedRow(), 2);
  list.DeleteAllRows();
  EXPECT_EQ(list.SelectedRow(), -1);
}

// --- Presentation on the list ---

TEST(ExpandAllGroups, ExpandsAndCollapsesEveryGroup) {
  MemoryDeviceList list;
  list.InsertGroup({u"a", u"", 1, 1, kGroupCollapsible | kGroupCollapsed});
  list.InsertGroup({u"b", u"", 5, 5, kGroupCollapsible});
  ExpandAllGroups(list, true);
  EXPECT_EQ(list.GroupById(1)->state, kGroupCollapsible);
  EXPECT_EQ(list.GroupById(5)->state, kGroupCollapsible);
  ExpandAllGroups(list, false);
  EXPECT_EQ(list.GroupById(1)->state, kGroupCollapsible | kGroupCollapsed);
  EXPECT_EQ(list.GroupById(5)->state, kGroupCollapsible | kGroupCollapsed);
}

// What the list offers the commands after checks, a selection and a grouping mode.
TEST(UpdateCommandAvailability, FollowsChecksSelectionAndGrouping) {
  struct Case {
    bool check;
    bool select;
    uint32_t flags;
    CommandAvailability expected;
  };
  const Case cases[] = {
      {false, false, 0, {.anyChecked = false, .rowSelected = false, .grouped = true}},
      {true, false, kListFlat, {.anyChecked = true, .rowSelected = false, .grouped = false}},
      {false, true, kListShowNotPresent, {.anyChecked = false, .rowSelected = true, .grouped = true}},
      {true, true, kListFlat | kListShowNotPresent, {true, true, false}},
  };
  for (const Case& c : cases) {
    MemoryDeviceList list;
    list.InsertRow(-1, u"a", kNoImage, kNoGroup, 0);
    list.InsertRow(-1, u"b", kNoImage, kNoGroup, 0);
    list.SetRowChecked(1, c.check);
    if (c.select) list.SelectRow(0);
    EXPECT_EQ(UpdateCommandAvailability(list, c.flags), c.expected) << c.flags;
  }
}

TEST(UpdateCommandAvailability, EachNeedAsksItsOwnPart) {
  const CommandAvailability checkedOnly{.anyChecked = true};
  const CommandAvailability selectedOnly{.rowSelected = true};
  const CommandAvailability groupedOnly{.grouped = true};
  const CommandAvailability nothing{};
  struct Case {
    CommandNeed need;
    bool checked, selected, grouped, none;
  };
  const Case cases[] = {
      {CommandNeed::kNothing, true, true, true, true},
      {CommandNeed::kCheckedRow, true, false, false, false},
      {CommandNeed::kSelectedRow, false, true, false, false},
      {CommandNeed::kGroups, false, false, true, false},
  };
  for (const Case& c : cases) {
    const int need = static_cast<int>(c.need);
    EXPECT_EQ(checkedOnly.Allows(c.need), c.checked) << need;
    EXPECT_EQ(selectedOnly.Allows(c.need), c.selected) << need;
    EXPECT_EQ(groupedOnly.Allows(c.need), c.grouped) << need;
    EXPECT_EQ(nothing.Allows(c.need), c.none) << need;
  }
}

}  // namespace
}  // namespace pyr
