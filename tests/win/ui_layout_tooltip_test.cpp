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

// Where each anchor puts a control is checked on the rules, and the main window's list and pane
// on a resize; here, the grip, the event, and that the minimum track size is answered.
TEST_F(UiLayout, ResizeMovesAnchoredControlsThenPostsSizeChanged) {
  ResizeClient(750, 550);
  const int32_t right = window_.AddText(u"", 10, 120, 580, 20, WS_VISIBLE);
  window_.SetControlLayoutFlags(right, 0x0002);
  const int32_t grip = window_.AddSizeGrip(nullptr);
  const Box gripBefore = Place(grip);
  DrainMessages();
  ResizeClient(900, 650);
  EXPECT_EQ(window_.OwnEvent().code, ev::kSized);
  EXPECT_EQ(Place(right), (Box{160, 120, 580, 20}));
  EXPECT_EQ(Place(grip), (Box{gripBefore.left, gripBefore.top + 100, 24, 24}));
  // Moved by hand; a layout at an unchanged client size must leave it there.
  SetWindowPos(window_.ControlHandle(right), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_FALSE(window_.Layout());
  EXPECT_EQ(Place(right).left, 5);
  window_.SetMinTrackSize(400, 300);
  MINMAXINFO info{};
  SendMessageW(window_.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
  EXPECT_EQ(info.ptMinTrackSize.y, 300);
}

TEST_F(UiLayout, MinimizedWindowIsNotLaidOutAndTheRestoreLaysOutOnce) {
  const int32_t right = window_.AddText(u"", 10, 120, 580, 20, WS_VISIBLE);
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

TEST_F(UiLayout, OwnedPopupMovesWithItsOwner) {
  HWND popup = CreateWindowExW(0, L"Static", L"", WS_POPUP, 100, 100, 50, 50, window_.Handle(),
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(window_.AddOwnedWindow(popup));
  const RECT w = WindowRectOf(window_.Handle());
  SetWindowPos(window_.Handle(), nullptr, w.left + 30, w.top + 20, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(BoxOf(WindowRectOf(popup)), (Box{130, 120, 50, 50}));
  DestroyWindow(popup);
}

// Controls share one tooltip window, which keeps line breaks and goes with the window; a new tip
// replaces a control's old one.
TEST_F(UiTooltips, ControlsShareOneTooltipWindowThatGoesWithTheWindow) {
  EXPECT_FALSE(window_.SetControlTooltip(3, u"nothing")) << "no such control";
  EXPECT_EQ(window_.TooltipWindow(), nullptr);
  const HWND next = window_.ControlHandle(window_.AddButton(u">", 10, 10, 30, 25));
  const HWND close = window_.ControlHandle(window_.AddButton(u"x", 50, 10, 30, 25));
  ASSERT_TRUE(
      window_.SetControlTooltip(window_.ControlFromHandle(next), u"First line\r\nSecond line"));
  const HWND tip = window_.TooltipWindow();
  ASSERT_TRUE(window_.SetControlTooltip(window_.ControlFromHandle(close), u"Close"));
  ASSERT_TRUE(window_.SetControlTooltip(window_.ControlFromHandle(close), u"Close find (Esc)"));
  EXPECT_EQ(window_.TooltipWindow(), tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  for (const auto& [control, text] :
       {std::pair{next, u"First line\r\nSecond line"}, {close, u"Close find (Esc)"}}) {
    wchar_t read[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = read;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::u16string(U(read)), text);
  }
  window_.DestroyUiWindow();
  EXPECT_FALSE(IsWindow(tip));
}

// The toolkit's own copy of the close button's picture: a dark cross on light, of its side.
TEST_F(UiPictures, CloseButtonShowsADarkCrossOnLight) {
  const int32_t close = window_.AddCloseButton();
  ASSERT_NE(SendMessageW(window_.ControlHandle(close), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  const MemoryDc source;
  const SelectedObject picture(source.Get(), window_.Entry(close)->picture.Get());
  const std::vector<uint32_t> pixels =
      PaintedPixels(20, 20, [&](HDC dc) { BitBlt(dc, 0, 0, 20, 20, source.Get(), 0, 0, SRCCOPY); });
  const auto brightness = [&](int x, int y) {
    const uint32_t p = pixels[static_cast<size_t>(y) * 20 + x];
    return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
  };
  // The strokes cross in the middle; the middle of an edge is far from both.
  EXPECT_LT(brightness(10, 10), 200u);
  EXPECT_GT(brightness(10, 1), 600u);
}

// A label painted through its own buffer still shows its text; erasing is left to that paint.
TEST_F(UiPictures, DoubleBufferedLabelStillShowsItsText) {
  window_.SetWindowBackColour(0xFFFFFF);
  window_.SetNewControlFlags(0x0800);
  const int32_t label = window_.AddText(u"WWWW", 10, 10, 200, 50, WS_VISIBLE);
  window_.SetNewControlFlags(0);
  const int32_t empty = window_.AddText(u"", 10, 100, 200, 50, WS_VISIBLE);
  window_.SetControlFont(label, 28);
  EXPECT_EQ(window_.Entry(label)->flags, 0x0C00u);
  window_.ShowUiWindow(SW_SHOW, kShowUpdate);
  RedrawWindow(window_.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DrainMessages();
  const auto dark = [&](int32_t id) {
    const HWND control = window_.ControlHandle(id);
    HDC dc = GetDC(control);
    int count = 0;
    for (int y = 0; y < 50; y += 2)
      for (int x = 0; x < 200; x += 2) {
        const COLORREF c = GetPixel(dc, x, y);
        count += c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 150;
      }
    const LRESULT erased = SendMessageW(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(control, dc);
    return std::pair{count, erased};
  };
  EXPECT_GT(dark(label).first, 20);
  EXPECT_EQ(dark(label).second, 1);
  EXPECT_EQ(dark(empty).first, 0);
}

}  // namespace
}  // namespace pyr::testing
