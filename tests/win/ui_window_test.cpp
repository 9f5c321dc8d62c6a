// The window framework on real windows: control ids, the event record, the pump.
#include <string>

#include "base/win32/wchar.h"
#include "tests/win/ui_toolkit_fixture.h"
#include "ui/draw/win32/images.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <thread>
#include <vector>

namespace pyr::testing {
namespace {

using UiWindowIds = ToolkitWindow;
using UiWindowEvents = ToolkitWindow;
using UiWindowState = ToolkitWindow;

TEST_F(UiWindowIds, ControlsMenuItemsAndSeparatorsShareOneSequenceAfterIdokAndIdcancel) {
  int32_t button = window_.AddButton(u"Menu", 10, 10, 100, 25);
  int32_t first = window_.AttachPopupMenu(button, u"First", nullptr);
  int32_t separator = window_.AddMenuItem(-1, nullptr, 100, kMenuItemSeparator);
  int32_t third = window_.AddMenuItem(-1, u"Third\tF5");
  int32_t text = window_.AddText(u"label", 10, 50, 100, 20);
  // 1 and 2 are what the dialog navigation sends for Enter and Esc: no control ever has them.
  EXPECT_EQ(button, 3);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(separator, 5);
  EXPECT_EQ(third, 6);
  EXPECT_EQ(text, 7);
  EXPECT_EQ(GetDlgItem(window_.Handle(), IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(window_.Handle(), IDCANCEL), nullptr);
  EXPECT_EQ(window_.ControlKindOf(button), kKindButton);
  EXPECT_EQ(window_.ControlKindOf(first), kKindMenuItem);
  EXPECT_EQ(window_.ControlKindOf(text), kKindText);
  // The Windows control id and the menu command id are the entry index.
  EXPECT_EQ(GetDlgCtrlID(window_.ControlHandle(text)), text);
  EXPECT_EQ(GetMenuItemID(window_.ControlMenu(button), 2), static_cast<UINT>(third));
  EXPECT_EQ(window_.ControlFromHandle(window_.ControlHandle(button)), button);
  EXPECT_EQ(window_.ControlHandle(-1), window_.ControlHandle(text));
  EXPECT_EQ(window_.ControlHandle(0), window_.Handle());
  // A window the toolkit did not make is no control, nor is an id past the last.
  HWND stranger = CreateWindowExW(0, L"Button", L"x", WS_CHILD, 0, 0, 10, 10, window_.Handle(),
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
  EXPECT_EQ(window_.ControlFromHandle(stranger), 0);
  EXPECT_FALSE(window_.IsControl(8));
  EXPECT_FALSE(window_.SetControlText(8, u"nothing"));
  DestroyWindow(stranger);
  EXPECT_EQ(BoxOf(ClientOf(window_.Handle())), (Box{0, 0, 600, 400})) << "the requested client size";
}

TEST_F(UiWindowIds, RecreatedWindowStartsAgainAtTheFirstId) {
  const int32_t a = window_.AddButton(u"A", 10, 10, 100, 25);
  window_.AddButton(u"B", 10, 40, 100, 25);
  HWND old = window_.ControlHandle(a);
  window_.DestroyUiWindow();
  EXPECT_EQ(window_.ControlHandle(a), nullptr);
  EXPECT_FALSE(IsWindow(old));
  ASSERT_NE(window_.CreateUiWindow(u"PyravelToolkitTest", u"again", 300, 200, -1, -1,
                                   WS_OVERLAPPEDWINDOW, 0, nullptr),
            nullptr);
  EXPECT_EQ(window_.AddButton(u"C", 10, 10, 100, 25), a);
}

TEST_F(UiWindowEvents, EveryWayOfClosingBecomesMinusSixAndTheWindowStays) {
  const struct {
    UINT message;
    WPARAM wParam;
  } cases[] = {{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_QUERYENDSESSION, 0}};
  for (const auto& c : cases) {
    Drain();
    window_.OwnEvent().quit = 0;
    PostMessageW(window_.Handle(), c.message, c.wParam, 0);
    ASSERT_TRUE(PumpUntil(ev::kClose)) << c.message;
    EXPECT_EQ(window_.OwnEvent().quit, 1) << c.message;
    EXPECT_EQ(window_.OwnEvent().sourceWindow, &window_);
    EXPECT_TRUE(IsWindow(window_.Handle()));
  }
}

TEST_F(UiWindowEvents, AClickClearsTheQuitFlagAndGoesToTheSinkThatWasSet) {
  int32_t button = window_.AddButton(u"Go", 10, 10, 100, 25);
  PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil(ev::kClose));
  Click(button);
  EXPECT_EQ(window_.OwnEvent().code, button);
  EXPECT_EQ(window_.OwnEvent().quit, 0);

  UiEvent shared;
  window_.OwnEvent() = UiEvent{};
  window_.SetEventSink(&shared);
  Click(button);
  EXPECT_EQ(shared.code, button);
  EXPECT_EQ(shared.sourceWindow, &window_);
  EXPECT_EQ(window_.OwnEvent().code, 0);
  window_.SetEventSink(nullptr);
  EXPECT_EQ(window_.EventSink(), &window_.OwnEvent());
}

TEST_F(UiWindowEvents, PostedEventIsReturnedFirstAndOnlyOnce) {
  int32_t button = window_.AddButton(u"Go", 10, 10, 100, 25);
  Drain();
  window_.PostUiEvent(button, 0, window_.Handle(), 7, 9);
  EXPECT_EQ(window_.OwnEvent().pending, 1);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), button);
  EXPECT_EQ(window_.OwnEvent().param, 7u);
  EXPECT_EQ(window_.OwnEvent().pending, 0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), 0);
}

TEST_F(UiWindowEvents, EnterPressesTheDefaultButtonThatDialogNavigationIsTold) {
  EXPECT_EQ(SendMessageW(window_.Handle(), WM_USER, 0, 0), 0) << "no default button yet";
  int32_t edit = window_.AddSingleLineEdit(10, 10, 200, 20);
  int32_t ok = window_.AddButton(u"OK", 10, 40, 80, 25, WS_VISIBLE | BS_DEFPUSHBUTTON);
  int32_t other = window_.AddButton(u"Other", 100, 40, 80, 25);
  EXPECT_EQ(window_.DefaultButton(), ok);
  ShowFocused(edit);
  PostMessageW(window_.ControlHandle(edit), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(PumpUntil(ok));

  window_.SetDefaultButton(other);
  EXPECT_EQ(SendMessageW(window_.Handle(), WM_USER, 0, 0), MAKELRESULT(other, DC_HASDEFID));
  EXPECT_EQ(GetWindowLongPtrW(window_.ControlHandle(other), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
}

// A box-like window: a text first, then Yes (the default) and No, as the message box builds it.
// With identifiers from 1, Yes would have been IDCANCEL and Esc would have pressed it.
TEST_F(UiWindowEvents, EscAndEveryCloseClickTheCancelControlNeverTheDefault) {
  window_.AddText(u"Sure?", 10, 10, 200, 20);
  const int32_t yes = window_.AddButton(u"Yes", 10, 40, 80, 25, WS_VISIBLE | BS_DEFPUSHBUTTON);
  const int32_t no = window_.AddButton(u"No", 100, 40, 80, 25);
  window_.SetCancelControl(no);
  const struct {
    const char* what;
    UINT message;
    WPARAM wParam;
    bool toFocus;
  } cases[] = {{"Esc", WM_KEYDOWN, VK_ESCAPE, true},
               {"WM_CLOSE", WM_CLOSE, 0, false},
               {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, false}};
  for (const auto& c : cases) {
    ShowFocused(yes);
    window_.OwnEvent().quit = 0;
    PostMessageW(c.toFocus ? window_.ControlHandle(yes) : window_.Handle(), c.message, c.wParam, 0);
    int code = 0;
    for (int i = 0; i < 50 && code <= 0 && code != ev::kClose; ++i) code = PumpForEvent();
    EXPECT_EQ(code, no) << c.what;
    EXPECT_EQ(window_.OwnEvent().sourceWindow, &window_) << c.what;
    EXPECT_EQ(window_.OwnEvent().quit, 0) << c.what << ": not the program's close";
    EXPECT_TRUE(IsWindow(window_.Handle())) << c.what;
  }
}

TEST_F(UiWindowEvents, WithoutCancelControlEscAndALoneIdokPressNothing) {
  window_.AddText(u"Sure?", 10, 10, 200, 20);
  const int32_t first = window_.AddButton(u"First", 10, 40, 80, 25);
  ShowFocused(first);
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

TEST_F(UiWindowEvents, AcceleratorArrivesAsTheMenuItemId) {
  const int32_t scan = MenuButton({u"Just refresh the list\tF5", u"Scan for hardware changes"}) + 2;
  ACCEL table[] = {{FVIRTKEY, VK_F5, static_cast<WORD>(scan)}};
  ASSERT_TRUE(window_.SetAccelerators(table, 1));
  window_.ShowUiWindow(SW_SHOW, kShowToFront);
  Drain();
  PostMessageW(window_.Handle(), WM_KEYDOWN, VK_F5, 1);
  EXPECT_TRUE(PumpUntil(scan));
  EXPECT_EQ(window_.OwnEvent().message, static_cast<uint32_t>(WM_COMMAND));
}

TEST_F(UiWindowEvents, ChoosingAMenuItemByPositionPostsItsId) {
  const int32_t button = MenuButton({u"One", u"Two", u"Three"});
  HMENU menu = window_.ControlMenu(button);
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_STYLE;
  ASSERT_TRUE(GetMenuInfo(menu, &info));
  EXPECT_TRUE(info.dwStyle & MNS_NOTIFYBYPOS);
  // What Windows sends when the third entry is chosen in a notify-by-position menu.
  SendMessageW(window_.Handle(), WM_MENUCOMMAND, 2, reinterpret_cast<LPARAM>(menu));
  EXPECT_EQ(window_.OwnEvent().code, button + 3);
}

TEST_F(UiWindowEvents, CheckBoxClickTogglesAndPostsItsId) {
  int32_t box = window_.AddStartupTipCheckBox();
  EXPECT_EQ(window_.GetControlText(box), u"Show startup tooltip");
  EXPECT_EQ(window_.GetControlState(box, kStateCheck | kStateUncheck), kStateUncheck);
  Click(box);
  EXPECT_EQ(window_.OwnEvent().code, box);
  EXPECT_EQ(window_.GetControlState(box, kStateCheck | kStateUncheck), kStateCheck);
  Click(box);
  EXPECT_EQ(window_.GetControlState(box, kStateCheck | kStateUncheck), kStateUncheck);
}

TEST_F(UiWindowEvents, ControlsInsideAPanelPostLikeDirectChildren) {
  int32_t panel = window_.AddPanel();
  int32_t inside = window_.AddButton(u"Rescan", 10, 15, 130, 28);
  EXPECT_EQ(GetParent(window_.ControlHandle(inside)), window_.ControlHandle(panel));
  EXPECT_EQ(window_.CurrentPanel(), panel);
  Click(inside);
  EXPECT_EQ(window_.OwnEvent().code, inside);
  // A panel never closes by itself either.
  SendMessageW(window_.ControlHandle(panel), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window_.ControlHandle(panel)));
}

// A context menu names the control under the click; a device change carries its event type.
TEST_F(UiWindowEvents, ContextMenuAndDeviceChangeCarryTheirParameter) {
  const int32_t button = window_.AddButton(u"Get info", 10, 10, 100, 25);
  const struct {
    UINT message;
    WPARAM wParam;
    int32_t code;
    uint32_t param;
  } cases[] = {
      {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_.ControlHandle(button)), ev::kContextMenu,
       static_cast<uint32_t>(button)},
      {WM_DEVICECHANGE, 0x0007, ev::kDeviceChange, 7u},
  };
  for (const auto& c : cases) {
    SendMessageW(window_.Handle(), c.message, c.wParam, MAKELPARAM(20, 20));
    EXPECT_EQ(window_.OwnEvent().code, c.code) << c.message;
    EXPECT_EQ(window_.OwnEvent().param, c.param) << c.message;
  }
}

TEST_F(UiWindowEvents, WaitingEndsWithTheObjectOrAMessageAndNotBefore) {
  Drain();
  HandleOwner event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event.Valid());
  DWORD start = GetTickCount();
  EXPECT_FALSE(WaitForMessageOrObject(event.Get(), 300)) << "neither came: the time ran out";
  EXPECT_GE(GetTickCount() - start, 250u);

  std::thread signaller([&] {
    Sleep(200);
    SetEvent(event.Get());
  });
  start = GetTickCount();
  EXPECT_TRUE(WaitForMessageOrObject(event.Get(), 5000));
  EXPECT_LT(GetTickCount() - start, 4000u);
  signaller.join();

  ResetEvent(event.Get());
  PostMessageW(window_.Handle(), WM_NULL, 0, 0);
  start = GetTickCount();
  EXPECT_FALSE(WaitForMessageOrObject(event.Get(), 5000)) << "a waiting message ends the wait";
  EXPECT_LT(GetTickCount() - start, 4000u);
}

// A window of its own shows the executable's icon at the system's two sizes; an owned window
// shows its owner's.
TEST_F(UiWindowState, WindowsCarryTheProgramIcon) {
  auto iconSize = [](HWND hwnd, WPARAM which) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return SIZE{};
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bits), &bits);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return SIZE{bits.bmWidth, info.hbmColor ? bits.bmHeight : bits.bmHeight / 2};
  };
  UiWindow owned;
  ASSERT_TRUE(owned.CreateUiWindow(u"PyravelToolkitOwned", u"Owned", 200, 100, 10, 10,
                                   WS_OVERLAPPEDWINDOW, 0, window_.Handle()));
  for (HWND hwnd : {window_.Handle(), owned.Handle()}) {
    const SIZE big = iconSize(hwnd, ICON_BIG), small = iconSize(hwnd, ICON_SMALL);
    EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(big.cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(small.cy, GetSystemMetrics(SM_CYSMICON));
  }
  owned.DestroyUiWindow();
}

// A window given x = y = -1 is made centred: on its owner, or in the work area without one.
TEST_F(UiWindowState, CentredWindowsAreMadeInTheirPlace) {
  auto middle = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
  UiWindow alone, owned;
  ASSERT_TRUE(alone.CreateUiWindow(u"PyravelToolkitAlone", u"Alone", 300, 200, -1, -1,
                                   WS_OVERLAPPEDWINDOW, 0, nullptr));
  ASSERT_TRUE(owned.CreateUiWindow(u"PyravelToolkitOwned", u"Owned", 200, 100, -1, -1,
                                   WS_OVERLAPPEDWINDOW, 0, window_.Handle()));
  RECT work{}, aloneRect{}, ownerRect{}, ownedRect{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(alone.Handle(), &aloneRect);
  GetWindowRect(window_.Handle(), &ownerRect);
  GetWindowRect(owned.Handle(), &ownedRect);
  // Halving an odd width may round either way.
  EXPECT_NEAR(middle(aloneRect).x, middle(work).x, 1);
  EXPECT_NEAR(middle(aloneRect).y, middle(work).y, 1);
  EXPECT_NEAR(middle(ownedRect).x, middle(ownerRect).x, 1);
  EXPECT_NEAR(middle(ownedRect).y, middle(ownerRect).y, 1);
  owned.DestroyUiWindow();
  alone.DestroyUiWindow();
}

// Controls skip the non-client paint only while they have no frame: a border, and a scroll bar
// given later, are still drawn.
TEST_F(UiWindowState, ControlFramesAndLaterScrollBarsArePainted) {
  const int32_t framed = window_.AddText(u"", 20, 20, 120, 60, WS_VISIBLE | WS_BORDER);
  const int32_t scrolled = window_.AddText(u"", 200, 20, 120, 60);
  const HWND scrolledHandle = window_.ControlHandle(scrolled);
  SetWindowLongPtrW(scrolledHandle, GWL_STYLE,
                    GetWindowLongPtrW(scrolledHandle, GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(scrolledHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
  RedrawWindow(window_.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Drain();
  // The colour of a point of the control's non-client area, and of its client area.
  auto outer = [](HWND control, int x, int y) {
    HDC dc = GetWindowDC(control);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(control, dc);
    return colour;
  };
  const HWND framedHandle = window_.ControlHandle(framed);
  EXPECT_EQ(outer(framedHandle, 0, 30), GetSysColor(COLOR_WINDOWFRAME)) << "the border";
  EXPECT_NE(outer(framedHandle, 0, 30), outer(framedHandle, 5, 30));
  RECT client{};
  GetClientRect(scrolledHandle, &client);
  ASSERT_LT(client.right, 120) << "the scroll bar takes its room";
  // The scroll bar's arrow buttons and track, whatever the theme, are not all the background.
  const COLORREF background = outer(scrolledHandle, 5, 30);
  int drawn = 0;
  for (int y = 0; y < 60; ++y) drawn += outer(scrolledHandle, client.right + 8, y) != background;
  EXPECT_GT(drawn, 0) << "the scroll bar";
}

TEST_F(UiWindowState, DisabledMenuItemIsGreyedAndEnablingClearsBoth) {
  const int32_t item = MenuButton({u"Uninstall checked\tCtrl+X"}) + 1;
  ASSERT_TRUE(window_.SetControlState(item, kStateDisable));
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfoW(window_.ControlMenu(item), item, FALSE, &info));
  EXPECT_EQ(info.fState & (MFS_DISABLED | MFS_GRAYED), static_cast<UINT>(MFS_DISABLED | MFS_GRAYED));
  EXPECT_EQ(window_.GetControlState(item, kStateEnable | kStateDisable), kStateDisable);
  ASSERT_TRUE(window_.SetControlState(item, kStateEnable));
  ASSERT_TRUE(GetMenuItemInfoW(window_.ControlMenu(item), item, FALSE, &info));
  EXPECT_EQ(info.fState & (MFS_DISABLED | MFS_GRAYED), 0u);
}

TEST_F(UiWindowState, MenuItemCheckTextAndSubmenu) {
  int32_t button = window_.AddButton(u"View", 10, 10, 100, 25);
  int32_t first = window_.AttachPopupMenu(button, u"Show devices not present\tCtrl+S", nullptr);
  int32_t checkItem = window_.AddMenuItem(-1, u"Group by device type\tCtrl+T", 100, kMenuItemCheck);
  EXPECT_EQ(window_.GetControlState(checkItem, kStateCheck | kStateUncheck), kStateCheck);
  EXPECT_EQ(window_.GetControlState(first, kStateCheck | kStateUncheck), kStateUncheck);
  window_.SetControlState(checkItem, kStateUncheck);
  EXPECT_EQ(window_.GetControlState(checkItem, kStateCheck | kStateUncheck), kStateUncheck);
  ASSERT_TRUE(window_.SetControlText(first, u"Enable device"));
  EXPECT_EQ(window_.GetControlText(first), u"Enable device");
  int32_t sub = window_.AddMenuItem(-1, u"More", 100, kMenuItemSubmenu);
  EXPECT_EQ(window_.ControlKindOf(sub), kKindSubmenuItem);
  int32_t inner = window_.AddMenuItem(sub, u"Inner");
  EXPECT_EQ(window_.ControlMenu(inner), window_.ControlMenu(sub));
  EXPECT_EQ(GetSubMenu(window_.ControlMenu(button), 2), window_.ControlMenu(sub));
  // A control without a menu cannot hold items.
  int32_t plain = window_.AddText(u"x", 0, 0, 10, 10);
  EXPECT_EQ(window_.AddMenuItem(plain, u"nowhere"), 0);
}

TEST_F(UiWindowState, HideShowEnableDisableAndLabelText) {
  int32_t text = window_.AddText(u"Legend:", 10, 10, 130, 18);
  window_.ShowUiWindow(SW_SHOW, kShowOnly);
  EXPECT_EQ(window_.GetControlState(text, kStateShow | kStateHide), kStateShow);
  window_.SetControlState(text, kStateHide);
  EXPECT_EQ(window_.GetControlState(text, kStateShow | kStateHide), kStateHide);
  EXPECT_FALSE(GetWindowLongPtrW(window_.ControlHandle(text), GWL_STYLE) & WS_VISIBLE);
  window_.SetControlState(text, kStateShow | kStateDisable);
  EXPECT_EQ(window_.GetControlState(text, kStateShow | kStateDisable | kStateEnable),
            kStateShow | kStateDisable);
  window_.SetControlText(text, u"Disabled");
  EXPECT_EQ(window_.GetControlText(text), u"Disabled");
  EXPECT_EQ(window_.TextBuffer(), u"Disabled");
}

TEST_F(UiWindowState, DisablerRestoresExactlyWhatWasEnabled) {
  int32_t a = window_.AddButton(u"A", 10, 10, 80, 25);
  int32_t b = window_.AddButton(u"B", 10, 40, 80, 25);
  int32_t label = window_.AddText(u"label", 10, 70, 80, 20);
  int32_t c = window_.AddButton(u"C", 10, 100, 80, 25);
  auto enabled = [&](int32_t id) { return IsWindowEnabled(window_.ControlHandle(id)) != FALSE; };
  window_.SetControlState(b, kStateDisable);
  {
    ControlsDisabler lock(window_, a, -1);
    EXPECT_FALSE(enabled(a));
    EXPECT_FALSE(enabled(c));
    EXPECT_TRUE(enabled(label));
  }
  EXPECT_TRUE(enabled(a));
  EXPECT_FALSE(enabled(b));
  EXPECT_TRUE(enabled(c));
  {
    // A last control below the first: only the first is taken.
    ControlsDisabler lock(window_, c, a);
    EXPECT_TRUE(enabled(a));
    EXPECT_FALSE(enabled(c));
  }
}

TEST_F(UiWindowState, ClipboardTakesTheTextAndNullEmptiesIt) {
  ASSERT_TRUE(CopyTextToClipboard(window_.Handle(), u"PCI\\VEN_8086&DEV_1237"));
  EXPECT_EQ(ClipboardText(), u"PCI\\VEN_8086&DEV_1237");

  CopyTextToClipboard(window_.Handle(), nullptr);
  ASSERT_TRUE(OpenClipboard(window_.Handle()));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  CloseClipboard();
}

TEST_F(UiWindowState, ControlColoursAnswerCtlColor) {
  int32_t text = window_.AddText(u"Not present", 10, 10, 130, 20);
  window_.SetControlBackColour(text, 0xA05050);
  window_.SetControlTextColour(text, 0xFFFFFF);
  HDC dc = GetDC(window_.ControlHandle(text));
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      window_.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(window_.ControlHandle(text))));
  EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
  EXPECT_EQ(GetBkColor(dc), 0xA05050u);
  LOGBRUSH info{};
  ASSERT_TRUE(GetObjectW(brush, sizeof(info), &info));
  EXPECT_EQ(info.lbColor, 0xA05050u);
  window_.SetControlBackColour(text, kTransparentColour);
  SendMessageW(window_.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(window_.ControlHandle(text)));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(window_.ControlHandle(text), dc);
}

using UiWindowShell = ToolkitWindow;

// An HDROP as the shell hands it over: DROPFILES, then the paths, each ended, then one more 0.
HGLOBAL MakeDrop(POINT at, const std::vector<const wchar_t*>& paths) {
  std::wstring list;
  for (const wchar_t* p : paths) {
    list += p;
    list += L'\0';
  }
  list += L'\0';
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                              sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = at;
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
         list.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  return block;
}

// Dropped paths arrive joined by line breaks, naming the control under the drop or else 0.
TEST_F(UiWindowShell, DroppedFilesArriveJoinedByLineBreaks) {
  const int32_t list = window_.AddText(u"", 100, 100, 200, 100, WS_VISIBLE);
  const struct {
    POINT at;
    std::vector<const wchar_t*> paths;
    uint32_t control;
    const char16_t* text;
  } cases[] = {
      {{150, 120}, {L"C:\\a.inf", L"C:\\drivers\\b.inf", L"D:\\c d.inf"},
       static_cast<uint32_t>(list), u"C:\\a.inf\r\nC:\\drivers\\b.inf\r\nD:\\c d.inf"},
      {{5, 5}, {L"C:\\one.txt"}, 0u, u"C:\\one.txt"},
  };
  for (const auto& c : cases) {
    SendMessageW(window_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.at, c.paths)), 0);
    EXPECT_EQ(window_.OwnEvent().code, ev::kFilesDropped);
    EXPECT_EQ(window_.OwnEvent().param, c.control);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(window_.OwnEvent().extra)), c.text);
    EXPECT_EQ(window_.TextBuffer(), c.text);
  }
}

struct TrayCase {
  LPARAM mouse;
  int32_t code;  // 0: the icon's own id
};

TEST_F(UiWindowShell, TrayMessagesBecomeEventsThroughThePump) {
  int32_t icon = window_.AddText(u"", 0, 0, 1, 1, 0);
  const TrayCase cases[] = {
      {WM_LBUTTONUP, 0},
      {WM_RBUTTONUP, ev::kContextMenu},
      {WM_LBUTTONDBLCLK, ev::kDoubleClick},
      {NIN_BALLOONSHOW, ev::kBalloonShown},
      {NIN_BALLOONUSERCLICK, ev::kBalloonClicked},
      {NIN_BALLOONHIDE, ev::kBalloonHidden},
      {NIN_BALLOONTIMEOUT, ev::kBalloonHidden},
      {WM_MOUSEMOVE, ev::kTrayOther},
  };
  for (const TrayCase& c : cases) {
    Drain();
    SendMessageW(window_.Handle(), kTrayCallbackMessage, static_cast<WPARAM>(icon), c.mouse);
    int32_t expected = c.code ? c.code : icon;
    EXPECT_TRUE(PumpUntil(expected)) << "mouse message " << c.mouse;
    EXPECT_EQ(window_.OwnEvent().param, static_cast<uint32_t>(icon));
  }
  Drain();
  PostMessageW(window_.Handle(), kTrayEventMessage, 77, WM_LBUTTONUP);
  EXPECT_EQ(PumpForEvent(), 0) << "an unknown icon is no event";
}

struct MenuSeen {
  RECT rect{};
  bool found = false;
};
MenuSeen g_menuSeen;

void CALLBACK RecordAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND menu = FindWindowW(L"#32768", nullptr)) {
    g_menuSeen.found = GetWindowRect(menu, &g_menuSeen.rect) != FALSE;
  }
  EndMenu();
}

TEST_F(UiWindowShell, PopupMenuOpensWhereTheLastClickWas) {
  const int32_t button = MenuButton({u"Show devices not present", u"Group by device type"});
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront);
  Drain();
  // The message that "caused the current event" carries the pointer position of its time.
  SetCursorPos(300, 250);
  PostMessageW(window_.Handle(), WM_USER + 5, 0, 0);
  // Events posted while showing come first.
  for (int i = 0; i < 50 && window_.OwnEvent().msg.message != WM_USER + 5; ++i) {
    NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
  }
  ASSERT_EQ(window_.OwnEvent().msg.pt.x, 300);
  g_menuSeen = MenuSeen{};
  SetTimer(nullptr, 0, 300, RecordAndCloseMenu);
  window_.ShowPopupMenu(button, TPM_LEFTALIGN | TPM_TOPALIGN, -1, -1);
  ASSERT_TRUE(g_menuSeen.found);
  EXPECT_EQ(g_menuSeen.rect.left, 300);
  EXPECT_EQ(g_menuSeen.rect.top, 250);
}

TEST_F(UiWindowShell, PictureFromImageIsScaledToItsPlace) {
  ImagePtr rescan = LoadImageResource(GetModuleHandleW(nullptr), 23);
  ASSERT_NE(rescan, nullptr);
  int32_t picture = window_.AddPictureFromImage(rescan.get(), 0, 0, 20, 20);
  auto shown = reinterpret_cast<HBITMAP>(
      SendMessageW(window_.ControlHandle(picture), STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  ASSERT_TRUE(GetObjectW(shown, sizeof(info), &info));
  EXPECT_EQ(info.bmWidth, 20);
  EXPECT_EQ(info.bmHeight, 20);
  // Without an image the picture still takes its place in the table.
  EXPECT_EQ(window_.AddPictureFromImage(nullptr, 0, 30, 10, 10), picture + 1);
}

TEST_F(UiWindowShell, ButtonAndMenuItemTakeTheirOwnCopiesOfImages) {
  int32_t button = window_.AddButton(u"Rescan", 10, 10, 130, 28);
  int32_t item = window_.AttachPopupMenu(button, u"Just refresh the list\tF5", nullptr);
  ImagePtr rescan = LoadImageResource(GetModuleHandleW(nullptr), 23, 20, 20);
  BitmapHandle bitmap = ImageToBitmap(rescan.get());
  ASSERT_TRUE(window_.SetControlImage(button, bitmap.Get(), 20, 20));
  ASSERT_TRUE(window_.SetControlImage(item, bitmap.Get(), 20, 20));
  bitmap.Reset();
  // What the button shows depends on the common controls version; the copy it was given lives.
  BITMAP info{};
  EXPECT_TRUE(GetObjectW(window_.Entry(button)->picture.Get(), sizeof(info), &info));
  MENUITEMINFOW menuItem{};
  menuItem.cbSize = sizeof(menuItem);
  menuItem.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoW(window_.ControlMenu(item), item, FALSE, &menuItem));
  EXPECT_TRUE(GetObjectW(menuItem.hbmpItem, sizeof(info), &info));
  EXPECT_EQ(info.bmWidth, 20);
}

using UiPump = ToolkitWindow;

// The peek modes report an empty queue and a message without an event; a quit message ends
// the blocking pump.
TEST_F(UiPump, PeekModesAndTheQuitMessage) {
  Drain();
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), 0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekHandled), 0);
  PostMessageW(window_.Handle(), WM_NULL, 0, 0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekHandled), 1);
  EXPECT_EQ(window_.OwnEvent().code, 0);
  PostQuitMessage(0);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kWait), 0);
  EXPECT_EQ(window_.OwnEvent().code, ev::kPumpFailed);
}

TEST_F(UiPump, EventPostedWhilePumpingPendingMessagesWaitsForNextEvent) {
  int32_t button = window_.AddButton(u"Cancel", 10, 10, 80, 25);
  Drain();
  EXPECT_FALSE(PumpPendingMessages());
  PostMessageW(window_.ControlHandle(button), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpPendingMessages());
  EXPECT_EQ(window_.OwnEvent().code, button);
  EXPECT_EQ(window_.OwnEvent().pending, 1);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), button);
  EXPECT_EQ(NextEvent(window_.OwnEvent(), EventMode::kPeekCode), 0);
}

}  // namespace
}  // namespace pyr::testing
