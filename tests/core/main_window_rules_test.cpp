#include <gtest/gtest.h>

#include "app/main_window_rules.h"

namespace pyr {
namespace {

constexpr int32_t kView = 12;
constexpr int32_t kRescan = 3;

TEST(GroupMenuToggle, TheClickThatClosesAMenuDoesNotReopenIt) {
  GroupMenuToggle toggle;
  // No menu closed yet: every click opens.
  EXPECT_TRUE(toggle.ShouldOpen(kView, 0));
  EXPECT_TRUE(toggle.ShouldOpen(kView, 10));
  toggle.MenuClosed(1100);                         // the click on the button ended the menu loop
  EXPECT_FALSE(toggle.ShouldOpen(kView, 1120));    // ... and arrives as a click right after
  EXPECT_EQ(toggle.LastButton(), 0);
  EXPECT_TRUE(toggle.ShouldOpen(kView, 1150)) << "the next click opens it again";
}

TEST(GroupMenuToggle, AfterTheDelayOrOnAnotherButtonTheMenuOpens) {
  struct Case {
    int32_t secondButton;
    int64_t secondClickMs;
    bool opens;
  };
  const Case cases[] = {
      {kView, 1100 + 249, false}, {kView, 1100 + 250, true}, {kView, 1100 + 5000, true}, {kRescan, 1100 + 10, true},
  };
  for (const Case& c : cases) {
    GroupMenuToggle toggle;
    ASSERT_TRUE(toggle.ShouldOpen(kView, 1000));
    toggle.MenuClosed(1100);
    EXPECT_EQ(toggle.ShouldOpen(c.secondButton, c.secondClickMs), c.opens)
        << c.secondButton << " at " << c.secondClickMs;
    if (c.opens) { EXPECT_EQ(toggle.LastButton(), c.secondButton); }
  }
}

// "Show devices not present" flips bit 0 only; "Group by device type" flips bit 1 (the flat list)
// and with it the group commands.
TEST(ViewToggles, EachFlipsItsBitOnly) {
  const struct {
    const char* name;
    ViewToggleResult (*toggle)(bool, uint32_t);
    bool checked;
    uint32_t before;
    ViewToggleResult after;  // checked, list flag, group commands enabled
  } cases[] = {
      {"not present on", ToggleShowNotPresent, false, 0x2, {true, 0x3, true}},
      {"not present off", ToggleShowNotPresent, true, 0x3, {false, 0x2, true}},
      {"flat", ToggleGroupByType, true, 0x1, {false, 0x3, false}},
      {"grouped", ToggleGroupByType, false, 0x3, {true, 0x1, true}},
  };
  for (const auto& c : cases) {
    const ViewToggleResult r = c.toggle(c.checked, c.before);
    EXPECT_EQ(r.checked, c.after.checked) << c.name;
    EXPECT_EQ(r.listFlag, c.after.listFlag) << c.name;
    if (c.toggle == ToggleGroupByType) { EXPECT_EQ(r.groupCommandsEnabled, c.after.groupCommandsEnabled) << c.name; }
  }
}

TEST(ViewToggles, ChecksForTheLoadedFlags) {
  struct Case {
    uint32_t listFlag;
    bool showNotPresent, groupByType;
  };
  const Case cases[] = {{0, false, true}, {1, true, true}, {2, false, false}, {3, true, false}, {0xFC, false, true}};
  for (const Case& c : cases) {
    const ViewChecks checks = ViewChecksFor(c.listFlag);
    EXPECT_EQ(checks.showNotPresent, c.showNotPresent) << c.listFlag;
    EXPECT_EQ(checks.groupByType, c.groupByType) << c.listFlag;
  }
}

TEST(StartupPrompts, FirstRunQuestionWithoutKeyAndTipUnlessSwitchedOff) {
  struct Case {
    bool keyOpened;
    uint32_t appFlag;
    bool ask, tip;
  };
  const Case cases[] = {
      {false, 0, true, true}, {true, 0, false, true}, {true, 1, false, false},
      {true, 0xFE, false, true}, {true, 0xFF, false, false},
  };
  for (const Case& c : cases) {
    const StartupPrompts p = StartupPromptsFor(c.keyOpened, c.appFlag);
    EXPECT_EQ(p.askFirstRunBackup, c.ask) << c.keyOpened << " " << c.appFlag;
    EXPECT_EQ(p.showStartupTip, c.tip) << c.keyOpened << " " << c.appFlag;
  }
}

TEST(StartupTipBox, OnlyBitZeroFollowsTheBox) {
  EXPECT_EQ(AppFlagAfterTipBox(false, 0x80), 0x81u);
  EXPECT_EQ(AppFlagAfterTipBox(true, 0x81), 0x80u);
  EXPECT_EQ(AppFlagAfterTipBox(true, 0x80), 0x80u);
}

}  // namespace
}  // namespace pyr
