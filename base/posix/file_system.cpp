// Linux stand-in of the file-system helpers for native tests: backslashes become slashes, a
// symbolic link plays the part of a reparse point, and there are no permissions to replace.
#include "base/file_system.h"
#include "base/posix/file_faults.h"

#include <dirent.h>
#include <fnmatch.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace pyr {

namespace file_faults {

namespace {
std::atomic<uint64_t> calls{0}, failAt{0};
}  // namespace

void Schedule(uint64_t nth) {
  calls = 0;
  failAt = nth;
}
uint64_t Calls() { return calls.load(); }
bool Fails() {
  if (++calls != failAt.load()) return false;
  errno = EIO;
  return true;
}

}  // namespace file_faults

namespace fs = std::filesystem;

namespace {

std::string NativePath(const WideText& path) {
  std::string p = path.ToUtf8();
  if (p.starts_with("\\\\?\\")) p.erase(0, 4);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return p;
}

uint32_t AttributesOf(const std::string& path, bool* exists, uint64_t* size) {
  struct stat link {};
  *exists = lstat(path.c_str(), &link) == 0;
  if (!*exists) return 0;
  uint32_t attributes = 0;
  struct stat target {};
  if (S_ISLNK(link.st_mode)) {
    attributes |= kAttributeReparsePoint;
    if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attributes |= kAttributeDirectory;
  } else if (S_ISDIR(link.st_mode)) {
    attributes |= kAttributeDirectory;
  }
  if (!(link.st_mode & S_IWUSR)) attributes |= kAttributeReadOnly;
  if (size) *size = S_ISREG(link.st_mode) ? static_cast<uint64_t>(link.st_size) : 0;
  return attributes;
}

}  // namespace

struct SecurityReplacement::Parts {};
SecurityReplacement::SecurityReplacement(bool, bool) : parts_(std::make_unique<Parts>()) {}
SecurityReplacement::~SecurityReplacement() = default;
bool SecurityReplacement::Valid() const { return false; }
bool ResetSecurity(const SecurityReplacement&, const WideText&, uint32_t) { return false; }

int DeleteOneFile(const WideText& path, uint32_t, const SecurityReplacement*) {
  std::error_code ec;
  fs::remove(NativePath(path), ec);
  return ec ? kDeleteFailed : kDeleteDone;
}

int RemoveOneFolder(const WideText& path, uint32_t flags, const SecurityReplacement* security) {
  return DeleteOneFile(path, flags, security);
}

// ---- Deleting by handle ----
// Each primitive makes one system call, so that a fault schedule can fail any one of them. A
// symbolic link stands in for a reparse point: O_NOFOLLOW refuses it as a folder (the open as a
// reparse point), and unlinkat removes the link itself.

namespace {

class FolderHandle {
 public:
  explicit FolderHandle(int fd = -1) : fd_(fd) {}
  ~FolderHandle() {
    if (fd_ >= 0) close(fd_);
  }
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// CreateFileW on the folder above a tree (the path to it may hold links, as on Windows).
int OpenFolder(const std::string& path) { return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

// CreateFileW with FILE_FLAG_OPEN_REPARSE_POINT on a folder: a link there is not opened as one.
int OpenFolderAt(int parent, const char* name) {
  if (file_faults::Fails()) return -1;
  return openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// GetFileInformationByHandle.
bool StatHandle(int fd, struct stat* info) { return fstat(fd, info) == 0; }

// SetFileInformationByHandle with a disposition: the entry named in the open folder goes.
bool UnlinkAt(int parent, const char* name, bool folder) {
  if (file_faults::Fails()) return false;
  return unlinkat(parent, name, folder ? AT_REMOVEDIR : 0) == 0;
}

// GetFileInformationByHandleEx with a directory class: one buffer of entries, 0 at the end.
long ReadEntries(int fd, char* buffer, size_t size) { return syscall(SYS_getdents64, fd, buffer, size); }

struct RawEntry {
  uint64_t inode;
  int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

bool ListNames(int fd, std::vector<std::pair<std::string, unsigned char>>* names) {
  alignas(8) char buffer[16384];
  for (;;) {
    const long got = ReadEntries(fd, buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) return true;
    for (long at = 0; at < got;) {
      const auto* e = reinterpret_cast<const RawEntry*>(buffer + at);
      const std::string name = e->name;
      if (name != "." && name != "..") names->emplace_back(name, e->type);
      at += e->length;
    }
  }
}

int DeleteEntryAt(int parent, const std::string& name, const char* pattern, bool contentsOnly,
                  bool takeOwnership, const PendingEventPump& pump) {
  FolderHandle folder(OpenFolderAt(parent, name.c_str()));
  if (folder.Get() < 0) {
    if (errno == ENOENT) return kDeleteDone;
    if (contentsOnly) return kDeleteFailed;
    // A file, or a link (ELOOP, ENOTDIR): removed itself, never followed.
    return UnlinkAt(parent, name.c_str(), false) || errno == ENOENT ? kDeleteDone : kDeleteFailed;
  }
  struct stat info {};
  if (!StatHandle(folder.Get(), &info) || !S_ISDIR(info.st_mode)) return kDeleteFailed;
  // A folder another user made is not the program's to empty: it stays, with all it holds. The
  // owner plays Administrators (root, or the program's own user).
  if (!takeOwnership && info.st_uid != 0 && info.st_uid != geteuid()) return kDeleteFailed;
  std::vector<std::pair<std::string, unsigned char>> names;
  if (!ListNames(folder.Get(), &names)) return kDeleteFailed;
  int result = kDeleteDone;
  for (const auto& entry : names) {
    if (fnmatch(pattern, entry.first.c_str(), FNM_CASEFOLD) != 0) continue;
    if (DeleteEntryAt(folder.Get(), entry.first, "*", false, takeOwnership, pump) == kDeleteFailed) {
      result = kDeleteFailed;
    }
    if (pump) pump();
  }
  if (contentsOnly || result == kDeleteFailed) return result;
  return UnlinkAt(parent, name.c_str(), true) ? kDeleteDone : kDeleteFailed;
}

}  // namespace

int DeleteTree(const WideText& folder, const WideText& pattern, uint32_t flags,
               const SecurityReplacement*, const PendingEventPump& pump) {
  const std::string path = NativePath(folder);
  const size_t slash = path.rfind('/');
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  FolderHandle above(OpenFolder(parent));
  if (above.Get() < 0) return errno == ENOENT ? kDeleteDone : kDeleteFailed;
  return DeleteEntryAt(above.Get(), slash == std::string::npos ? path : path.substr(slash + 1),
                       pattern.ToUtf8().c_str(), (flags & kDeleteContentsOnly) != 0,
                       (flags & kDeleteTakeOwnership) != 0, pump);
}

int DeletePath(const WideText& given, uint32_t flags, const PendingEventPump& pump) {
  WideText path = given;
  path.StripTrailingBackslashes();
  int slash = path.Find(u"\\", true, -1);
  if (slash == 0) return kDeleteDone;
  std::u16string_view last = path.View().substr(slash);
  if (last.find_first_of(u"*?") != std::u16string_view::npos) {
    return DeleteTree(WideText(path.View().substr(0, slash - 1)), WideText(last), flags | kDeleteContentsOnly,
                      nullptr, pump);
  }
  return DeleteTree(path, u"*", flags & ~kDeleteContentsOnly, nullptr, pump);
}

bool CreateSecuredFolder(const WideText& path) {
  constexpr mode_t kReadableByAll = 0755;  // the owner the only writer: the program's DACL
  if (file_faults::Fails()) return false;
  return mkdir(NativePath(path).c_str(), kReadableByAll) == 0;
}

// The owner plays Administrators (root, or the program's own user), write bits for group or
// others a DACL entry letting others write; a link is no folder.
bool IsTrustedProgramFolder(const WideText& path) {
  struct stat link {};
  return lstat(NativePath(path).c_str(), &link) == 0 && S_ISDIR(link.st_mode) &&
         (link.st_uid == 0 || link.st_uid == geteuid()) && !(link.st_mode & (S_IWGRP | S_IWOTH));
}

// CreateDirectoryW: fails on anything holding the name.
bool CreateNewFolder(const WideText& path) { return !file_faults::Fails() && mkdir(NativePath(path).c_str(), 0755) == 0; }

// MoveFileExW without MOVEFILE_REPLACE_EXISTING.
bool RenameToNewName(const WideText& from, const WideText& to) {
  if (file_faults::Fails()) return false;
  return renameat2(AT_FDCWD, NativePath(from).c_str(), AT_FDCWD, NativePath(to).c_str(), RENAME_NOREPLACE) == 0;
}

bool CopyToNewFile(const WideText& from, const WideText& to) {
  if (file_faults::Fails()) return false;
  std::error_code ec;
  // Without overwrite the target is opened with O_EXCL, which a symbolic link fails too.
  return fs::copy_file(NativePath(from), NativePath(to), fs::copy_options::none, ec);
}

bool PathTaken(const WideText& path) {
  struct stat link {};
  return lstat(NativePath(path).c_str(), &link) == 0;
}

bool RemovePlainFile(const WideText& path) {
  struct stat link {};
  const std::string p = NativePath(path);
  if (lstat(p.c_str(), &link) != 0) return true;
  if (!S_ISREG(link.st_mode) || link.st_nlink > 1 || file_faults::Fails()) return false;
  return std::remove(p.c_str()) == 0;
}

bool CreateDirectoryTree(const WideText& path) {
  std::string p = NativePath(path);
  if (p.empty() || file_faults::Fails()) return false;
  std::error_code ec;
  fs::create_directories(p, ec);
  return fs::is_directory(p, ec);
}

bool IsRealDirectory(const WideText& path) {
  bool exists = false;
  uint32_t a = AttributesOf(NativePath(path), &exists, nullptr);
  return exists && (a & kAttributeDirectory) && !(a & kAttributeReparsePoint);
}

uint64_t GetFileSizeByPath(const WideText& path) {
  bool exists = false;
  uint64_t size = 0;
  AttributesOf(NativePath(path), &exists, &size);
  return size;
}

bool ReadWholeFile(const WideText& path, std::string* bytes, uint64_t limit) {
  if (file_faults::Fails()) return false;
  std::FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) return false;
  bytes->clear();
  char buffer[65536];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (bytes->size() + n > limit) {
      ok = false;
      break;
    }
    bytes->append(buffer, n);
  }
  std::fclose(f);
  return ok;
}

struct DirectoryIterator::State {
  DIR* dir = nullptr;
  std::string folder;
  std::string pattern;
  std::string name;
};

DirectoryIterator::DirectoryIterator() = default;
DirectoryIterator::~DirectoryIterator() { Close(); }

bool DirectoryIterator::Open(const WideText& pattern, uint32_t options) {
  Close();
  if (file_faults::Fails()) return false;
  options_ = options;
  std::string p = NativePath(pattern);
  size_t slash = p.rfind('/');
  state_ = std::make_unique<State>();
  state_->folder = slash == std::string::npos ? "." : p.substr(0, slash);
  state_->pattern = slash == std::string::npos ? p : p.substr(slash + 1);
  state_->dir = opendir(state_->folder.c_str());
  if (!state_->dir) {
    Close();
    return false;
  }
  return Next();
}

bool DirectoryIterator::Advance() {
  if (!IsOpen()) return false;
  while (dirent* e = readdir(state_->dir)) {
    if (fnmatch(state_->pattern.c_str(), e->d_name, 0) == 0) {
      state_->name = e->d_name;
      return true;
    }
  }
  return false;
}

bool DirectoryIterator::Load() {
  name_ = WideText::FromUtf8(state_->name.c_str());
  bool exists = false;
  attributes_ = AttributesOf(state_->folder + "/" + state_->name, &exists, &size_);
  return exists;
}

void DirectoryIterator::Close() {
  if (state_ && state_->dir) closedir(state_->dir);
  state_.reset();
}

bool DirectoryIterator::IsOpen() const { return state_ && state_->dir; }

bool OutputFile::Open(const WideText& path) {
  Close();
  int slash = path.Find(u"\\", true, -1);
  if (slash > 3 && !CreateDirectoryTree(WideText(path.View().substr(0, slash - 1)))) return false;
  if (file_faults::Fails()) return false;
  handle_ = std::fopen(NativePath(path).c_str(), "wb");
  return handle_ != nullptr;
}

uint32_t OutputFile::Write(const void* bytes, uint32_t count) {
  if (!handle_ || file_faults::Fails()) return 0;
  return static_cast<uint32_t>(std::fwrite(bytes, 1, count, static_cast<FILE*>(handle_)));
}

void OutputFile::Close() {
  if (handle_) std::fclose(static_cast<FILE*>(handle_));
  handle_ = nullptr;
}

}  // namespace pyr

namespace pyr {

bool IsFolderPath(const WideText& path) {
  std::error_code ec;
  return fs::is_directory(NativePath(path), ec);
}

bool ReplaceWholeFile(const WideText& given, std::string_view bytes) {
  const std::string path = NativePath(given);
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && (!S_ISREG(link.st_mode) || link.st_nlink > 1)) return false;
  const std::string temporary = path + ".pyravel-new";
  std::remove(temporary.c_str());
  std::FILE* f = std::fopen(temporary.c_str(), "wbx");  // x: a new file, never through a link
  if (!f) return false;
  const bool written = !file_faults::Fails() && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace pyr
