// The message box's buttons and answers, its size and button places, and the tip's rules.
#include <gtest/gtest.h>

#include <vector>

#include "ui/dialogs/message_rules.h"

namespace pyr {
namespace {

// How many buttons each kind has, and which one Esc or a close stands for: the last one, never
// the first of a question; the tip and unknown kinds have none. Each button's answer is checked
// on the box itself.
TEST(MessageKinds, ButtonCountsAndTheNegativeButton) {
  const struct {
    int32_t kind;
    size_t buttons;
    int32_t negative, negativeAnswer;
  } cases[] = {
      {kMessageOk, 1, 1, kAnswerYes}, {kMessageYesNo, 2, 2, kAnswerNo}, {kMessageYesNoCancel, 3, 3, kAnswerCancel},
      {kMessageTip, 0, 0, kAnswerNo}, {5, 0, 0, kAnswerNo},           {-1, 0, 0, kAnswerNo},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageButtons(c.kind).size(), c.buttons) << c.kind;
    EXPECT_EQ(NegativeButton(c.kind), c.negative) << c.kind;
    EXPECT_EQ(NegativeAnswer(c.kind), c.negativeAnswer) << c.kind;
  }
  EXPECT_TRUE(MessageButtonPlaces(kMessageTip, 450, 150).empty());
}

TEST(MessageBoxSize, NarrowRequestsBecome360) {
  for (const auto& [requested, width] :
       {std::pair{120, 360}, {159, 360}, {0, 360}, {160, 160}, {450, 450}}) {
    EXPECT_EQ(MessageBoxWidthFor(requested), width) << requested;
  }
}

TEST(MessageBoxSize, TallTextsGrowTheBoxWithinTheScreen) {
  struct Case {
    int32_t requested, text, limit, height;
  } const cases[] = {
      {150, 16, 1000, 150},   // one line: the standard box
      {150, 85, 1000, 150},   // exactly the text room
      {150, 86, 1000, 151},   // one pixel more grows it by one
      {150, 400, 1000, 465},  // many lines
      {150, 2000, 700, 700},  // no taller than the screen
      {150, 2000, 100, 150},  // a tiny screen never shrinks the box
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBoxHeightFor(c.requested, c.text, c.limit), c.height) << c.text;
}

TEST(MessageBoxSize, ButtonPlacesFollowTheKindWidthAndHeight) {
  struct Case {
    int32_t kind, width, height;
    std::vector<Point32> places;
  } const cases[] = {
      {kMessageOk, 450, 150, {{315, 115}}}, {kMessageYesNo, 450, 150, {{96, 115}, {272, 115}}},
      {kMessageOkCancel, 450, 150, {{96, 115}, {272, 115}}},
      {kMessageYesNoCancel, 450, 150, {{52, 115}, {184, 115}, {316, 115}}}, {kMessageOk, 360, 100, {{225, 65}}},
      {kMessageYesNo, 360, 150, {{66, 115}, {212, 115}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MessageButtonPlaces(c.kind, c.width, c.height), c.places) << c.kind;
}

TEST(TipText, TheFirstSeparatorSplitsTitleFromMessage) {
  const struct {
    const char16_t* text;
    const char16_t* message;
    const char16_t* title;
  } cases[] = {
      {u"Drivers saved.||Backup", u"Drivers saved.", u"Backup"},
      {u"Just a message | with a bar", u"Just a message | with a bar",
       u"Information"},  // no separator
      {u"a||b||c", u"a", u"b||c"}, {u"||Title only", u"", u"Title only"},
  };
  for (const auto& c : cases) {
    const TipText t = SplitTipText(c.text);
    EXPECT_EQ(t.message, c.message) << WideText(c.text).ToUtf8();
    EXPECT_EQ(t.title, c.title) << WideText(c.text).ToUtf8();
  }
}

TEST(TipText, LinesSplitAtCrLfOnly) {
  using Lines = std::vector<std::u16string_view>;
  EXPECT_EQ(MessageLines(u"one\r\ntwo\nstill two\r\n"), (Lines{u"one", u"two\nstill two", u""}));
  EXPECT_EQ(MessageLines(u"single"), Lines{u"single"});
}

// The widest and the tallest line decide, with minimums for short, low lines.
TEST(TipSize, FromTheLineExtents) {
  const struct {
    std::vector<TextExtent> lines;
    TipSize size;  // width, height, line height, lines
  } cases[] = {
      {{{40, 16}, {30, 16}, {20, 16}}, {75, 93, 16, 3}}, {{{120, 14}, {300, 18}}, {320, 2 * 18 + 45, 18, 2}},
      {{{10, 12}}, {75, 16 + 45, 16, 1}},
  };
  for (const auto& c : cases) {
    const TipSize t = TipSizeFor(c.lines);
    EXPECT_EQ(std::vector<int32_t>({t.width, t.height, t.lineHeight, t.lines}),
              std::vector<int32_t>({c.size.width, c.size.height, c.size.lineHeight, c.size.lines}))
        << c.lines.size();
  }
}

// Movement and sizing leave it open; clicks, keys, commands and closes dismiss it.
TEST(TipClosing, WhichEventsDismissIt) {
  for (int32_t code : {0, -1, -3, -4, -5, -9, -12, -15, -16, -17, -21, -23, -24, -26})
    EXPECT_TRUE(TipSurvivesEvent(code)) << code;
  for (int32_t code : {1, 42, -6, -7, -8, -10, -11, -13, -14, -18, -19, -20, -22, -25, -201, -300})
    EXPECT_FALSE(TipSurvivesEvent(code)) << code;
}

}  // namespace
}  // namespace pyr
