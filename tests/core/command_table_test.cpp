#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "devices/list_presentation.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

std::string Utf8(const char16_t* s) { return s ? WideText(s).ToUtf8() : std::string("<separator>"); }

// The texts are the program's own words, byte for byte: a typo here reaches every user.
TEST(CommandTable, GroupButtonsInOrderWithTheirIcons) {
  struct Button {
    const char16_t* text;
    int icon;
    size_t items;
  };
  const Button expected[] = {
      {u"Rescan", 23, 3},    {u"View", 25, 5},    {u"Select...", kIconDrawnCheck, 10},
      {u"Uninstall", 28, 4}, {u"Install", 33, 10}, {u"Set state", 37, 4},
      {u"Get info", 38, 11}, {u"Backup", 41, 2},
  };
  const auto groups = CommandGroups();
  ASSERT_EQ(groups.size(), std::size(expected));
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(std::u16string(groups[i].button), expected[i].text) << i;
    EXPECT_EQ(groups[i].icon, expected[i].icon) << Utf8(expected[i].text);
    EXPECT_EQ(groups[i].items.size(), expected[i].items) << Utf8(expected[i].text);
  }
}

TEST(CommandTable, MenuTextsAndIconsExactlyInMenuOrder) {
  struct Item {
    const char16_t* text;  // null: separator
    int icon;
  };
  const std::vector<std::vector<Item>> expected = {
      {{u"Just refresh the list\tF5", 23},
       {u"Scan for hardware changes\tCtrl+F5", 22},
       {u"Scan and install missing devices\tAlt+F5", 24}},
      {{u"Show devices not present\tCtrl+S", kIconCheckMarks},
       {u"Group by device type\tCtrl+T", kIconCheckMarks},
       {nullptr, 0},
       {u"Expand all groups\tAlt+E", 26},
       {u"Collapse all groups\tAlt+C", 27}},
      {{u"Check all\tCtrl+A", 26},
       {u"Check none\tCtrl+N", 27},
       {nullptr, 0},
       {u"Check all in this group\tAlt+A", 26},
       {u"Check none in this group\tAlt+N", 27},
       {nullptr, 0},
       {u"Check all not present\tCtrl+P", 26},
       {u"Check all physical devices\tCtrl+L", 26},
       {u"Check all disabled\tCtrl+D", 26},
       {u"Check all with errors\tCtrl+W", 26}},
      {{u"Uninstall checked\tCtrl+X", 28},
       {u"Uninstall and delete drivers\tAlt+X", 29},
       {nullptr, 0},
       {u"Uninstall all devices not present\tAlt+P", 30}},
      {{u"Add a device\tAlt+I", 24},
       {u"Update checked devices\tCtrl+U", 33},
       {u"Change checked device drivers\tAlt+U", 32},
       {nullptr, 0},
       {u"Reinstall checked devices\tCtrl+R", 34},
       {nullptr, 0},
       {u"Install drivers from folder\tCtrl+I", 35},
       {u"Restore removed drivers...\tCtrl+Z", 35},
       {nullptr, 0},
       {u"Update drivers with Ovelant\tCtrl+M", 36}},
      {{u"Disable checked\tCtrl+Q", 27},
       {u"Enable checked\tAlt+Q", 26},
       {nullptr, 0},
       {u"Restart checked\tAlt+R", 23}},
      {{u"Google hardware ID\tCtrl+G", 39},
       {u"Google device name\tAlt+G", 39},
       {u"Google name and hardware ID\tCtrl+H", 39},
       {nullptr, 0},
       {u"Copy hardware ID\tCtrl+C", 40},
       {u"Copy device name\tAlt+D", 40},
       {nullptr, 0},
       {u"Device properties\tAlt+Enter", 32},
       {nullptr, 0},
       {u"Find a device\tCtrl+F", 42},
       {u"Find next\t\tF3", 42}},
      {{u"Backup checked\tCtrl+B", 41}, {u"Backup all\tAlt+B", 41}},
  };
  const auto groups = CommandGroups();
  ASSERT_EQ(groups.size(), expected.size());
  for (size_t g = 0; g < groups.size(); ++g) {
    ASSERT_EQ(groups[g].items.size(), expected[g].size()) << Utf8(groups[g].button);
    for (size_t i = 0; i < expected[g].size(); ++i) {
      const MenuItemSpec& item = groups[g].items[i];
      const Item& want = expected[g][i];
      if (want.text == nullptr) {
        EXPECT_EQ(item.text, nullptr) << Utf8(groups[g].button) << " item " << i;
        EXPECT_EQ(item.command, Command::kNone);
        continue;
      }
      ASSERT_NE(item.text, nullptr) << Utf8(want.text);
      EXPECT_EQ(std::u16string(item.text), want.text);
      EXPECT_EQ(item.icon, want.icon) << Utf8(want.text);
      EXPECT_NE(item.command, Command::kNone) << Utf8(want.text);
    }
  }
}

// Reads the key named after the last tab of a menu text ("Ctrl+F5", "Alt+Enter", "F3").
Accelerator AcceleratorOfHint(std::u16string text) {
  std::u16string hint = text.substr(text.rfind(u'\t') + 1);
  Accelerator a{kAccelVirtKey, 0};
  if (hint.rfind(u"Ctrl+", 0) == 0) {
    a.flags |= kAccelCtrl;
    hint.erase(0, 5);
  } else if (hint.rfind(u"Alt+", 0) == 0) {
    a.flags |= kAccelAlt;
    hint.erase(0, 4);
  }
  if (hint == u"Enter") {
    a.key = kKeyReturn;
  } else if (hint.size() == 2 && hint[0] == u'F') {
    a.key = static_cast<uint16_t>(0x70 + (hint[1] - u'1'));  // VK_F1 is 0x70
  } else if (hint.size() == 1) {
    a.key = hint[0];
  }
  return a;
}

TEST(CommandTable, ThirtyEightAcceleratorsInMenuOrderMatchingTheirHints) {
  const std::vector<AcceleratorEntry> accels = MainAccelerators();
  ASSERT_EQ(accels.size(), 38u);

  std::vector<const MenuItemSpec*> itemsWithHints;
  for (const GroupSpec& g : CommandGroups()) {
    for (const MenuItemSpec& item : g.items) {
      if (item.text != nullptr) itemsWithHints.push_back(&item);
    }
  }
  ASSERT_EQ(itemsWithHints.size(), accels.size());

  std::set<std::pair<int, int>> seen;
  for (size_t i = 0; i < accels.size(); ++i) {
    const MenuItemSpec& item = *itemsWithHints[i];
    EXPECT_EQ(accels[i].command, item.command) << Utf8(item.text);
    const Accelerator hinted = AcceleratorOfHint(item.text);
    EXPECT_EQ(accels[i].accelerator.flags, hinted.flags) << Utf8(item.text);
    EXPECT_EQ(accels[i].accelerator.key, hinted.key) << Utf8(item.text);
    EXPECT_TRUE(seen.insert({accels[i].accelerator.flags, accels[i].accelerator.key}).second)
        << "two commands share the keys of " << Utf8(item.text);
  }
}

// Which menu items the list's state enables or greys, by caption.
TEST(CommandTable, ItemsThatWaitForTheList) {
  const std::set<std::u16string> checked = {
      u"Uninstall checked", u"Uninstall and delete drivers", u"Update checked devices",
      u"Change checked device drivers", u"Reinstall checked devices", u"Disable checked",
      u"Enable checked", u"Restart checked", u"Backup checked"};
  const std::set<std::u16string> selected = {
      u"Check all in this group", u"Check none in this group", u"Google device name",
      u"Google hardware ID", u"Google name and hardware ID", u"Copy hardware ID",
      u"Copy device name", u"Device properties"};
  const std::set<std::u16string> grouped = {u"Expand all groups", u"Collapse all groups"};
  std::set<std::u16string> found[4];
  for (const GroupSpec& g : CommandGroups()) {
    for (const MenuItemSpec& item : g.items) {
      if (item.text == nullptr) continue;
      const std::u16string text(item.text);
      found[static_cast<int>(item.need)].insert(text.substr(0, text.find(u'\t')));
    }
  }
  EXPECT_EQ(found[static_cast<int>(CommandNeed::kCheckedRow)], checked);
  EXPECT_EQ(found[static_cast<int>(CommandNeed::kSelectedRow)], selected);
  EXPECT_EQ(found[static_cast<int>(CommandNeed::kGroups)], grouped);
}

TEST(CommandTable, EveryCommandHasOneMenuItem) {
  std::set<Command> commands;
  for (const GroupSpec& g : CommandGroups()) {
    for (const MenuItemSpec& item : g.items) {
      if (item.command == Command::kNone) continue;
      EXPECT_TRUE(commands.insert(item.command).second) << Utf8(item.text);
      EXPECT_EQ(FindMenuItem(item.command), &item);
    }
  }
  EXPECT_EQ(FindMenuItem(Command::kToggleDeviceState), nullptr);
  EXPECT_EQ(FindMenuItem(Command::kNone), nullptr);
}

TEST(ContextMenu, ItemsIconsAndTheCommandsTheyShare) {
  struct Item {
    const char16_t* text;
    int icon;
    Command command;
  };
  const Item expected[] = {
      {u"Update device driver", 33, Command::kUpdateDrivers},
      {u"Disable device", 27, Command::kToggleDeviceState},
      {u"Uninstall device", 28, Command::kUninstall},
      {u"Uninstall and delete driver", 29, Command::kUninstallAndDeleteDrivers},
      {u"Reinstall device", 34, Command::kReinstall},
      {u"Restart device", 23, Command::kRestart},
      {nullptr, 0, Command::kNone},
      {u"Scan for hardware changes", 22, Command::kScanHardware},
      {nullptr, 0, Command::kNone},
      {u"Device properties", 32, Command::kDeviceProperties},
      {u"Google name and hardware ID", 39, Command::kGoogleNameAndHardwareId},
  };
  const auto items = ContextMenuItems();
  ASSERT_EQ(items.size(), std::size(expected));
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].command, expected[i].command) << i;
    if (expected[i].text == nullptr) {
      EXPECT_EQ(items[i].text, nullptr) << i;
    } else {
      ASSERT_NE(items[i].text, nullptr) << i;
      EXPECT_EQ(std::u16string(items[i].text), expected[i].text);
      EXPECT_EQ(items[i].icon, expected[i].icon) << Utf8(expected[i].text);
    }
  }
}

TEST(ContextMenu, StateItemFollowsTheSelectedRowsStatus) {
  struct Case {
    bool selected;
    const char16_t* status;
    const char16_t* text;
    int icon;
    bool enables;
  };
  const Case cases[] = {
      {false, nullptr, u"Enable device", 26, true},
      {false, u"Working properly", u"Enable device", 26, true},
      {true, u"Disabled", u"Enable device", 26, true},
      {true, u"DISABLED", u"Enable device", 26, true},
      {true, u"Working properly", u"Disable device", 27, false},
      {true, u"Not present", u"Disable device", 27, false},
      {true, u"Disabled ", u"Disable device", 27, false},
      {true, u"", u"Disable device", 27, false},
  };
  for (const Case& c : cases) {
    const StateItemLook look = ContextStateItem(c.selected, c.status);
    const std::string label = Utf8(c.status) + (c.selected ? " selected" : " none");
    EXPECT_EQ(std::u16string(look.text), c.text) << label;
    EXPECT_EQ(look.icon, c.icon) << label;
    EXPECT_EQ(look.enables, c.enables) << label;
  }
}

}  // namespace
}  // namespace pyr
