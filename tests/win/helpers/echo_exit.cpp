// Test helper: writes its command line to the file named by PYRAVEL_ECHO_FILE (when set) and
// exits with the number that follows "/exit=" in it (0 without one).
#include <windows.h>

#include <cwchar>

int main() {
  const wchar_t* line = GetCommandLineW();
  wchar_t path[MAX_PATH];
  if (GetEnvironmentVariableW(L"PYRAVEL_ECHO_FILE", path, MAX_PATH)) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
      CloseHandle(file);
    }
  }
  const wchar_t* code = wcsstr(line, L"/exit=");
  return code ? _wtoi(code + 6) : 0;
}
