// The window framework on real windows: control ids, the event record, the pump.

#include <cstring>
#include <string>
#include <vector>

#include "base/win32/wchar.h"
#include "tests/win/ui_toolkit_fixture.h"
#include "ui/draw/win32/images.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace pyr::testing {
namespace {

using UiWindowIds = ToolkitWindow;
using UiWindowEvents = ToolkitWindow;
using UiWindowState = ToolkitWindow;

TEST_F(UiWindowIds, ControlsMenuItemsAndSeparatorsShareOneSequenceAfterIdokAndIdcancel) {
  const int32_t button = window_.AddButton(u"Menu", 10, 10, 100, 25);
  const int32_t first = window_.AttachPopupMenu(button, u"First", nullptr);
  const int32_t separator = window_.AddMenuItem(-1, nullptr, 100, kMenuItemSeparator);
  const int32_t third = window_.AddMenuItem(-1, u"Third\tF5");
  const int32_t text = window_.AddText(u"label", 10, 50, 100, 20);
  // 1 and 2 are what the dialog navigation sends for Enter and Esc: no control ever has them.
  EXPECT_EQ((std::vector<int32_t>{button, first, separator, third, text}),
            (std::vector<int32_t>{3, 4, 5, 6, 7}));
  // The Windows control id and the menu command id are the entry index.
  EXPECT_EQ(GetDlgCtrlID(window_.ControlHandle(text)), text);
  EXPECT_EQ(GetMenuItemID(window_.ControlMenu(button), 2), static_cast<UINT>(third));
  EXPECT_EQ(window_.ControlFromHandle(window_.ControlHandle(button)), button);
  EXPECT_EQ(window_.ControlHandle(-1), window_.ControlHandle(text));
  EXPECT_EQ(window_.ControlHandle(0), window_.Handle());
  // A window made again on the same object starts again at the first id.
  window_.DestroyUiWindow();
  EXPECT_EQ(window_.ControlHandle(button), nullptr);
  ASSERT_TRUE(window_.CreateUiWindow(u"PyravelToolkitTest", u"again", 300, 200, -1, -1,
                                     WS_OVERLAPPEDWINDOW, 0, nullptr));
  EXPECT_EQ(window_.AddButton(u"C", 10, 10, 100, 25), button);
}

TEST_F(UiWindowEvents, EveryWayOfClosingBecomesMinusSixAndTheWindowStays) {
  for (const auto& [message, wParam] :
       {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_QUERYENDSESSION, 0}}) {
    DrainMessages();
    window_.OwnEvent().quit = 0;
    PostMessageW(window_.Handle(), message, wParam, 0);
    ASSERT_TRUE(PumpUntil(ev::kClose)) << message;
    EXPECT_EQ(window_.OwnEvent().quit, 1) << message;
    EXPECT_EQ(window_.OwnEvent().sourceWindow, &window_);
    EXPECT_TRUE(IsWindow(window_.Handle()));
  }
}

// (A click reaching another window's sink is how a box's answers come to the program's loop.)
TEST_F(UiWindowEvents, AClickClearsTheQuitFlag) {
  const int32_t button = window_.AddButton(u"Go", 10, 10, 100, 25);
  PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil(ev::kClose));
  SendMessageW(window_.ControlHandle(button), BM_CLICK, 0, 0);
  EXPECT_EQ(window_.OwnEvent().code, button);
  EXPECT_EQ(window_.OwnEvent().quit, 0);
}

// An event posted outside the pump, or by a window while the pending messages are dispatched,
// is returned by the next NextEvent first, and only once; an empty queue gives 0.
TEST_F(UiWindowEvents, PostedEventIsReturnedFirstAndOnlyOnce) {
  const int32_t button = window_.AddButton(u"Cancel", 10, 10, 80, 25);
  DrainMessages();
  window_.PostUiEvent(button, 0, window_.Handle(), 7, 9);
  EXPECT_EQ(window_.OwnEvent().pending, 1);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), button);
  EXPECT_EQ(window_.OwnEvent().param, 7u);
  EXPECT_EQ(window_.OwnEvent().pending, 0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), 0);
  EXPECT_FALSE(PumpPendingMessages());
  PostMessageW(window_.ControlHandle(button), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpPendingMessages());
  EXPECT_EQ(window_.OwnEvent().pending, 1);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), button);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), 0);
  // A message without an event is handled; a quit message ends the blocking pump.
  PostMessageW(window_.Handle(), WM_NULL, 0, 0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekHandled), 1);
  EXPECT_EQ(window_.OwnEvent().code, 0);
  PostQuitMessage(0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kWait), 0);
  EXPECT_EQ(window_.OwnEvent().code, ev::kPumpFailed);
}

TEST_F(UiWindowEvents, WithoutCancelControlEscAndALoneIdokPressNothing) {
  window_.AddText(u"Sure?", 10, 10, 200, 20);
  const int32_t first = window_.AddButton(u"First", 10, 40, 80, 25);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront | kShowActivate);
  SetFocus(window_.ControlHandle(first));
  DrainMessages();
  // Esc through the dialog navigation, then what it sends for Enter without a default button.
  PostMessageW(window_.ControlHandle(first), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  for (int i = 0; i < 100; ++i) {
    const int got = NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
    EXPECT_LE(window_.OwnEvent().code, 0) << "no control was pressed";
    EXPECT_NE(window_.OwnEvent().code, ev::kClose);
    if (!got) break;
  }
  EXPECT_TRUE(IsWindowVisible(window_.Handle()));
}

TEST_F(UiWindowEvents, AWaitThatNothingEndsTakesItsTime) {
  DrainMessages();
  HandleOwner event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event.Valid());
  const DWORD start = GetTickCount();
  EXPECT_FALSE(WaitForMessageOrObject(event.Get(), 300)) << "neither came: the time ran out";
  EXPECT_GE(GetTickCount() - start, 250u);
  // The object ending the wait, and a waiting message, are checked by a worker's end and a click
  // handled while it runs.
}

// A window of its own shows the executable's icon at the system's two sizes and is made centred
// in the work area; an owned window shows its owner's icons and is made centred on it.
TEST_F(UiWindowState, IconsAndCentredPlaces) {
  const auto iconWidth = [](HWND hwnd, WPARAM which) {
    ICONINFO info{};
    const auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0));
    if (!icon || !GetIconInfo(icon, &info)) return 0L;
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bits), &bits);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits.bmWidth;
  };
  const auto middle = [](const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  UiWindow alone, owned;
  ASSERT_TRUE(alone.CreateUiWindow(u"PyravelToolkitAlone", u"Alone", 300, 200, -1, -1,
                                   WS_OVERLAPPEDWINDOW, 0, nullptr));
  ASSERT_TRUE(owned.CreateUiWindow(u"PyravelToolkitOwned", u"Owned", 200, 100, -1, -1,
                                   WS_OVERLAPPEDWINDOW, 0, window_.Handle()));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  for (const auto& [hwnd, around] :
       {std::pair{alone.Handle(), work}, {owned.Handle(), WindowRectOf(window_.Handle())}}) {
    EXPECT_EQ(iconWidth(hwnd, ICON_BIG), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(iconWidth(hwnd, ICON_SMALL), GetSystemMetrics(SM_CXSMICON));
    // Halving an odd width may round either way.
    EXPECT_NEAR(middle(WindowRectOf(hwnd)).x, middle(around).x, 1);
    EXPECT_NEAR(middle(WindowRectOf(hwnd)).y, middle(around).y, 1);
  }
}

// Controls skip the non-client paint only while they have no frame: a border, and a scroll bar
// given later, are still drawn.
TEST_F(UiWindowState, ControlFramesAndLaterScrollBarsArePainted) {
  const HWND framed =
      window_.ControlHandle(window_.AddText(u"", 20, 20, 120, 60, WS_VISIBLE | WS_BORDER));
  const HWND scrolled = window_.ControlHandle(window_.AddText(u"", 200, 20, 120, 60));
  SetWindowLongPtrW(scrolled, GWL_STYLE, GetWindowLongPtrW(scrolled, GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(scrolled, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
  RedrawWindow(window_.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DrainMessages();
  // The colour of a point of the control's window area.
  const auto outer = [](HWND control, int x, int y) {
    HDC dc = GetWindowDC(control);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(control, dc);
    return colour;
  };
  EXPECT_EQ(outer(framed, 0, 30), GetSysColor(COLOR_WINDOWFRAME)) << "the border";
  EXPECT_NE(outer(framed, 0, 30), outer(framed, 5, 30));
  const int scrollBar = ClientOf(scrolled).right;
  ASSERT_LT(scrollBar, 120) << "the scroll bar takes its room";
  // The scroll bar's arrow buttons and track, whatever the theme, are not all the background.
  int drawn = 0;
  for (int y = 0; y < 60; ++y) drawn += outer(scrolled, scrollBar + 8, y) != outer(scrolled, 5, 30);
  EXPECT_GT(drawn, 0) << "the scroll bar";
}

TEST_F(UiWindowState, DisablerRestoresExactlyWhatWasEnabled) {
  const int32_t a = window_.AddButton(u"A", 10, 10, 80, 25);
  const int32_t b = window_.AddButton(u"B", 10, 40, 80, 25);
  const int32_t label = window_.AddText(u"label", 10, 70, 80, 20);
  const int32_t c = window_.AddButton(u"C", 10, 100, 80, 25);
  const auto enabled = [&](std::initializer_list<int32_t> ids) {
    std::vector<bool> states;
    for (const int32_t id : ids)
      states.push_back(IsWindowEnabled(window_.ControlHandle(id)) != FALSE);
    return states;
  };
  window_.SetControlState(b, kStateDisable);
  {
    const ControlsDisabler lock(window_, a, -1);
    EXPECT_EQ(enabled({a, b, label, c}), (std::vector<bool>{false, false, true, false}));
  }
  EXPECT_EQ(enabled({a, b, c}), (std::vector<bool>{true, false, true}));
  {
    // A last control below the first: only the first is taken.
    const ControlsDisabler lock(window_, c, a);
    EXPECT_EQ(enabled({a, c}), (std::vector<bool>{true, false}));
  }
}

TEST_F(UiWindowState, ControlColoursAnswerCtlColor) {
  const int32_t text = window_.AddText(u"Not present", 10, 10, 130, 20);
  const HWND control = window_.ControlHandle(text);
  window_.SetControlBackColour(text, 0xA05050);
  window_.SetControlTextColour(text, 0xFFFFFF);
  HDC dc = GetDC(control);
  const auto ask = [&] {
    return reinterpret_cast<HBRUSH>(SendMessageW(window_.Handle(), WM_CTLCOLORSTATIC,
                                                 reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(control)));
  };
  LOGBRUSH brush{};
  ASSERT_TRUE(GetObjectW(ask(), sizeof(brush), &brush));
  EXPECT_EQ(brush.lbColor, 0xA05050u);
  EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
  EXPECT_EQ(GetBkColor(dc), 0xA05050u);
  window_.SetControlBackColour(text, kTransparentColour);
  ask();
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(control, dc);
}

using UiWindowShell = ToolkitWindow;

// An HDROP as the shell hands it over: DROPFILES, then the paths, each ended, then one more 0.
HGLOBAL MakeDrop(POINT at, const std::wstring& paths) {
  const size_t bytes = (paths.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  *drop = DROPFILES{sizeof(DROPFILES), at, FALSE, TRUE};
  memcpy(drop + 1, paths.c_str(), bytes);
  GlobalUnlock(block);
  return block;
}

// Dropped paths arrive joined by line breaks, naming the control under the drop or else 0.
TEST_F(UiWindowShell, DroppedFilesArriveJoinedByLineBreaks) {
  const int32_t target = window_.AddText(u"", 100, 100, 200, 100, WS_VISIBLE);
  const struct {
    POINT at;
    std::wstring paths;
    uint32_t control;
    const char16_t* text;
  } cases[] = {
      {{150, 120},
       std::wstring(L"C:\\a.inf\0C:\\drivers\\b.inf\0D:\\c d.inf\0", 38),
       static_cast<uint32_t>(target),
       u"C:\\a.inf\r\nC:\\drivers\\b.inf\r\nD:\\c d.inf"},
      {{5, 5}, std::wstring(L"C:\\one.txt\0", 11), 0u, u"C:\\one.txt"},
  };
  for (const auto& c : cases) {
    SendMessageW(window_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.at, c.paths)),
                 0);
    EXPECT_EQ(window_.OwnEvent().code, ev::kFilesDropped);
    EXPECT_EQ(window_.OwnEvent().param, c.control);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(window_.OwnEvent().extra)), c.text);
    EXPECT_EQ(window_.TextBuffer(), c.text);
  }
}

RECT g_menuSeen{};

void CALLBACK RecordAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND menu = FindWindowW(L"#32768", nullptr)) GetWindowRect(menu, &g_menuSeen);
  EndMenu();
}

TEST_F(UiWindowShell, PopupMenuOpensWhereTheLastClickWas) {
  const int32_t button = window_.AddButton(u"Menu", 10, 10, 100, 25);
  window_.AttachPopupMenu(button, u"Show devices not present", nullptr);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
  DrainMessages();
  // The message that "caused the current event" carries the pointer position of its time.
  SetCursorPos(300, 250);
  PostMessageW(window_.Handle(), WM_USER + 5, 0, 0);
  // Events posted while showing come first.
  for (int i = 0; i < 50 && window_.OwnEvent().msg.message != WM_USER + 5; ++i) {
    NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
  }
  ASSERT_EQ(window_.OwnEvent().msg.pt.x, 300);
  g_menuSeen = RECT{};
  SetTimer(nullptr, 0, 300, RecordAndCloseMenu);
  window_.ShowPopupMenu(button, TPM_LEFTALIGN | TPM_TOPALIGN, -1, -1);
  EXPECT_EQ(g_menuSeen.left, 300);
  EXPECT_EQ(g_menuSeen.top, 250);
}

// (The program gives its menus their pictures itself.)
TEST_F(UiWindowShell, PictureAndButtonTakeTheirOwnCopiesOfImages) {
  const int32_t button = window_.AddButton(u"Refresh", 10, 10, 100, 25);
  ImagePtr rescan = LoadImageResource(GetModuleHandleW(nullptr), 23, 20, 20);
  BitmapHandle bitmap = ImageToBitmap(rescan.get());
  const int32_t picture = window_.AddPicture(bitmap.Get(), 10, 50, 20, 20);
  ASSERT_TRUE(window_.SetControlImage(button, bitmap.Get(), 20, 20));
  const HBITMAP given = bitmap.Get();
  bitmap.Reset();
  // What a control shows depends on the common controls version; the copies it was given live.
  BITMAP info{};
  for (const int32_t id : {picture, button}) {
    EXPECT_NE(window_.Entry(id)->picture.Get(), given);
    EXPECT_TRUE(GetObjectW(window_.Entry(id)->picture.Get(), sizeof(info), &info)) << id;
  }
}

}  // namespace
}  // namespace pyr::testing
