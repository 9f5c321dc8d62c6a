#include "app/win32/runtime_libraries.h"

namespace pyr {

void RuntimeLibraries::Load() {
  devmgr_.Load(L"devmgr.dll");
  deviceProperties_ = devmgr_.GetProc<DevicePropertiesRunDllFn>("DeviceProperties_RunDLLW");
  newdev_.Load(L"newdev.dll");
  uninstallDriver_ = newdev_.GetProc<DiUninstallDriverFn>("DiUninstallDriverW");
}

void RuntimeLibraries::Release() {
  uninstallDriver_ = nullptr;
  newdev_.Release();
  deviceProperties_ = nullptr;
  devmgr_.Release();
}

}  // namespace pyr
