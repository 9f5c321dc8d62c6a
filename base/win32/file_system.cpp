#include "base/file_system.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <vector>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/text_list.h"
#include "base/win32/owners.h"
#include "base/win32/security_parts.h"
#include "base/win32/wchar.h"

namespace pyr {

namespace {

constexpr DWORD kClearableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
// The attributes SetFileAttributesW accepts back.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_TEMPORARY;

bool Exists(const WideText& longPath) { return GetFileAttributesW(W(longPath)) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const WideText& longPath) {
  DWORD a = GetFileAttributesW(W(longPath));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasWildcard(std::u16string_view s) { return s.find_first_of(u"*?") != std::u16string_view::npos; }

// One file or one empty folder, with the retries: attributes, permissions, the restart.
int DeleteItem(const WideText& path, uint32_t flags, const SecurityReplacement* security, bool folder) {
  auto remove = [&] { return folder ? RemoveDirectoryW(W(path)) : DeleteFileW(W(path)); };
  if (remove()) return kDeleteDone;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return kDeleteDone;
  DWORD attributes = GetFileAttributesW(W(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kClearableAttributes)) {
    DWORD kept = attributes & kSettableAttributes;
    if (SetFileAttributesW(W(path), kept ? kept : FILE_ATTRIBUTE_NORMAL) && remove()) return kDeleteDone;
  }
  if ((flags & kDeleteTakeOwnership) && security && security->Valid() &&
      ResetSecurity(*security, path, folder ? kResetFolderMode : kResetFileMode) && remove()) {
    return kDeleteDone;
  }
  if ((flags & kDeleteAtRestart) && MoveFileExW(W(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return kDeletePendingRestart;
  }
  return kDeleteFailed;
}

int Combine(int a, int b) {
  if (a == kDeleteFailed || b == kDeleteFailed) return kDeleteFailed;
  if (a == kDeletePendingRestart || b == kDeletePendingRestart) return kDeletePendingRestart;
  return kDeleteDone;
}

}  // namespace

// ---- Security replacement ----

namespace {

PSID MakeSid(WELL_KNOWN_SID_TYPE type) {
  DWORD size = SECURITY_MAX_SID_SIZE;
  PSID sid = LocalAlloc(LMEM_FIXED, size);
  if (sid && !CreateWellKnownSid(type, nullptr, sid, &size)) {
    LocalFree(sid);
    sid = nullptr;
  }
  return sid;
}

}  // namespace

SecurityReplacement::SecurityReplacement(bool inheritable, bool usersRead) : parts_(std::make_unique<Parts>()) {
  parts_->owner = MakeSid(WinBuiltinAdministratorsSid);
  parts_->system = MakeSid(WinLocalSystemSid);
  if (usersRead) parts_->users = MakeSid(WinBuiltinUsersSid);
  if (!parts_->owner || !parts_->system || (usersRead && !parts_->users)) return;
  constexpr DWORD kAclSize = 2048;
  PACL acl = static_cast<PACL>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, kAclSize));
  if (!acl || !InitializeAcl(acl, kAclSize, ACL_REVISION)) {
    if (acl) LocalFree(acl);
    return;
  }
  // Full control for SYSTEM and Administrators only: an item that survives the delete (or waits
  // for the restart) must not become writable by every user.
  DWORD aceFlags = inheritable ? (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) : 0;
  if (!AddAccessAllowedAceEx(acl, ACL_REVISION, aceFlags, GENERIC_ALL, parts_->system) ||
      !AddAccessAllowedAceEx(acl, ACL_REVISION, aceFlags, GENERIC_ALL, parts_->owner) ||
      (usersRead &&
       !AddAccessAllowedAceEx(acl, ACL_REVISION, aceFlags, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE, parts_->users))) {
    LocalFree(acl);
    return;
  }
  parts_->dacl = acl;
}

SecurityReplacement::~SecurityReplacement() {
  if (parts_->owner) LocalFree(parts_->owner);
  if (parts_->system) LocalFree(parts_->system);
  if (parts_->users) LocalFree(parts_->users);
  if (parts_->dacl) LocalFree(parts_->dacl);
}

bool SecurityReplacement::Valid() const { return parts_->dacl != nullptr; }

namespace {

// Opened without following a link, so that the reparse point itself is what is looked at.
HANDLE OpenForSecurity(const WideText& path, DWORD access) {
  return CreateFileW(W(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A reparse point by its handle, or by its name: Wine shows a link to a folder only there.
bool IsReparsePoint(HANDLE item, const WideText& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(item, &info)) return true;
  const DWORD byName = GetFileAttributesW(W(path));
  return ((info.dwFileAttributes | (byName == INVALID_FILE_ATTRIBUTES ? 0 : byName)) &
          FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Sets owner and DACL on the object alone: the kernel call propagates nothing to the items below.
bool SetOnHandle(HANDLE item, PSID owner, PACL dacl, bool protectedDacl, bool withDacl) {
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
  SECURITY_INFORMATION info = 0;
  if (owner) {
    SetSecurityDescriptorOwner(&descriptor, owner, FALSE);
    info |= OWNER_SECURITY_INFORMATION;
  }
  if (withDacl) {
    SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE);
    if (protectedDacl) SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    info |= DACL_SECURITY_INFORMATION;
  }
  return SetKernelObjectSecurity(item, info, &descriptor) != FALSE;
}

}  // namespace

bool ResetSecurity(const SecurityReplacement& security, const WideText& path, uint32_t mode) {
  const auto& parts = security.Get();
  const bool withDacl = !(mode & kResetNoDacl);
  const bool protectedDacl = (mode & kResetProtectedDacl) != 0;
  FileOwner item(OpenForSecurity(path, WRITE_OWNER | (withDacl ? WRITE_DAC : 0)));
  if (item && IsReparsePoint(item.Get(), path)) return false;
  if (item && SetOnHandle(item.Get(), parts.owner, parts.dacl, protectedDacl, withDacl)) return true;
  // Without ownership the DACL cannot be written: take ownership alone, then try once more.
  if (!parts.owner || !withDacl) return false;
  FileOwner owned(OpenForSecurity(path, WRITE_OWNER));
  if (!owned || IsReparsePoint(owned.Get(), path) || !SetOnHandle(owned.Get(), parts.owner, nullptr, false, false)) {
    return false;
  }
  owned.Reset();
  FileOwner again(OpenForSecurity(path, WRITE_DAC));
  return again && !IsReparsePoint(again.Get(), path) &&
         SetOnHandle(again.Get(), nullptr, parts.dacl, protectedDacl, true);
}

bool CreateSecuredFolder(const WideText& path) {
  const SecurityReplacement security(true, true);
  SECURITY_DESCRIPTOR descriptor;
  // A DACL of its own, protected: nothing of ProgramData's (where users may create and own
  // folders) is inherited. The owner is named, Administrators, as an elevated token may.
  if (!security.Valid() || !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, security.Get().dacl, FALSE) ||
      !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED) ||
      !SetSecurityDescriptorOwner(&descriptor, security.Get().owner, FALSE)) {
    return false;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  const WideText target = LongPath(path);
  if (CreateDirectoryW(W(target), &attributes)) return true;
  // ERROR_INVALID_OWNER: a token that may not name that owner gets its default one.
  if (GetLastError() != ERROR_INVALID_OWNER) return false;
  SetSecurityDescriptorOwner(&descriptor, nullptr, FALSE);
  return CreateDirectoryW(W(target), &attributes) != FALSE;
}

namespace {

// Rights that let a holder change a folder or what is in it.
constexpr DWORD kWritingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                 FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                 GENERIC_ALL | MAXIMUM_ALLOWED;

bool IsAdministratorsOrSystem(PSID sid) {
  return IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid);
}

// Wine keeps no owner on this file system: every file shows the Unix user's SID, the program's own
// folders too. There the owner tells nothing and only the DACL (Wine's reading of the Unix mode) can.
bool OwnersAreKept() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

}  // namespace

bool IsTrustedProgramFolder(const WideText& path) {
  const WideText target = LongPath(path);
  FileOwner folder(CreateFileW(W(target), READ_CONTROL | FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !GetFileInformationByHandle(folder.Get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsReparsePoint(folder.Get(), target)) {
    return false;
  }
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(folder.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                      nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool keptOwner = OwnersAreKept();
  // A null DACL grants everything to everyone.
  bool trusted = owner && dacl && (!keptOwner || IsAdministratorsOrSystem(owner));
  for (DWORD i = 0; trusted && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) {
      trusted = false;
      break;
    }
    // Deny entries and entries only for the items below take nothing away here.
    if (ace->AceType == ACCESS_DENIED_ACE_TYPE || ace->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
        (ace->AceFlags & INHERIT_ONLY_ACE)) {
      continue;
    }
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) {
      trusted = false;  // an allowing kind this check does not read is taken as writing
      break;
    }
    const auto* allowed = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace);
    PSID holder = const_cast<DWORD*>(&allowed->SidStart);
    if ((allowed->Mask & kWritingRights) && !IsAdministratorsOrSystem(holder) && !(!keptOwner && EqualSid(holder, owner))) {
      trusted = false;
    }
  }
  LocalFree(descriptor);
  return trusted;
}

bool CreateNewFolder(const WideText& path) { return CreateDirectoryW(W(LongPath(path)), nullptr) != FALSE; }

bool RenameToNewName(const WideText& from, const WideText& to) {
  const WideText source = LongPath(from);
  // A reparse point is renamed itself, as its own handle shows it. Where the name shows a link
  // but the handle opens its target (Wine), a rename would move the target: nothing is renamed.
  const DWORD byName = GetFileAttributesW(W(source));
  if (byName != INVALID_FILE_ATTRIBUTES && (byName & FILE_ATTRIBUTE_REPARSE_POINT)) {
    FileOwner item(OpenForSecurity(source, FILE_READ_ATTRIBUTES));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!item || !GetFileInformationByHandle(item.Get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      return false;
    }
  }
  // Without MOVEFILE_REPLACE_EXISTING the rename fails when anything holds the new name.
  return MoveFileExW(W(source), W(LongPath(to)), 0) != FALSE;
}

// ---- Deleting ----

int DeleteOneFile(const WideText& path, uint32_t flags, const SecurityReplacement* security) {
  return DeleteItem(path, flags, security, false);
}

int RemoveOneFolder(const WideText& path, uint32_t flags, const SecurityReplacement* security) {
  return DeleteItem(path, flags, security, true);
}

namespace {

// FileDispositionInfoEx and its flags (Windows 10 1607 and later; the SDK level we build for
// predates them). IGNORE_READONLY came with 1809: before it, and under Wine, the call fails and
// the plain disposition takes over.
constexpr FILE_INFO_BY_HANDLE_CLASS kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionInfoEx {
  DWORD flags;
};
constexpr DWORD kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2, kDispositionIgnoreReadOnly = 0x10;

// An item opened as itself (a link is the link, never its target), for listing, checking and
// deleting through the handle. No FILE_SHARE_DELETE: while a folder is held, nobody renames it or
// puts a link in its place, so the names below it stay the ones listed.
HANDLE OpenItem(const WideText& path) {
  return CreateFileW(W(path),
                     DELETE | READ_CONTROL | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                         SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Deleted through its handle: the POSIX disposition takes the name at once; where it is missing,
// the plain one, after the read-only attribute it refuses is cleared through the same handle.
bool MarkDeleted(HANDLE item) {
  DispositionInfoEx ex{kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly};
  if (SetFileInformationByHandle(item, kDispositionInfoEx, &ex, sizeof ex)) return true;
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(item, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & kClearableAttributes)) {
    const DWORD kept = basic.FileAttributes & kSettableAttributes;
    basic.FileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;  // zero times: left as they are
    SetFileInformationByHandle(item, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO plain{TRUE};
  return SetFileInformationByHandle(item, FileDispositionInfo, &plain, sizeof plain) != FALSE;
}

// Whether the item's owner is one the program's own items have: Administrators, SYSTEM, or the
// program's own user (the owner an elevated token gives new items may be either). Where owners
// are not kept (Wine) nothing can be told, and every item counts as the program's.
bool OwnedByTheProgram(HANDLE item) {
  if (!OwnersAreKept()) return true;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(item, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool ours = owner && IsAdministratorsOrSystem(owner);
  HANDLE token = nullptr;
  if (!ours && owner && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    alignas(TOKEN_USER) unsigned char buffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = 0;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
      ours = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid) != FALSE;
    }
    CloseHandle(token);
  }
  LocalFree(descriptor);
  return ours;
}

struct ListedEntry {
  WideText name;
  DWORD attributes;
};

// The entries of a folder, read through its handle (FileIdBothDirectoryRestartInfo, then more).
bool ListByHandle(HANDLE folder, std::vector<ListedEntry>* entries) {
  std::vector<unsigned char> buffer(64 * 1024);  // new[] aligns for the LONGLONG fields
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, kind, buffer.data(), static_cast<DWORD>(buffer.size()))) {
    kind = FileIdBothDirectoryInfo;
    for (size_t at = 0;;) {
      const auto* e = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
      const std::u16string_view name(U(e->FileName), e->FileNameLength / sizeof(wchar_t));
      if (name != u"." && name != u"..") entries->push_back({WideText(name), e->FileAttributes});
      if (e->NextEntryOffset == 0) break;
      at += e->NextEntryOffset;
    }
  }
  return GetLastError() == ERROR_NO_MORE_FILES;
}

// A link removed by its name, as no handle could: the call acts on the link, never its target.
int RemoveLinkByName(const WideText& path, bool folder, uint32_t flags) {
  if (folder ? RemoveDirectoryW(W(path)) : DeleteFileW(W(path))) return kDeleteDone;
  if ((flags & kDeleteAtRestart) && MoveFileExW(W(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return kDeletePendingRestart;
  }
  return kDeleteFailed;
}

int DeleteEntry(const WideText& path, DWORD listed, const WideText& pattern, uint32_t flags,
                const SecurityReplacement* security, const PendingEventPump& pump);

int DeleteBelow(HANDLE folder, const WideText& path, const WideText& pattern, uint32_t flags,
                const SecurityReplacement* security, const PendingEventPump& pump) {
  std::vector<ListedEntry> entries;
  if (!ListByHandle(folder, &entries)) return kDeleteFailed;
  const bool all = pattern == u"*";
  int result = kDeleteDone;
  WideText entry;
  for (const ListedEntry& e : entries) {
    if (!all && !PathMatchSpecW(W(e.name), W(pattern))) continue;
    entry.AssignConcat({path, u"\\", e.name});
    result = Combine(result, DeleteEntry(entry, e.attributes, u"*", flags & ~kDeleteContentsOnly, security, pump));
    if (pump) pump();
  }
  return result;
}

// One entry of a tree, by handle. listed: the attributes the listing (or a look by name) gave.
int DeleteEntry(const WideText& path, DWORD listed, const WideText& pattern, uint32_t flags,
                const SecurityReplacement* security, const PendingEventPump& pump) {
  const bool contentsOnly = (flags & kDeleteContentsOnly) != 0;
  const bool mayReset = (flags & kDeleteTakeOwnership) && security && security->Valid();
  for (int attempt = 0; attempt < 2; ++attempt) {
    FileOwner item(OpenItem(path));
    if (!item) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return kDeleteDone;
      if (contentsOnly) return kDeleteFailed;
      if (attempt == 0 && error == ERROR_ACCESS_DENIED && mayReset &&
          ResetSecurity(*security, path, (listed & FILE_ATTRIBUTE_DIRECTORY) ? kResetFolderMode : kResetFileMode)) {
        continue;
      }
      // Held by another program: what the name-based retries (and the restart) can do.
      return (listed & FILE_ATTRIBUTE_REPARSE_POINT)
                 ? RemoveLinkByName(path, (listed & FILE_ATTRIBUTE_DIRECTORY) != 0, flags)
                 : DeleteItem(path, flags, security, (listed & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(item.Get(), &info)) return kDeleteFailed;
    const DWORD byName = GetFileAttributesW(W(path));
    const bool handleIsLink = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Wine shows a link to a folder as a reparse point only in a listing and by name; its handle
    // is the target's. A link is never entered, whichever of the three tells.
    if (handleIsLink || ((listed | (byName == INVALID_FILE_ATTRIBUTES ? 0 : byName)) & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // Where the handle is the target's, a delete by that handle or by the name would remove
      // the target (Wine does): the link stays, and the delete fails.
      if (contentsOnly || !handleIsLink) return kDeleteFailed;
      if (MarkDeleted(item.Get())) return kDeleteDone;
      item.Reset();
      return RemoveLinkByName(path, folder, flags);
    }
    if (!folder) {
      if (contentsOnly) return kDeleteFailed;
      if (MarkDeleted(item.Get())) return kDeleteDone;
      item.Reset();
      return DeleteItem(path, flags, security, false);
    }
    // A folder another user made is not the program's to empty: it stays, with all it holds.
    if (!(flags & kDeleteTakeOwnership) && !OwnedByTheProgram(item.Get())) return kDeleteFailed;
    const int result = DeleteBelow(item.Get(), path, pattern, flags, security, pump);
    if (contentsOnly) return result;
    if (result == kDeleteDone && MarkDeleted(item.Get())) return kDeleteDone;
    item.Reset();
    return Combine(result, DeleteItem(path, flags, security, true));
  }
  return kDeleteFailed;
}

}  // namespace

int DeleteTree(const WideText& folder, const WideText& pattern, uint32_t flags,
               const SecurityReplacement* security, const PendingEventPump& pump) {
  return DeleteEntry(folder, FILE_ATTRIBUTE_DIRECTORY, pattern, flags, security, pump);
}

int DeletePath(const WideText& given, uint32_t flags, const PendingEventPump& pump) {
  WideText path = given;
  path.StripTrailingBackslashes();
  int slash = path.Find(u"\\", true, -1);
  if (slash == 0) return kDeleteDone;
  std::u16string_view last = path.View().substr(slash);

  const bool isPattern = HasWildcard(last);
  const WideText target = LongPath(isPattern ? WideText(path.View().substr(0, slash - 1)) : path);
  const DWORD attributes = isPattern ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(W(target));
  if (attributes == INVALID_FILE_ATTRIBUTES && !PathTaken(path)) return kDeleteDone;
  const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);

  std::unique_ptr<SecurityReplacement> security;
  if (flags & kDeleteTakeOwnership) security = std::make_unique<SecurityReplacement>(isPattern || isFolder);
  const int result = DeleteEntry(target, attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes,
                                 isPattern ? WideText(last) : WideText(u"*"),
                                 isPattern ? flags | kDeleteContentsOnly : flags, security.get(), pump);
  if (result == kDeleteDone && !isPattern) {
    SHChangeNotify(isFolder ? SHCNE_RMDIR : SHCNE_DELETE, SHCNF_PATHW, W(given), nullptr);
  }
  return result;
}

// ---- Creating, copying, asking ----

bool CopyToNewFile(const WideText& from, const WideText& to) {
  // Fail if anything holds the name: a link put there after the check is not written through.
  return CopyFileW(W(LongPath(from)), W(LongPath(to)), TRUE) != FALSE;
}

bool PathTaken(const WideText& path) {
  WIN32_FIND_DATAW found;
  FindOwner find(FindFirstFileW(W(LongPath(path)), &found));
  return find.Valid() || GetFileAttributesW(W(LongPath(path))) != INVALID_FILE_ATTRIBUTES;
}

bool RemovePlainFile(const WideText& given) {
  const WideText path = LongPath(given);
  const DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return !PathTaken(given);
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  FileOwner file(CreateFileW(W(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !GetFileInformationByHandle(file.Get(), &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1) return false;
  file.Reset();
  return DeleteOneFile(path, 0, nullptr) == kDeleteDone && !PathTaken(given);
}

bool CreateDirectoryTree(const WideText& given) {
  WideText path = given;
  path.AddLongPathPrefix();
  path.StripTrailingBackslashes();
  if (path.Length() < 3) return false;
  const bool prefixed = path.View().starts_with(u"\\\\?\\");
  if (prefixed) {
    if (path.Length() < 6) return false;
    if (path.Length() == 6) {
      WideText root = Concat({path.View().substr(4), u"\\"});
      return PathIsRootW(W(root)) != FALSE;
    }
  }
  if (IsFolder(path)) return true;
  if (CreateDirectoryW(W(path), nullptr)) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) return IsFolder(path);

  // Walk down from the drive or the server's share, creating each missing level in order.
  const bool unc = path.View().starts_with(u"\\\\?\\UNC\\");
  std::u16string_view prefix = unc ? u"\\\\?\\UNC\\" : prefixed ? u"\\\\?\\" : u"";
  TextList pieces = Split(path.View().substr(prefix.size()), u"\\", true);
  const uint32_t first = unc ? 2 : 1;  // a share is the top level there is
  if (pieces.Count() < first + 1) return false;
  WideText level = Concat({prefix, pieces.Pieces()[0]});
  if (unc) level.Append({u"\\", pieces.Pieces()[1]});
  for (uint32_t i = first; i < pieces.Count(); ++i) {
    const std::u16string& piece = pieces.Pieces()[i];
    if (piece.empty()) continue;
    level.Append({u"\\", piece});
    if (!Exists(level) && !CreateDirectoryW(W(level), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  return IsFolder(path);
}

bool IsRealDirectory(const WideText& path) {
  DWORD a = GetFileAttributesW(W(LongPath(path)));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

uint64_t GetFileSizeByPath(const WideText& given) {
  WideText path = LongPath(given);
  HANDLE file = CreateFileW(W(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    LARGE_INTEGER size{};
    BOOL ok = GetFileSizeEx(file, &size);
    CloseHandle(file);
    if (ok) return static_cast<uint64_t>(size.QuadPart);
  }
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(W(path), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool ReadWholeFile(const WideText& path, std::string* bytes, uint64_t limit) {
  HANDLE file = CreateFileW(W(LongPath(path)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && static_cast<uint64_t>(size.QuadPart) <= limit;
  if (ok) {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
                            read == bytes->size());
  }
  CloseHandle(file);
  return ok;
}

// ---- Directory iterator ----

struct DirectoryIterator::State {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
};

DirectoryIterator::DirectoryIterator() = default;
DirectoryIterator::~DirectoryIterator() { Close(); }

bool DirectoryIterator::Open(const WideText& pattern, uint32_t options) {
  Close();
  options_ = options;
  state_ = std::make_unique<State>();
  // No entry's short name is ever read, so the system need not make it (basic level), and the
  // larger fetch buffer takes a big folder (a driver package's) in fewer kernel calls.
  state_->find = FindFirstFileExW(W(LongPath(pattern)), FindExInfoBasic, &state_->data, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state_->find == INVALID_HANDLE_VALUE) {
    Close();
    return false;
  }
  if (Load() && Accept()) return true;
  return Next();
}

bool DirectoryIterator::Advance() {
  return state_ && state_->find != INVALID_HANDLE_VALUE && FindNextFileW(state_->find, &state_->data);
}

bool DirectoryIterator::Load() {
  name_.Assign(U(state_->data.cFileName));
  attributes_ = state_->data.dwFileAttributes;
  size_ = (static_cast<uint64_t>(state_->data.nFileSizeHigh) << 32) | state_->data.nFileSizeLow;
  return true;
}

void DirectoryIterator::Close() {
  if (state_ && state_->find != INVALID_HANDLE_VALUE) FindClose(state_->find);
  state_.reset();
}

bool DirectoryIterator::IsOpen() const { return state_ && state_->find != INVALID_HANDLE_VALUE; }

// ---- Output file ----

bool OutputFile::Open(const WideText& path) {
  Close();
  int slash = path.Find(u"\\", true, -1);
  if (slash > 3) {  // a parent longer than two units ("C:" alone needs nothing)
    if (!CreateDirectoryTree(WideText(path.View().substr(0, slash - 1)))) return false;
  }
  HANDLE file = CreateFileW(W(LongPath(path)), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = file;
  return true;
}

uint32_t OutputFile::Write(const void* bytes, uint32_t count) {
  DWORD written = 0;
  if (!handle_ || !WriteFile(static_cast<HANDLE>(handle_), bytes, count, &written, nullptr)) return 0;
  return written;
}

void OutputFile::Close() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

}  // namespace pyr

namespace pyr {

bool IsFolderPath(const WideText& path) { return IsFolder(LongPath(path)); }

bool ReplaceWholeFile(const WideText& given, std::string_view bytes) {
  const WideText path = LongPath(given);
  // What holds the name must be a plain file, looked at without following a link.
  const DWORD attributes = GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (PathTaken(given)) return false;  // a link to nothing
  } else {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    FileOwner held(CreateFileW(W(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!held || !GetFileInformationByHandle(held.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1) {
      return false;
    }
  }
  // A new file (CREATE_NEW fails on anything holding the name, a link included), renamed over the old.
  const WideText temporary = Concat({path, u".pyravel-new"});
  if (!RemovePlainFile(temporary)) return false;
  FileOwner file(CreateFileW(W(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  bool written = true;
  for (size_t done = 0; written && done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD count = 0;
    written = WriteFile(file.Get(), bytes.data() + done, chunk, &count, nullptr) && count == chunk;
    done += chunk;
  }
  written = written && FlushFileBuffers(file.Get());
  file.Reset();
  // MOVEFILE_REPLACE_EXISTING replaces a file but never a folder; write-through so the rename is on disk.
  if (written && MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(W(temporary));
  return false;
}

}  // namespace pyr
