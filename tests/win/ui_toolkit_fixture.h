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

  UiWindow window_;
};

}  // namespace pyr::testing
