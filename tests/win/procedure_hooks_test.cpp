// Window procedures put in front of a window's own: the chain they form and how it comes apart.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ui/win32/procedure_hooks.h"

namespace pyr {
namespace {

constexpr UINT kAsk = WM_APP + 7;

// What each procedure saw, in order: "b" for the window's own, "o"/"i" for the outer and inner
// hooks (with the context they found, when one was given).
std::string seen;

LRESULT CALLBACK BaseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAsk) {
    seen += "b";
    return 1;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

template <char kName>
LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, HookProc<kName>, hook)) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (message == kAsk && hook.context) {
    seen += kName;
    seen += *static_cast<const char*>(hook.context);
    return 10 * PassOn(hook, hwnd, message, wParam, lParam);
  }
  return PassOn(hook, hwnd, message, wParam, lParam);
}

constexpr auto kOuter = HookProc<'o'>;
constexpr auto kInner = HookProc<'i'>;

class ProcedureHooks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BaseProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PyravelHookTest";
    RegisterClassW(&wc);
  }
  void SetUp() override {
    seen.clear();
    hwnd_ = CreateWindowExW(0, L"PyravelHookTest", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hwnd_, nullptr);
  }
  void TearDown() override {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  LRESULT Ask() {
    seen.clear();
    return SendMessageW(hwnd_, kAsk, 0, 0);
  }
  WNDPROC Current() const {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
  }

  HWND hwnd_ = nullptr;
  char first_ = '1', second_ = '2';
};

TEST_F(ProcedureHooks, HooksRunOutsideInWithTheirContextAndPassOn) {
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &first_));
  ASSERT_TRUE(HookProcedure(hwnd_, kOuter, &second_));
  EXPECT_EQ(Ask(), 100);
  EXPECT_EQ(seen, "o2i1b");
  // Hooking again only changes the context: the procedure is not put in twice.
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &second_));
  EXPECT_EQ(Ask(), 100);
  EXPECT_EQ(seen, "o2i2b");
  EXPECT_FALSE(HookProcedure(nullptr, kInner, &first_));
}

TEST_F(ProcedureHooks, TheOutermostHookGivesTheProcedureBack) {
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &first_));
  ASSERT_TRUE(HookProcedure(hwnd_, kOuter, &second_));
  UnhookProcedure(hwnd_, kOuter);
  EXPECT_EQ(Current(), kInner);
  ProcedureHook hook;
  EXPECT_FALSE(FindProcedureHook(hwnd_, kOuter, hook));
  UnhookProcedure(hwnd_, kInner);
  EXPECT_EQ(Current(), BaseProc);
  EXPECT_EQ(Ask(), 1);
  EXPECT_EQ(seen, "b");
}

TEST_F(ProcedureHooks, AnInnerHookTakenBackPassesEverythingThrough) {
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &first_));
  ASSERT_TRUE(HookProcedure(hwnd_, kOuter, &second_));
  UnhookProcedure(hwnd_, kInner);
  // The outer hook still calls the inner one, which now only passes the message on.
  EXPECT_EQ(Current(), kOuter);
  EXPECT_EQ(Ask(), 10);
  EXPECT_EQ(seen, "o2b");
}

TEST_F(ProcedureHooks, ADestroyedWindowLeavesNoHookBehind) {
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &first_));
  ASSERT_TRUE(HookProcedure(hwnd_, kOuter, &second_));
  UnhookProcedure(hwnd_, kInner);  // not outermost: kept until the window goes
  const HWND gone = hwnd_;
  ASSERT_TRUE(DestroyWindow(hwnd_));
  hwnd_ = nullptr;
  ProcedureHook hook;
  EXPECT_FALSE(FindProcedureHook(gone, kOuter, hook));
  EXPECT_FALSE(FindProcedureHook(gone, kInner, hook));
}

}  // namespace
}  // namespace pyr
