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
    ASSERT_TRUE(HookProcedure(hwnd_, kInner, &first_));
    ASSERT_TRUE(HookProcedure(hwnd_, kOuter, &second_));
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

// Hooks run outside in with their context and pass on; hooking again only changes the context.
// The outermost hook taken back gives the procedure back to the one before it.
TEST_F(ProcedureHooks, HooksRunOutsideInAndTheOutermostGivesTheProcedureBack) {
  EXPECT_EQ(Ask(), 100);
  EXPECT_EQ(seen, "o2i1b");
  ASSERT_TRUE(HookProcedure(hwnd_, kInner, &second_));
  EXPECT_EQ(Ask(), 100);
  EXPECT_EQ(seen, "o2i2b");
  EXPECT_FALSE(HookProcedure(nullptr, kInner, &first_));
  UnhookProcedure(hwnd_, kOuter);
  EXPECT_EQ(Current(), kInner);
  ProcedureHook hook;
  EXPECT_FALSE(FindProcedureHook(hwnd_, kOuter, hook));
  UnhookProcedure(hwnd_, kInner);
  EXPECT_EQ(Current(), BaseProc);
  EXPECT_EQ(Ask(), 1);
  EXPECT_EQ(seen, "b");
}

// An inner hook taken back stays in the chain, passing everything through, until the window goes;
// then no hook is left behind.
TEST_F(ProcedureHooks, AnInnerHookTakenBackPassesThroughUntilTheWindowGoes) {
  UnhookProcedure(hwnd_, kInner);
  EXPECT_EQ(Current(), kOuter);
  EXPECT_EQ(Ask(), 10);
  EXPECT_EQ(seen, "o2b");
  const HWND gone = hwnd_;
  ASSERT_TRUE(DestroyWindow(hwnd_));
  hwnd_ = nullptr;
  ProcedureHook hook;
  EXPECT_FALSE(FindProcedureHook(gone, kOuter, hook));
  EXPECT_FALSE(FindProcedureHook(gone, kInner, hook));
}

}  // namespace
}  // namespace pyr
