// Shared pieces of the Wine tests: one GDI+ session per suite, and small window readers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

#include "ui/draw/win32/gdiplus_session.h"

namespace pyr {

class GdiplusSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session_ = std::make_unique<GdiplusSession>(); }
  static void TearDownTestSuite() { session_.reset(); }
  void SetUp() override { ASSERT_TRUE(session_->Started()); }

  static inline std::unique_ptr<GdiplusSession> session_;
};

// A window's place as left, top, width and height, so that a layout is checked in one line.
struct Box {
  int left, top, width, height;
  bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "{" << b.left << ", " << b.top << ", " << b.width << " x " << b.height << "}";
}
inline Box BoxOf(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
// Where a child window sits in the client area of its parent.
inline Box PlaceInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return BoxOf(r);
}

inline std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

inline RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

inline RECT ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

// The text on the clipboard; a marker when another window holds it open.
inline std::u16string ClipboardText() {
  std::u16string text;
  if (!OpenClipboard(nullptr)) return u"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const char16_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

inline void DrainMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace pyr
