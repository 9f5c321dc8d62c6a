// The progress and results dialog on real windows: both variants, their growth with the Cancel
// button, result lines, the ring's progress rules, the status text, and a closed dialog. (The
// Cancel click reaching the program is checked through the main window's pump.)
#include "tests/win/win_test_support.h"

#include <windows.h>
#include <commctrl.h>

#include <cwctype>
#include <string>

#include "ui/dialogs/win32/operation_results_dialog.h"
#include "ui/win32/list_view.h"

namespace pyr {
namespace {

class ResultsDialog : public GdiplusSuite {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main_.CreateUiWindow(u"PyravelTestMain", u"Main", 700, 500, 20, 20,
                                     WS_OVERLAPPEDWINDOW, 0, nullptr));
    main_.ShowUiWindow(SW_SHOW, kShowUpdate);
  }
  void TearDown() override {
    dialog_.CloseDialog();
    main_.DestroyUiWindow();
  }

  HWND Control(int32_t id) { return dialog_.DialogWindow().ControlHandle(id); }
  Box PlaceOf(int32_t id) { return PlaceInParent(Control(id)); }
  // The client size as a box at 0, 0.
  Box Client() { return BoxOf(ClientOf(dialog_.DialogHandle())); }
  int Rows() { return ItemCount(dialog_.DialogWindow(), dialog_.ResultListId()); }
  std::wstring Cell(int row, int column) {
    WideText t = ItemText(dialog_.DialogWindow(), dialog_.ResultListId(), row, column);
    return std::wstring(t.View().begin(), t.View().end());
  }

  UiWindow main_;
  OperationResultsDialog dialog_;
};

TEST_F(ResultsDialog, ResultsVariantIsBuiltHidden) {
  dialog_.OpenResultsDialog(u"Starting", &main_);
  HWND hwnd = dialog_.DialogHandle();
  ASSERT_TRUE(hwnd);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  EXPECT_STREQ(cls, L"_WND_PROGRESS_DLG_");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), main_.Handle());
  EXPECT_EQ(Client(), (Box{0, 0, 650, 350}));
  EXPECT_TRUE(dialog_.HasResultList());
  EXPECT_EQ(dialog_.RingSize(), 70);
  EXPECT_EQ(PlaceOf(dialog_.ResultListId()), (Box{10, 10, 630, 250}));
  HWND listHwnd = Control(dialog_.ResultListId());
  EXPECT_EQ(ListView_GetColumnWidth(listHwnd, 0), 160);
  EXPECT_EQ(ListView_GetColumnWidth(listHwnd, 1), 450);
  wchar_t title[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 64;
  ASSERT_TRUE(ListView_GetColumn(listHwnd, 0, &column));
  EXPECT_STREQ(title, L" Date & time");
  ASSERT_TRUE(ListView_GetColumn(listHwnd, 1, &column));
  EXPECT_STREQ(title, L" Operation result");
  EXPECT_EQ(PlaceOf(dialog_.RingControlId()), (Box{10, 270, 70, 70}));
  EXPECT_EQ(PlaceOf(dialog_.StatusControlId()), (Box{90, 270, 550, 70}));
  EXPECT_EQ(TextOf(Control(dialog_.StatusControlId())), L"Starting");
}

TEST_F(ResultsDialog, CancelButtonGrowsTheResultsDialogTo384AndFinishingRelabelsIt) {
  dialog_.OpenResultsDialog(u"Working", &main_).SetProgress(-80, nullptr);
  EXPECT_FALSE(dialog_.MarkFinished()) << "no button yet";
  dialog_.AddCancelButton().ShowDialog();
  EXPECT_TRUE(IsWindowVisible(dialog_.DialogHandle()));
  EXPECT_EQ(Client(), (Box{0, 0, 650, 384}));
  EXPECT_EQ(PlaceOf(dialog_.CancelButtonId()), (Box{340, 353, 280, 24}));
  EXPECT_EQ(TextOf(Control(dialog_.CancelButtonId())), L"Cancel");
  EXPECT_TRUE(dialog_.MarkFinished());
  EXPECT_EQ(TextOf(Control(dialog_.CancelButtonId())), L"OK");
}

// The compact window has no result list (lines given to it are dropped) and grows to 124.
TEST_F(ResultsDialog, CompactDialogTakesNoLinesAndItsCancelButtonGrowsItTo124) {
  dialog_.OpenProgressWindow(u"Downloading", &main_, 450, 70);
  ASSERT_TRUE(dialog_.DialogHandle());
  EXPECT_EQ(Client(), (Box{0, 0, 450, 90}));
  dialog_.AddResultLine(u"ignored");
  EXPECT_FALSE(dialog_.HasResultList());
  EXPECT_EQ(PlaceOf(dialog_.StatusControlId()), (Box{90, 10, 350, 70}));
  dialog_.AddCancelButton();
  EXPECT_EQ(Client(), (Box{0, 0, 450, 124}));
  EXPECT_EQ(PlaceOf(dialog_.CancelButtonId()), (Box{240, 93, 180, 24}));
}

TEST_F(ResultsDialog, SecondCancelButtonGoesLeftAndAThirdCallOnlyRelabels) {
  dialog_.OpenResultsDialog(u"Working", &main_).AddCancelButton().AddCancelButton();
  ASSERT_GT(dialog_.SecondButtonId(), 0);
  EXPECT_EQ(PlaceOf(dialog_.SecondButtonId()), (Box{30, 353, 280, 24}));
  EXPECT_EQ(ClientOf(dialog_.DialogHandle()).bottom, 384);
  SetWindowTextW(Control(dialog_.SecondButtonId()), L"Other");
  const int32_t last = dialog_.DialogWindow().LastControlId();
  dialog_.AddCancelButton();
  EXPECT_EQ(dialog_.DialogWindow().LastControlId(), last);
  EXPECT_EQ(TextOf(Control(dialog_.SecondButtonId())), L"Cancel");
}

TEST_F(ResultsDialog, ResultLinesAreAppendedWithAMillisecondTimeStamp) {
  dialog_.OpenResultsDialog(u"Working", &main_);
  dialog_.AddResultLine(u"Mouse was successfully uninstalled.");
  dialog_.AddResultLine(u"Keyboard could not be uninstalled.");
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 1), L"Mouse was successfully uninstalled.");
  EXPECT_EQ(Cell(1, 1), L"Keyboard could not be uninstalled.");
  const std::wstring stamp = Cell(1, 0);
  ASSERT_EQ(stamp.size(), 23u) << std::string(stamp.begin(), stamp.end());
  const std::wstring shape = L"dddd/dd/dd dd:dd:dd:ddd";
  for (size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == L'd') {
      EXPECT_TRUE(iswdigit(stamp[i])) << i;
    } else {
      EXPECT_EQ(stamp[i], shape[i]) << i;
    }
  }
  SYSTEMTIME now{};
  GetLocalTime(&now);
  EXPECT_EQ(std::stoi(stamp.substr(0, 4)), now.wYear);
  // Short lines keep the column at 450; a longer one widens it to show the line whole.
  HWND list = Control(dialog_.ResultListId());
  EXPECT_EQ(ListView_GetColumnWidth(list, 1), 450);
  const wchar_t* long_line =
      L"The driver for Intel(R) Ethernet Connection (7) I219-V Gigabit Network Adapter was successfully uninstalled.";
  dialog_.AddResultLine(reinterpret_cast<const char16_t*>(long_line));
  EXPECT_GT(ListView_GetColumnWidth(list, 1), ListView_GetStringWidth(list, long_line));
  EXPECT_GT(ListView_GetColumnWidth(list, 1), 450);
}

// Opening again while visible keeps the dialog and its rows; results over an open compact window
// replace it.
TEST_F(ResultsDialog, OpeningAgain) {
  dialog_.OpenResultsDialog(u"First", &main_).ShowDialog();
  dialog_.AddResultLine(u"one");
  dialog_.AddResultLine(u"two");
  HWND before = dialog_.DialogHandle();
  dialog_.OpenResultsDialog(u"Second", &main_);
  EXPECT_EQ(dialog_.DialogHandle(), before);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(TextOf(Control(dialog_.StatusControlId())), L"Second");
  dialog_.CloseDialog();

  dialog_.OpenProgressWindow(u"Compact", &main_, 450, 70).ShowDialog();
  dialog_.OpenResultsDialog(u"Results", &main_);
  EXPECT_TRUE(dialog_.HasResultList());
  EXPECT_EQ(ClientOf(dialog_.DialogHandle()).right, 650);
  EXPECT_EQ(dialog_.RingSize(), 70);
}

// The value rules are checked on their own; here, that the dialog passes them to its ring and
// changes the status only when a text comes with the value.
TEST_F(ResultsDialog, ProgressReachesTheRingAndAStatusOnlyWhenGiven) {
  dialog_.OpenResultsDialog(u"Working", &main_).ShowDialog();
  ProgressRing& ring = dialog_.Ring();
  EXPECT_EQ(ring.CurrentMode(), ProgressRing::kModePercent);
  dialog_.SetProgress(-80, u"Uninstalling Mouse");
  EXPECT_EQ(ring.CurrentMode(), ProgressRing::kModeSpin);
  EXPECT_EQ(TextOf(Control(dialog_.StatusControlId())), L"Uninstalling Mouse");
  dialog_.SetProgress(150, u"Operation complete. Results are displayed in the list above.");
  EXPECT_EQ(ring.Value(), 100);
  EXPECT_FALSE(ring.SpinnerRunning());
  dialog_.SetProgress(40, nullptr);
  EXPECT_EQ(ring.Value(), 40);
  EXPECT_EQ(TextOf(Control(dialog_.StatusControlId())),
            L"Operation complete. Results are displayed in the list above.");
}

// One status line is centred as 14 pixels high; several are centred by their own height.
TEST_F(ResultsDialog, StatusLinesAreCentredVertically) {
  dialog_.OpenResultsDialog(u"One line", &main_);
  RECT format{};
  SendMessageW(Control(dialog_.StatusControlId()), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.top, (70 - 14) / 2);
  dialog_.CloseDialog();

  dialog_.OpenResultsDialog(u"Line one\r\nLine two\r\nLine three", &main_);
  HWND edit = Control(dialog_.StatusControlId());
  ASSERT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 3);
  auto lineTop = [&](int line) {
    LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, EM_LINEINDEX, line, 0), 0);
    return static_cast<int>(static_cast<short>(HIWORD(pos)));
  };
  const int lineHeight = lineTop(1) - lineTop(0);
  ASSERT_GT(lineHeight, 8);
  const int above = lineTop(0);
  const int below = 70 - (lineTop(2) + lineHeight);
  EXPECT_LE(std::abs(above - below), 1) << above << " above, " << below << " below";
}

TEST_F(ResultsDialog, ClosedDialogIgnoresEverything) {
  dialog_.OpenResultsDialog(u"Working", &main_).AddCancelButton().ShowDialog();
  HWND hwnd = dialog_.DialogHandle();
  dialog_.CloseDialog();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(dialog_.DialogHandle(), nullptr);
  EXPECT_EQ(dialog_.CancelButtonId(), -1);
  EXPECT_EQ(dialog_.ResultListId(), -1);
  EXPECT_EQ(dialog_.RingSize(), 0);
  EXPECT_EQ(dialog_.Ring().CurrentMode(), ProgressRing::kModeNone);
  dialog_.AddResultLine(u"late");
  dialog_.SetProgress(50, u"late");
  EXPECT_FALSE(dialog_.HasResultList());
  EXPECT_FALSE(dialog_.MarkFinished());
  EXPECT_EQ(dialog_.Ring().CurrentMode(), ProgressRing::kModeNone);
}

}  // namespace
}  // namespace pyr
