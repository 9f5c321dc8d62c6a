#include "app/win32/shell_open.h"

#include <windows.h>
#include <shellapi.h>

#include "base/win32/wchar.h"

namespace pyr {

bool ShellOpen(const char16_t* target) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = W(target);
  info.nShow = SW_SHOW;
  const bool ok = ShellExecuteExW(&info) != FALSE;
  // Nothing waits for the browser.
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return ok;
}

}  // namespace pyr
