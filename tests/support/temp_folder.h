// A temporary folder of real files for tests, removed with everything in it at the end.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace pyr::testing {

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
    DeletePath(root_, 0);
    made_ = CreateDirectoryTree(root_);
  }
  ~TempFolder() { DeletePath(root_, 0); }
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
  // A link to a folder (a symbolic link here, the kind of reparse point this system makes).
  bool LinkFolder(const WideText& link, const WideText& target) const;

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

  WideText root_;
  bool made_ = false;
  static inline uint32_t next_ = 0;
};

inline bool TempFolder::LinkFolder(const WideText& link, const WideText& target) const {
#ifdef _WIN32
  return CreateSymbolicLinkW(reinterpret_cast<const wchar_t*>(link.Buffer()),
                             reinterpret_cast<const wchar_t*>(target.Buffer()), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
#else
  auto native = [](const WideText& p) {
    std::string s = p.ToUtf8();
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
  };
  return symlink(native(target).c_str(), native(link).c_str()) == 0;
#endif
}

}  // namespace pyr::testing
