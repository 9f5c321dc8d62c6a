// The event pump.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "ui/win32/ui_window.h"

namespace pyr {
namespace {

int32_t TrayEventCode(LPARAM mouseMessage, int32_t iconId) {
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_RBUTTONUP: return ev::kContextMenu;
    case WM_LBUTTONDBLCLK: return ev::kDoubleClick;
    case WM_LBUTTONUP: return iconId;
    case NIN_BALLOONSHOW: return ev::kBalloonShown;
    case NIN_BALLOONHIDE:
    case NIN_BALLOONTIMEOUT: return ev::kBalloonHidden;
    case NIN_BALLOONUSERCLICK: return ev::kBalloonClicked;
    default: return ev::kTrayOther;
  }
}

int Finish(UiEvent& record, EventMode mode, int getResult) {
  // An event the dispatch posted is consumed by this call, not returned again by the next.
  record.pending = 0;
  if (record.code == ev::kEndSession) {
    record.code = ev::kClose;
    record.quit = 1;
  }
  if (mode == EventMode::kPeekCode) return record.code;
  if (mode == EventMode::kPeekHandled) return 1;
  return getResult;
}

}  // namespace

int NextEvent(UiEvent& record, EventMode mode) {
  if (record.pending) {
    record.pending = 0;
    return mode == EventMode::kWait ? 1 : record.code;
  }
  record.code = 0;
  record.source = nullptr;
  record.message = 0;
  record.param = 0;
  record.extra = 0;
  record.msg = MSG{};

  MSG& msg = record.msg;
  int got = 1;
  if (mode == EventMode::kWait) {
    got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      record.code = ev::kPumpFailed;
      return 0;
    }
  } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    return 0;
  }

  if (msg.message == kCloseMessage) {
    record.code = ev::kClose;
    record.quit = 1;
    record.message = WM_CLOSE;
    record.source = msg.hwnd;
    record.sourceWindow = UiWindow::FromHandle(msg.hwnd);
    return Finish(record, mode, got);
  }

  if (msg.message == kTrayEventMessage) {
    UiWindow* window = UiWindow::FromHandle(msg.hwnd);
    auto iconId = static_cast<int32_t>(msg.wParam);
    if (window && window->IsControl(iconId)) {
      record.code = TrayEventCode(msg.lParam, iconId);
      record.message = static_cast<uint32_t>(msg.lParam);
      record.source = msg.hwnd;
      record.param = static_cast<uint32_t>(iconId);
      record.sourceWindow = window;
      if (record.code > 0) record.quit = 0;
    }
    return Finish(record, mode, got);
  }

  UiWindow* keys = record.acceleratorWindow;
  if (keys && !IsWindow(keys->Handle())) keys = nullptr;
  bool translated = false;
  if (keys) {
    // Enter on push buttons is left to the dialog navigation, which asks the window for its
    // default button (DM_GETDEFID) and clicks it.
    if (keys->Accelerators() && TranslateAcceleratorW(keys->Handle(), keys->Accelerators(), &msg)) {
      translated = true;
    } else if (IsDialogMessageW(keys->Handle(), &msg)) {
      translated = true;
    }
  }
  if (!translated) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return Finish(record, mode, got);
}

bool PumpPendingMessages() {
  bool any = false;
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    any = true;
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the program's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == kCloseMessage) {
      // A close is the program's to see: dispatched here, its event would be overwritten by the
      // next message's before the program's loop takes one.
      PostMessageW(msg.hwnd, kCloseMessage, msg.wParam, msg.lParam);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return any;
}

bool WaitForMessageOrObject(HANDLE object, DWORD timeoutMs) {
  // MWMO_INPUTAVAILABLE: a message already in the queue, seen or not, ends the wait at once.
  const DWORD count = object ? 1 : 0;
  const DWORD woke = MsgWaitForMultipleObjectsEx(count, object ? &object : nullptr, timeoutMs,
                                                 QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return object && woke == WAIT_OBJECT_0;
}

bool CopyTextToClipboard(HWND owner, const char16_t* text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool set = false;
  if (!text) {
    set = SetClipboardData(CF_UNICODETEXT, nullptr) != nullptr;
  } else {
    size_t length = std::char_traits<char16_t>::length(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (length + 1) * sizeof(char16_t));
    if (block) {
      if (void* p = GlobalLock(block)) {
        memcpy(p, text, (length + 1) * sizeof(char16_t));
        GlobalUnlock(block);
        set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      }
      if (!set) GlobalFree(block);
    }
  }
  CloseClipboard();
  return set;
}

ControlsDisabler::ControlsDisabler(UiWindow& window, int32_t firstId, int32_t lastId)
    : window_(window) {
  focus_ = GetFocus();
  int32_t last = window.LastControlId();
  if (lastId >= 0 && lastId < firstId) lastId = firstId;
  if (lastId < 0 || lastId > last) lastId = last;
  HWND hwnd = window.Handle();
  if (hwnd) SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  for (int32_t id = firstId < 1 ? 1 : firstId; id <= lastId; ++id) {
    const ControlEntry* e = window.Entry(id);
    if (!e || !e->handle || e->kind == kKindText) continue;
    if (e->kind == kKindMenuItem || e->kind == kKindSubmenuItem) continue;
    if (!IsWindowEnabled(e->handle)) continue;
    EnableWindow(e->handle, FALSE);
    disabled_.push_back(id);
  }
  if (hwnd) {
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  PumpPendingMessages();
}

ControlsDisabler::~ControlsDisabler() {
  HWND hwnd = window_.Handle();
  if (hwnd) SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  for (int32_t id : disabled_) {
    if (const ControlEntry* e = window_.Entry(id); e && e->handle) EnableWindow(e->handle, TRUE);
  }
  if (hwnd) {
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (focus_ && IsWindow(focus_)) SetFocus(focus_);
  PumpPendingMessages();
}

}  // namespace pyr
