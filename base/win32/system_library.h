// A DLL of the System32 folder, loaded at run time by its full path and freed with its owner.
// The program runs as administrator: a DLL found anywhere else (the program's own folder, the
// current folder, PATH) could be planted there, so nothing outside the known DLLs is imported
// statically and everything else comes through here.
#pragma once

#include <windows.h>

#include <string>

namespace pyr {

class SystemLibrary {
 public:
  SystemLibrary() = default;
  // Loads System32\<fileName> ("uxtheme.dll"); Get() is null when that fails.
  explicit SystemLibrary(const wchar_t* fileName) { Load(fileName); }
  ~SystemLibrary() { Release(); }
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  SystemLibrary(SystemLibrary&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
  SystemLibrary& operator=(SystemLibrary&& other) noexcept;

  // Frees what is held, then loads System32\<fileName>; false when it cannot be loaded. A name
  // with a folder in it is refused.
  bool Load(const wchar_t* fileName);
  void Release();

  HMODULE Get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }
  // The loaded file's full path; empty when nothing is loaded.
  std::wstring Path() const;

  // The export with the caller's signature (its documented one), or null.
  template <typename Fn>
  Fn GetProc(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

// "<System32>\<fileName>"; empty when the system folder cannot be read or fileName holds a
// folder separator or is empty.
std::wstring SystemLibraryPath(const wchar_t* fileName);

// Restricts the process's DLL search to System32 for every later load. Call first in start-up.
bool RestrictDllSearchToSystem32();

}  // namespace pyr
