// The one table of the token privileges the program enables for itself, each with the calls
// that need it. The others an administrator's token holds (debug, act as part of the operating
// system, impersonate, ...) no call of the program needs, so they stay off.
#pragma once

#include <iterator>

namespace pyr {

struct ProgramPrivilege {
  const wchar_t* name;
  const char* neededBy;  // for the reader: the calls that need it
};

inline constexpr ProgramPrivilege kProgramPrivileges[] = {
    // CM_Reenumerate_DevNode's page: the caller must have SeLoadDriverPrivilege (rescan,
    // reinstall, restore of removed drivers).
    {L"SeLoadDriverPrivilege", "CM_Reenumerate_DevNode"},
    // Opens with FILE_FLAG_BACKUP_SEMANTICS read and write past a folder's DACL: the driver-store
    // copies, the deletes by handle.
    {L"SeBackupPrivilege", "CreateFileW with FILE_FLAG_BACKUP_SEMANTICS (read)"},
    {L"SeRestorePrivilege", "CreateFileW with FILE_FLAG_BACKUP_SEMANTICS (write), SetKernelObjectSecurity owner"},
    // WRITE_OWNER on a folder of the program's own that someone else owns.
    {L"SeTakeOwnershipPrivilege", "SetKernelObjectSecurity (OWNER_SECURITY_INFORMATION)"},
    // InitiateShutdownW's page: the caller needs SE_SHUTDOWN_NAME.
    {L"SeShutdownPrivilege", "InitiateShutdownW"},
    // CreateProcessAsUserW's page: the caller must have SE_INCREASE_QUOTA_NAME (the restricted start).
    {L"SeIncreaseQuotaPrivilege", "CreateProcessAsUserW"},
};
inline constexpr unsigned kProgramPrivilegeCount = static_cast<unsigned>(std::size(kProgramPrivileges));

}  // namespace pyr
