// The window procedures: turn the messages the program cares about into events.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "base/win32/wchar.h"
#include "ui/win32/list_view.h"
#include "ui/win32/procedure_hooks.h"
#include "ui/win32/ui_window.h"
#include "ui/win32/window_procs.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pyr {
namespace {

uint32_t LowWord(WPARAM w) { return LOWORD(w); }

}  // namespace

namespace {

using UiWindowHandler = LRESULT (UiWindow::*)(HWND, UINT, WPARAM, LPARAM, bool&);

// The hook's UiWindow handles the message if it can; the rest goes on down the chain.
LRESULT ToUiWindow(const ProcedureHook& hook, UiWindowHandler handler, HWND hwnd, UINT message,
                   WPARAM wParam, LPARAM lParam) {
  auto* window = static_cast<UiWindow*>(hook.context);
  if (window && message != WM_NCDESTROY) {
    bool handled = false;
    const LRESULT result = (window->*handler)(hwnd, message, wParam, lParam, handled);
    if (handled) return result;
  }
  return PassOn(hook, hwnd, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK UiWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, UiWindowProc, hook)) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return ToUiWindow(hook, &UiWindow::HandleMessage, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, PanelProc, hook)) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) RemovePropW(hwnd, UiWindowProperty());
  return ToUiWindow(hook, &UiWindow::HandlePanelMessage, hwnd, message, wParam, lParam);
}

LRESULT UiWindow::HandlePanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                                     bool& handled) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CONTEXTMENU:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_MENUCOMMAND:
      // Controls inside a panel produce the same events as direct children.
      return HandleMessage(panel, message, wParam, lParam, handled);
    case WM_CLOSE:
      handled = true;
      return 0;
    case WM_ERASEBKGND:
      handled = true;
      OnEraseBackground(panel, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SETCURSOR:
      return HandleMessage(panel, message, wParam, lParam, handled);
    default:
      return 0;
  }
}

LRESULT UiWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                bool& handled) {
  auto post = [&](int32_t code, uint32_t param, uint64_t extra) {
    PostUiEvent(code, message, hwnd, param, extra);
  };
  switch (message) {
    case WM_CLOSE:
      // The window never closes by itself: a window with a cancel control answers as if it were
      // clicked; any other posts -6 and the program decides.
      handled = true;
      if (hwnd == hwnd_ && PostCancelClick(hwnd)) return 0;
      PostMessageW(hwnd_, kCloseMessage, 0, 0);
      return 0;
    case kCloseMessage:
      // Reached when somebody dispatches the queue without NextEvent.
      post(ev::kClose, 0, 0);
      handled = true;
      return 0;
    case WM_COMMAND:
      return OnCommand(hwnd, wParam, lParam, handled);
    case WM_NOTIFY:
      return OnNotify(hwnd, reinterpret_cast<NMHDR*>(lParam), handled);
    case WM_MENUCOMMAND: {
      auto menu = reinterpret_cast<HMENU>(lParam);
      MENUITEMINFOW item{};
      item.cbSize = sizeof(item);
      item.fMask = MIIM_ID;
      if (GetMenuItemInfoW(menu, static_cast<UINT>(wParam), TRUE, &item) && item.wID) {
        post(static_cast<int32_t>(item.wID), item.wID, static_cast<uint64_t>(wParam));
      }
      handled = true;
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return OnControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                             handled);
    case WM_ERASEBKGND:
      if (hwnd != hwnd_) return 0;
      if (backgroundMode_ == 3) return 0;
      handled = true;
      if (!backgroundBrush_) return 1;
      return OnEraseBackground(hwnd, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_SETCURSOR: {
      auto over = reinterpret_cast<HWND>(wParam);
      int32_t id = ControlFromHandle(over);
      HCURSOR chosen = nullptr;
      if (over == hwnd_ && LOWORD(lParam) == HTCLIENT) {
        chosen = cursor_;
      } else if (const ControlEntry* e = Entry(id)) {
        chosen = e->cursor;
      }
      if (id != hoverId_) {
        hoverId_ = id;
        post(ev::kHover, static_cast<uint32_t>(id), 0);
      }
      if (chosen) {
        SetCursor(chosen);
        handled = true;
        return TRUE;
      }
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minTrack_.cx > 0 && minTrack_.cy > 0) info->ptMinTrackSize = {minTrack_.cx, minTrack_.cy};
      if (maxTrack_.cx > 0 && maxTrack_.cy > 0) info->ptMaxTrackSize = {maxTrack_.cx, maxTrack_.cy};
      return 0;
    }
    case WM_NCCALCSIZE:
      if (frameWidth_ > 0 && wParam) {
        auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        InflateRect(&params->rgrc[0], -(frameWidth_ - 1), -(frameWidth_ - 1));
        handled = true;
        return WVR_REDRAW;
      }
      return 0;
    case WM_NCPAINT:
      if (frameWidth_ > 0) {
        handled = true;
        return 0;
      }
      return 0;
    case WM_USER:  // DM_GETDEFID: what IsDialogMessageW presses for Enter
      handled = true;
      if (defaultButton_ > 0 && IsControl(defaultButton_)) {
        return MAKELRESULT(defaultButton_, DC_HASDEFID);
      }
      return 0;
    case WM_INITDIALOG:
    case WM_ENTERIDLE:
    case WM_CTLCOLORDLG:
    case WM_NEXTDLGCTL:
      handled = true;
      return DefDlgProcW(hwnd, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_PARENTNOTIFY: {
      if (message == WM_PARENTNOTIFY && LOWORD(wParam) != WM_LBUTTONDOWN) return 0;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (hwnd == hwnd_) lastMouse_ = p;
      if (message == WM_LBUTTONDOWN) keyState_ = wParam;
      // Pressing a control that carries the drag flag moves the whole window instead.
      HWND child = ChildWindowFromPointEx(hwnd, p, CWP_SKIPINVISIBLE);
      int32_t id = child != hwnd ? ControlFromHandle(child) : 0;
      if (const ControlEntry* e = Entry(id); e && (e->flags & kFlagDragsWindow)) {
        ReleaseCapture();
        SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        handled = true;
        return 0;
      }
      post(ev::kLeftDown, static_cast<uint32_t>(id), static_cast<uint64_t>(lParam));
      return 0;
    }
    case WM_LBUTTONUP:
      post(ev::kLeftUp, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      post(ev::kRightDown, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_RBUTTONUP:
      post(ev::kRightUp, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      post(ev::kDoubleClick, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_RBUTTONDBLCLK:
      post(ev::kRightDoubleClick, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_MOUSEMOVE:
      lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      keyState_ = wParam;
      post(ev::kMouseMove, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_MOUSEWHEEL:
      post(ev::kMouseWheel, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_NCLBUTTONDBLCLK:
      post(ev::kNonClientDoubleClick, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_NCLBUTTONDOWN:
      post(ev::kNonClientLeftDown, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_NCLBUTTONUP:
      post(ev::kNonClientLeftUp, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_NCMOUSELEAVE:
      post(ev::kNonClientMouseLeave, 0, 0);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        sink_->acceleratorWindow = this;
        post(ev::kActivated, LowWord(wParam), 0);
      } else {
        post(ev::kDeactivated, LowWord(wParam), 0);
      }
      return 0;
    case WM_ACTIVATEAPP:
      post(wParam ? ev::kActivated : ev::kDeactivated, static_cast<uint32_t>(wParam), 0);
      return 0;
    case WM_NCACTIVATE:
      if (frameWidth_ == 0) post(wParam ? ev::kNonClientActive : ev::kNonClientInactive, 0, 0);
      return 0;
    case WM_CONTEXTMENU: {
      int32_t id = ControlFromHandle(reinterpret_cast<HWND>(wParam));
      lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      post(ev::kContextMenu, static_cast<uint32_t>(id), static_cast<uint64_t>(lParam));
      handled = true;
      return 0;
    }
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: post(ev::kMinimize, 0, 0); break;
        case SC_RESTORE: post(ev::kRestore, 0, 0); break;
        case SC_MAXIMIZE: post(ev::kMaximize, 0, 0); break;
        case SC_MOVE: post(ev::kMoving, 0, 0); break;
        default: break;
      }
      return 0;
    case WM_MOVING:
      post(ev::kMoving, 0, static_cast<uint64_t>(lParam));
      return 0;
    case WM_MOVE:
      post(ev::kMoved, 0, static_cast<uint64_t>(lParam));
      return 0;
    case WM_SIZING:
      post(ev::kSizing, static_cast<uint32_t>(wParam), 0);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) MoveOwnedWindows(pos->x, pos->y);
      if (!(pos->flags & SWP_NOSIZE)) post(ev::kSizing, 0, 0);
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOSIZE)) {
        Layout();
        post(ev::kSized, 0, 0);
      }
      return 0;
    }
    case WM_SIZE:
      if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
        Layout();
        post(ev::kSized, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      }
      return 0;
    case WM_EXITSIZEMOVE:
      Layout();
      for (ControlEntry& e : controls_) {
        if (e.id && e.handle && (e.flags & kFlagRepaintAfterLayout)) {
          RedrawWindow(e.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
      }
      post(ev::kMoved, 0, 0);
      return 0;
    case WM_DPICHANGED:
      if (hwnd != hwnd_) return 0;
      FollowDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      handled = true;
      return 0;
    case WM_DROPFILES:
      OnDropFiles(hwnd, reinterpret_cast<HDROP>(wParam));
      handled = true;
      return 0;
    case WM_CHAR:
      post(ev::kChar, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      return 0;
    case WM_ENTERMENULOOP:
      post(ev::kMenuLoopEntered, static_cast<uint32_t>(wParam), 0);
      return 0;
    case WM_EXITMENULOOP:
      post(ev::kMenuLoopLeft, static_cast<uint32_t>(wParam), 0);
      return 0;
    case WM_DEVICECHANGE:
      post(ev::kDeviceChange, static_cast<uint32_t>(wParam), static_cast<uint64_t>(lParam));
      handled = true;
      return TRUE;
    case WM_QUERYENDSESSION:
      post(ev::kEndSession, 0, 0);
      handled = true;
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) post(ev::kEndSession, 0, 0);
      return 0;
    case kTrayCallbackMessage:
      // Handled by NextEvent as a tray event.
      PostMessageW(hwnd_, kTrayEventMessage, wParam, lParam);
      sink_->sourceWindow = this;
      handled = true;
      return 0;
    default:
      return 0;
  }
}

LRESULT UiWindow::OnCommand(HWND hwnd, WPARAM wParam, LPARAM lParam, bool& handled) {
  auto control = reinterpret_cast<HWND>(lParam);
  uint32_t notification = HIWORD(wParam);
  const int32_t commandId = LOWORD(wParam);
  if (commandId == IDCANCEL || commandId == IDOK) {
    // Only the dialog navigation sends these (Esc; Enter without a default button): no control
    // has either id. Esc is the window's negative answer; a lone IDOK presses nothing.
    if (commandId == IDCANCEL) PostCancelClick(hwnd);
    handled = true;
    return 0;
  }
  if (!control) {
    // Accelerator (1) or a menu without notify-by-position (0): the code is the item's id.
    if (commandId > 0) {
      PostUiEvent(commandId, WM_COMMAND, hwnd, static_cast<uint32_t>(commandId), notification);
    }
    handled = true;
    return 0;
  }
  int32_t id = ControlFromHandle(control);
  ControlEntry* e = Entry(id);
  if (!e) return 0;
  switch (e->kind) {
    case kKindButton:
    case kKindCheckBox:
      if (notification == BN_CLICKED) {
        PostUiEvent(id, WM_COMMAND, hwnd, static_cast<uint32_t>(id), notification);
        handled = true;
      }
      break;
    case kKindPicture:
    case kKindText:
      if (notification == STN_CLICKED) {
        if (e->flags & kFlagDragsWindow) break;
        PostUiEvent(id, WM_COMMAND, hwnd, static_cast<uint32_t>(id), notification);
        handled = true;
      } else if (notification == STN_DBLCLK) {
        PostUiEvent(ev::kDoubleClick, WM_COMMAND, hwnd, static_cast<uint32_t>(id), 0);
        handled = true;
      }
      break;
    case kKindSizeGrip:
      if (notification == STN_CLICKED) {
        // The click resizes the window from its bottom-right corner.
        SendMessageW(control, WM_LBUTTONUP, 0, 0);
        POINT p{};
        GetCursorPos(&p);
        SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(p.x, p.y));
        handled = true;
      }
      break;
    default:
      break;
  }
  return 0;
}

LRESULT UiWindow::OnNotify(HWND hwnd, NMHDR* header, bool& handled) {
  if (!header) return 0;
  int32_t id = ControlFromHandle(header->hwndFrom);
  ControlEntry* e = Entry(id);
  if (!e) return 0;
  if (e->kind == kKindListView) {
    LRESULT result = 0;
    if (HandleListViewNotify(*this, *e, hwnd, header, result)) {
      handled = true;
      return result;
    }
    return 0;
  }
  switch (header->code) {
    case NM_CLICK:
    case NM_RETURN:
      if (e->kind == kKindLink) {
        auto* link = reinterpret_cast<NMLINK*>(header);
        textBuffer_ = U(link->item.szUrl);
        PostUiEvent(id, WM_NOTIFY, hwnd, static_cast<uint32_t>(id),
                    reinterpret_cast<uint64_t>(textBuffer_.c_str()));
        handled = true;
      } else if (header->code == NM_RETURN) {
        PostUiEvent(ev::kReturn, WM_NOTIFY, hwnd, static_cast<uint32_t>(id), 0);
      }
      break;
    case NM_DBLCLK:
      PostUiEvent(ev::kDoubleClick, WM_NOTIFY, hwnd, static_cast<uint32_t>(id), 0);
      break;
    default:
      break;
  }
  return 0;
}

bool UiWindow::PostCancelClick(HWND hwnd) {
  const ControlEntry* e = Entry(cancelControl_);
  if (cancelControl_ <= 0 || !e) return false;
  PostUiEvent(cancelControl_, WM_COMMAND, hwnd, static_cast<uint32_t>(cancelControl_), BN_CLICKED);
  return true;
}

void UiWindow::OnDropFiles(HWND hwnd, HDROP drop) {
  POINT p{};
  DragQueryPoint(drop, &p);
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  textBuffer_.clear();
  wchar_t path[2049];
  for (UINT i = 0; i < count; ++i) {
    UINT n = DragQueryFileW(drop, i, path, 2049);
    if (n == 0) continue;
    if (!textBuffer_.empty()) textBuffer_ += u"\r\n";
    textBuffer_.append(U(path), n);
  }
  DragFinish(drop);
  // The deepest visible child under the drop point, else the window.
  HWND target = hwnd;
  for (;;) {
    POINT local = p;
    MapWindowPoints(hwnd, target, &local, 1);
    HWND child = ChildWindowFromPointEx(target, local, CWP_SKIPINVISIBLE);
    if (!child || child == target) break;
    target = child;
  }
  lastMouse_ = p;
  PostUiEvent(ev::kFilesDropped, WM_DROPFILES, hwnd, static_cast<uint32_t>(ControlFromHandle(target)),
              reinterpret_cast<uint64_t>(textBuffer_.c_str()));
}

}  // namespace pyr
