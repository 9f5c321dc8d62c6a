#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "devices/list_presentation.h"
#include "devices/memory_device_list.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

std::string Utf8(const char16_t* s) { return s ? WideText(s).ToUtf8() : std::string("<separator>"); }

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

TEST(CommandTable, ThirtySevenAcceleratorsInMenuOrderMatchingTheirHints) {
  const std::vector<AcceleratorEntry> accels = MainAccelerators();
  ASSERT_EQ(accels.size(), 37u);

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

// The list's state enables menu items by their text; every text it names must be an item here.
TEST(CommandTable, EveryItemTheListEnablesExists) {
  MemoryDeviceList list;
  const CommandAvailability availability = UpdateCommandAvailability(list, 0);
  ASSERT_FALSE(availability.empty());
  for (const CommandState& state : availability) {
    bool found = false;
    for (const GroupSpec& g : CommandGroups()) {
      for (const MenuItemSpec& item : g.items) {
        if (item.text == nullptr) continue;
        const std::u16string text(item.text);
        found = found || text.substr(0, text.find(u'\t')) == state.menuText;
      }
    }
    EXPECT_TRUE(found) << Utf8(state.menuText);
  }
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
