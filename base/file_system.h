// File-system helpers of the driver store tools and the download engine: deleting files and trees
// even when attributes or permissions stand in the way, copying a tree, creating a folder path,
// iterating a folder, writing a binary file. Paths are UTF-16 with backslashes; drive paths get the
// "\\?\" prefix where it matters, so paths longer than MAX_PATH work.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/wide_text.h"

namespace pyr {

// Delete flags.
enum DeleteFlags : uint32_t {
  kDeleteAtRestart = 1,       // what cannot be deleted now is scheduled for the next restart
  kDeleteTakeOwnership = 2,   // take ownership and replace the permissions before giving up
  kDeleteContentsOnly = 4,    // keep the folder itself (wildcard patterns)
};

// Delete results.
inline constexpr int kDeleteFailed = 0;          // at least one item is still there
inline constexpr int kDeleteDone = 1;            // everything is gone, or was never there
inline constexpr int kDeletePendingRestart = 2;  // gone or scheduled; something waits for the restart

// Security reset modes. The reset applies to the one item named: a tree is reset item by item by
// the delete that walks it, so no reset ever travels through a link below.
enum SecurityResetMode : uint32_t {
  kResetUnprotectedDacl = 2,
  kResetProtectedDacl = 4,  // wins over kResetUnprotectedDacl
  kResetNoDacl = 8,         // owner only, and no first try at taking ownership alone
};
inline constexpr uint32_t kResetFileMode = kResetProtectedDacl;
inline constexpr uint32_t kResetFolderMode = kResetProtectedDacl;

// Handles pending window events between entries; may be empty.
using PendingEventPump = std::function<void()>;

// Owner (Administrators) and a DACL granting full control to Administrators and SYSTEM only, and
// with usersRead reading to Users. Built once per DeletePath with kDeleteTakeOwnership;
// inheritable for folders and patterns.
class SecurityReplacement {
 public:
  explicit SecurityReplacement(bool inheritable, bool usersRead = false);
  ~SecurityReplacement();
  SecurityReplacement(const SecurityReplacement&) = delete;
  SecurityReplacement& operator=(const SecurityReplacement&) = delete;
  bool Valid() const;
  struct Parts;
  const Parts& Get() const { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

// A file, a folder tree, or the entries of a folder matching a wildcard last component.
int DeletePath(const WideText& path, uint32_t flags, const PendingEventPump& pump = {});
// Entries of folder matching pattern, recursively, then the folder unless kDeleteContentsOnly.
// Works by handle: each folder is opened as itself (never through a link), checked by that handle
// to be a real folder, listed and emptied through it; a link met anywhere, even one swapped in
// after the listing, is removed itself and never entered. A folder that is a link is removed, not
// entered.
int DeleteTree(const WideText& folder, const WideText& pattern, uint32_t flags,
               const SecurityReplacement* security, const PendingEventPump& pump = {});
int DeleteOneFile(const WideText& path, uint32_t flags, const SecurityReplacement* security);
int RemoveOneFolder(const WideText& path, uint32_t flags, const SecurityReplacement* security);
// False, and nothing changed, for a reparse point: its target may be anything on the disk.
bool ResetSecurity(const SecurityReplacement& security, const WideText& path, uint32_t mode);

// Copies source's tree into destination. Source entries that are reparse points are skipped.
// Destination folders are created, or used when they are real folders; a reparse point there
// fails the copy, as does any file or folder that cannot be copied. An existing destination
// file is removed first, never written through; a link in its place (a reparse point or a file
// with a second hard link) fails the copy. The pump, when given, runs before each entry.
bool CopyFolderTree(const WideText& source, const WideText& destination,
                    const PendingEventPump& pump = {});
// Creates folder, which lies below base: base is created as a whole when missing (it is the
// user's choice), every level below it must be absent (then created) or a real folder.
bool CreateFolderBelow(const WideText& base, const WideText& folder);

// A folder of the program's own (its parent must exist): made with the program's security (owner
// Administrators, full control for Administrators and SYSTEM, reading for users, inherited below),
// or an existing one taken when IsTrustedProgramFolder. Anything else holding the name (a standard
// user's folder, a link, a file) is never reused: it is renamed aside and a new folder made; false
// when that fails. aside, when given, receives the name it was renamed to.
bool CreateProtectedFolder(const WideText& path, WideText* aside = nullptr);
// A real folder (not a link) that no standard user made or may change: owned by Administrators or
// SYSTEM, and its DACL lets nobody else write, delete or change permissions in it.
bool IsTrustedProgramFolder(const WideText& path);
// One new folder with the program's security, made by a single create; false when anything holds
// the name already.
bool CreateSecuredFolder(const WideText& path);
// One new folder, made by a single create: false when anything holds the name, never "use it".
bool CreateNewFolder(const WideText& path);
// Renames from (a link is renamed itself, never followed) to a name nothing holds.
bool RenameToNewName(const WideText& from, const WideText& to);
// Copies source's tree into destination through a new folder beside it, renamed into place once
// whole; an earlier real folder at destination is replaced only then. A failure removes that new
// folder alone and leaves destination as it was; a link at destination fails the copy.
bool CopyFolderIntoPlace(const WideText& source, const WideText& destination,
                         const PendingEventPump& pump = {});

// Creates path and every missing folder above it; true when the folder exists afterwards.
bool CreateDirectoryTree(const WideText& path);
// A folder and not a reparse point.
bool IsRealDirectory(const WideText& path);
// Whether anything (a file, a folder, a link, even a broken one) has this name.
bool PathTaken(const WideText& path);
// Removes a plain file so that a copy can take its name; false for a folder, a reparse point, a
// file with another hard link (writing it would write the other name too) or a failed delete.
bool RemovePlainFile(const WideText& path);
// Copies a file to a name nothing holds yet.
bool CopyToNewFile(const WideText& from, const WideText& to);
// Makes bytes the whole content of path, as a new file beside it renamed over it, so that a
// failure leaves the old content. False, and nothing changed, when path names a folder, a link or
// a file with another hard link (writing it would write the other name too), or its folder is
// missing.
bool ReplaceWholeFile(const WideText& path, std::string_view bytes);
// Whether path names a folder (a link to one included).
bool IsFolderPath(const WideText& path);
// Size in bytes, 0 when it cannot be read.
uint64_t GetFileSizeByPath(const WideText& path);

// The whole content of a file of at most limit bytes; false when it cannot be read or is larger.
bool ReadWholeFile(const WideText& path, std::string* bytes, uint64_t limit);

// The path with the long-path prefix: "\\?\" before a drive path, "\\?\UNC\" for a server's share.
WideText LongPath(const WideText& path);

// Directory iterator options.
enum DirectoryIteratorOptions : uint32_t {
  kSkipReparsePoints = 1,
  kFilesOnly = 2,
  kFoldersOnly = 4,
};
inline constexpr uint32_t kAttributeReadOnly = 0x1;
inline constexpr uint32_t kAttributeSystem = 0x4;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

// Lists the entries matching a pattern ("folder\*"), never "." or "..".
class DirectoryIterator {
 public:
  DirectoryIterator();
  ~DirectoryIterator();
  DirectoryIterator(const DirectoryIterator&) = delete;
  DirectoryIterator& operator=(const DirectoryIterator&) = delete;

  // Positions on the first entry; false when there is none.
  bool Open(const WideText& pattern, uint32_t options = 0);
  // Moves to the next entry; false (and closed) at the end.
  bool Next();
  void Close();
  bool IsOpen() const;

  const WideText& Name() const { return name_; }
  uint32_t Attributes() const { return attributes_; }
  uint64_t Size() const { return size_; }
  bool IsDirectory() const { return (attributes_ & kAttributeDirectory) != 0; }
  bool IsReparsePoint() const { return (attributes_ & kAttributeReparsePoint) != 0; }

 private:
  bool Accept() const;
  bool Advance();  // platform step: the next raw entry
  bool Load();     // platform: copy the current raw entry

  struct State;
  std::unique_ptr<State> state_;
  uint32_t options_ = 0;
  WideText name_;
  uint32_t attributes_ = 0;
  uint64_t size_ = 0;
};

// A file opened for binary writing; its parent folders are created.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { Close(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Open(const WideText& path);
  // Bytes written, 0 on failure.
  uint32_t Write(const void* bytes, uint32_t count);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;  // HANDLE on Windows, FILE* elsewhere; null when closed
};

}  // namespace pyr
