// The list commands of the main window, driven in-process on the simulated PC: the find window,
// find next, the copies, the property sheet, and disabling and enabling ticked devices.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices/device_status.h"
#include "tests/win/main_window_fixture.h"

namespace pyr {
namespace {

class MainWindowCommandsTest : public MainWindowTest {
 protected:
  // Two working devices that are listed, by name.
  std::vector<std::u16string> TwoWorkingDevices() {
    std::vector<std::u16string> names;
    for (int row = 0; row < main_->List().RowCount() && names.size() < 2; ++row) {
      const WideText name = main_->List().CellText(row, 0);
      if (main_->List().CellText(row, 1) == u"Working properly" && RowNamed(name.Buffer()) == row) {
        names.push_back(name.Str());
      }
    }
    return names;
  }
};

// The find window is not made at start-up, only when first asked for; then it is hidden.
TEST_F(MainWindowCommandsTest, FindWindowIsMadeOnFirstUseHiddenBesideTheMainWindow) {
  BuildShown();
  EXPECT_EQ(FindWindowW(L"__PyravelFindWnd__", L"Find a device"), nullptr);
  main_->Find();
  HWND find = FindWindowW(L"__PyravelFindWnd__", L"Find a device");
  ASSERT_NE(find, nullptr);
  EXPECT_FALSE(IsWindowVisible(find));
  EXPECT_EQ(GetWindow(find, GW_OWNER), window_.Handle());
  RECT main{}, box{}, client{};
  GetWindowRect(window_.Handle(), &main);
  GetWindowRect(find, &box);
  GetClientRect(find, &client);
  EXPECT_EQ(box.left - main.left, 300);
  EXPECT_EQ(box.top - main.top, 7);
  EXPECT_EQ(client.right, 255);
  EXPECT_EQ(client.bottom, 22);
  EXPECT_EQ(GetWindowLongW(find, GWL_STYLE) & WS_CAPTION, 0);

  // The two buttons' tips, the close button's replacing the toolkit's plain one.
  HWND tip = main_->Find().Window().TooltipWindow();
  ASSERT_NE(tip, nullptr);
  std::vector<std::wstring> tips;
  for (UINT i = 0; i < static_cast<UINT>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)); ++i) {
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    if (SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool))) tips.emplace_back(text);
  }
  std::sort(tips.begin(), tips.end());
  EXPECT_EQ(tips, (std::vector<std::wstring>{L"Close find (Esc)", L"Find next (F3)"}));

  RunCommand(MenuId(Command::kFindDevice));
  EXPECT_TRUE(IsWindowVisible(find));
}

TEST_F(MainWindowCommandsTest, FindNextWalksTheMatchesAndStartsAgainAfterTheEnd) {
  BuildShown();
  DeviceList& list = main_->List();
  std::vector<int> matches;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.CellText(row, 0).Find(u"usb", false) != 0) matches.push_back(row);
  }
  ASSERT_GE(matches.size(), 2u);
  main_->Find().SetSearchText(u"usb");
  for (size_t i = 0; i < matches.size(); ++i) {
    RunCommand(MenuId(Command::kFindNext));
    EXPECT_EQ(list.SelectedRow(), matches[i]) << i;
  }
  {
    // Past the last match: the end-of-list tip, and the selection stays.
    OperationScript tip(window_.Handle(), {{OperationScript::Step::kShown, L"_WndMsgTipClass"}});
    PostCommand(MenuId(Command::kFindNext));
    RunLoop();
    tip.Join();
    EXPECT_TRUE(tip.finished);
  }
  EXPECT_EQ(list.SelectedRow(), matches.back());
  EXPECT_EQ(main_->Find().lastFound, -1);
  RunCommand(MenuId(Command::kFindNext));
  EXPECT_EQ(list.SelectedRow(), matches.front());
}

TEST_F(MainWindowCommandsTest, FindButtonAndEscapeOfTheFindWindow) {
  BuildShown();
  FindDeviceWindow& find = main_->Find();
  find.Show();
  find.SetSearchText(u"KEYBOARD");
  // The find window's own button posts into the main window's record.
  HWND button = FindWindowExW(find.Window().Handle(), nullptr, L"Button", nullptr);
  ASSERT_NE(button, nullptr);
  PostMessageW(button, BM_CLICK, 0, 0);
  CloseAndRun();
  const int row = main_->List().SelectedRow();
  ASSERT_GE(row, 0);
  EXPECT_NE(main_->List().CellText(row, 0).Find(u"keyboard", false), 0);
}

// Esc, Alt+F4 and WM_CLOSE on the find window hide it; the program goes on (the command posted
// after the close is still carried out) and only the main window's close ends it.
TEST_F(MainWindowCommandsTest, ClosingTheFindWindowHidesOnlyIt) {
  BuildShown();
  FindDeviceWindow& find = main_->Find();
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } ways[] = {{"Esc", WM_KEYDOWN, VK_ESCAPE}, {"Alt+F4", WM_SYSCOMMAND, SC_CLOSE}, {"WM_CLOSE", WM_CLOSE, 0}};
  for (const auto& w : ways) {
    RunCommand(MenuId(Command::kCheckNone));
    find.Show();
    ASSERT_TRUE(find.Visible());
    HWND target = w.message == WM_KEYDOWN ? GetFocus() : find.Window().Handle();
    ASSERT_NE(target, nullptr) << w.name;
    PostMessageW(target, w.message, w.wParam, 0);
    PostCommand(MenuId(Command::kCheckAll));
    CloseAndRun();
    EXPECT_FALSE(find.Visible()) << w.name;
    HWND focus = GetFocus();
    EXPECT_FALSE(focus == find.Window().Handle() || IsChild(find.Window().Handle(), focus))
        << w.name << ": the hidden find window kept the keyboard";
    EXPECT_EQ(main_->List().CheckedRows().size(), static_cast<size_t>(main_->List().RowCount()))
        << w.name << ": the loop went on after the find window's close";
  }
}

// Esc at the disable question is No: nothing is disabled, no dialog opens, the list stays.
TEST_F(MainWindowCommandsTest, EscAtTheDisableQuestionDisablesNothing) {
  BuildShown();
  const std::vector<std::u16string> names = TwoWorkingDevices();
  ASSERT_EQ(names.size(), 2u);
  for (const auto& name : names) main_->List().SetRowChecked(RowNamed(name.c_str()), true);
  const uint64_t disables = environment_.simulated.Calls(PlatformCall::kChangeDeviceState);
  {
    BoxAnswerer escape(BoxAnswerer::kEscape, window_.Handle());
    PostCommand(MenuId(Command::kDisable));
    RunLoop();
    EXPECT_EQ(escape.Message(), L"Are you sure you want to disable the selected device(s)?");
  }
  EXPECT_EQ(environment_.simulated.Calls(PlatformCall::kChangeDeviceState), disables);
  EXPECT_EQ(FindWindowW(kResultsClass, nullptr), nullptr);
  for (const auto& name : names) {
    EXPECT_EQ(main_->List().CellText(RowNamed(name.c_str()), 1), u"Working properly");
    EXPECT_TRUE(main_->List().RowChecked(RowNamed(name.c_str())));
  }
}

// The copies take the selected row's hardware id and name; without a selection the user is asked
// for one and nothing is copied.
TEST_F(MainWindowCommandsTest, CopiesTheSelectedRowsHardwareIdAndNameOrAskForARow) {
  BuildShown();
  DeviceList& list = main_->List();
  list.SelectRow(3);
  RunCommand(MenuId(Command::kCopyHardwareId));
  EXPECT_EQ(ClipboardText(), list.CellText(3, 7).Str());
  EXPECT_FALSE(list.CellText(3, 7).Empty());
  RunCommand(MenuId(Command::kCopyDeviceName));
  EXPECT_EQ(ClipboardText(), list.CellText(3, 0).Str());

  list.SelectRow(-1);
  BoxAnswerer answer(L"OK", window_.Handle());
  PostCommand(MenuId(Command::kCopyHardwareId));
  RunLoop();
  EXPECT_EQ(answer.Message(),
            L"Please select one item before using this feature. To select an item, click one row");
  EXPECT_EQ(ClipboardText(), list.CellText(3, 0).Str());
}

TEST_F(MainWindowCommandsTest, DevicePropertiesWithoutTheSheetStillReturns) {
  BuildShown();
  main_->List().SelectRow(2);
  PostCommand(MenuId(Command::kDeviceProperties));
  PostClose();
  RunLoop();  // no devmgr.dll under Wine: nothing opens, the loop goes on to the close
  EXPECT_EQ(main_->List().SelectedRow(), 2);
}

TEST_F(MainWindowCommandsTest, DisablingTwoTickedDevicesAndEnablingThemBack) {
  BuildShown();
  const std::vector<std::u16string> names = TwoWorkingDevices();
  ASSERT_EQ(names.size(), 2u);
  for (const auto& name : names) main_->List().SetRowChecked(RowNamed(name.c_str()), true);
  using Step = OperationScript::Step;
  const struct {
    Command command;
    const wchar_t* question;
    const char16_t* status;
  } steps[] = {
      {Command::kDisable, L"Are you sure you want to disable the selected device(s)?", u"Disabled"},
      {Command::kEnable, L"Are you sure you want to enable the selected device(s)?", u"Working properly"},
  };
  for (const auto& step : steps) {
    OperationScript script(window_.Handle(), {{Step::kBox, L"Yes"}, {Step::kResults, L""}});
    PostCommand(MenuId(step.command));
    RunLoop();
    script.Join();
    EXPECT_TRUE(script.finished);
    EXPECT_EQ(script.boxTexts, std::vector<std::wstring>{step.question});
    EXPECT_EQ(script.resultLines.size(), 2u);
    const auto& texts = script.resultTexts;
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        L"Operation complete. Results are displayed in the list above."),
              texts.end());
    EXPECT_EQ(VisibleWindow(kResultsClass), nullptr);
    for (const auto& name : names) {
      const int row = RowNamed(name.c_str());
      ASSERT_GE(row, 0);
      EXPECT_EQ(main_->List().CellText(row, 1), step.status);
      EXPECT_FALSE(main_->List().RowChecked(row));  // the rebuild cleared the ticks
      main_->List().SetRowChecked(row, true);
    }
  }
}

TEST_F(MainWindowCommandsTest, CheckRulesFromTheMenu) {
  BuildShown();
  RunCommand(MenuId(Command::kCheckWithErrors));
  const std::vector<int> checked = main_->List().CheckedRows();
  ASSERT_FALSE(checked.empty());
  for (int row : checked) EXPECT_TRUE(IsErrorStatus(main_->List().CellText(row, 1).View()));
  RunCommand(MenuId(Command::kCheckNone));
  EXPECT_TRUE(main_->List().CheckedRows().empty());
}

}  // namespace
}  // namespace pyr
