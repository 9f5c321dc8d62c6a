// Replacing a window's procedure with one of the toolkit's, keeping the one it replaced.
//
// The toolkit does not subclass through comctl32's SetWindowSubclass: under Wine every hop of
// that chain asks the window server for the window's subclass record, which makes each message
// a busy list or window receives about a hundred times dearer. A hook here is found in memory.
#pragma once

#include <windows.h>

namespace pyr {

struct ProcedureHook {
  WNDPROC previous = nullptr;
  void* context = nullptr;
};

// Puts `procedure` in front of the window's procedure; `procedure` finds its hook with
// FindProcedureHook. A window already hooked by `procedure` only takes the new context.
bool HookProcedure(HWND window, WNDPROC procedure, void* context);

// The hook `procedure` holds on the window; a hook whose context was taken back has none.
bool FindProcedureHook(HWND window, WNDPROC procedure, ProcedureHook& hook);

// What a hook procedure does first with every message: finds its hook (false when the window
// has none; the message then goes to DefWindowProcW) and, on WM_NCDESTROY, drops it, since the
// window is going.
bool TakeHook(HWND window, UINT message, WNDPROC procedure, ProcedureHook& hook);

// Gives the window its previous procedure back when `procedure` is still the outermost one;
// otherwise the hook stays and passes every message through, since a procedure put in front of
// it later still calls it. A window being destroyed (WM_NCDESTROY) always loses its hook, so
// that a later window given the same handle starts clean.
void UnhookProcedure(HWND window, WNDPROC procedure, bool windowDestroyed = false);

// What a hook procedure does with a message it leaves alone.
LRESULT PassOn(const ProcedureHook& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pyr
