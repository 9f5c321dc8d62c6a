#include "app/win32/runtime_libraries.h"

namespace pyr {
namespace {

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // GetProcAddress hands out a generic pointer; the signature is the export's documented one.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void RuntimeLibraries::Load() {
  if (devmgr_ != nullptr) FreeLibrary(devmgr_);
  devmgr_ = LoadLibraryW(L"devmgr.dll");
  deviceProperties_ = Lookup<DevicePropertiesRunDllFn>(devmgr_, "DeviceProperties_RunDLLW");
  if (newdev_ != nullptr) FreeLibrary(newdev_);
  newdev_ = LoadLibraryW(L"newdev.dll");
  uninstallDriver_ = Lookup<DiUninstallDriverFn>(newdev_, "DiUninstallDriverW");
}

void RuntimeLibraries::Release() {
  uninstallDriver_ = nullptr;
  if (newdev_ != nullptr) FreeLibrary(newdev_);
  newdev_ = nullptr;
  deviceProperties_ = nullptr;
  if (devmgr_ != nullptr) FreeLibrary(devmgr_);
  devmgr_ = nullptr;
}

}  // namespace pyr
