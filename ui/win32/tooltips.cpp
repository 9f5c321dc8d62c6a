// Hover tooltips: one tooltip window per UiWindow, one tool per control.
#include <windows.h>
#include <commctrl.h>

#include "base/win32/wchar.h"
#include "ui/win32/ui_window.h"

namespace pyr {

bool UiWindow::SetControlTooltip(int32_t id, const char16_t* text) {
  ControlEntry* e = Entry(id);
  if (!e || !e->handle || !hwnd_) return false;
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                               nullptr, instance_, nullptr);
    if (!tooltip_) return false;
    SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = e->handle;
  tool.uId = reinterpret_cast<UINT_PTR>(e->handle);
  tool.hinst = instance_;
  tool.lpszText = const_cast<wchar_t*>(W(text ? text : u""));
  // A maximum width makes line breaks in the text start new lines.
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 100000);
  // A control has one tip: adding a second would be refused and keep the first text.
  SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

}  // namespace pyr
