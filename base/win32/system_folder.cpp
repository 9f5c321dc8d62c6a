#include "base/win32/system_folder.h"

#include <windows.h>

#include <shlobj.h>

namespace pyr {

WideText SystemFolder() {
  WideText folder;
  char16_t* buffer = folder.Reserve(MAX_PATH);
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_SYSTEM, nullptr, 0, reinterpret_cast<wchar_t*>(buffer)))) {
    folder.Clear();
  }
  return folder;
}

WideText ProgramDataPath() {
  PWSTR path = nullptr;
  WideText folder;
  // The returned buffer is the caller's to free, even when the call fails.
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path))) {
    folder.Assign(reinterpret_cast<const char16_t*>(path));
  }
  CoTaskMemFree(path);
  return folder;
}

}  // namespace pyr
