// The message box and the message tip on real windows: answers of every kind, sizes, button
// places, the tip's title and size, and what closes a tip.
#include "tests/win/ui_toolkit_fixture.h"

#include <functional>
#include <string>

#include "base/win32/wchar.h"
#include "ui/dialogs/win32/message_box_window.h"

namespace pyr {
namespace {

// The toolkit's window stands for the program's main window.
class MessageBoxes : public testing::ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
    box_.SetEventSink(window_.EventSink());
    DrainMessages();
  }
  void TearDown() override {
    box_.CloseMessageBox();
    ToolkitWindow::TearDown();
  }

  HWND Button(int index) { return box_.Window().ControlHandle(box_.ButtonId(index)); }
  HWND Focused() { return GetFocus() ? GetFocus() : Button(1); }
  // Asks, does `act` on the first step of the box's loop, and returns the answer.
  int32_t AskAndDo(int32_t kind, const std::function<void()>& act) {
    bool done = false;
    return AskUser(box_, window_, u"Question?", kind, [&] {
      if (!done) act();
      done = true;
      NextEvent(*window_.EventSink(), EventMode::kWait);
    });
  }
  Box Place(int32_t id) { return PlaceInParent(box_.Window().ControlHandle(id)); }

  MessageBoxWindow box_;
};

TEST_F(MessageBoxes, EveryButtonOfEveryKindGivesItsAnswerAndEnterTheFirst) {
  const struct {
    int32_t kind;
    int button;  // 0: Enter
    int32_t answer;
  } cases[] = {
      {kMessageOk, 1, 1},          {kMessageYesNo, 1, 1},        {kMessageYesNo, 2, 0},
      {kMessageOkCancel, 1, 1},    {kMessageOkCancel, 2, -1},    {kMessageYesNoCancel, 1, 1},
      {kMessageYesNoCancel, 2, 0}, {kMessageYesNoCancel, 3, -1}, {kMessageYesNo, 0, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AskAndDo(c.kind,
                       [&] {
                         if (c.button > 0) {
                           PostMessageW(Button(c.button), BM_CLICK, 0, 0);
                         } else {
                           PostMessageW(Focused(), WM_KEYDOWN, VK_RETURN, 0);
                           PostMessageW(Focused(), WM_KEYUP, VK_RETURN, 0xC0000000);
                         }
                       }),
              c.answer)
        << c.kind << " button " << c.button;
    EXPECT_EQ(box_.Kind(), -1);
    EXPECT_FALSE(FindWindowW(L"_WINDOW_MsgBoxClass", nullptr));
  }
}

// Esc, Alt+F4, a close of the box and a close of the main window give the box's negative
// answer in every kind: OK of an OK box, No of Yes/No, Cancel otherwise; never Yes.
TEST_F(MessageBoxes, EscAndEveryCloseGiveTheNegativeAnswer) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Esc", [this] { PostMessageW(Focused(), WM_KEYDOWN, VK_ESCAPE, 0); }},
      // What the system makes of Alt+F4 on the focused window.
      {"Alt+F4", [this] { PostMessageW(box_.Window().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"WM_CLOSE to the box", [this] { PostMessageW(box_.Window().Handle(), WM_CLOSE, 0, 0); }},
      {"WM_CLOSE to the main window", [this] { PostMessageW(window_.Handle(), WM_CLOSE, 0, 0); }},
  };
  const std::pair<int32_t, int32_t> kinds[] = {{kMessageOk, kAnswerYes},
                                               {kMessageYesNo, kAnswerNo},
                                               {kMessageOkCancel, kAnswerCancel},
                                               {kMessageYesNoCancel, kAnswerCancel}};
  for (const auto& [name, way] : ways) {
    for (const auto& [kind, answer] : kinds) {
      EXPECT_EQ(AskAndDo(kind, way), answer) << name << ", kind " << kind;
      EXPECT_EQ(box_.Kind(), -1);
      EXPECT_TRUE(IsWindow(window_.Handle())) << "the close is the program's to carry out";
      // Only the main window's close is left for the program's loop to see.
      EXPECT_EQ(window_.EventSink()->code == ev::kClose, name == ways[3].first) << name;
      DrainMessages();
    }
  }
}

// Clicks on other windows are ignored while a box waits; asking restores a minimized main window.
TEST_F(MessageBoxes, OtherWindowsWaitAndAMinimizedMainWindowComesBack) {
  const int32_t other = window_.AddButton(u"Other", 10, 10, 80, 25);
  ShowWindow(window_.Handle(), SW_MINIMIZE);
  int step = 0;
  const int32_t answer = AskUser(box_, window_, u"Question?", kMessageOkCancel, [&] {
    ++step;
    if (step == 1) PostMessageW(window_.ControlHandle(other), BM_CLICK, 0, 0);
    if (step == 3) PostMessageW(Button(2), BM_CLICK, 0, 0);
    NextEvent(*window_.EventSink(), EventMode::kWait);
  });
  EXPECT_EQ(answer, -1);
  EXPECT_GE(step, 3);
  EXPECT_FALSE(IsIconic(window_.Handle()));
}

// The size and place rules are checked on their own; here, that the window follows them, and
// that closing it leaves the event record as it was.
TEST_F(MessageBoxes, BoxTakesItsWidenedSizeTextAndButtonPlaces) {
  box_.ShowMessageBox(&window_, u"First line\r\nSecond line", kMessageYesNoCancel, 150, 450);
  EXPECT_EQ(TextOf(box_.Window().ControlHandle(box_.TextControlId())),
            L"First line\r\nSecond line");
  EXPECT_EQ(Place(box_.TextControlId()), (Box{20, 20, 410, 85}));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(Place(box_.ButtonId(i)), (Box{52 + 132 * (i - 1), 115, 80, 25})) << i;
  EXPECT_TRUE(GetWindowLongPtrW(Button(1), GWL_STYLE) & BS_DEFPUSHBUTTON);
  UiEvent& record = *window_.EventSink();
  record.code = 4242;
  record.param = 7;
  box_.CloseMessageBox();
  EXPECT_EQ(record.code, 4242);
  EXPECT_EQ(record.param, 7u);
  EXPECT_EQ(box_.Kind(), -1);
}

// ---------------------------------------------------------------- tips

// A tip answers Yes at once and stays open until a box replaces it; without a visible owner none
// is shown.
TEST_F(MessageBoxes, TipAnswersYesAtOnceAndNeedsAVisibleOwner) {
  EXPECT_EQ(AskUser(box_, window_, u"Done.", kMessageTip), 1);
  EXPECT_EQ(box_.Kind(), kMessageTip);
  const HWND tip = box_.Window().Handle();
  EXPECT_TRUE(IsWindowVisible(tip));
  box_.ShowMessageBox(&window_, u"Box", kMessageOk, 150, 450);
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(box_.Kind(), kMessageOk);
  box_.CloseMessageBox();
  ShowWindow(window_.Handle(), SW_HIDE);
  EXPECT_EQ(AskUser(box_, window_, u"Nobody sees this", kMessageTip), 1);
  EXPECT_EQ(box_.Kind(), -1);
  EXPECT_FALSE(FindWindowW(L"_WndMsgTipClass", nullptr));
  box_.ShowMessageBox(nullptr, u"Nor this", kMessageTip, 150, 450);
  EXPECT_EQ(box_.Kind(), -1);
}

// Any click on the tip, or its activation, closes it; moving the mouse over it does not.
TEST_F(MessageBoxes, AClickOrActivationClosesTheTip) {
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_NCLBUTTONDOWN, WM_ACTIVATE}) {
    box_.ShowMessageBox(&window_, u"Tip", kMessageTip, 150, 450);
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
  box_.ShowMessageBox(&window_, u"Drivers saved.||Backup", kMessageTip, 150, 450);
  const HWND tip = box_.Window().Handle();
  ASSERT_TRUE(tip);
  EXPECT_EQ(TextOf(tip), L"Backup");
  EXPECT_EQ(TextOf(box_.Window().ControlHandle(box_.TextControlId())), L"Drivers saved.");
  const RECT owner = WindowRectOf(window_.Handle());
  EXPECT_EQ(WindowRectOf(tip).left, owner.left + 24);
  EXPECT_EQ(WindowRectOf(tip).top, owner.top + 16);
  box_.ShowMessageBox(&window_, u"a\r\nb\r\nc", kMessageTip, 150, 450);
  EXPECT_EQ(TextOf(box_.Window().Handle()), L"Information");
  const Box three = BoxOf(WindowRectOf(box_.Window().Handle()));
  const int lineHeight = (three.height - 45) / 3;
  EXPECT_EQ((three.height - 45) % 3, 0);
  EXPECT_GE(lineHeight, 16);
  EXPECT_EQ(three.width, 75);  // three one-letter lines: the minimum width
  EXPECT_EQ(Place(box_.TextControlId()), (Box{10, 35, 55, 3 * lineHeight}));
  box_.ShowMessageBox(&window_, u"A much longer line of text than the minimum allows", kMessageTip,
                      150, 450);
  EXPECT_GT(BoxOf(WindowRectOf(box_.Window().Handle())).width, 150);
}

}  // namespace
}  // namespace pyr
