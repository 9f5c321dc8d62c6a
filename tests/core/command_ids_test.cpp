#include <gtest/gtest.h>

#include "app/command_ids.h"

namespace pyr {
namespace {

TEST(CommandIds, MenuAndContextItemsOfOneCommandStayApart) {
  CommandIds ids;
  ids.Add(14, Command::kUninstall, CommandSource::kMenu);
  ids.Add(60, Command::kUninstall, CommandSource::kContextMenu);
  ids.Add(0, Command::kRefresh, CommandSource::kMenu);     // a control that could not be made
  ids.Add(15, Command::kNone, CommandSource::kMenu);       // a separator
  EXPECT_EQ(ids.Count(), 2u);

  ASSERT_TRUE(ids.Find(60).has_value());
  EXPECT_EQ(ids.Find(60)->source, CommandSource::kContextMenu);
  EXPECT_EQ(ids.Find(14)->source, CommandSource::kMenu);
  EXPECT_FALSE(ids.Find(15).has_value());
  EXPECT_FALSE(ids.Find(0).has_value());
  EXPECT_FALSE(ids.Find(-6).has_value()) << "event codes are not commands";

  EXPECT_EQ(ids.IdOf(Command::kUninstall, CommandSource::kMenu), 14);
  EXPECT_EQ(ids.IdOf(Command::kUninstall, CommandSource::kContextMenu), 60);
  EXPECT_EQ(ids.IdOf(Command::kRefresh, CommandSource::kMenu), 0);
}

}  // namespace
}  // namespace pyr
