#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/selection_commands.h"
#include "devices/device_dates.h"
#include "operations/uninstall_commands.h"
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

// The "not present for more than N days" rules and /remove-absent /older-than pick the same
// devices: strictly older than N whole days, never one without a date or dated after now.
TEST(CheckRules, AgeRulesAndRemovalByAgeAgree) {
  constexpr uint64_t kNow = 133500000000000000ULL, kSecond = 10000000ULL;
  const auto ghost = [](const char16_t* name, std::optional<uint64_t> removed, bool present = false) {
    SimulatedDevice d = MakeDevice(name, name, 0, present);
    d.lastRemovalDate = removed;
    return d;
  };
  SimulatedDevice port = ghost(u"Old port (COM7)", kNow - 400 * kFileTimeDay);
  port.className = u"Ports";
  SimulatedPc pc = SmallPc({ghost(u"Exactly 90", kNow - 90 * kFileTimeDay),
                            ghost(u"90 and a second", kNow - 90 * kFileTimeDay - kSecond),
                            ghost(u"Future", kNow + 2 * kFileTimeDay), ghost(u"No date", std::nullopt),
                            ghost(u"Back again", kNow - 500 * kFileTimeDay, true), port,
                            ghost(u"Thirty one", kNow - 31 * kFileTimeDay)});
  pc.comPortsInUse = {3, 7};
  const struct {
    uint32_t days;
    std::vector<std::u16string> picked;
  } cases[] = {
      {30, {u"90 and a second", u"Exactly 90", u"Old port (COM7)", u"Thirty one"}},
      {90, {u"90 and a second", u"Old port (COM7)"}},
      {365, {u"Old port (COM7)"}},
  };
  for (const auto& c : cases) {
    ScriptedHost ticked(pc);
    CheckNotPresentLongerThan(ticked, c.days, kNow);
    std::vector<std::u16string> names;
    for (int row : ticked.list.CheckedRows()) names.push_back(ticked.list.CellText(row, 0).Str());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.picked) << c.days;

    ScriptedHost listed(pc);
    EXPECT_EQ(UninstallAllNotPresent(listed, {u"", true, {}, c.days, kNow}), std::ssize(c.picked));
    names.clear();
    for (const std::u16string& line : listed.resultLines) names.push_back(line.substr(0, line.find(u" would")));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.picked) << c.days;
  }
  // The question names the count, the date range and the COM numbers; the Ports class installer
  // frees the number of the port it removes, and only that one.
  ScriptedHost removal(pc);
  EXPECT_EQ(UninstallAllNotPresent(removal, {u"", false, {u"net"}, 30, kNow}), 1);
  EXPECT_EQ(removal.asked.front(), Concat({u"Are you sure you want to uninstall all devices not present?\n\n1 device, "
                                           u"last connected between ", DeviceDateText(kNow - 400 * kFileTimeDay),
                                           u" and ", DeviceDateText(kNow - 400 * kFileTimeDay),
                                           u".\nThey hold COM7: uninstalling them frees these numbers."}).Str());
  EXPECT_EQ(removal.platform.Pc().comPortsInUse, (std::set<uint32_t>{3}));
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
