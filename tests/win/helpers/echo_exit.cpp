// Test helper: writes its command line to the file named by PYRAVEL_ECHO_FILE (when set) and
// exits with the number that follows "/exit=" in it (0 without one). With "/report" it adds
// "|held" or "|none" (whether its token holds SeBackupPrivilege at all) and "|" its current folder.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

bool HoldsBackupPrivilege() {
  HANDLE token = nullptr;
  LUID backup{};
  DWORD size = 0;
  if (!LookupPrivilegeValueW(nullptr, L"SeBackupPrivilege", &backup)) return false;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size + 1);
  const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  bool found = false;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    for (DWORD i = 0; i < held->PrivilegeCount; ++i) {
      const LUID& luid = held->Privileges[i].Luid;
      found = found || (luid.LowPart == backup.LowPart && luid.HighPart == backup.HighPart);
    }
  }
  CloseHandle(token);
  return found;
}

int main() {
  std::wstring line = GetCommandLineW();
  wchar_t path[MAX_PATH], folder[MAX_PATH] = {};
  if (line.find(L"/report") != std::wstring::npos && GetCurrentDirectoryW(MAX_PATH, folder)) {
    line += (HoldsBackupPrivilege() ? L"|held|" : L"|none|") + std::wstring(folder);
  }
  if (GetEnvironmentVariableW(L"PYRAVEL_ECHO_FILE", path, MAX_PATH)) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
      CloseHandle(file);
    }
  }
  const size_t code = line.find(L"/exit=");
  return code != std::wstring::npos ? _wtoi(line.c_str() + code + 6) : 0;
}
