// The system library looked up at run time: devmgr.dll for the device property sheet. It may be
// missing (Wine); its entry point is then null and the command that needs it does without.
#pragma once

#include <windows.h>

#include "base/win32/system_library.h"

namespace pyr {

using DevicePropertiesRunDllFn = void(WINAPI*)(HWND owner, HINSTANCE instance, LPCWSTR commandLine,
                                               int show);

class RuntimeLibraries {
 public:
  RuntimeLibraries() = default;
  ~RuntimeLibraries() { Release(); }
  RuntimeLibraries(const RuntimeLibraries&) = delete;
  RuntimeLibraries& operator=(const RuntimeLibraries&) = delete;

  // Loads the library from System32 and looks its entry point up; a library already held is
  // freed first.
  void Load();
  void Release();

  DevicePropertiesRunDllFn DevicePropertiesRunDll() const { return deviceProperties_; }
  HMODULE Devmgr() const { return devmgr_.Get(); }

 private:
  SystemLibrary devmgr_;
  DevicePropertiesRunDllFn deviceProperties_ = nullptr;
};

}  // namespace pyr
