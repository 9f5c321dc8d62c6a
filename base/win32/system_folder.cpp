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

}  // namespace pyr
