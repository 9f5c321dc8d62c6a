#include "base/os_version.h"

#include <windows.h>

#include "base/win32/owners.h"

namespace pyr {

namespace {

class SystemProbe : public OsVersionProbe {
 public:
  SystemProbe() : kernel_(LoadLibraryW(L"Kernel32.dll")) {}

  bool Reported(uint32_t& major, uint32_t& minor, uint32_t& build) override {
    using Fn = BOOL(WINAPI*)(OSVERSIONINFOEXW*);
    auto fn = kernel_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel_.Get(), "GetVersionExW")))
                      : nullptr;
    if (!fn) return false;
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!fn(&info)) return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    build = info.dwBuildNumber;
    return true;
  }
  bool MajorAtLeast(uint32_t major) override { return Verify(VER_MAJORVERSION, major, VER_GREATER_EQUAL); }
  bool MajorEquals(uint32_t major) override { return Verify(VER_MAJORVERSION, major, VER_EQUAL); }
  bool MinorEquals(uint32_t minor) override { return Verify(VER_MINORVERSION, minor, VER_EQUAL); }

 private:
  static bool Verify(DWORD type, uint32_t value, BYTE condition) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    (type == VER_MAJORVERSION ? info.dwMajorVersion : info.dwMinorVersion) = value;
    return VerifyVersionInfoW(&info, type, VerSetConditionMask(0, type, condition)) != FALSE;
  }

  ModuleOwner kernel_;
};

}  // namespace

double OsVersion() {
  SystemProbe probe;
  return OsVersionFrom(probe);
}

}  // namespace pyr
