// The command table's rules: every shortcut matches the hint its menu item shows, one item per
// command, and the context menu's state item. The texts themselves are the table's own data.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

std::string Utf8(const char16_t* s) { return s ? WideText(s).ToUtf8() : std::string("<separator>"); }

// Reads the key named after the last tab of a menu text ("Ctrl+F5", "Alt+Enter", "F3").
Accelerator AcceleratorOfHint(std::u16string text) {
  std::u16string hint = text.substr(text.rfind(u'\t') + 1);
  Accelerator a{kAccelVirtKey, 0};
  for (const auto& [prefix, flag] : {std::pair{u"Ctrl+", kAccelCtrl}, {u"Alt+", kAccelAlt}}) {
    const std::u16string p(prefix);
    if (hint.rfind(p, 0) == 0) a.flags |= flag, hint.erase(0, p.size());
  }
  if (hint == u"Enter") a.key = kKeyReturn;
  else if (hint.size() == 2 && hint[0] == u'F') a.key = static_cast<uint16_t>(0x70 + (hint[1] - u'1'));  // VK_F1
  else if (hint.size() == 1) a.key = hint[0];
  return a;
}

TEST(CommandTable, ThirtyNineAcceleratorsInMenuOrderMatchingTheirHints) {
  const std::vector<AcceleratorEntry> accels = MainAccelerators();
  ASSERT_EQ(accels.size(), 39u);
  std::vector<const MenuItemSpec*> items;
  std::set<Command> commands;
  for (const GroupSpec& g : CommandGroups()) {
    for (const MenuItemSpec& item : g.items) {
      EXPECT_EQ(item.text == nullptr, item.command == Command::kNone) << Utf8(item.text);
      if (item.text == nullptr) continue;
      items.push_back(&item);
      // One menu item per command, and FindMenuItem finds it.
      EXPECT_TRUE(commands.insert(item.command).second) << Utf8(item.text);
      EXPECT_EQ(FindMenuItem(item.command), &item);
      // An item without a key hint has no accelerator either.
      if (std::u16string(item.text).find(u'\t') == std::u16string::npos) {
        EXPECT_EQ(item.accelerator.flags, 0) << Utf8(item.text);
        items.pop_back();
      }
    }
  }
  ASSERT_EQ(items.size(), accels.size());
  std::set<std::pair<int, int>> seen;
  for (size_t i = 0; i < accels.size(); ++i) {
    EXPECT_EQ(accels[i].command, items[i]->command) << Utf8(items[i]->text);
    const Accelerator hinted = AcceleratorOfHint(items[i]->text);
    EXPECT_EQ(accels[i].accelerator.flags, hinted.flags) << Utf8(items[i]->text);
    EXPECT_EQ(accels[i].accelerator.key, hinted.key) << Utf8(items[i]->text);
    EXPECT_TRUE(seen.insert({accels[i].accelerator.flags, accels[i].accelerator.key}).second)
        << "two commands share the keys of " << Utf8(items[i]->text);
  }
  EXPECT_EQ(FindMenuItem(Command::kToggleDeviceState), nullptr);
  EXPECT_EQ(FindMenuItem(Command::kNone), nullptr);
}

TEST(ContextMenu, StateItemFollowsTheSelectedRowsStatus) {
  const struct {
    bool selected;
    const char16_t* status;
    bool enables;  // "Enable device", icon 26; else "Disable device", icon 27
  } cases[] = {{false, nullptr, true}, {false, u"Working properly", true}, {true, u"Disabled", true},
               {true, u"Working properly", false}};
  for (const auto& c : cases) {
    const StateItemLook look = ContextStateItem(c.selected, c.status);
    const std::string label = Utf8(c.status) + (c.selected ? " selected" : " none");
    EXPECT_EQ(std::u16string(look.text), c.enables ? u"Enable device" : u"Disable device") << label;
    EXPECT_EQ(look.icon, c.enables ? 26 : 27) << label;
    EXPECT_EQ(look.enables, c.enables) << label;
  }
}

}  // namespace
}  // namespace pyr
