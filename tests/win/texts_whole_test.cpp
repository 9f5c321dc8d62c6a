// Every text of the main window, the boxes and the dialogs is whole where it stands, at every
// display scale: each static text, button, check box, link and search box is measured with its own
// font against its client rectangle, lies inside its parent and overlaps no other; the pictures
// are drawn at the scale. A window moved to a monitor of another scale lays itself out again.
#include "tests/win/main_window_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window_texts.h"
#include "ui/dialogs/win32/message_box_window.h"
#include "ui/dialogs/win32/operation_results_dialog.h"
#include "ui/draw/font_metrics.h"
#include "ui/dpi_scale.h"
#include "ui/win32/dpi.h"
#include "ui/win32/text_fit.h"

#ifndef LM_GETIDEALSIZE
#define LM_GETIDEALSIZE LM_GETIDEALHEIGHT  // one message: wParam the width, lParam a SIZE
#endif
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pyr {
namespace {

// Misfits as "text: why" lines; checked counts the controls that were measured.
struct TextCheck {
  int checked = 0;
  std::vector<std::wstring> cut;
  void Fail(const std::wstring& what, const wchar_t* why, LONG need, LONG have) {
    cut.push_back(what + L": " + why + L" " + std::to_wstring(need) + L" > " + std::to_wstring(have));
  }
};

// Text extent with the control's WM_GETFONT font; wrapWidth > 0 wraps there.
SIZE Extent(HWND control, const std::wstring& text, int wrapWidth, UINT prefix) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0x7FFF, 0};
  DrawTextW(dc, text.c_str(), -1, &r,
            DT_CALCRECT | DT_EXPANDTABS | prefix | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {r.right, r.bottom};
}

// Whether the control shows a text the check measures.
bool Measured(HWND control) {
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (!IsWindowVisible(control) || GetWindowTextLengthW(control) == 0) return false;
  if (_wcsicmp(cls, WC_LINK) == 0) return true;
  if (_wcsicmp(cls, L"Edit") == 0) return !(style & ES_MULTILINE);
  if (_wcsicmp(cls, L"Static") == 0) {
    const DWORD kind = style & SS_TYPEMASK;
    return kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT;
  }
  const DWORD kind = style & BS_TYPEMASK;
  return _wcsicmp(cls, L"Button") == 0 && (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX ||
                                           kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
}

void CheckOne(HWND control, TextCheck& check) {
  if (!Measured(control)) return;
  ++check.checked;
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  const std::wstring text = TextOf(control);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  const RECT client = ClientOf(control), parent = ClientOf(GetParent(control));
  const Box place = PlaceInParent(control);
  if (place.left + place.width > parent.right) {
    check.Fail(text, L"right edge past the parent's", place.left + place.width, parent.right);
  }
  if (place.top + place.height > parent.bottom) {
    check.Fail(text, L"bottom past the parent's", place.top + place.height, parent.bottom);
  }
  // Siblings that show a text never overlap it.
  for (HWND other = GetWindow(control, GW_HWNDNEXT); other; other = GetWindow(other, GW_HWNDNEXT)) {
    const Box o = PlaceInParent(other);
    if (Measured(other) && o.left < place.left + place.width && place.left < o.left + o.width &&
        o.top < place.top + place.height && place.top < o.top + o.height) {
      check.cut.push_back(text + L": overlaps " + TextOf(other));
    }
  }
  if (_wcsicmp(cls, WC_LINK) == 0) {
    SIZE ideal{};
    const auto height = static_cast<LONG>(SendMessageW(
        control, LM_GETIDEALSIZE, static_cast<WPARAM>(client.right), reinterpret_cast<LPARAM>(&ideal)));
    if (std::max(ideal.cy, height) > client.bottom) {
      check.Fail(text, L"link height", std::max(ideal.cy, height), client.bottom);
    }
    return;
  }
  const bool edit = _wcsicmp(cls, L"Edit") == 0, button = _wcsicmp(cls, L"Button") == 0;
  const UINT prefix = edit || (!button && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0;
  int room = client.right;
  if (button) {
    const DWORD kind = style & BS_TYPEMASK;
    if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) {
      room -= MetricForDpi(SM_CXMENUCHECK, WindowDpi(control));
    } else if (const auto bitmap = reinterpret_cast<HBITMAP>(
                   SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
      BITMAP bits{};
      GetObjectW(bitmap, sizeof(bits), &bits);
      room -= bits.bmWidth + 4;  // the picture and the button's edges
    } else {
      room -= 4;
    }
  }
  // One line where the control shows one; wrapped where it may wrap.
  const bool wraps = (!edit && !button && !(style & SS_CENTERIMAGE)) || (button && (style & BS_MULTILINE));
  const SIZE need = Extent(control, text, wraps ? room : 0, prefix);
  // An edit scrolls its text sideways; it needs a line's height.
  if (!wraps && !edit && need.cx > room) check.Fail(text, L"width", need.cx, room);
  if (need.cy > client.bottom) check.Fail(text, L"height", need.cy, client.bottom);
}

TextCheck CheckTexts(HWND top) {
  TextCheck check;
  EnumChildWindows(
      top,
      [](HWND child, LPARAM data) -> BOOL {
        CheckOne(child, *reinterpret_cast<TextCheck*>(data));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&check));
  return check;
}

// The misfits as one printable message (the texts are plain ASCII).
std::string Joined(const TextCheck& check) {
  std::string all;
  for (const std::wstring& line : check.cut) {
    for (const wchar_t c : line) all += static_cast<char>(c);
    all += '\n';
  }
  return all;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bits{};
  GetObjectW(bitmap, sizeof(bits), &bits);
  return {bits.bmWidth, bits.bmHeight};
}

using TextsWhole = MainWindowTest;

// The main window's pane, the results dialog and the compact progress window, every kind of box
// with the program's longest questions and a text of many lines (and an "&" that is no mnemonic),
// and the find window: texts whole at the process's DPI, pictures drawn at it.
void CheckEveryWindow(MainWindow& main, UiWindow& window) {
  const int dpi = window.Dpi();
  SCOPED_TRACE(::testing::Message() << dpi << " DPI");
  ASSERT_EQ(dpi, SystemDpi());
  main.ShowAndFill();
  TextCheck check = CheckTexts(window.Handle());
  // 8 buttons, the check box, the legend's title and 4 labels, 3 links.
  EXPECT_EQ(check.checked, 17);
  EXPECT_TRUE(check.cut.empty()) << Joined(check);
  const MainWindow::Ids& ids = main.ControlIds();
  EXPECT_EQ(BitmapSize(window.Entry(ids.buttons[0])->picture.Get()).cx, ScaleForDpi(20, dpi))
      << "button picture";
  // The check boxes are drawn at the scale and sit on their rows.
  const HWND list = window.ControlHandle(ids.list);
  int side = 0, unused = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_STATE), &side, &unused);
  EXPECT_EQ(side, ScaleForDpi(16, dpi)) << "check boxes";
  RECT row{};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  EXPECT_GE(row.bottom - row.top, side) << "a check box taller than its row";

  OperationResultsDialog dialog;
  for (const bool results : {true, false}) {
    if (results) {
      dialog.OpenResultsDialog(u"Scanning for hardware changes", &window);
    } else {
      dialog.OpenProgressWindow(u"Scanning for hardware changes", &window, 300, 60);
    }
    dialog.AddCancelButton().ShowDialog();
    check = CheckTexts(dialog.DialogHandle());
    EXPECT_EQ(check.checked, 1) << "the Cancel button";
    EXPECT_TRUE(check.cut.empty()) << Joined(check);
    EXPECT_NEAR(dialog.Ring().Side(), ScaleForDpi(results ? 70 : 60, dpi), 1) << "the ring";
    dialog.CloseDialog();
  }

  std::u16string manyLines;
  for (char16_t i = u'A'; i < u'M'; ++i) {
    manyLines += u"Line " + std::u16string(1, i) + u" of a message that goes on long enough to wrap\r\n";
  }
  MessageBoxWindow box;
  for (const char16_t* text : {kRebootQuestion, kFirstRunQuestion, manyLines.c_str(),
                               u"Uninstall \"AT&T USB Modem\"?"}) {
    for (const int32_t kind : {kMessageOk, kMessageYesNo, kMessageOkCancel, kMessageYesNoCancel}) {
      box.ShowMessageBox(&window, text, kind, kMessageBoxHeight, kMessageBoxWidth);
      check = CheckTexts(box.Window().Handle());
      EXPECT_EQ(check.checked, 1 + static_cast<int>(MessageButtons(kind).size())) << kind;
      EXPECT_TRUE(check.cut.empty()) << kind << ":\n" << Joined(check);
    }
  }
  EXPECT_TRUE(GetWindowLongPtrW(box.Window().ControlHandle(box.TextControlId()), GWL_STYLE) &
              SS_NOPREFIX) << "an \"&\" of a device name taken for a mnemonic";
  box.ShowMessageBox(&window, kStartupTip, kMessageTip, kMessageBoxHeight, kMessageBoxWidth);
  check = CheckTexts(box.Window().Handle());
  EXPECT_EQ(check.checked, 2) << "the tip's title and message";
  EXPECT_TRUE(check.cut.empty()) << Joined(check);
  box.CloseMessageBox();

  FindDeviceWindow& find = main.Find();
  find.Show();
  find.SetSearchText(u"Intel(R) Wireless-AC 9560 160MHz gjpqy");
  check = CheckTexts(find.Window().Handle());
  EXPECT_EQ(check.checked, 1) << "the search box";
  EXPECT_TRUE(check.cut.empty()) << Joined(check);
  find.Hide();
}

// The prefix's display scale (its LogPixels) for the processes started while this lives.
class PrefixDpi {
 public:
  explicit PrefixDpi(DWORD dpi) {
    had_ = RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                        &old_, &size_) == ERROR_SUCCESS;
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  }
  ~PrefixDpi() {
    if (had_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &old_, sizeof(old_));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    }
  }

 private:
  static constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
  DWORD old_ = 0, size_ = sizeof(DWORD);
  bool had_ = false;
};

constexpr char kDpiVariable[] = "PYRAVEL_TEST_DPI";

// Runs this test in a new process started at dpi; its exit code, -1 when it did not end in time.
int RunThisTestAt(int dpi) {
  const PrefixDpi scale(static_cast<DWORD>(dpi));
  const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::string filter = std::string(test.test_suite_name()) + "." + test.name();
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" +
                         std::wstring(filter.begin(), filter.end());
  SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
  STARTUPINFOW start{};
  start.cb = sizeof(start);
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &start, &child);
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  if (!started) return -2;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(child.hProcess, 180000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(child.hProcess, &code);
  } else {
    TerminateProcess(child.hProcess, code);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<int>(code);
}

// At 100, 125, 150 and 200 %: each scale but the process's own runs in a process of its own,
// started with the prefix at that scale (a process takes its DPI when it starts).
TEST_F(TextsWhole, EveryTextWholeAtEveryDisplayScale) {
  if (const char* asked = std::getenv(kDpiVariable)) {
    ASSERT_EQ(SystemDpi(), std::atoi(asked)) << "the prefix's scale was not taken";
    Build();
    CheckEveryWindow(*main_, window_);
    return;
  }
  for (const int dpi : {96, 120, 144, 192}) {
    if (dpi == SystemDpi()) {
      Build();
      CheckEveryWindow(*main_, window_);
    } else {
      EXPECT_EQ(RunThisTestAt(dpi), 0) << "at " << dpi << " DPI: see that run's failures above";
    }
  }
}

// Moved to a monitor of another scale, as Windows tells it: the window takes the suggested
// rectangle and lays out at the new scale in the new fonts, the list keeping its rows, ticks,
// selection and scroll; moved back, it is as it was.
TEST_F(TextsWhole, MovedToAnotherScaleLaysOutAgainAndKeepsTheList) {
  BuildShown();
  // Small enough to be taken at 150 % on the test's screen.
  SetWindowPos(window_.Handle(), nullptr, 0, 0, 800, 620, SWP_NOMOVE | SWP_NOZORDER);
  const MainWindow::Ids& ids = main_->ControlIds();
  DeviceList& rows = main_->List();
  const HWND list = ListHandle();
  rows.SetRowChecked(2, true);
  rows.SetRowChecked(5, true);
  rows.SelectRow(7);
  // Scrolled down to row 30 at the top, which leaves room below it at every scale.
  ListView_EnsureVisible(list, rows.RowCount() - 1, FALSE);
  ListView_EnsureVisible(list, 30, FALSE);
  const int top = ListView_GetTopIndex(list);
  ASSERT_EQ(top, 30);
  const int count = rows.RowCount();
  std::vector<int32_t> controls(ids.buttons.begin(), ids.buttons.end());
  controls.insert(controls.end(), {ids.startupTipBox, ids.list, ids.pane, ids.legend[3], ids.links[2]});
  std::vector<Box> before;
  for (const int32_t id : controls) before.push_back(PlaceInParent(window_.ControlHandle(id)));
  const int from = window_.Dpi();
  for (const int to : {from * 3 / 2, from}) {
    SCOPED_TRACE(::testing::Message() << from << " to " << to << " DPI");
    const RECT now = WindowRectOf(window_.Handle());
    const RECT suggested{now.left, now.top, now.left + RescaleForDpi(now.right - now.left, window_.Dpi(), to),
                         now.top + RescaleForDpi(now.bottom - now.top, window_.Dpi(), to)};
    SendMessageW(window_.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(BoxOf(WindowRectOf(window_.Handle())), BoxOf(suggested));
    const auto at = [to](int value) { return ScaleForDpi(value, to); };
    const RECT client = ClientOf(window_.Handle());
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(ids.pane)).left, client.right - (at(750) - at(600)));
    for (size_t i = 0; i < ids.buttons.size(); ++i) {
      const Box button = PlaceInParent(window_.ControlHandle(ids.buttons[i]));
      EXPECT_EQ(button.left, at(10)) << i;
      EXPECT_GE(button.top, at(15 + 35 * static_cast<int>(i))) << i;
      EXPECT_GE(button.height, at(15 + 35 * static_cast<int>(i) + 28) - at(15 + 35 * static_cast<int>(i))) << i;
    }
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.ControlHandle(ids.buttons[0]), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, UiFontHeight(9, to));
    int side = 0, unused = 0;
    ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_STATE), &side, &unused);
    EXPECT_EQ(side, at(16));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), at(270));
    EXPECT_TRUE(CheckTexts(window_.Handle()).cut.empty()) << Joined(CheckTexts(window_.Handle()));
    EXPECT_EQ(rows.RowCount(), count);
    EXPECT_EQ(rows.CheckedRows(), (std::vector<int>{2, 5}));
    EXPECT_EQ(rows.SelectedRow(), 7);
    EXPECT_EQ(ListView_GetTopIndex(list), top);
  }
  for (size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(controls[i])), before[i]) << "back in place " << i;
  }
}

// Whatever the font: a pane of texts sized for a small font, given larger ones, has cut texts
// until it is fitted, and none after, each control still below the one before it.
TEST(TextFit, PaneTextsFitAtEveryFontSize) {
  for (const auto& [points, weight] : {std::pair{8.0, FW_NORMAL}, {11.0, FW_BOLD}, {14.0, FW_NORMAL}}) {
    UiWindow window;
    ASSERT_NE(window.CreateUiWindow(u"PyravelTextFit", u"Fit", 300, 600, 10, 10,
                                    WS_OVERLAPPEDWINDOW, 0, nullptr),
              nullptr);
    window.SetDefaultFont(points, weight);
    const int32_t pane = window.AddPanel(100, 0, 152, 553);
    std::vector<int32_t> stack = {
        window.AddButton(u"Scan for hardware", 10, 15, 130, 28),
        window.AddCheckBox(u"Show startup tooltip", 10, 60, 130, 18),
        window.AddText(u"No drivers installed", 10, 90, 130, 20, WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE),
        window.AddText(u"A legend title long enough to need a second line", 10, 120, 130, 18,
                       WS_VISIBLE | SS_CENTER),
        window.AddLink(u"Love this app? <a>Donate</a>", 150),
        window.AddLink(u"App by <a>tolvenor.com</a>", 175),
    };
    window.ShowUiWindow(SW_SHOW, kShowUpdate);
    const HWND paneHwnd = window.ControlHandle(pane);
    if (points >= 11) {
      EXPECT_FALSE(CheckTexts(paneHwnd).cut.empty()) << points << " pt: cut before fitting";
    }
    FitStackToTexts(window, stack, ClientOf(paneHwnd).right - 12);
    const TextCheck check = CheckTexts(paneHwnd);
    EXPECT_EQ(check.checked, 6) << points;
    EXPECT_TRUE(check.cut.empty()) << points << " pt:\n" << Joined(check);
    window.DestroyUiWindow();
  }
}

// Columns holding a dark pixel within area of a 32-bit top-down picture of the given width.
int InkColumns(const std::vector<uint32_t>& pixels, int width, const RECT& area) {
  int columns = 0;
  for (int x = area.left; x < area.right; ++x) {
    for (int y = area.top; y < area.bottom; ++y) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      if (((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) < 3 * 100) {
        ++columns;
        break;
      }
    }
  }
  return columns;
}

// The results list's " Date & time" shows its "&": the header's picture of the title has as many
// inked columns as the title drawn without prefix processing, not as many as "Date _time".
TEST_F(TextsWhole, HeaderTitleShowsItsAmpersand) {
  Build();
  OperationResultsDialog dialog;
  dialog.OpenResultsDialog(u"Done", &window_);
  dialog.ShowDialog();
  const HWND header = ListView_GetHeader(dialog.DialogWindow().ControlHandle(dialog.ResultListId()));
  ASSERT_NE(header, nullptr);
  RECT item{};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
  const RECT client = ClientOf(header);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
  const auto picture = [&](const auto& paint) {
    WhiteCanvas canvas(client.right, client.bottom);
    paint(canvas.Dc());
    return canvas.Pixels();
  };
  const std::vector<uint32_t> shown = picture([&](HDC dc) {
    SendMessageW(header, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  });
  const auto titleDrawn = [&](UINT prefix) {
    return picture([&](HDC dc) {
      const HGDIOBJ old = SelectObject(dc, font);
      RECT r = item;
      DrawTextW(dc, L" Date & time", -1, &r, DT_SINGLELINE | DT_VCENTER | prefix);
      SelectObject(dc, old);
    });
  };
  // Leave out the item's frame: its dividing line and edges are not text.
  const RECT inside{item.left + 2, item.top + 2, item.right - 4, item.bottom - 2};
  const int literal = InkColumns(titleDrawn(DT_NOPREFIX), client.right, inside);
  const int mnemonic = InkColumns(titleDrawn(0), client.right, inside);
  ASSERT_GT(std::abs(literal - mnemonic), 2) << "the two drawings must tell apart";
  EXPECT_NEAR(InkColumns(shown, client.right, inside), literal, 1);
  dialog.CloseDialog();
}

}  // namespace
}  // namespace pyr
