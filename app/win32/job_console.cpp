#include "app/win32/job_console.h"

#include <shellapi.h>

#include "app/win32/privileges.h"
#include "app/win32/program_environment.h"
#include "base/win32/owners.h"
#include "base/win32/wchar.h"

namespace pyr {

JobConsole::JobConsole() {
  // A GUI program has standard handles only when its parent handed them down (a redirection);
  // otherwise AttachConsole gives it those of the parent's console, when the parent has one.
  output_ = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output_ == nullptr || output_ == INVALID_HANDLE_VALUE) {
    output_ = AttachConsole(ATTACH_PARENT_PROCESS) ? GetStdHandle(STD_OUTPUT_HANDLE) : nullptr;
    // Attached without standard handles: the console's screen buffer by its own name.
    if ((output_ == nullptr || output_ == INVALID_HANDLE_VALUE) && GetConsoleWindow() != nullptr) {
      screen_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr));
      output_ = screen_.Get();
    }
  }
  if (output_ == INVALID_HANDLE_VALUE) output_ = nullptr;
  DWORD mode = 0;
  isConsole_ = output_ != nullptr && GetConsoleMode(output_, &mode);
}

void JobConsole::Show(const WideText& text, const std::string& bytes) {
  if (output_ == nullptr) return;
  DWORD written = 0;
  // A console takes UTF-16 whatever its code page; a file or pipe gets UTF-8.
  if (isConsole_) {
    WriteConsoleW(output_, W(text), text.Length(), &written, nullptr);
  } else {
    WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

std::vector<WideText> ProgramEnvironment::JobArguments() const { return ProgramArguments(); }

std::vector<WideText> ProgramArguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<WideText> arguments;
  for (int i = 1; args != nullptr && i < count; ++i) arguments.emplace_back(U(args[i]));
  LocalFree(args);
  return arguments;
}

WideText AbsolutePath(const WideText& path) {
  if (path.Empty()) return path;
  const DWORD needed = GetFullPathNameW(W(path), 0, nullptr, nullptr);
  if (needed == 0) return path;
  WideText full;
  const DWORD length = GetFullPathNameW(W(path), needed, W(full.Reserve(needed)), nullptr);
  if (length == 0 || length >= needed) return path;
  return full;
}

int RunJobWithConsole(CommandLine line, DevicePlatform& platform, DownloadTransport& transport,
                      const WideText& programData) {
  // The jobs make the calls the window makes (a rescan needs SeLoadDriverPrivilege): the same table.
  EnablePrivileges();
  JobConsole console;
  line.path = AbsolutePath(line.path);
  line.log = AbsolutePath(line.log);
  return RunJobWithLog(line, platform, transport, console, programData);
}

}  // namespace pyr
