#include <gtest/gtest.h>

#include "app/selection_commands.h"
#include "support/scripted_host.h"

namespace pyr {
namespace {

using testing::MakeDevice;
using testing::ScriptedHost;
using testing::SmallPc;

// Rows: 0 working, 1 disabled, 2 not present, 3 failed to start, 4 physical and working.
SimulatedPc MixedPc() {
  return SmallPc({MakeDevice(u"A", u"Realtek Audio"), MakeDevice(u"B", u"Old modem", 22),
                  MakeDevice(u"C", u"USB stick", 0, false), MakeDevice(u"D", u"Webcam", 10),
                  MakeDevice(u"E", u"REALTEK PCIe GbE", 0, true, true)});
}

TEST(CheckRules, StatusRulesOnlyAddTicks) {
  const struct {
    CheckRule rule;
    std::vector<int> checked;
  } cases[] = {
      {CheckRule::kDisabled, {0, 1}}, {CheckRule::kNotPresent, {0, 2}}, {CheckRule::kWithErrors, {0, 3}},
  };
  for (const auto& c : cases) {
    ScriptedHost host(MixedPc());
    host.list.SetRowChecked(0, true);  // a tick of the user's stays
    CheckRowsByStatus(host.list, c.rule);
    EXPECT_EQ(host.list.CheckedRows(), c.checked) << static_cast<int>(c.rule);
  }
}

TEST(CheckRules, PhysicalDevicesAreThoseWithLocationPaths) {
  ScriptedHost host(MixedPc());
  CheckPhysicalDevices(host);
  EXPECT_EQ(host.list.CheckedRows(), (std::vector<int>{4}));
}

TEST(CheckRules, GroupRulesNeedAGroupedListAndASelection) {
  ScriptedHost host(MixedPc());
  // Two groups: rows 0-2 in group 5 (as built), rows 3-4 moved to group 9.
  MemoryDeviceList& list = host.list;
  list.DeleteAllRows();
  for (int i = 0; i < 5; ++i) {
    int row = list.InsertRow(-1, u"x", 0, i < 3 ? 5 : 9, 1);
    StoreDeviceIndex(list, row, i);
  }
  CheckRowsInSelectedGroup(host, true);
  EXPECT_EQ(host.asked.back(), u"Please select one item before using this feature. To select an item, click one row");
  list.SelectRow(0);
  CheckRowsInSelectedGroup(host, true);
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{0, 1, 2}));
  list.SelectRow(4);
  CheckRowsInSelectedGroup(host, true);
  EXPECT_EQ(list.CheckedRows().size(), 5u);
  CheckRowsInSelectedGroup(host, false);
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{0, 1, 2}));

  host.grouped = false;  // flat: nothing at all, not even a message
  host.asked.clear();
  list.SelectRow(-1);
  CheckRowsInSelectedGroup(host, false);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(list.CheckedRows().size(), 3u);
}

TEST(FindNext, SubstringWithCaseIgnoredWithoutWrapping) {
  ScriptedHost host(MixedPc());
  EXPECT_EQ(FindNextRow(host.list, u"realtek", -1), 0);
  EXPECT_EQ(FindNextRow(host.list, u"realtek", 0), 4);
  EXPECT_EQ(FindNextRow(host.list, u"realtek", 4), -1);  // the end: no wrap
  EXPECT_EQ(FindNextRow(host.list, u"Disabled", -1), -1);    // only names are searched
  EXPECT_EQ(FindNextRow(host.list, u"", -1), -1);
}

TEST(FindNext, RevealingARowExpandsItsGroupAndSelectsIt) {
  ScriptedHost host(MixedPc());
  host.list.InsertGroup(ListGroup{u"Network adapters", u"", 5, kNoImage, kGroupCollapsible | kGroupCollapsed});
  RevealRow(host.list, 3);
  ListGroup after;
  ASSERT_TRUE(host.list.GroupAt(0, &after));
  EXPECT_EQ(after.state & kGroupCollapsed, 0u);
  EXPECT_EQ(host.list.SelectedRow(), 3);
  EXPECT_EQ(host.list.ScrolledToRow(), 3);
}

TEST(WebSearch, EverythingOutsideTheUnreservedSetIsEscaped) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"a++ & word?", u"a%2B%2B+%26+word%3F"}, {u"100% sure", u"100%25+sure"}, {u"tab\there", u"tab+here"},
      {u"PCI\\VEN_8086&DEV_15B8", u"PCI%5CVEN_8086%26DEV_15B8"}, {u"caf\u00e9 #1", u"caf%C3%A9+%231"},
      {u"line\r\nbreak=x;y/z", u"line%0D%0Abreak%3Dx%3By%2Fz"}, {u"keep-._~Az09", u"keep-._~Az09"}, {u"", u""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(EscapeSearchText(in), out) << WideText(in).ToUtf8();
}

TEST(WebSearch, NameAndHardwareIdJoinedByABlank) {
  ScriptedHost host(MixedPc());
  WideText text = SearchTextOfRow(host.list, 3, SearchKind::kNameAndHardwareId);
  EXPECT_EQ(text, u"Webcam HW\\Webcam");
  WideText url = SearchUrl(text);
  EXPECT_EQ(url.Find(u"/search?q=Webcam+HW%5CWebcam"), static_cast<int>(url.Length()) - 27);
  EXPECT_EQ(url.Find(u"https://"), 1);
}

}  // namespace
}  // namespace pyr
