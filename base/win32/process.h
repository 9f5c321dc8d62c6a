// Starting other programs, opening documents and addresses with the shell, WOW64 helpers.
// Windows only.
#pragma once

#include <cstdint>

#include "base/wide_text.h"
#include "base/win32/owners.h"

namespace pyr {

enum ProcessOptions : unsigned {
  kWaitForExit = 1,            // RunProcess: wait and return the exit code
  kNoFsRedirection = 2,        // a 32-bit process on 64-bit Windows sees the real System32
  // The program runs on a restricted copy of this process's token from which the privileges
  // of base/win32/privilege_table.h are deleted: it cannot enable them either.
  kWithoutProgramPrivileges = 4,
};

// Owns a process handle.
using ProcessHandle = HandleOwner;

// Empty texts count as absent; the arguments are the whole command line, without the program.
ProcessHandle LaunchProcess(const WideText& program, const WideText& arguments,
                            const WideText& workingFolder, int showCommand, unsigned options);
// With kWaitForExit: the exit code, or -1 when the program could not be started.
// Without: the new process's ID, or 0.
int64_t RunProcess(const WideText& program, const WideText& arguments,
                   const WideText& workingFolder, int showCommand, unsigned options);
// The ID of the started process, 1 when the shell started none, 0 on failure.
uint32_t ShellOpen(const WideText& target);
// An address or document opened by the shell's own desktop window (IShellDispatch2::ShellExecute
// through the desktop's folder view), so that what it starts runs as the desktop user, without
// administrator rights where the system allows it; where there is no shell window to ask (no
// Explorer, a service, Wine), by ShellOpen. False when neither could open it. The caller has COM.
bool ShellOpenAsDesktopUser(const WideText& target);

// The folder of a module's file, with its trailing backslash (null: the program's own); empty
// when the path does not fit in capacity units, so that no caller ever builds a relative path.
WideText ModuleFolder(HMODULE module, uint32_t capacity = 4096);

bool IsWow64(void* process = nullptr);
bool DisableFsRedirection(void** oldValue);
bool RevertFsRedirection(void* oldValue);

}  // namespace pyr
