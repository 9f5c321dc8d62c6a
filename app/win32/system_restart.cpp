#include "app/win32/system_restart.h"

#include <windows.h>

#include "base/win32/wchar.h"

namespace pyr {
namespace {

constexpr DWORD kGraceSeconds = 10;
constexpr DWORD kShutdownRestart = 0x4;
constexpr DWORD kReasonHardwareDriver = 0x1000D;  // MAJOR_HARDWARE | MINOR_HARDWARE_DRIVER

}  // namespace

bool RequestSystemRestart(const char16_t* message) {
  // The message parameter is not const in the headers; the system only reads it.
  std::u16string notice(message ? message : u"");
  return InitiateShutdownW(nullptr, W(notice.data()), kGraceSeconds, kShutdownRestart,
                           kReasonHardwareDriver) == ERROR_SUCCESS;
}

}  // namespace pyr
