// Every text of the main window and the dialogs is whole where it stands: each static text,
// button, check box and link is measured with its own font against its client rectangle, and
// each control lies inside its parent.
#include "tests/win/main_window_fixture.h"

#include <string>
#include <vector>

#include "app/main_window_texts.h"
#include "ui/dialogs/win32/message_box_window.h"
#include "ui/dialogs/win32/operation_results_dialog.h"
#include "ui/win32/text_fit.h"

#ifndef LM_GETIDEALSIZE
#define LM_GETIDEALSIZE LM_GETIDEALHEIGHT  // one message: wParam the width, lParam a SIZE
#endif

namespace pyr {
namespace {

struct TextCheck {
  int checked = 0;                 // controls with a text that were measured
  std::vector<std::wstring> cut;   // "text: why" for each that does not fit
};

std::wstring Text(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Text extent with the control's WM_GETFONT font; wrapWidth > 0 wraps there.
SIZE Extent(HWND control, const std::wstring& text, int wrapWidth, UINT prefix) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  if (wrapWidth <= 0 && prefix == DT_NOPREFIX) {
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  } else {
    RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 0x7FFF, 0};
    DrawTextW(dc, text.c_str(), -1, &r,
              DT_CALCRECT | prefix | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    size = {r.right, r.bottom};
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

void CheckOne(HWND control, TextCheck& check) {
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  const std::wstring name = cls;
  const std::wstring text = Text(control);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (!IsWindowVisible(control) || text.empty()) return;
  RECT client{};
  GetClientRect(control, &client);
  const auto fail = [&](const wchar_t* why, LONG need, LONG have) {
    check.cut.push_back(text + L": " + why + L" " + std::to_wstring(need) + L" > " +
                        std::to_wstring(have));
  };

  // Inside the parent's client area, or the edge cuts it.
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  RECT parent{};
  GetClientRect(GetParent(control), &parent);
  if (place.right > parent.right) fail(L"right edge past the parent's", place.right, parent.right);
  if (place.bottom > parent.bottom) fail(L"bottom past the parent's", place.bottom, parent.bottom);

  if (_wcsicmp(cls, WC_LINK) == 0) {
    ++check.checked;
    SIZE ideal{};
    const auto height = static_cast<LONG>(
        SendMessageW(control, LM_GETIDEALSIZE, static_cast<WPARAM>(client.right),
                     reinterpret_cast<LPARAM>(&ideal)));
    if (std::max(ideal.cy, height) > client.bottom) {
      fail(L"link height", std::max(ideal.cy, height), client.bottom);
    }
    return;
  }
  if (name == L"Edit" && !(style & ES_MULTILINE)) {  // one line of the control's font
    ++check.checked;
    const SIZE one = Extent(control, text, 0, DT_NOPREFIX);
    if (one.cy > client.bottom) fail(L"line height", one.cy, client.bottom);
    return;
  }
  if (name == L"Static") {
    const DWORD kind = style & SS_TYPEMASK;
    if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT) return;
    ++check.checked;
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    if (style & SS_CENTERIMAGE) {  // one line only
      const SIZE one = Extent(control, text, 0, prefix);
      if (one.cx > client.right) fail(L"width", one.cx, client.right);
      if (one.cy > client.bottom) fail(L"height", one.cy, client.bottom);
    } else {
      const SIZE wrapped = Extent(control, text, client.right, prefix);
      if (wrapped.cy > client.bottom) fail(L"wrapped height", wrapped.cy, client.bottom);
    }
    return;
  }
  if (name == L"Button") {
    const DWORD kind = style & BS_TYPEMASK;
    const bool box = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX;
    const bool push = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
    if (!box && !push) return;
    ++check.checked;
    int room = client.right;
    if (box) room -= GetSystemMetrics(SM_CXMENUCHECK);
    if (push) {
      room -= 4;  // edges
      if (const auto bitmap = reinterpret_cast<HBITMAP>(
              SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
        BITMAP bits{};
        GetObjectW(bitmap, sizeof(bits), &bits);
        room -= bits.bmWidth;
      }
    }
    if (style & BS_MULTILINE) {
      const SIZE wrapped = Extent(control, text, room, 0);
      if (wrapped.cy > client.bottom) fail(L"wrapped height", wrapped.cy, client.bottom);
    } else {
      const SIZE one = Extent(control, text, 0, 0);
      if (one.cx > room) fail(L"width", one.cx, room);
      if (one.cy > client.bottom) fail(L"height", one.cy, client.bottom);
    }
  }
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
std::string Joined(const std::vector<std::wstring>& lines) {
  std::string all;
  for (const std::wstring& line : lines) {
    for (const wchar_t c : line) all += static_cast<char>(c);
    all += '\n';
  }
  return all;
}

using TextsWhole = MainWindowTest;

// The pane's buttons, check box, legend and links, in the window's bold and normal fonts.
TEST_F(TextsWhole, MainWindowPane) {
  Build();
  main_->ShowAndFill();
  const TextCheck check = CheckTexts(window_.Handle());
  // 6 buttons, the check box, the legend's title and 4 labels, 3 links at least.
  EXPECT_GE(check.checked, 15);
  EXPECT_TRUE(check.cut.empty()) << Joined(check.cut);
}

// The results dialog with its Cancel button, and the compact progress window.
TEST_F(TextsWhole, ResultsDialogAndProgressWindow) {
  Build();
  struct Variant {
    const char* name;
    bool results;
  };
  for (const Variant& variant : {Variant{"results", true}, Variant{"progress", false}}) {
    OperationResultsDialog dialog;
    if (variant.results) {
      dialog.OpenResultsDialog(u"Scanning for hardware changes", &window_);
    } else {
      dialog.OpenProgressWindow(u"Scanning for hardware changes", &window_, 300, 60);
    }
    dialog.AddCancelButton().ShowDialog();
    const TextCheck check = CheckTexts(dialog.DialogHandle());
    EXPECT_GE(check.checked, 1) << variant.name;
    EXPECT_TRUE(check.cut.empty()) << variant.name << ": "
                                   << Joined(check.cut);
    dialog.CloseDialog();
  }
}

// Every kind of box, with the program's longest questions and a text of many lines: the text
// shows whole (the box grows for it), the buttons stay below it and inside the box, and an "&"
// of a device name is shown, not taken as a mnemonic.
TEST_F(TextsWhole, MessageBoxesOfEveryKind) {
  Build();
  std::u16string manyLines;
  for (int i = 1; i <= 12; ++i) {
    manyLines += u"Line " + std::u16string(1, static_cast<char16_t>(u'A' + i)) +
                 u" of a message that goes on long enough to wrap inside the box\r\n";
  }
  const char16_t* texts[] = {kRebootQuestion, kFirstRunQuestion, manyLines.c_str(),
                             u"Uninstall \"AT&T USB Modem\"?"};
  const int32_t kinds[] = {kMessageOk, kMessageYesNo, kMessageOkCancel, kMessageYesNoCancel};
  MessageBoxWindow box;
  for (const char16_t* text : texts) {
    for (const int32_t kind : kinds) {
      box.ShowMessageBox(&window_, text, kind, kMessageBoxHeight, kMessageBoxWidth);
      const HWND boxHwnd = box.Window().Handle();
      ASSERT_NE(boxHwnd, nullptr);
      const TextCheck check = CheckTexts(boxHwnd);
      EXPECT_EQ(check.checked, 1 + static_cast<int>(MessageButtons(kind).size())) << kind;
      EXPECT_TRUE(check.cut.empty()) << kind << ":\n" << Joined(check.cut);
      const Box textPlace = PlaceInParent(box.Window().ControlHandle(box.TextControlId()));
      const Box first = PlaceInParent(box.Window().ControlHandle(box.ButtonId(1)));
      EXPECT_GE(first.top, textPlace.top + textPlace.height) << kind << ": buttons over the text";
      EXPECT_TRUE(GetWindowLongPtrW(box.Window().ControlHandle(box.TextControlId()), GWL_STYLE) &
                  SS_NOPREFIX);
    }
  }
  box.CloseMessageBox();
}

// The find window's search box holds a line of its font, and its buttons lie inside it.
TEST_F(TextsWhole, FindDeviceSearchBox) {
  Build();
  main_->ShowAndFill();
  FindDeviceWindow& find = main_->Find();
  find.Show();
  find.SetSearchText(u"Intel(R) Wireless-AC 9560 160MHz gjpqy");
  const TextCheck check = CheckTexts(find.Window().Handle());
  EXPECT_EQ(check.checked, 1);
  EXPECT_TRUE(check.cut.empty()) << Joined(check.cut);
  find.Hide();
}

// Whatever the font: a pane of texts sized for a small font, given larger ones, has cut texts
// until it is fitted, and none after, each control still below the one before it.
TEST(TextFit, PaneTextsFitAtEveryFontSize) {
  struct Case {
    double points;
    int weight;
  };
  for (const Case& c : {Case{8, FW_NORMAL}, Case{11, FW_BOLD}, Case{14, FW_NORMAL}}) {
    UiWindow window;
    ASSERT_NE(window.CreateUiWindow(u"PyravelTextFit", u"Fit", 300, 600, 10, 10,
                                    WS_OVERLAPPEDWINDOW, 0, nullptr),
              nullptr);
    window.SetDefaultFont(c.points, c.weight);
    const int32_t pane = window.AddPanel(100, 0, 152, 553);
    std::vector<int32_t> stack = {
        window.AddButton(u"Scan for hardware", 10, 15, 130, 28),
        window.AddCheckBox(u"Show startup tooltip", 10, 60, 130, 18),
        window.AddText(u"No drivers installed", 10, 90, 130, 20,
                       WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE),
        window.AddText(u"A legend title long enough to need a second line", 10, 120, 130, 18,
                       WS_VISIBLE | SS_CENTER),
        window.AddLink(u"Love this app? <a>Donate</a>", 150),
        window.AddLink(u"App by <a>tolvenor.com</a>", 175),
    };
    window.ShowUiWindow(SW_SHOW, kShowUpdate);
    const HWND paneHwnd = window.ControlHandle(pane);
    if (c.points >= 11) {
      EXPECT_FALSE(CheckTexts(paneHwnd).cut.empty()) << c.points << " pt: cut before fitting";
    }
    RECT client{};
    GetClientRect(paneHwnd, &client);
    FitStackToTexts(window, stack, client.right - 12);
    const TextCheck check = CheckTexts(paneHwnd);
    EXPECT_EQ(check.checked, 6) << c.points;
    EXPECT_TRUE(check.cut.empty()) << c.points << " pt:\n" << Joined(check.cut);
    for (size_t i = 1; i < stack.size(); ++i) {
      EXPECT_GE(PlaceInParent(window.ControlHandle(stack[i])).top,
                PlaceInParent(window.ControlHandle(stack[i - 1])).top +
                    PlaceInParent(window.ControlHandle(stack[i - 1])).height)
          << c.points << " pt, control " << i << " overlaps the one above";
    }
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

// Paints into a fresh white picture of size w x h and returns its pixels.
template <typename Paint>
std::vector<uint32_t> Picture(int w, int h, Paint paint) {
  WhiteCanvas canvas(w, h);
  paint(canvas.Dc());
  return canvas.Pixels();
}

// The results list's " Date & time" shows its "&": the header's picture of the title has as many
// inked columns as the title drawn without prefix processing, not as many as "Date _time".
TEST_F(TextsWhole, HeaderTitleShowsItsAmpersand) {
  Build();
  OperationResultsDialog dialog;
  dialog.OpenResultsDialog(u"Done", &window_);
  dialog.ShowDialog();
  const HWND list = dialog.DialogWindow().ControlHandle(dialog.ResultListId());
  const HWND header = ListView_GetHeader(list);
  ASSERT_NE(header, nullptr);
  RECT item{};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
  RECT client{};
  GetClientRect(header, &client);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));

  const std::vector<uint32_t> shown = Picture(client.right, client.bottom, [&](HDC dc) {
    SendMessageW(header, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  });
  const auto titleDrawn = [&](UINT prefix) {
    return Picture(client.right, client.bottom, [&](HDC dc) {
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
