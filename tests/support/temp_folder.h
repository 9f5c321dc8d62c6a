// A temporary folder of real files for tests, removed with everything in it at the end.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace pyr::testing {

#ifdef _WIN32
// Under Wine: a Unix program run on Unix paths (wine_get_unix_file_name), waited for by what it
// makes or removes, since its handle does not tell when it ends. False elsewhere.
template <typename Done>
inline bool RunUnix(const wchar_t* program, std::initializer_list<const WideText*> paths, const wchar_t* options,
                    Done done) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  std::wstring command = std::wstring(program) + L" " + options;
  for (const WideText* path : paths) {
    char* name = unixName(reinterpret_cast<const wchar_t*>(path->Buffer()));
    if (!name) return false;
    command += L" \"" + std::wstring(name, name + std::strlen(name)) + L"\"";
    HeapFree(GetProcessHeap(), 0, name);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  return done();
}

#endif

class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = WideText(reinterpret_cast<const char16_t*>(temp));
    root_.StripTrailingBackslashes();
    const uint32_t pid = GetCurrentProcessId();
#else
    root_ = u"/tmp";
    const uint32_t pid = static_cast<uint32_t>(getpid());
#endif
    root_.Append({u"\\pyr_test_", WideText::FromUInt32(pid), u"_", WideText::FromUInt32(next_++)});
    Remove();
    made_ = !PathTaken(root_) && CreateDirectoryTree(root_);
  }
  ~TempFolder() { Remove(); }
  // Wine removes no Unix link through the system's calls: there the folder goes through rm.
  void Remove() {
#ifdef _WIN32
    if (PathTaken(root_)) RunUnix(L"Z:\\bin\\rm", {&root_}, L"-rf", [&] { return !PathTaken(root_); });
#endif
    DeletePath(root_, 0);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool Made() const { return made_; }
  WideText Path(std::u16string_view relative) const {
    return relative.empty() ? root_ : Concat({root_, u"\\", relative});
  }
  bool Write(const WideText& path, const std::string& content) {
    OutputFile out;
    return out.Open(path) && out.Write(content.data(), static_cast<uint32_t>(content.size())) == content.size();
  }
  // The files below folder as relative paths with "/" between levels, sorted.
  std::vector<std::string> Tree(const WideText& folder) const {
    std::vector<std::string> files;
    Collect(folder, "", &files);
    std::sort(files.begin(), files.end());
    return files;
  }
  // A symbolic link to a file or folder, the reparse point a standard user can make. Wine 8 makes
  // none itself (its CreateSymbolicLinkW does nothing); a Unix link, which it shows as a reparse
  // point when it leads to a folder, is its nearest equivalent.
  bool Link(const WideText& link, const WideText& target) const;
  bool HardLink(const WideText& link, const WideText& target) const;

 private:
  static void Collect(const WideText& folder, const std::string& prefix, std::vector<std::string>* files) {
    DirectoryIterator it;
    if (!it.Open(Concat({folder, u"\\*"}), kSkipReparsePoints)) return;
    do {
      const std::string name = prefix + it.Name().ToUtf8();
      if (it.IsDirectory()) {
        Collect(Concat({folder, u"\\", it.Name()}), name + "/", files);
      } else {
        files->push_back(name);
      }
    } while (it.Next());
  }

#ifndef _WIN32
  static std::string Native(const WideText& p) {
    std::string s = p.ToUtf8();
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
  }
#endif
  WideText root_;
  bool made_ = false;
  static inline uint32_t next_ = 0;
};

#ifdef _WIN32
inline bool TempFolder::Link(const WideText& link, const WideText& target) const {
  WideText parent = link;
  parent.ParentPath(false);
  CreateDirectoryTree(parent);
  auto wide = [](const WideText& t) { return reinterpret_cast<const wchar_t*>(t.Buffer()); };
  if (RunUnix(L"Z:\\bin\\ln", {&target, &link}, L"-s", [&] { return PathTaken(link); })) return true;
  const DWORD kind = (GetFileAttributesW(wide(target)) & FILE_ATTRIBUTE_DIRECTORY) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  return CreateSymbolicLinkW(wide(link), wide(target), kind) != 0 && PathTaken(link);
}

inline bool TempFolder::HardLink(const WideText& link, const WideText& target) const {
  return CreateHardLinkW(reinterpret_cast<const wchar_t*>(link.Buffer()),
                         reinterpret_cast<const wchar_t*>(target.Buffer()), nullptr) != 0;
}
#else
inline bool TempFolder::Link(const WideText& link, const WideText& target) const {
  return symlink(Native(target).c_str(), Native(link).c_str()) == 0;
}
inline bool TempFolder::HardLink(const WideText& link, const WideText& target) const {
  return ::link(Native(target).c_str(), Native(link).c_str()) == 0;
}
#endif

// A folder a standard user might have made: one of another owner, one others may write to.
#ifdef _WIN32
inline bool GiveToAnotherUser(const WideText&) { return false; }  // Wine keeps no owner
inline bool LetOthersWrite(const WideText& path) {
  return RunUnix(L"Z:\\bin\\chmod", {&path}, L"777", [&] { return !IsTrustedProgramFolder(path); });
}
#else
inline bool GiveToAnotherUser(const WideText& path) {
  std::string p = path.ToUtf8();
  std::replace(p.begin(), p.end(), '\\', '/');
  constexpr uid_t kNobody = 65534;
  return chown(p.c_str(), kNobody, kNobody) == 0;
}
inline bool LetOthersWrite(const WideText& path) {
  std::string p = path.ToUtf8();
  std::replace(p.begin(), p.end(), '\\', '/');
  return chmod(p.c_str(), 0777) == 0;
}
#endif

// While it lives, a file no copy can read: held open without sharing on Windows, a FIFO in its
// place elsewhere (root reads any mode). An empty path jams nothing.
class UnreadableFile {
 public:
  explicit UnreadableFile(const WideText& path) : path_(path) {
    if (path_.Empty()) return;
#ifdef _WIN32
    held_ = CreateFileW(reinterpret_cast<const wchar_t*>(path_.Buffer()), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr);
#else
    const std::string p = Native(path_);
    jammed_ = std::rename(p.c_str(), (p + ".jammed").c_str()) == 0 && mkfifo(p.c_str(), 0600) == 0;
#endif
  }
  ~UnreadableFile() {
#ifdef _WIN32
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
#else
    const std::string p = Native(path_);
    if (jammed_ && std::remove(p.c_str()) == 0) std::rename((p + ".jammed").c_str(), p.c_str());
#endif
  }
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

 private:
  WideText path_;
#ifdef _WIN32
  HANDLE held_ = INVALID_HANDLE_VALUE;
#else
  static std::string Native(const WideText& p) {
    std::string s = p.ToUtf8();
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
  }
  bool jammed_ = false;
#endif
};

}  // namespace pyr::testing
