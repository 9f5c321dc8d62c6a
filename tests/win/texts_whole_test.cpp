// Every text of the main window, the boxes and the dialogs is whole where it stands, at every
// display scale: each static text, button, check box, link and search box is measured with its own
// font against its client rectangle, lies inside its parent and overlaps no other; the pictures
// are drawn at the scale. A window moved to a monitor of another scale lays itself out again.
#include "tests/win/main_window_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window_texts.h"
#include "base/win32/process.h"
#include "base/win32/wchar.h"
#include "ui/dialogs/win32/message_box_window.h"
#include "ui/dialogs/win32/operation_results_dialog.h"
#include "ui/dpi_scale.h"
#include "ui/draw/font_metrics.h"
#include "ui/win32/dpi.h"

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
  void Fail(const std::wstring& text, const wchar_t* why, LONG need, LONG have) {
    cut.push_back(text + L": " + why + L" " + std::to_wstring(need) + L" > " + std::to_wstring(have));
  }
};

// How a control shows its text: one line, wrapped, as a link, or as an edit's scrolled line.
enum class Shows { kNothing, kLine, kWrapped, kLink, kEdit };

bool IsClass(HWND control, const wchar_t* name) {
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  return _wcsicmp(cls, name) == 0;
}

Shows HowShown(HWND control) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  const DWORD kind = style & SS_TYPEMASK, button = style & BS_TYPEMASK;
  if (!IsWindowVisible(control) || GetWindowTextLengthW(control) == 0) return Shows::kNothing;
  if (IsClass(control, WC_LINK)) return Shows::kLink;
  if (IsClass(control, L"Edit")) return style & ES_MULTILINE ? Shows::kNothing : Shows::kEdit;
  if (IsClass(control, L"Static") && (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT)) {
    return style & SS_CENTERIMAGE ? Shows::kLine : Shows::kWrapped;
  }
  if (!IsClass(control, L"Button") || button > BS_AUTOCHECKBOX) return Shows::kNothing;
  return style & BS_MULTILINE ? Shows::kWrapped : Shows::kLine;
}

// The width a control leaves its text: a button's edges and picture or check square go first.
int TextRoom(HWND control) {
  const int width = ClientOf(control).right;
  const auto kind = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
  if (!IsClass(control, L"Button")) return width;
  if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) return width - MetricForDpi(SM_CXMENUCHECK, WindowDpi(control));
  const UiWindow* window = UiWindow::FromHandle(GetParent(control));
  const ControlEntry* entry = window ? window->Entry(window->ControlFromHandle(control)) : nullptr;
  BITMAP picture{};
  const bool pictured = entry && GetObjectW(entry->picture.Get(), sizeof(picture), &picture);
  return width - 4 - (pictured ? picture.bmWidth : 0);
}

// The text's extent with the control's font, on one line or wrapped within wrapWidth.
SIZE Extent(HWND control, const std::wstring& text, int wrapWidth) {
  const bool literal = IsClass(control, L"Edit") ||
                       (IsClass(control, L"Static") && (GetWindowLongPtrW(control, GWL_STYLE) & SS_NOPREFIX));
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0x7FFF, 0};
  DrawTextW(dc, text.c_str(), -1, &r,
            DT_CALCRECT | DT_EXPANDTABS | (literal ? DT_NOPREFIX : 0) | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {r.right, r.bottom};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

void CheckOne(HWND control, TextCheck& check) {
  const Shows shows = HowShown(control);
  if (shows == Shows::kNothing) return;
  ++check.checked;
  const std::wstring text = TextOf(control);
  const RECT client = ClientOf(control), parent = ClientOf(GetParent(control));
  const Box at = PlaceInParent(control);
  if (at.left + at.width > parent.right) check.Fail(text, L"right edge past the parent's", at.left + at.width, parent.right);
  if (at.top + at.height > parent.bottom) check.Fail(text, L"bottom past the parent's", at.top + at.height, parent.bottom);
  // Siblings that show a text never overlap it.
  for (HWND next = GetWindow(control, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
    if (HowShown(next) != Shows::kNothing && Overlap(at, PlaceInParent(next))) {
      check.cut.push_back(text + L": overlaps " + TextOf(next));
    }
  }
  if (shows == Shows::kLink) {
    SIZE ideal{};
    const auto height = static_cast<LONG>(
        SendMessageW(control, LM_GETIDEALSIZE, client.right, reinterpret_cast<LPARAM>(&ideal)));
    if (std::max(ideal.cy, height) > client.bottom) check.Fail(text, L"link height", std::max(ideal.cy, height), client.bottom);
    return;
  }
  const int room = TextRoom(control);
  const SIZE need = Extent(control, text, shows == Shows::kWrapped ? room : 0);
  // An edit scrolls its text sideways: it needs a line's height.
  if (shows == Shows::kLine && need.cx > room) check.Fail(text, L"width", need.cx, room);
  if (need.cy > client.bottom) check.Fail(text, L"height", need.cy, client.bottom);
}

// Whether the texts of a window are whole, with as many controls measured as expected; the
// misfits are plain ASCII.
::testing::AssertionResult AllWhole(HWND window, int measured = -1) {
  TextCheck check;
  EnumChildWindows(window, [](HWND child, LPARAM data) -> BOOL {
    CheckOne(child, *reinterpret_cast<TextCheck*>(data));
    return TRUE;
  }, reinterpret_cast<LPARAM>(&check));
  if ((measured < 0 || check.checked == measured) && check.cut.empty()) return ::testing::AssertionSuccess();
  std::string all;
  for (const std::wstring& line : check.cut) all += std::string(line.begin(), line.end()) + "\n";
  return ::testing::AssertionFailure() << check.checked << " measured, not " << measured << "\n" << all;
}

int StateImageSide(HWND list) {
  int side = 0, unused = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_STATE), &side, &unused);
  return side;
}

using TextsWhole = MainWindowTest;

// The main window's pane, the results dialog and the compact progress window, every kind of box
// with the program's longest questions and a text of many lines (and an "&" that is no mnemonic),
// the startup tip and the find window: texts whole at the process's DPI, pictures drawn at it,
// and the settings' 96-DPI column widths shown at it.
void CheckEveryWindow(MainWindow& main, UiWindow& window) {
  const int dpi = window.Dpi();
  SCOPED_TRACE(::testing::Message() << dpi << " DPI");
  ASSERT_EQ(dpi, SystemDpi());
  main.ShowAndFill();
  // 8 buttons, the check box, the legend's title and 4 labels, 3 links.
  EXPECT_TRUE(AllWhole(window.Handle(), 17));
  const MainWindow::Ids& ids = main.ControlIds();
  BITMAP picture{};
  GetObjectW(window.Entry(ids.buttons[0])->picture.Get(), sizeof(picture), &picture);
  EXPECT_EQ(picture.bmWidth, ScaleForDpi(20, dpi)) << "button picture";
  const HWND list = window.ControlHandle(ids.list);
  EXPECT_EQ(ListView_GetColumnWidth(list, 7), ScaleForDpi(333, dpi)) << "a stored width";
  // The check boxes are drawn at the scale and sit on their rows.
  EXPECT_EQ(StateImageSide(list), ScaleForDpi(16, dpi));
  RECT row{};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  EXPECT_GE(row.bottom - row.top, StateImageSide(list)) << "a check box taller than its row";

  OperationResultsDialog dialog;
  for (const int ring : {70, 60}) {
    if (ring == 70) {
      dialog.OpenResultsDialog(u"Scanning for hardware changes", &window);
    } else {
      dialog.OpenProgressWindow(u"Scanning for hardware changes", &window, 300, 60);
    }
    dialog.AddCancelButton().ShowDialog();
    EXPECT_TRUE(AllWhole(dialog.DialogHandle(), 1));
    EXPECT_NEAR(dialog.Ring().Side(), ScaleForDpi(ring, dpi), 1) << "the ring";
    dialog.CloseDialog();
  }

  std::u16string lines;
  for (char16_t i = u'A'; i < u'M'; ++i) {
    lines += u"Line " + std::u16string(1, i) + u" of a message that goes on long enough\r\n";
  }
  MessageBoxWindow box;
  for (const char16_t* text :
       {kRebootQuestion, kFirstRunQuestion, lines.c_str(), u"Uninstall \"AT&T USB Modem\"?"}) {
    for (const int32_t kind : {kMessageOk, kMessageYesNo, kMessageOkCancel, kMessageYesNoCancel}) {
      box.ShowMessageBox(&window, text, kind, kMessageBoxHeight, kMessageBoxWidth);
      EXPECT_TRUE(
          AllWhole(box.Window().Handle(), 1 + static_cast<int>(MessageButtons(kind).size())));
    }
  }
  EXPECT_TRUE(GetWindowLongPtrW(box.Window().ControlHandle(box.TextControlId()), GWL_STYLE) &
              SS_NOPREFIX)
      << "an \"&\" of a device name taken for a mnemonic";
  // The box's framed picture and region are made at its scale: the region is the whole box.
  RECT region{};
  const HRGN shape = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(box.Window().Handle(), shape);
  GetRgnBox(shape, &region);
  DeleteObject(shape);
  EXPECT_EQ(region.right, BoxOf(WindowRectOf(box.Window().Handle())).width) << "the box's frame";
  box.ShowMessageBox(&window, kStartupTip, kMessageTip, kMessageBoxHeight, kMessageBoxWidth);
  EXPECT_TRUE(AllWhole(box.Window().Handle(), 2));
  box.CloseMessageBox();

  FindDeviceWindow& find = main.Find();
  find.Show();
  find.SetSearchText(u"Intel(R) Wireless-AC 9560 160MHz gjpqy");
  EXPECT_TRUE(AllWhole(find.Window().Handle(), 1));
  find.Hide();
}

constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
constexpr char kDpiVariable[] = "PYRAVEL_TEST_DPI";

// Runs this test in a new process started with the prefix at dpi (a process takes its scale when
// it starts); its exit code, -1 when it did not end in time.
int RunThisTestAt(int dpi) {
  DWORD old = 0, size = sizeof(old);
  const bool had = RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", RRF_RT_REG_DWORD,
                                nullptr, &old, &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::string filter = std::string(test.test_suite_name()) + "." + test.name();
  const WideText command =
      Concat({u"\"", U(exe), u"\" --gtest_filter=", WideText::FromUtf8(filter.c_str())});
  SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
  DWORD code = static_cast<DWORD>(-1);
  const ProcessHandle child = LaunchProcess(U(exe), command, WideText(), SW_SHOW, 0);
  if (child && WaitForSingleObject(child.Get(), 180000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(child.Get(), &code);
  } else if (child) {
    TerminateProcess(child.Get(), code);
  }
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  if (had) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &old, sizeof(old));
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
  }
  return static_cast<int>(code);
}

// At 100, 125, 150 and 200 %: the process's own scale here, each other one in a process of its
// own.
TEST_F(TextsWhole, EveryTextWholeAtEveryDisplayScale) {
  StoreSetting(L"LvCol7", 333);
  const char* asked = std::getenv(kDpiVariable);
  for (const int dpi : {96, 120, 144, 192}) {
    if (asked != nullptr && dpi != std::atoi(asked)) continue;
    if (dpi == SystemDpi()) {
      Build();
      CheckEveryWindow(*main_, window_);
    } else {
      EXPECT_EQ(asked, nullptr) << "the prefix's scale was not taken";
      EXPECT_EQ(RunThisTestAt(dpi), 0) << "at " << dpi << " DPI: see that run's failures above";
    }
  }
}

// Moved to a monitor of another scale, as Windows tells it: the window takes the suggested
// rectangle and lays out at the new scale in the new fonts, keeping the list's rows, ticks,
// selection and scroll and storing its sizes in 96-DPI units; moved back, it is as it was.
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
  // Row 30 at the top, which leaves rows below it at every scale.
  ListView_EnsureVisible(list, rows.RowCount() - 1, FALSE);
  ListView_EnsureVisible(list, 30, FALSE);
  ListView_Scroll(list, 100, 0);
  std::vector<int32_t> controls(ids.buttons.begin(), ids.buttons.end());
  controls.insert(controls.end(),
                  {ids.startupTipBox, ids.list, ids.pane, ids.legend[3], ids.links[2]});
  std::vector<Box> before;
  for (const int32_t id : controls) before.push_back(PlaceInParent(window_.ControlHandle(id)));
  const int from = window_.Dpi();
  for (const int to : {from * 3 / 2, from}) {
    SCOPED_TRACE(::testing::Message() << from << " to " << to << " DPI");
    const auto at = [to](int value) { return ScaleForDpi(value, to); };
    const Box now = BoxOf(WindowRectOf(window_.Handle()));
    const RECT suggested{now.left, now.top, now.left + RescaleForDpi(now.width, window_.Dpi(), to),
                         now.top + RescaleForDpi(now.height, window_.Dpi(), to)};
    SendMessageW(window_.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(BoxOf(WindowRectOf(window_.Handle())), BoxOf(suggested));
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(ids.pane)).left,
              ClientOf(window_.Handle()).right - (at(750) - at(600)));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(
                   SendMessageW(window_.ControlHandle(ids.buttons[0]), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, UiFontHeight(9, to));
    BITMAP picture{};
    GetObjectW(window_.Entry(ids.buttons[0])->picture.Get(), sizeof(picture), &picture);
    EXPECT_EQ(picture.bmWidth, at(20)) << "button picture";
    EXPECT_EQ(StateImageSide(list), at(16));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), at(270));
    EXPECT_TRUE(AllWhole(window_.Handle()));
    EXPECT_EQ(rows.CheckedRows(), (std::vector<int>{2, 5}));
    EXPECT_EQ(rows.SelectedRow(), 7);
    EXPECT_EQ(ListView_GetTopIndex(list), 30);
    EXPECT_EQ(GetScrollPos(list, SB_HORZ), at(100)) << "scrolled sideways as far, at the scale";
    ASSERT_TRUE(main_->SaveSettings());
    EXPECT_EQ(StoredSetting(L"WindowCx"), 800u);
    EXPECT_EQ(StoredSetting(L"LvCol0"), 270u);
  }
  for (size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(controls[i])), before[i])
        << "back in place " << i;
  }
}

// The results list's " Date & time" shows its "&": the header's picture of the title has as many
// inked columns as the title drawn without prefix processing, not as many as "Date _time".
TEST_F(TextsWhole, HeaderTitleShowsItsAmpersand) {
  Build();
  OperationResultsDialog dialog;
  dialog.OpenResultsDialog(u"Done", &window_).ShowDialog();
  const HWND header =
      ListView_GetHeader(dialog.DialogWindow().ControlHandle(dialog.ResultListId()));
  RECT item{};
  ASSERT_TRUE(Header_GetItemRect(header, 0, &item));
  const RECT client = ClientOf(header);
  // Columns inked within the item, less its frame, by a painting on white.
  const auto inked = [&](const auto& paint) {
    const std::vector<uint32_t> pixels = PaintedPixels(client.right, client.bottom, paint);
    int columns = 0;
    for (LONG x = item.left + 2; x < item.right - 4; ++x) {
      bool ink = false;
      for (LONG y = item.top + 2; y < item.bottom - 2; ++y) {
        const uint32_t p = pixels[static_cast<size_t>(y * client.right + x)];
        ink = ink || (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 300;
      }
      columns += ink;
    }
    return columns;
  };
  const auto title = [&](UINT prefix) {
    return inked([&](HDC dc) {
      const HGDIOBJ old =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
      RECT r = item;
      DrawTextW(dc, L" Date & time", -1, &r, DT_SINGLELINE | DT_VCENTER | prefix);
      SelectObject(dc, old);
    });
  };
  const int literal = title(DT_NOPREFIX);
  ASSERT_GT(std::abs(literal - title(0)), 2) << "the two drawings must tell apart";
  EXPECT_NEAR(
      inked([&](HDC dc) { SendMessageW(header, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }),
      literal, 1);
  dialog.CloseDialog();
}

}  // namespace
}  // namespace pyr
