// What the list presentation makes of the list: groups, and which commands the list allows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/list_presentation.h"
#include "devices/memory_device_list.h"

namespace pyr {
namespace {

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

// --- Presentation on the list ---

TEST(ExpandAllGroups, ExpandsAndCollapsesEveryGroup) {
  MemoryDeviceList list;
  list.InsertGroup({u"a", u"", 1, 1, kGroupCollapsible | kGroupCollapsed});
  list.InsertGroup({u"b", u"", 5, 5, kGroupCollapsible});
  for (bool expand : {true, false}) {
    ExpandAllGroups(list, expand);
    for (int id : {1, 5}) EXPECT_EQ(list.GroupById(id)->state, kGroupCollapsible | (expand ? 0 : kGroupCollapsed));
  }
}

// What the list offers the commands after checks, a selection and a grouping mode.
TEST(UpdateCommandAvailability, FollowsChecksSelectionAndGrouping) {
  struct Case {
    bool check, select;
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
      {CommandNeed::kNothing, true, true, true, true}, {CommandNeed::kCheckedRow, true, false, false, false},
      {CommandNeed::kSelectedRow, false, true, false, false}, {CommandNeed::kGroups, false, false, true, false},
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
