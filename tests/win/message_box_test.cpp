// The message box and the message tip on real windows: answers of every kind, sizes, button
// places, the tip's title and size, and what closes a tip.
#include "tests/win/win_test_support.h"

#include <string>

#include "base/win32/wchar.h"
#include "ui/dialogs/win32/message_box_window.h"

namespace pyr {
namespace {

class MessageBoxes : public GdiplusSuite {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main_.CreateUiWindow(u"PyravelTestMain", u"Main", 600, 400, 40, 40,
                                     WS_OVERLAPPEDWINDOW, 0, nullptr));
    main_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
    box_.SetEventSink(main_.EventSink());
    DrainMessages();
  }
  void TearDown() override {
    box_.CloseMessageBox();
    main_.DestroyUiWindow();
    DrainMessages();
  }

  HWND Button(int index) { return box_.Window().ControlHandle(box_.ButtonId(index)); }

  // Asks, and on the first pump step presses button `index` of the box.
  int32_t AskAndPress(int32_t kind, int index) {
    bool pressed = false;
    return AskUser(box_, main_, u"Question?", kind, [&] {
      if (!pressed) {
        pressed = true;
        PostMessageW(Button(index), BM_CLICK, 0, 0);
      }
      NextEvent(*main_.EventSink(), EventMode::kWait);
    });
  }

  UiWindow main_;
  MessageBoxWindow box_;
};

TEST_F(MessageBoxes, EveryButtonOfEveryKindGivesItsAnswer) {
  struct Case { int32_t kind; int button; int32_t answer; } const cases[] = {
      {kMessageOk, 1, 1},          {kMessageYesNo, 1, 1},       {kMessageYesNo, 2, 0},
      {kMessageOkCancel, 1, 1},    {kMessageOkCancel, 2, -1},   {kMessageYesNoCancel, 1, 1},
      {kMessageYesNoCancel, 2, 0}, {kMessageYesNoCancel, 3, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AskAndPress(c.kind, c.button), c.answer) << c.kind << " button " << c.button;
    EXPECT_EQ(box_.Kind(), -1);
    EXPECT_FALSE(FindWindowW(L"_WINDOW_MsgBoxClass", nullptr));
  }
}

TEST_F(MessageBoxes, EnterPressesTheFirstButton) {
  bool pressed = false;
  int32_t answer = AskUser(box_, main_, u"Sure?", kMessageYesNo, [&] {
    if (!pressed) {
      pressed = true;
      HWND focus = GetFocus();
      PostMessageW(focus ? focus : Button(1), WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(focus ? focus : Button(1), WM_KEYUP, VK_RETURN, 0xC0000000);
    }
    NextEvent(*main_.EventSink(), EventMode::kWait);
  });
  EXPECT_EQ(answer, 1);
}

// Esc, Alt+F4, a close of the box and a close of the main window give the box's negative
// answer in every kind: OK of an OK box, No of Yes/No, Cancel otherwise; never Yes.
TEST_F(MessageBoxes, EscAndEveryCloseGiveTheNegativeAnswer) {
  enum class Way { kEsc, kAltF4, kCloseBox, kCloseMain };
  const struct {
    Way way;
    const char* name;
  } ways[] = {{Way::kEsc, "Esc"},
              {Way::kAltF4, "Alt+F4"},
              {Way::kCloseBox, "WM_CLOSE to the box"},
              {Way::kCloseMain, "WM_CLOSE to the main window"}};
  const struct {
    int32_t kind;
    int32_t answer;
  } kinds[] = {{kMessageOk, kAnswerYes},
               {kMessageYesNo, kAnswerNo},
               {kMessageOkCancel, kAnswerCancel},
               {kMessageYesNoCancel, kAnswerCancel}};
  for (const auto& w : ways) {
    for (const auto& k : kinds) {
      bool sent = false;
      const int32_t answer = AskUser(box_, main_, u"Question?", k.kind, [&] {
        if (!sent) {
          sent = true;
          HWND box = box_.Window().Handle();
          switch (w.way) {
            case Way::kEsc: {
              HWND focus = GetFocus();
              PostMessageW(focus ? focus : Button(1), WM_KEYDOWN, VK_ESCAPE, 0);
              break;
            }
            case Way::kAltF4:
              // What the system makes of Alt+F4 on the focused window.
              PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
              break;
            case Way::kCloseBox: PostMessageW(box, WM_CLOSE, 0, 0); break;
            case Way::kCloseMain: PostMessageW(main_.Handle(), WM_CLOSE, 0, 0); break;
          }
        }
        NextEvent(*main_.EventSink(), EventMode::kWait);
      });
      EXPECT_EQ(answer, k.answer) << w.name << ", kind " << k.kind;
      EXPECT_EQ(box_.Kind(), -1);
      EXPECT_TRUE(IsWindow(main_.Handle())) << "the close is the program's to carry out";
      // Only the main window's close is left for the program's loop to see.
      EXPECT_EQ(main_.EventSink()->code == ev::kClose, w.way == Way::kCloseMain) << w.name;
      DrainMessages();
    }
  }
}

TEST_F(MessageBoxes, ClicksOnOtherWindowsAreIgnored) {
  int32_t other = main_.AddButton(u"Other", 10, 10, 80, 25);
  ASSERT_GT(other, 0);
  int step = 0;
  int32_t answer = AskUser(box_, main_, u"Question?", kMessageOkCancel, [&] {
    ++step;
    if (step == 1) PostMessageW(main_.ControlHandle(other), BM_CLICK, 0, 0);
    if (step == 3) PostMessageW(Button(2), BM_CLICK, 0, 0);
    NextEvent(*main_.EventSink(), EventMode::kWait);
  });
  EXPECT_EQ(answer, -1);
  EXPECT_GE(step, 3);
}

TEST_F(MessageBoxes, AskingRestoresAMinimizedMainWindow) {
  ShowWindow(main_.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(main_.Handle()));
  EXPECT_EQ(AskAndPress(kMessageOk, 1), 1);
  EXPECT_FALSE(IsIconic(main_.Handle()));
}

// A tip answers Yes at once and stays open; without a visible owner none is shown.
TEST_F(MessageBoxes, TipAnswersYesAtOnceAndNeedsAVisibleOwner) {
  EXPECT_EQ(AskUser(box_, main_, u"Done.", kMessageTip), 1);
  EXPECT_EQ(box_.Kind(), kMessageTip);
  EXPECT_TRUE(IsWindowVisible(box_.Window().Handle()));
  box_.CloseMessageBox();
  ShowWindow(main_.Handle(), SW_HIDE);
  EXPECT_EQ(AskUser(box_, main_, u"Nobody sees this", kMessageTip), 1);
  EXPECT_EQ(box_.Kind(), -1);
  EXPECT_FALSE(FindWindowW(L"_WndMsgTipClass", nullptr));
  box_.ShowMessageBox(nullptr, u"Nor this", kMessageTip, 150, 450);
  EXPECT_EQ(box_.Kind(), -1);
}

// The size and place rules are checked on their own; here, that the window follows them.
TEST_F(MessageBoxes, BoxTakesItsWidenedSizeTextAndButtonPlaces) {
  box_.ShowMessageBox(&main_, u"Text", kMessageOk, 150, 120);
  const Box narrow = BoxOf(WindowRectOf(box_.Window().Handle()));
  EXPECT_EQ(narrow.width, 360);
  EXPECT_EQ(narrow.height, 150);

  box_.ShowMessageBox(&main_, u"First line\r\nSecond line", kMessageYesNoCancel, 150, 450);
  HWND text = box_.Window().ControlHandle(box_.TextControlId());
  EXPECT_EQ(TextOf(text), L"First line\r\nSecond line") << "shown unchanged";
  EXPECT_EQ(PlaceInParent(text).width, 410);
  EXPECT_EQ(PlaceInParent(text).height, 85);
  const int xs[] = {52, 184, 316};
  const wchar_t* texts[] = {L"Yes", L"No", L"Cancel"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(Button(i + 1)) << i;
    EXPECT_EQ(PlaceInParent(Button(i + 1)), (Box{xs[i], 115, 80, 25})) << i;
    EXPECT_EQ(TextOf(Button(i + 1)), texts[i]);
  }
  EXPECT_EQ(box_.ButtonId(4), -1);
  EXPECT_EQ(box_.ButtonId(0), -1);
  EXPECT_TRUE(GetWindowLongPtrW(Button(1), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

TEST_F(MessageBoxes, ClosingKeepsTheEventRecord) {
  box_.ShowMessageBox(&main_, u"Text", kMessageYesNo, 150, 450);
  UiEvent& record = *main_.EventSink();
  record.code = 4242;
  record.param = 7;
  record.quit = 0;
  box_.CloseMessageBox();
  EXPECT_EQ(record.code, 4242);
  EXPECT_EQ(record.param, 7u);
  EXPECT_EQ(box_.Kind(), -1);
}

TEST_F(MessageBoxes, OpeningABoxClosesTheTip) {
  box_.ShowMessageBox(&main_, u"Tip", kMessageTip, 150, 450);
  HWND tip = box_.Window().Handle();
  ASSERT_TRUE(tip);
  box_.ShowMessageBox(&main_, u"Box", kMessageOk, 150, 450);
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(box_.Kind(), kMessageOk);
}

// ---------------------------------------------------------------- tips

// Any click on the tip, or its activation, closes it; other messages leave it open.
TEST_F(MessageBoxes, AClickOrActivationClosesTheTip) {
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_NCLBUTTONDOWN, WM_ACTIVATE}) {
    box_.ShowMessageBox(&main_, u"Tip", kMessageTip, 150, 450);
    HWND tip = box_.Window().Handle();
    ASSERT_TRUE(tip) << message;
    SendMessageW(tip, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(IsWindow(tip)) << message;
    SendMessageW(tip, message, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsWindow(tip)) << message;
    EXPECT_EQ(box_.Kind(), -1) << message;
  }
}

// The tip's title comes after "||" (or is "Information"); its size follows its lines, with a
// minimum width, and it sits at the main window's top left.
TEST_F(MessageBoxes, TipTitleSizeAndPlace) {
  box_.ShowMessageBox(&main_, u"Drivers saved.||Backup", kMessageTip, 150, 450);
  HWND tip = box_.Window().Handle();
  ASSERT_TRUE(tip);
  wchar_t cls[64] = {};
  GetClassNameW(tip, cls, 64);
  EXPECT_STREQ(cls, L"_WndMsgTipClass");
  EXPECT_EQ(TextOf(tip), L"Backup");
  EXPECT_EQ(TextOf(box_.Window().ControlHandle(box_.TextControlId())), L"Drivers saved.");
  const RECT owner = WindowRectOf(main_.Handle());
  EXPECT_EQ(WindowRectOf(tip).left, owner.left + 24);
  EXPECT_EQ(WindowRectOf(tip).top, owner.top + 16);

  box_.ShowMessageBox(&main_, u"a\r\nb\r\nc", kMessageTip, 150, 450);
  EXPECT_EQ(TextOf(box_.Window().Handle()), L"Information");
  const Box three = BoxOf(WindowRectOf(box_.Window().Handle()));
  const int lineHeight = (three.height - 45) / 3;
  EXPECT_EQ((three.height - 45) % 3, 0);
  EXPECT_GE(lineHeight, 16);
  EXPECT_EQ(three.width, 75);  // three one-letter lines: the minimum width
  const Box text = BoxOf(WindowRectOf(box_.Window().ControlHandle(box_.TextControlId())));
  EXPECT_EQ(text.height, 3 * lineHeight);
  EXPECT_EQ(text.width, 55);

  box_.ShowMessageBox(&main_, u"A much longer line of text than the minimum allows", kMessageTip,
                      150, 450);
  const Box wide = BoxOf(WindowRectOf(box_.Window().Handle()));
  EXPECT_GT(wide.width, 150);
  EXPECT_GE(wide.height, 16 + 45);
}

TEST_F(MessageBoxes, MouseMovementLeavesTheTipOpenAndAClickClosesIt) {
  box_.ShowMessageBox(&main_, u"Hello", kMessageTip, 150, 450);
  ASSERT_EQ(box_.Kind(), kMessageTip);
  UiEvent& record = *main_.EventSink();

  PostMessageW(main_.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  bool moved = false;
  for (int i = 0; i < 50 && !moved; ++i) {
    NextEvent(record, EventMode::kPeekCode);
    moved = record.code == ev::kMouseMove;
    CloseTipOnEvent(box_, record);
  }
  EXPECT_TRUE(moved);
  EXPECT_EQ(box_.Kind(), kMessageTip);

  PostMessageW(main_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  int32_t seen = 0;
  for (int i = 0; i < 50 && seen != ev::kLeftDown; ++i) {
    NextEvent(record, EventMode::kPeekCode);
    seen = record.code;
    CloseTipOnEvent(box_, record);
  }
  EXPECT_EQ(seen, ev::kLeftDown);
  EXPECT_EQ(record.code, ev::kLeftDown);  // the click is still delivered
  EXPECT_EQ(box_.Kind(), -1);
  EXPECT_FALSE(FindWindowW(L"_WndMsgTipClass", nullptr));
}

TEST_F(MessageBoxes, ClickOnTheTipItselfClosesIt) {
  box_.ShowMessageBox(&main_, u"Hello", kMessageTip, 150, 450);
  HWND tip = box_.Window().Handle();
  ASSERT_TRUE(tip);
  SendMessageW(tip, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(box_.Kind(), kMessageTip);
  SendMessageW(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(box_.Kind(), -1);
  EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
}  // namespace pyr
