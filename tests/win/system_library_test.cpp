#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/win32/system_library.h"

namespace pyr {
namespace {

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = towlower(c);
  return s;
}

std::wstring SystemFolderWithSlash() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return Lower(std::wstring(folder, n)) + L"\\";
}

// Every DLL the program loads at run time comes from System32, by its full path.
TEST(SystemLibrary, RunTimeDllsComeFromTheSystemFolder) {
  for (const wchar_t* name : {L"uxtheme.dll", L"newdev.dll", L"wininet.dll", L"wintrust.dll", L"crypt32.dll"}) {
    SystemLibrary library(name);
    ASSERT_TRUE(library) << Lower(name).c_str();
    EXPECT_EQ(Lower(library.Path()), SystemFolderWithSlash() + name);
  }
}

TEST(SystemLibrary, NamesWithAFolderAreRefusedAndLookupsAreTyped) {
  for (const wchar_t* name :
       {L"", L"..\\uxtheme.dll", L"sub/uxtheme.dll", L"c:uxtheme.dll", L"no-such-library.dll"}) {
    SystemLibrary library;
    EXPECT_FALSE(library.Load(name)) << Lower(name).c_str();
    EXPECT_TRUE(library.Get() == nullptr && library.Path().empty());
  }
  SystemLibrary library(L"version.dll");
  using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  EXPECT_NE(library.GetProc<SizeFn>("GetFileVersionInfoSizeW"), nullptr);
  EXPECT_EQ(library.GetProc<SizeFn>("NoSuchExport"), nullptr);
  SystemLibrary moved = std::move(library);
  EXPECT_EQ(library.Get(), nullptr);
  EXPECT_NE(moved.Get(), nullptr);
  moved.Release();
  EXPECT_EQ(moved.GetProc<SizeFn>("GetFileVersionInfoSizeW"), nullptr);
}

// After start-up's restriction a bare name is looked for in System32 only: a DLL that exists
// only in the program's own folder is not found.
TEST(SystemLibrary, RestrictedSearchIgnoresTheProgramFolder) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L'\\') + 1);
  const std::wstring planted = folder + L"pyravel_planted.dll";
  ASSERT_TRUE(CopyFileW(SystemLibraryPath(L"version.dll").c_str(), planted.c_str(), FALSE));
  HMODULE before = LoadLibraryW(L"pyravel_planted.dll");
  EXPECT_NE(before, nullptr);  // the usual search looks beside the executable
  if (before) FreeLibrary(before);
  ASSERT_TRUE(RestrictDllSearchToSystem32());
  HMODULE after = LoadLibraryW(L"pyravel_planted.dll");
  EXPECT_EQ(after, nullptr);
  if (after) FreeLibrary(after);
  // Back to the usual search for the other tests of this process.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace pyr
