// A real toolkit window for the Wine tests, and a pump that reads what it posts.
#pragma once

#include "tests/win/win_test_support.h"
#include "ui/win32/ui_window.h"

namespace pyr::testing {

class ToolkitWindow : public GdiplusSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(window_.CreateUiWindow(u"PyravelToolkitTest", u"Toolkit test", 600, 400, 10, 10,
                                     WS_OVERLAPPEDWINDOW, 0, nullptr),
              nullptr);
  }
  void TearDown() override {
    window_.DestroyUiWindow();
    DrainMessages();
  }

  // Reads events until one with code (any, for 0) arrives or the queue is empty; returns its code.
  int PumpUntil(int code = 0) {
    for (int i = 0; i < 500; ++i) {
      const int got = NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
      const int seen = window_.OwnEvent().code;
      if (seen != 0 && (code == 0 || seen == code)) return seen;
      if (!got) return 0;
    }
    return 0;
  }
  // Client size c x d as a window size for SetWindowPos.
  void ResizeClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window_.Handle(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongPtrW(window_.Handle(), GWL_EXSTYLE)));
    SetWindowPos(window_.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Box Place(int32_t id) { return PlaceInParent(window_.ControlHandle(id)); }
  void Click(int32_t id) { SendMessageW(window_.ControlHandle(id), BM_CLICK, 0, 0); }
  // Shows the window in front with the keyboard on control id, and nothing left in the queue.
  void ShowFocused(int32_t id) {
    window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront | kShowActivate);
    SetFocus(window_.ControlHandle(id));
    DrainMessages();
  }
  // A button with a popup menu of the given items; returns the button's id.
  int32_t MenuButton(std::initializer_list<const char16_t*> items) {
    const int32_t button = window_.AddButton(u"Menu", 10, 10, 100, 25);
    window_.AttachPopupMenu(button, *items.begin(), nullptr);
    for (auto item = items.begin() + 1; item != items.end(); ++item) window_.AddMenuItem(-1, *item);
    return button;
  }

  UiWindow window_;
};

}  // namespace pyr::testing
