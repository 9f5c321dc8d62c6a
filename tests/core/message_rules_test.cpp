// The message box's buttons and answers, its size and button places, and the tip's rules.
#include <gtest/gtest.h>

#include <vector>

#include "ui/dialogs/message_rules.h"

namespace pyr {
namespace {

std::vector<std::u16string> Texts(int32_t kind) {
  std::vector<std::u16string> texts;
  for (const MessageButton& b : MessageButtons(kind)) texts.emplace_back(b.text);
  return texts;
}
std::vector<int32_t> Answers(int32_t kind) {
  std::vector<int32_t> answers;
  for (const MessageButton& b : MessageButtons(kind)) answers.push_back(b.answer);
  return answers;
}

TEST(MessageKinds, ButtonsAndAnswersLeftToRight) {
  EXPECT_EQ(Texts(kMessageOk), (std::vector<std::u16string>{u"OK"}));
  EXPECT_EQ(Answers(kMessageOk), (std::vector<int32_t>{1}));
  EXPECT_EQ(Texts(kMessageYesNo), (std::vector<std::u16string>{u"Yes", u"No"}));
  EXPECT_EQ(Answers(kMessageYesNo), (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(Texts(kMessageOkCancel), (std::vector<std::u16string>{u"OK", u"Cancel"}));
  EXPECT_EQ(Answers(kMessageOkCancel), (std::vector<int32_t>{1, -1}));
  EXPECT_EQ(Texts(kMessageYesNoCancel),
            (std::vector<std::u16string>{u"Yes", u"No", u"Cancel"}));
  EXPECT_EQ(Answers(kMessageYesNoCancel), (std::vector<int32_t>{1, 0, -1}));
}

TEST(MessageKinds, ACloseGivesTheNegativeButtonOfEveryKind) {
  const struct {
    int32_t kind;
    int32_t button;
    const char16_t* text;
    int32_t answer;
  } cases[] = {
      {kMessageOk, 1, u"OK", kAnswerYes},
      {kMessageYesNo, 2, u"No", kAnswerNo},
      {kMessageOkCancel, 2, u"Cancel", kAnswerCancel},
      {kMessageYesNoCancel, 3, u"Cancel", kAnswerCancel},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(NegativeButton(c.kind), c.button) << c.kind;
    EXPECT_EQ(Texts(c.kind)[static_cast<size_t>(c.button - 1)], c.text) << c.kind;
    EXPECT_EQ(NegativeAnswer(c.kind), c.answer) << c.kind;
  }
  EXPECT_EQ(NegativeButton(kMessageTip), 0);
  EXPECT_EQ(NegativeAnswer(kMessageTip), kAnswerNo);
}

TEST(MessageKinds, TipAndUnknownKindsHaveNoButtons) {
  EXPECT_TRUE(MessageButtons(kMessageTip).empty());
  EXPECT_TRUE(MessageButtons(5).empty());
  EXPECT_TRUE(MessageButtons(-1).empty());
  EXPECT_TRUE(MessageButtonPlaces(kMessageTip, 450, 150).empty());
}

TEST(MessageBoxSize, NarrowRequestsBecome360) {
  EXPECT_EQ(MessageBoxWidthFor(120), 360);
  EXPECT_EQ(MessageBoxWidthFor(159), 360);
  EXPECT_EQ(MessageBoxWidthFor(0), 360);
  EXPECT_EQ(MessageBoxWidthFor(160), 160);
  EXPECT_EQ(MessageBoxWidthFor(450), 450);
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
  for (const Case& c : cases) {
    EXPECT_EQ(MessageBoxHeightFor(c.requested, c.text, c.limit), c.height) << c.text;
  }
}

TEST(MessageBoxSize, ButtonPlacesInTheStandardBox) {
  struct Case { int32_t kind; std::vector<Point32> places; } const cases[] = {
      {kMessageOk, {{315, 115}}},
      {kMessageYesNo, {{96, 115}, {272, 115}}},
      {kMessageOkCancel, {{96, 115}, {272, 115}}},
      {kMessageYesNoCancel, {{52, 115}, {184, 115}, {316, 115}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageButtonPlaces(c.kind, 450, 150), c.places) << c.kind;
  }
}

TEST(MessageBoxSize, ButtonPlacesFollowTheWidthAndHeight) {
  EXPECT_EQ(MessageButtonPlaces(kMessageOk, 360, 100), (std::vector<Point32>{{225, 65}}));
  EXPECT_EQ(MessageButtonPlaces(kMessageYesNo, 360, 150),
            (std::vector<Point32>{{66, 115}, {212, 115}}));
}

TEST(TipText, TitleFollowsTheSeparator) {
  TipText t = SplitTipText(u"Drivers saved.||Backup");
  EXPECT_EQ(t.message, u"Drivers saved.");
  EXPECT_EQ(t.title, u"Backup");
}

TEST(TipText, NoSeparatorGivesInformation) {
  TipText t = SplitTipText(u"Just a message | with a bar");
  EXPECT_EQ(t.message, u"Just a message | with a bar");
  EXPECT_EQ(t.title, u"Information");
}

TEST(TipText, OnlyTheFirstSeparatorSplits) {
  TipText t = SplitTipText(u"a||b||c");
  EXPECT_EQ(t.message, u"a");
  EXPECT_EQ(t.title, u"b||c");
  TipText empty = SplitTipText(u"||Title only");
  EXPECT_EQ(empty.message, u"");
  EXPECT_EQ(empty.title, u"Title only");
}

TEST(TipText, LinesSplitAtCrLfOnly) {
  auto lines = MessageLines(u"one\r\ntwo\nstill two\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], u"one");
  EXPECT_EQ(lines[1], u"two\nstill two");
  EXPECT_EQ(lines[2], u"");
  EXPECT_EQ(MessageLines(u"single").size(), 1u);
}

TEST(TipSize, ThreeLinesOfSixteenPixelsAre93High) {
  const TextExtent lines[] = {{40, 16}, {30, 16}, {20, 16}};
  TipSize size = TipSizeFor(lines);
  EXPECT_EQ(size.height, 93);
  EXPECT_EQ(size.width, 75);
  EXPECT_EQ(size.lineHeight, 16);
  EXPECT_EQ(size.lines, 3);
}

TEST(TipSize, WidestAndTallestLineDecide) {
  const TextExtent lines[] = {{120, 14}, {300, 18}};
  TipSize size = TipSizeFor(lines);
  EXPECT_EQ(size.width, 320);
  EXPECT_EQ(size.lineHeight, 18);
  EXPECT_EQ(size.height, 2 * 18 + 45);
}

TEST(TipSize, ShortLowLinesTakeTheMinimums) {
  const TextExtent lines[] = {{10, 12}};
  TipSize size = TipSizeFor(lines);
  EXPECT_EQ(size.width, 75);
  EXPECT_EQ(size.height, 16 + 45);
}

TEST(TipClosing, MovementAndSizingLeaveItOpen) {
  for (int32_t code : {0, -1, -3, -4, -5, -9, -12, -15, -16, -17, -21, -23, -24, -26})
    EXPECT_TRUE(TipSurvivesEvent(code)) << code;
}

TEST(TipClosing, ClicksKeysCommandsAndClosesDismissIt) {
  for (int32_t code : {1, 42, -6, -7, -8, -10, -11, -13, -14, -18, -19, -20, -22, -25, -201, -300})
    EXPECT_FALSE(TipSurvivesEvent(code)) << code;
}

}  // namespace
}  // namespace pyr
