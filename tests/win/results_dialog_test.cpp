// The progress and results dialog on real windows: both variants, their growth with the Cancel
// button, result lines, the ring's progress rules, the status text, a move to a monitor of
// another scale, and a closed dialog. (The Cancel click reaching the program is checked through
// the main window's pump.)
#include "tests/win/ui_toolkit_fixture.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/dialogs/win32/operation_results_dialog.h"
#include "ui/dpi_scale.h"
#include "ui/win32/list_view.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pyr {
namespace {

// The toolkit's window stands for the program's main window.
class ResultsDialog : public testing::ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    window_.ShowUiWindow(SW_SHOW, kShowUpdate);
  }
  void TearDown() override {
    dialog_.CloseDialog();
    ToolkitWindow::TearDown();
  }

  HWND Control(int32_t id) { return dialog_.DialogWindow().ControlHandle(id); }
  Box PlaceOf(int32_t id) { return PlaceInParent(Control(id)); }
  Box Client() { return BoxOf(ClientOf(dialog_.DialogHandle())); }
  std::wstring Status() { return TextOf(Control(dialog_.StatusControlId())); }
  int Rows() { return ItemCount(dialog_.DialogWindow(), dialog_.ResultListId()); }
  std::wstring Cell(int row, int column) {
    const WideText t = ItemText(dialog_.DialogWindow(), dialog_.ResultListId(), row, column);
    return std::wstring(t.View().begin(), t.View().end());
  }

  OperationResultsDialog dialog_;
};

// Both variants are built hidden and owned with their controls in place, and grow by the Cancel
// button, which finishing relabels; a second button goes left, and a third call only relabels.
TEST_F(ResultsDialog, VariantsTakeTheirPlacesAndGrowForTheCancelButton) {
  dialog_.OpenProgressWindow(u"Downloading", &window_, 450, 70);
  EXPECT_EQ(Client(), (Box{0, 0, 450, 90}));
  EXPECT_EQ(PlaceOf(dialog_.StatusControlId()), (Box{90, 10, 350, 70}));
  dialog_.AddResultLine(u"ignored");
  EXPECT_FALSE(dialog_.HasResultList()) << "the compact window takes no lines";
  dialog_.AddCancelButton();
  EXPECT_EQ(Client(), (Box{0, 0, 450, 124}));
  EXPECT_EQ(PlaceOf(dialog_.CancelButtonId()), (Box{240, 93, 180, 24}));
  dialog_.ShowDialog();

  // Results over an open compact window replace it.
  dialog_.OpenResultsDialog(u"Starting", &window_);
  const HWND hwnd = dialog_.DialogHandle();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), window_.Handle());
  EXPECT_EQ(Client(), (Box{0, 0, 650, 350}));
  EXPECT_EQ(dialog_.RingSize(), 70);
  EXPECT_EQ(PlaceOf(dialog_.ResultListId()), (Box{10, 10, 630, 250}));
  EXPECT_EQ(PlaceOf(dialog_.RingControlId()), (Box{10, 270, 70, 70}));
  EXPECT_EQ(PlaceOf(dialog_.StatusControlId()), (Box{90, 270, 550, 70}));
  EXPECT_EQ(Status(), L"Starting");
  const HWND list = Control(dialog_.ResultListId());
  EXPECT_EQ(ListView_GetColumnWidth(list, 0), 160);
  EXPECT_EQ(ListView_GetColumnWidth(list, 1), 450);
  EXPECT_FALSE(dialog_.MarkFinished()) << "no button yet";
  dialog_.AddCancelButton().AddCancelButton().ShowDialog();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(Client(), (Box{0, 0, 650, 384}));
  EXPECT_EQ(PlaceOf(dialog_.CancelButtonId()), (Box{340, 353, 280, 24}));
  EXPECT_EQ(PlaceOf(dialog_.SecondButtonId()), (Box{30, 353, 280, 24}));
  SetWindowTextW(Control(dialog_.SecondButtonId()), L"Other");
  const int32_t last = dialog_.DialogWindow().LastControlId();
  dialog_.AddCancelButton();
  EXPECT_EQ(dialog_.DialogWindow().LastControlId(), last);
  EXPECT_EQ(TextOf(Control(dialog_.SecondButtonId())), L"Cancel");
  EXPECT_TRUE(dialog_.MarkFinished());
  EXPECT_EQ(TextOf(Control(dialog_.CancelButtonId())), L"OK");
}

// Lines are appended with a time stamp; a line longer than its column widens it.
// Opened again while it shows, the dialog keeps its lines and takes the new status text.
TEST_F(ResultsDialog, ResultLinesAndOpeningAgain) {
  dialog_.OpenResultsDialog(u"Working", &window_).ShowDialog();
  dialog_.AddResultLine(u"Mouse was successfully uninstalled.");
  dialog_.AddResultLine(u"Keyboard could not be uninstalled.");
  // The stamp's form is the native date text's; here, today's year and the milliseconds.
  ASSERT_EQ(Rows(), 2);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  EXPECT_EQ(Cell(1, 0).substr(0, 5), std::to_wstring(now.wYear) + L"/");
  EXPECT_EQ(Cell(1, 0).size(), 23u) << "YYYY/MM/DD hh:mm:ss:mmm";
  const HWND list = Control(dialog_.ResultListId());
  const wchar_t* longLine =
      L"The driver for Intel(R) Ethernet Connection (7) I219-V Gigabit Network Adapter was "
      L"successfully uninstalled.";
  dialog_.AddResultLine(reinterpret_cast<const char16_t*>(longLine));
  EXPECT_GT(ListView_GetColumnWidth(list, 1),
            std::max(450, ListView_GetStringWidth(list, longLine)));
  const HWND before = dialog_.DialogHandle();
  dialog_.OpenResultsDialog(u"Second", &window_);
  EXPECT_EQ(dialog_.DialogHandle(), before);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Status(), L"Second");
}

// Several status lines are centred by their own height (one line is checked at two scales).
TEST_F(ResultsDialog, StatusLinesAreCentredVertically) {
  dialog_.OpenResultsDialog(u"One line", &window_);
  dialog_.SetProgress(-1, u"Line one\r\nLine two\r\nLine three");
  const HWND edit = Control(dialog_.StatusControlId());
  ASSERT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 3);
  const auto lineTop = [&](int line) {
    return static_cast<short>(
        HIWORD(SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, EM_LINEINDEX, line, 0), 0)));
  };
  const int lineHeight = lineTop(1) - lineTop(0);
  ASSERT_GT(lineHeight, 8);
  EXPECT_LE(std::abs(lineTop(0) - (70 - (lineTop(2) + lineHeight))), 1)
      << "as much room above as below";
}

// Dragged to a monitor of 150 %, the dialog draws its ring and status line at that scale, its
// ring spinning on (a value without a text left the status alone), and back at 100 % as before
// (the toolkit's new places and sizes are checked on the main window).
TEST_F(ResultsDialog, MovedToAnotherScaleDrawsItsPartsAgain) {
  dialog_.OpenResultsDialog(u"One line", &window_)
      .SetProgress(-80, nullptr)
      .AddCancelButton()
      .ShowDialog();
  for (const int dpi : {144, 96}) {
    const auto at = [dpi](int value) { return ScaleForDpi(value, dpi); };
    const RECT now = WindowRectOf(dialog_.DialogHandle());
    const RECT suggested{now.left, now.top, now.left + at(650), now.top + at(384)};
    SendMessageW(dialog_.DialogHandle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(dialog_.Ring().Side(), at(70)) << dpi;
    EXPECT_TRUE(dialog_.Ring().SpinnerRunning()) << dpi;
    RECT text{};
    SendMessageW(Control(dialog_.StatusControlId()), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text.top, (at(70) - at(14)) / 2) << dpi;
  }
  EXPECT_EQ(Status(), L"One line");
}

TEST_F(ResultsDialog, ClosedDialogIgnoresEverything) {
  dialog_.OpenResultsDialog(u"Working", &window_).AddCancelButton().ShowDialog();
  const HWND hwnd = dialog_.DialogHandle();
  dialog_.CloseDialog();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(dialog_.DialogHandle(), nullptr);
  EXPECT_EQ(dialog_.CancelButtonId(), -1);
  EXPECT_EQ(dialog_.ResultListId(), -1);
  EXPECT_EQ(dialog_.RingSize(), 0);
  dialog_.AddResultLine(u"late");
  dialog_.SetProgress(50, u"late");
  EXPECT_FALSE(dialog_.HasResultList());
  EXPECT_FALSE(dialog_.MarkFinished());
  EXPECT_EQ(dialog_.Ring().CurrentMode(), ProgressRing::kModeNone);
}

}  // namespace
}  // namespace pyr
