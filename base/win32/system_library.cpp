#include "base/win32/system_library.h"

#include <cwchar>

namespace pyr {

std::wstring SystemLibraryPath(const wchar_t* fileName) {
  if (fileName == nullptr || *fileName == 0 || std::wcspbrk(fileName, L"\\/:") != nullptr) {
    return {};
  }
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring path(folder, n);
  if (path.back() != L'\\') path += L'\\';
  return path + fileName;
}

SystemLibrary& SystemLibrary::operator=(SystemLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    module_ = other.module_;
    other.module_ = nullptr;
  }
  return *this;
}

bool SystemLibrary::Load(const wchar_t* fileName) {
  Release();
  const std::wstring path = SystemLibraryPath(fileName);
  if (path.empty()) return false;
  // A full path is loaded as it is; the flag also keeps the DLL's own imports to System32.
  module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the search flags refuse it; a full path still never searches.
  if (module_ == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    module_ = LoadLibraryExW(path.c_str(), nullptr, 0);
  }
  return module_ != nullptr;
}

void SystemLibrary::Release() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
}

std::wstring SystemLibrary::Path() const {
  if (module_ == nullptr) return {};
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module_, path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(path, n);
}

bool RestrictDllSearchToSystem32() {
  // Looked up rather than imported: Windows 7 has it only with its loader update.
  using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDirectories = reinterpret_cast<SetDirectoriesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  return setDirectories != nullptr && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

}  // namespace pyr
