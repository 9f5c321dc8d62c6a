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
    Drain();
  }

  // Reads events until one arrives or the queue is empty; returns its code (0 = none).
  int PumpForEvent(int maxMessages = 200) {
    for (int i = 0; i < maxMessages; ++i) {
      int got = NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
      if (window_.OwnEvent().code != 0) return window_.OwnEvent().code;
      if (!got) return 0;
    }
    return 0;
  }
  // Reads events until one with code arrives; returns whether it came.
  bool PumpUntil(int code, int maxMessages = 500) {
    for (int i = 0; i < maxMessages; ++i) {
      int got = NextEvent(window_.OwnEvent(), EventMode::kPeekHandled);
      if (window_.OwnEvent().code == code) return true;
      if (!got) return false;
    }
    return false;
  }
  void Drain() { DrainMessages(); }
  // Client size c x d as a window size for SetWindowPos.
  void ResizeClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window_.Handle(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongPtrW(window_.Handle(), GWL_EXSTYLE)));
    SetWindowPos(window_.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT ControlRect(int32_t id) {
    HWND h = window_.ControlHandle(id);
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  UiWindow window_;
};

}  // namespace pyr::testing
