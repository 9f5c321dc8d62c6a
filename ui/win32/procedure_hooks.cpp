#include "ui/win32/procedure_hooks.h"

#include <map>
#include <mutex>
#include <utility>

namespace pyr {
namespace {

using HookKey = std::pair<HWND, WNDPROC>;

// Windows of several threads may be hooked at once (the tests make some on threads of their own).
struct HookTable {
  std::mutex lock;
  std::map<HookKey, ProcedureHook> hooks;
};

HookTable& Table() {
  static HookTable table;
  return table;
}

}  // namespace

bool HookProcedure(HWND window, WNDPROC procedure, void* context) {
  if (!window || !procedure) return false;
  HookTable& table = Table();
  {
    std::lock_guard<std::mutex> hold(table.lock);
    if (auto found = table.hooks.find({window, procedure}); found != table.hooks.end()) {
      found->second.context = context;
      return true;
    }
  }
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (!previous) return false;
  {
    std::lock_guard<std::mutex> hold(table.lock);
    table.hooks[{window, procedure}] = {previous, context};
  }
  if (!SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure))) {
    std::lock_guard<std::mutex> hold(table.lock);
    table.hooks.erase({window, procedure});
    return false;
  }
  return true;
}

bool FindProcedureHook(HWND window, WNDPROC procedure, ProcedureHook& hook) {
  HookTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  const auto found = table.hooks.find({window, procedure});
  if (found == table.hooks.end()) return false;
  hook = found->second;
  return true;
}

void UnhookProcedure(HWND window, WNDPROC procedure, bool windowDestroyed) {
  HookTable& table = Table();
  ProcedureHook hook;
  {
    std::lock_guard<std::mutex> hold(table.lock);
    const auto found = table.hooks.find({window, procedure});
    if (found == table.hooks.end()) return;
    hook = found->second;
    found->second.context = nullptr;
  }
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  const bool outermost = current == procedure;
  if (outermost) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
  if (!outermost && !windowDestroyed) return;
  std::lock_guard<std::mutex> hold(table.lock);
  table.hooks.erase({window, procedure});
}

bool TakeHook(HWND window, UINT message, WNDPROC procedure, ProcedureHook& hook) {
  if (!FindProcedureHook(window, procedure, hook)) return false;
  if (message == WM_NCDESTROY) UnhookProcedure(window, procedure, true);
  return true;
}

LRESULT PassOn(const ProcedureHook& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hook.previous) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(hook.previous, window, message, wParam, lParam);
}

}  // namespace pyr
