// The list commands of the main window, driven in-process on the simulated PC: the find window,
// find next, the copies, the property sheet, and disabling and enabling ticked devices.
#include <gtest/gtest.h>

#include "devices/device_status.h"
#include "tests/win/main_window_fixture.h"

namespace pyr {
namespace {

// Waits for the results dialog to finish, remembers what it shows, presses OK and then asks the
// main window to close, from another thread.
class ResultsWatcher {
 public:
  explicit ResultsWatcher(HWND closeAfter) : closeAfter_(closeAfter) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ResultsWatcher() { thread_.join(); }
  std::vector<std::wstring> Texts() const { return texts_; }
  int ResultLines() const { return lines_; }

 private:
  void Run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      HWND dialog = FindWindowW(L"_WND_PROGRESS_DLG_", nullptr);
      HWND ok = dialog ? FindWindowExW(dialog, nullptr, L"Button", L"OK") : nullptr;
      if (ok != nullptr && IsWindowVisible(dialog)) {
        HWND child = nullptr;
        while ((child = FindWindowExW(dialog, child, nullptr, nullptr)) != nullptr) {
          wchar_t cls[64] = {}, text[512] = {};
          GetClassNameW(child, cls, 64);
          GetWindowTextW(child, text, 512);
          const std::wstring kind(cls);
          if ((kind == L"Static" || kind == L"Edit") && text[0] != 0) texts_.push_back(text);
          if (std::wstring(cls) == L"SysListView32") {
            lines_ = static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
          }
        }
        PostMessageW(ok, BM_CLICK, 0, 0);
        Sleep(300);
        break;
      }
      Sleep(20);
    }
    PostMessageW(closeAfter_, WM_CLOSE, 0, 0);
  }

  HWND closeAfter_;
  std::vector<std::wstring> texts_;
  int lines_ = -1;
  std::thread thread_;
};

// Waits until a window of the class is visible, then asks the main window to close.
class ShownWatcher {
 public:
  ShownWatcher(const wchar_t* windowClass, HWND closeAfter) : class_(windowClass), closeAfter_(closeAfter) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ShownWatcher() { thread_.join(); }
  bool Seen() const { return seen_; }

 private:
  void Run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!seen_ && std::chrono::steady_clock::now() < deadline) {
      HWND w = FindWindowW(class_, nullptr);
      seen_ = w != nullptr && IsWindowVisible(w);
      Sleep(20);
    }
    PostMessageW(closeAfter_, WM_CLOSE, 0, 0);
  }

  const wchar_t* class_;
  HWND closeAfter_;
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

std::u16string ClipboardText() {
  std::u16string text;
  if (!OpenClipboard(nullptr)) return u"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const char16_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

class MainWindowCommandsTest : public MainWindowTest {
 protected:
  void BuildAndFill() {
    StoreSetting(L"AppFlag", 1);  // no startup tip in the way
    Build();
    main_->ShowAndFill();
  }
  int RowNamed(const char16_t* name) {
    for (int row = 0; row < main_->List().RowCount(); ++row) {
      if (main_->List().CellText(row, 0) == name) return row;
    }
    return -1;
  }
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

TEST_F(MainWindowCommandsTest, FindWindowIsCreatedHiddenBesideTheMainWindow) {
  BuildAndFill();
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

  PostCommand(MenuId(Command::kFindDevice));
  PostClose();
  RunLoop();
  EXPECT_TRUE(IsWindowVisible(find));
}

TEST_F(MainWindowCommandsTest, FindNextWalksTheMatchesAndStartsAgainAfterTheEnd) {
  BuildAndFill();
  DeviceList& list = main_->List();
  std::vector<int> matches;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.CellText(row, 0).Find(u"usb", false) != 0) matches.push_back(row);
  }
  ASSERT_GE(matches.size(), 2u);
  main_->Find().SetSearchText(u"usb");
  for (size_t i = 0; i < matches.size(); ++i) {
    PostCommand(MenuId(Command::kFindNext));
    PostClose();
    RunLoop();
    EXPECT_EQ(list.SelectedRow(), matches[i]) << i;
  }
  {
    // Past the last match: the end-of-list tip, and the selection stays.
    ShownWatcher tip(L"_WndMsgTipClass", window_.Handle());
    PostCommand(MenuId(Command::kFindNext));
    RunLoop();
    EXPECT_TRUE(tip.Seen());
  }
  EXPECT_EQ(list.SelectedRow(), matches.back());
  EXPECT_EQ(main_->Find().lastFound, -1);
  PostCommand(MenuId(Command::kFindNext));
  PostClose();
  RunLoop();
  EXPECT_EQ(list.SelectedRow(), matches.front());
}

TEST_F(MainWindowCommandsTest, FindButtonAndEscapeOfTheFindWindow) {
  BuildAndFill();
  FindDeviceWindow& find = main_->Find();
  find.Show();
  find.SetSearchText(u"KEYBOARD");
  // The find window's own button posts into the main window's record.
  HWND button = FindWindowExW(find.Window().Handle(), nullptr, L"Button", nullptr);
  ASSERT_NE(button, nullptr);
  PostMessageW(button, BM_CLICK, 0, 0);
  PostClose();
  RunLoop();
  const int row = main_->List().SelectedRow();
  ASSERT_GE(row, 0);
  EXPECT_NE(main_->List().CellText(row, 0).Find(u"keyboard", false), 0);
}

TEST_F(MainWindowCommandsTest, CopiesTheSelectedRowsHardwareIdAndName) {
  BuildAndFill();
  DeviceList& list = main_->List();
  list.SelectRow(3);
  PostCommand(MenuId(Command::kCopyHardwareId));
  PostClose();
  RunLoop();
  EXPECT_EQ(ClipboardText(), list.CellText(3, 7).Str());
  EXPECT_FALSE(list.CellText(3, 7).Empty());
  PostCommand(MenuId(Command::kCopyDeviceName));
  PostClose();
  RunLoop();
  EXPECT_EQ(ClipboardText(), list.CellText(3, 0).Str());
}

TEST_F(MainWindowCommandsTest, CopyWithoutASelectionAsksForOneAndCopiesNothing) {
  BuildAndFill();
  CopyTextToClipboard(window_.Handle(), u"before");
  main_->List().SelectRow(-1);
  BoxAnswerer answer(L"OK", window_.Handle());
  PostCommand(MenuId(Command::kCopyHardwareId));
  RunLoop();
  EXPECT_EQ(answer.Message(),
            L"Please select one item before using this feature. To select an item, click one row");
  EXPECT_EQ(ClipboardText(), u"before");
}

TEST_F(MainWindowCommandsTest, DevicePropertiesWithoutTheSheetStillReturns) {
  BuildAndFill();
  main_->List().SelectRow(2);
  PostCommand(MenuId(Command::kDeviceProperties));
  PostClose();
  RunLoop();  // no devmgr.dll under Wine: nothing opens, the loop goes on to the close
  EXPECT_EQ(main_->List().SelectedRow(), 2);
}

TEST_F(MainWindowCommandsTest, DisablingTwoTickedDevicesAndEnablingThemBack) {
  BuildAndFill();
  const std::vector<std::u16string> names = TwoWorkingDevices();
  ASSERT_EQ(names.size(), 2u);
  for (const auto& name : names) main_->List().SetRowChecked(RowNamed(name.c_str()), true);
  {
    BoxAnswerer yes(L"Yes");
    ResultsWatcher results(window_.Handle());
    PostCommand(MenuId(Command::kDisable));
    RunLoop();
    EXPECT_EQ(yes.Message(), L"Are you sure you want to disable the selected device(s)?");
    EXPECT_EQ(results.ResultLines(), 2);
    const auto texts = results.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        L"Operation complete. Results are displayed in the list above."),
              texts.end());
  }
  EXPECT_EQ(FindWindowW(L"_WND_PROGRESS_DLG_", nullptr) == nullptr ||
                !IsWindowVisible(FindWindowW(L"_WND_PROGRESS_DLG_", nullptr)),
            true);
  for (const auto& name : names) {
    const int row = RowNamed(name.c_str());
    ASSERT_GE(row, 0);
    EXPECT_EQ(main_->List().CellText(row, 1), u"Disabled");
    EXPECT_FALSE(main_->List().RowChecked(row));  // the rebuild cleared the ticks
    main_->List().SetRowChecked(row, true);
  }
  {
    BoxAnswerer yes(L"Yes");
    ResultsWatcher results(window_.Handle());
    PostCommand(MenuId(Command::kEnable));
    RunLoop();
    EXPECT_EQ(results.ResultLines(), 2);
  }
  for (const auto& name : names) EXPECT_EQ(main_->List().CellText(RowNamed(name.c_str()), 1), u"Working properly");
}

TEST_F(MainWindowCommandsTest, CheckRulesFromTheMenu) {
  BuildAndFill();
  PostCommand(MenuId(Command::kCheckWithErrors));
  PostClose();
  RunLoop();
  const std::vector<int> checked = main_->List().CheckedRows();
  ASSERT_FALSE(checked.empty());
  for (int row : checked) EXPECT_TRUE(IsErrorStatus(main_->List().CellText(row, 1).View()));
  PostCommand(MenuId(Command::kCheckNone));
  PostClose();
  RunLoop();
  EXPECT_TRUE(main_->List().CheckedRows().empty());
}

}  // namespace
}  // namespace pyr
