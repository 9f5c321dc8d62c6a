#include <gtest/gtest.h>
#include <windows.h>

#include "app/win32/privileges.h"
#include "app/win32/runtime_libraries.h"

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
  EXPECT_LE(state->PrivilegeCount, 12u) << "the previous state lists only changed privileges";
  EXPECT_TRUE(PrivilegeEnabled(L"SeShutdownPrivilege"));
  EXPECT_TRUE(PrivilegeEnabled(L"SeBackupPrivilege"));
  EXPECT_TRUE(PrivilegeEnabled(L"SeRestorePrivilege"));
  // A second call changes nothing and still succeeds.
  EXPECT_TRUE(EnablePrivileges().has_value());
}

TEST(RuntimeLibraries, MissingLibrariesAndExportsLeaveNullEntryPoints) {
  const bool newdevLoadedBefore = GetModuleHandleW(L"newdev.dll") != nullptr;
  RuntimeLibraries libraries;
  libraries.Load();
  // Each entry point is there exactly when its library exports it.
  const HMODULE devmgr = libraries.Devmgr();
  EXPECT_EQ(libraries.DevicePropertiesRunDll() != nullptr,
            devmgr != nullptr && GetProcAddress(devmgr, "DeviceProperties_RunDLLW") != nullptr);
  ASSERT_NE(libraries.Newdev(), nullptr) << "newdev.dll ships with every system";
  EXPECT_EQ(libraries.DiUninstallDriver() != nullptr,
            GetProcAddress(libraries.Newdev(), "DiUninstallDriverW") != nullptr);
  // Loading again frees what it held first: the reference count does not grow.
  libraries.Load();
  libraries.Release();
  EXPECT_EQ(libraries.Newdev(), nullptr);
  EXPECT_EQ(libraries.DiUninstallDriver(), nullptr);
  if (!newdevLoadedBefore) {
    EXPECT_EQ(GetModuleHandleW(L"newdev.dll"), nullptr) << "newdev.dll still loaded after Release";
  }
}

}  // namespace
}  // namespace pyr
