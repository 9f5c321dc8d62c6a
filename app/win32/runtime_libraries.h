// The two system libraries looked up at run time: devmgr.dll for the device property sheet and
// newdev.dll for removing driver packages. Either may be missing (older systems, Wine); its
// entry point is then null and the commands that need it do without.
#pragma once

#include <windows.h>

#include "base/win32/system_library.h"

namespace pyr {

using DevicePropertiesRunDllFn = void(WINAPI*)(HWND owner, HINSTANCE instance, LPCWSTR commandLine,
                                               int show);
using DiUninstallDriverFn = BOOL(WINAPI*)(HWND owner, LPCWSTR infPath, DWORD flags,
                                          PBOOL needReboot);

class RuntimeLibraries {
 public:
  RuntimeLibraries() = default;
  ~RuntimeLibraries() { Release(); }
  RuntimeLibraries(const RuntimeLibraries&) = delete;
  RuntimeLibraries& operator=(const RuntimeLibraries&) = delete;

  // Loads both libraries from System32 and looks their entry points up; libraries already held
  // are freed first.
  void Load();
  // Frees newdev.dll, then devmgr.dll.
  void Release();

  DevicePropertiesRunDllFn DevicePropertiesRunDll() const { return deviceProperties_; }
  DiUninstallDriverFn DiUninstallDriver() const { return uninstallDriver_; }
  HMODULE Devmgr() const { return devmgr_.Get(); }
  HMODULE Newdev() const { return newdev_.Get(); }

 private:
  SystemLibrary devmgr_;
  DevicePropertiesRunDllFn deviceProperties_ = nullptr;
  SystemLibrary newdev_;
  DiUninstallDriverFn uninstallDriver_ = nullptr;
};

}  // namespace pyr
