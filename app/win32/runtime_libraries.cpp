#include "app/win32/runtime_libraries.h"

namespace pyr {

void RuntimeLibraries::Load() {
  devmgr_.Load(L"devmgr.dll");
  deviceProperties_ = devmgr_.GetProc<DevicePropertiesRunDllFn>("DeviceProperties_RunDLLW");
}

void RuntimeLibraries::Release() {
  deviceProperties_ = nullptr;
  devmgr_.Release();
}

}  // namespace pyr
