#include "app/win32/privileges.h"

#include <windows.h>

#include <cstddef>

#include "base/win32/owners.h"
#include "base/win32/privilege_table.h"

namespace pyr {

constexpr DWORD kCount = kProgramPrivilegeCount;

std::optional<std::vector<uint8_t>> EnablePrivileges() {
  TokenOwner token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) {
    return std::nullopt;
  }

  const DWORD size = static_cast<DWORD>(offsetof(TOKEN_PRIVILEGES, Privileges) +
                                        kCount * sizeof(LUID_AND_ATTRIBUTES));
  std::vector<uint8_t> request(size, 0);
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(request.data());
  privileges->PrivilegeCount = kCount;
  for (DWORD i = 0; i < kCount; ++i) {
    // An unknown name leaves its LUID zero; the system ignores that entry.
    LookupPrivilegeValueW(nullptr, kProgramPrivileges[i].name, &privileges->Privileges[i].Luid);
    privileges->Privileges[i].Attributes = SE_PRIVILEGE_ENABLED;
  }

  std::vector<uint8_t> previous(size, 0);
  DWORD returned = 0;
  if (!AdjustTokenPrivileges(token.Get(), FALSE, privileges, size,
                             reinterpret_cast<TOKEN_PRIVILEGES*>(previous.data()), &returned)) {
    return std::nullopt;
  }
  return previous;
}

}  // namespace pyr
