// Layout on real resizes, owned popups, tooltips and the toolkit's own pictures.
#include <string>

#include "base/win32/wchar.h"
#include "tests/win/ui_toolkit_fixture.h"

#include <commctrl.h>

namespace pyr::testing {
namespace {

using UiLayout = ToolkitWindow;
using UiTooltips = ToolkitWindow;
using UiPictures = ToolkitWindow;

// Where each anchor puts a control is checked on the rules; here, that a resize applies them.
TEST_F(UiLayout, ResizeMovesAnchoredControlsThenPostsSizeChanged) {
  int32_t right = window_.AddText(u"", 10, 120, 580, 20, WS_VISIBLE);
  window_.SetControlLayoutFlags(right, 0x0002);
  int32_t still = window_.AddText(u"", 40, 200, 50, 20, WS_VISIBLE);
  window_.SetControlLayoutFlags(still, 0x0011);
  Drain();
  ResizeClient(900, 550);
  EXPECT_EQ(window_.OwnEvent().code, ev::kSized);
  EXPECT_EQ(Place(right), (Box{310, 120, 580, 20}));
  EXPECT_EQ(Place(still), (Box{40, 200, 50, 20}));
  // Moved by hand; a layout at an unchanged client size must leave it there.
  SetWindowPos(window_.ControlHandle(right), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_FALSE(window_.Layout());
  EXPECT_EQ(Place(right).left, 5);
}

TEST_F(UiLayout, MinimizedWindowIsNotLaidOutAndTheRestoreLaysOutOnce) {
  int32_t right = window_.AddText(u"", 10, 120, 580, 20, WS_VISIBLE);
  window_.SetControlLayoutFlags(right, 0x0002);
  window_.ShowUiWindow(SW_SHOW, kShowOnly);
  ShowWindow(window_.Handle(), SW_MINIMIZE);
  EXPECT_EQ(Place(right).left, 10);
  EXPECT_FALSE(window_.Layout());
  ShowWindow(window_.Handle(), SW_RESTORE);
  EXPECT_EQ(Place(right).left, 10);
  ResizeClient(650, 400);
  EXPECT_EQ(Place(right).left, 60);
}

TEST_F(UiLayout, PanelChildrenFollowTheirPanelsNewSize) {
  ResizeClient(750, 550);
  int32_t panel = window_.AddPanel();
  window_.SetControlLayoutFlags(panel, 0x0032);
  int32_t grip = window_.AddSizeGrip(nullptr);
  ASSERT_NE(grip, 0);
  EXPECT_EQ(window_.ControlKindOf(grip), kKindSizeGrip);
  const Box before = Place(grip);
  ResizeClient(900, 650);
  EXPECT_EQ(Place(panel), (Box{750, -1, 152, 653}));
  EXPECT_EQ(Place(grip), (Box{before.left, before.top + 100, before.width, before.height}));
}

TEST_F(UiLayout, OwnedPopupMovesWithItsOwner) {
  HWND popup = CreateWindowExW(0, L"Static", L"", WS_POPUP, 100, 100, 50, 50, window_.Handle(),
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(window_.AddOwnedWindow(popup));
  RECT w{};
  GetWindowRect(window_.Handle(), &w);
  SetWindowPos(window_.Handle(), nullptr, w.left + 30, w.top + 20, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT p{};
  GetWindowRect(popup, &p);
  EXPECT_EQ(p.left, 130);
  EXPECT_EQ(p.top, 120);
  DestroyWindow(popup);
}

TEST_F(UiLayout, MinimumTrackSizeIsAnswered) {
  window_.SetMinTrackSize(400, 300);
  MINMAXINFO info{};
  SendMessageW(window_.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
  EXPECT_EQ(info.ptMinTrackSize.y, 300);
}

int CountTooltipWindows(HWND owner) {
  struct Count {
    HWND owner;
    int n;
  } count{owner, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(hwnd, GW_OWNER) == c->owner) ++c->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

std::u16string ToolText(HWND tip, HWND control) {
  wchar_t text[80] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  return U(text);
}

// Controls share one topmost tooltip window, which keeps line breaks and goes with the window.
// (A new tip replacing a control's old one is checked on the find window's close button.)
TEST_F(UiTooltips, ControlsShareOneTooltipWindowThatGoesWithTheWindow) {
  EXPECT_FALSE(window_.SetControlTooltip(3, u"nothing")) << "no such control";
  EXPECT_EQ(window_.TooltipWindow(), nullptr);
  int32_t next = window_.AddButton(u">", 10, 10, 30, 25);
  int32_t close = window_.AddButton(u"x", 50, 10, 30, 25);
  ASSERT_TRUE(window_.SetControlTooltip(next, u"First line\r\nSecond line"));
  HWND tip = window_.TooltipWindow();
  ASSERT_TRUE(window_.SetControlTooltip(close, u"Close find (Esc)"));
  EXPECT_EQ(window_.TooltipWindow(), tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_EQ(CountTooltipWindows(window_.Handle()), 1);
  EXPECT_TRUE(GetWindowLongPtrW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 100000);
  EXPECT_EQ(ToolText(tip, window_.ControlHandle(next)), u"First line\r\nSecond line");
  EXPECT_EQ(ToolText(tip, window_.ControlHandle(close)), u"Close find (Esc)");
  window_.DestroyUiWindow();
  EXPECT_FALSE(IsWindow(tip));
}

TEST_F(UiPictures, CloseButtonShowsADarkCrossOnLight) {
  int32_t close = window_.AddCloseButton();
  ASSERT_NE(close, 0);
  EXPECT_EQ(Place(close).left, 230);
  EXPECT_EQ(Place(close).top, 1);
  ASSERT_NE(SendMessageW(window_.ControlHandle(close), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  // The toolkit's own copy (a picture control of common controls 6 shows a copy of it).
  HBITMAP bitmap = window_.Entry(close)->picture.Get();
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 20);
  EXPECT_EQ(info.bmHeight, 20);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  // The strokes cross in the middle; the middle of an edge is far from both.
  COLORREF centre = GetPixel(dc, 10, 10);
  COLORREF edge = GetPixel(dc, 10, 1);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_LT(GetRValue(centre) + GetGValue(centre) + GetBValue(centre), 200);
  EXPECT_GT(GetRValue(edge) + GetGValue(edge) + GetBValue(edge), 600);
}

TEST_F(UiPictures, PictureKeepsItsOwnCopyOfTheBitmap) {
  HDC screen = GetDC(nullptr);
  HBITMAP mine = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  int32_t picture = window_.AddPicture(mine, 10, 10, 8, 8);
  auto shown = reinterpret_cast<HBITMAP>(
      SendMessageW(window_.ControlHandle(picture), STM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_NE(shown, nullptr);
  EXPECT_NE(shown, mine);
  DeleteObject(mine);
  BITMAP info{};
  EXPECT_TRUE(GetObjectW(shown, sizeof(info), &info));
}

using UiPainting = ToolkitWindow;

int DarkPixels(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  HDC dc = GetDC(control);
  int dark = 0;
  for (int y = 0; y < r.bottom; y += 2) {
    for (int x = 0; x < r.right; x += 2) {
      COLORREF c = GetPixel(dc, x, y);
      if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 150) ++dark;
    }
  }
  ReleaseDC(control, dc);
  return dark;
}

TEST_F(UiPainting, DoubleBufferedLabelStillShowsItsText) {
  window_.SetWindowBackColour(0xFFFFFF);
  window_.SetNewControlFlags(0x0800);
  int32_t label = window_.AddText(u"WWWW", 10, 10, 200, 50, WS_VISIBLE);
  window_.SetNewControlFlags(0);
  int32_t empty = window_.AddText(u"", 10, 100, 200, 50, WS_VISIBLE);
  window_.SetControlFont(label, 28);
  EXPECT_EQ(window_.Entry(label)->flags, 0x0C00u);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate);
  RedrawWindow(window_.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Drain();
  EXPECT_GT(DarkPixels(window_.ControlHandle(label)), 20);
  EXPECT_EQ(DarkPixels(window_.ControlHandle(empty)), 0);
  // Erasing is left to the buffered paint.
  HDC dc = GetDC(window_.ControlHandle(label));
  EXPECT_EQ(SendMessageW(window_.ControlHandle(label), WM_ERASEBKGND,
                         reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(window_.ControlHandle(label), dc);
}

}  // namespace
}  // namespace pyr::testing
