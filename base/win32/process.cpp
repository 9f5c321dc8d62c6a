#include "base/win32/process.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "base/win32/privilege_table.h"
#include "base/win32/wchar.h"

namespace pyr {

namespace {

constexpr size_t kCommandLineUnits = 32000;

// Kernel32 is looked up at run time: the WOW64 calls are missing on older systems.
template <typename Fn>
Fn Kernel32Function(ModuleOwner& module, const char* name) {
  module.Reset(LoadLibraryW(L"Kernel32.dll"));
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), name))) : nullptr;
}

const wchar_t* OrNull(const WideText& t) { return t.Empty() ? nullptr : W(t); }

// CreateRestrictedToken with the program's privileges in its delete list: a privilege the token
// does not hold is ignored there.
bool RestrictedCopyOfProcessToken(TokenOwner& restricted) {
  TokenOwner own;
  constexpr DWORD kAccess = TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_QUERY;
  if (!OpenProcessToken(GetCurrentProcess(), kAccess, own.Receive())) return false;
  LUID_AND_ATTRIBUTES deleted[kProgramPrivilegeCount] = {};
  DWORD count = 0;
  for (const ProgramPrivilege& privilege : kProgramPrivileges) {
    if (LookupPrivilegeValueW(nullptr, privilege.name, &deleted[count].Luid)) ++count;
  }
  return CreateRestrictedToken(own.Get(), 0, 0, nullptr, count, deleted, 0, nullptr, restricted.Receive()) != FALSE;
}

}  // namespace

WideText ModuleFolder(HMODULE module, uint32_t capacity) {
  std::vector<wchar_t> path(capacity);
  const DWORD length = capacity == 0 ? 0 : GetModuleFileNameW(module, path.data(), capacity);
  // A path that filled the buffer was cut short.
  if (length == 0 || length >= capacity) return WideText();
  std::u16string_view text(U(path.data()), length);
  const size_t slash = text.rfind(u'\\');
  return slash == std::u16string_view::npos ? WideText() : WideText(text.substr(0, slash + 1));
}

bool IsWow64(void* process) {
  ModuleOwner kernel;
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = Kernel32Function<Fn>(kernel, "IsWow64Process");
  BOOL wow = FALSE;
  if (fn && !fn(process ? process : GetCurrentProcess(), &wow)) wow = FALSE;
  return wow != FALSE;
}

bool DisableFsRedirection(void** oldValue) {
  *oldValue = nullptr;
  if (!IsWow64()) return false;
  ModuleOwner kernel;
  using Fn = BOOL(WINAPI*)(PVOID*);
  auto fn = Kernel32Function<Fn>(kernel, "Wow64DisableWow64FsRedirection");
  bool ok = fn && fn(oldValue);
  return ok;
}

bool RevertFsRedirection(void* oldValue) {
  ModuleOwner kernel;
  using Fn = BOOL(WINAPI*)(PVOID);
  auto fn = Kernel32Function<Fn>(kernel, "Wow64RevertWow64FsRedirection");
  bool ok = fn && fn(oldValue);
  return ok;
}

ProcessHandle LaunchProcess(const WideText& program, const WideText& arguments,
                            const WideText& workingFolder, int showCommand, unsigned options) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::vector<wchar_t> commandLine;
  if (!arguments.Empty()) {
    commandLine.assign(kCommandLineUnits, L'\0');
    std::u16string_view args = arguments.View().substr(0, kCommandLineUnits - 1);
    std::copy(args.begin(), args.end(), commandLine.begin());
  }
  // A restricted version of the caller's own primary token needs no SeAssignPrimaryTokenPrivilege
  // (the restricted tokens page); without it, nothing is started rather than a start with them.
  TokenOwner restricted;
  if ((options & kWithoutProgramPrivileges) && !RestrictedCopyOfProcessToken(restricted)) return ProcessHandle();
  void* redirection = nullptr;
  const bool redirected = (options & kNoFsRedirection) && DisableFsRedirection(&redirection);
  PROCESS_INFORMATION info = {};
  wchar_t* line = commandLine.empty() ? nullptr : commandLine.data();
  BOOL ok = restricted ? CreateProcessAsUserW(restricted.Get(), OrNull(program), line, nullptr, nullptr, FALSE, 0,
                                              nullptr, OrNull(workingFolder), &startup, &info)
                       : CreateProcessW(OrNull(program), line, nullptr, nullptr, FALSE, 0, nullptr,
                                        OrNull(workingFolder), &startup, &info);
  if (redirected) RevertFsRedirection(redirection);
  if (!ok) return ProcessHandle();
  HandleOwner thread(info.hThread);
  return ProcessHandle(info.hProcess);
}

int64_t RunProcess(const WideText& program, const WideText& arguments, const WideText& workingFolder,
                   int showCommand, unsigned options) {
  ProcessHandle process = LaunchProcess(program, arguments, workingFolder, showCommand, options);
  if (!(options & kWaitForExit)) return process ? static_cast<int64_t>(GetProcessId(process.Get())) : 0;
  if (!process) return -1;
  // The caller's windows stay responsive while the program runs.
  while (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      Sleep(10);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return static_cast<int64_t>(code);
}

uint32_t ShellOpen(const WideText& target) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Shell failures are silent: without NO_UI the shell would show its own error box.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = W(target);
  info.nShow = SW_SHOW;
  if (!ShellExecuteExW(&info)) return 0;
  if (!info.hProcess) return 1;
  const HandleOwner process(info.hProcess);
  const DWORD id = GetProcessId(process.Get());
  return id ? id : 1;
}

}  // namespace pyr
