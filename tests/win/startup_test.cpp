#include <gtest/gtest.h>
#include <windows.h>

#include "app/win32/privileges.h"
#include "base/win32/privilege_table.h"

namespace pyr {
namespace {

bool PrivilegeEnabled(const wchar_t* name) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  LookupPrivilegeValueW(nullptr, name, &set.Privilege[0].Luid);
  BOOL held = FALSE;
  PrivilegeCheck(token, &set, &held);
  CloseHandle(token);
  return held != FALSE;
}

TEST(EnablePrivileges, EnablesWhatTheTokenHoldsAndReturnsThePreviousState) {
  const auto previous = EnablePrivileges();
  ASSERT_TRUE(previous.has_value());
  const auto* state = reinterpret_cast<const TOKEN_PRIVILEGES*>(previous->data());
  EXPECT_LE(state->PrivilegeCount, kProgramPrivilegeCount) << "the previous state lists only changed privileges";
  for (const ProgramPrivilege& privilege : kProgramPrivileges) EXPECT_TRUE(PrivilegeEnabled(privilege.name));
  // What no call needs stays off, though an administrator's token holds it.
  EXPECT_FALSE(PrivilegeEnabled(L"SeDebugPrivilege"));
  // A second call changes nothing and still succeeds.
  EXPECT_TRUE(EnablePrivileges().has_value());
}

}  // namespace
}  // namespace pyr
