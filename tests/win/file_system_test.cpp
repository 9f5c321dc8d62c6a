// The file-system helpers on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/win32/security_parts.h"
#include "base/win32/wchar.h"

namespace pyr {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = Concat({U(temp), u"pyr_fs_", WideText::FromUInt32(GetCurrentProcessId()), u"_",
                    WideText::FromUInt32(counter_++)});
    root_.StripTrailingBackslashes();
    ASSERT_TRUE(CreateDirectoryTree(root_));
  }
  void TearDown() override { DeletePath(root_, 0); }

  WideText At(std::u16string_view relative) const { return Concat({root_, u"\\", relative}); }
  void MakeFile(std::u16string_view relative, const std::string& content = "x", DWORD attributes = 0) {
    OutputFile out;
    ASSERT_TRUE(out.Open(At(relative)));
    ASSERT_EQ(out.Write(content.data(), static_cast<uint32_t>(content.size())), content.size());
    out.Close();
    if (attributes) {
      ASSERT_TRUE(SetFileAttributesW(W(LongPath(At(relative))), attributes));
    }
  }
  bool Exists(std::u16string_view relative) const {
    return GetFileAttributesW(W(LongPath(At(relative)))) != INVALID_FILE_ATTRIBUTES;
  }
  std::string Content(std::u16string_view relative) const {
    HANDLE f = CreateFileW(W(LongPath(At(relative))), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD read = 0;
    ReadFile(f, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(f);
    return std::string(buffer, read);
  }

  WideText root_;
  static inline uint32_t counter_ = 0;
};

// A junction made the way the system's mklink /J does; false where the system cannot.
bool MakeJunction(const WideText& link, const WideText& target) {
  if (!CreateDirectoryW(W(link), nullptr)) return false;
  HANDLE h = CreateFileW(W(link), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::u16string substitute = u"\\??\\" + target.Str();
  std::u16string print = target.Str();
  std::vector<BYTE> buffer(8 + 8 + (substitute.size() + print.size() + 2) * 2);
  auto* header = reinterpret_cast<DWORD*>(buffer.data());
  header[0] = IO_REPARSE_TAG_MOUNT_POINT;
  auto* sizes = reinterpret_cast<USHORT*>(buffer.data() + 4);
  sizes[0] = static_cast<USHORT>(buffer.size() - 8);  // data length
  auto* names = reinterpret_cast<USHORT*>(buffer.data() + 8);
  names[0] = 0;
  names[1] = static_cast<USHORT>(substitute.size() * 2);
  names[2] = static_cast<USHORT>(substitute.size() * 2 + 2);
  names[3] = static_cast<USHORT>(print.size() * 2);
  auto* path = reinterpret_cast<char16_t*>(buffer.data() + 16);
  std::copy(substitute.begin(), substitute.end(), path);
  std::copy(print.begin(), print.end(), path + substitute.size() + 1);
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                            0, &returned, nullptr);
  CloseHandle(h);
  if (!ok) RemoveDirectoryW(W(link));
  return ok != FALSE;
}

TEST_F(FileSystemTest, AttributesThatStandInTheWayAreClearedBeforeTheDelete) {
  struct Case {
    const char16_t* name;
    DWORD attributes;
  } cases[] = {
      {u"readonly.sys", FILE_ATTRIBUTE_READONLY},
      {u"system.sys", FILE_ATTRIBUTE_SYSTEM},
      {u"both.sys", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideText(c.name).ToUtf8());
    MakeFile(c.name, "data", c.attributes);
    EXPECT_EQ(DeletePath(At(c.name), 0), kDeleteDone);
    EXPECT_FALSE(Exists(c.name));
  }
  // The same inside a tree: the tree goes as a whole.
  MakeFile(u"tree\\a\\b\\locked.inf", "x", FILE_ATTRIBUTE_READONLY);
  MakeFile(u"tree\\a\\plain.sys");
  ASSERT_TRUE(SetFileAttributesW(W(LongPath(At(u"tree\\a"))), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(DeletePath(At(u"tree\\"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"tree"));
}

TEST_F(FileSystemTest, AWildcardDeletesOnlyItsMatchesAndKeepsTheFolder) {
  MakeFile(u"w\\a.tmp");
  MakeFile(u"w\\b.TMP");
  MakeFile(u"w\\keep.txt");
  MakeFile(u"w\\folder.tmp\\inner.txt");
  MakeFile(u"w\\other\\c.tmp");
  EXPECT_EQ(DeletePath(At(u"w\\*.tmp"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"w\\a.tmp"));
  EXPECT_FALSE(Exists(u"w\\b.TMP"));
  EXPECT_FALSE(Exists(u"w\\folder.tmp"));
  EXPECT_TRUE(Exists(u"w\\keep.txt"));
  EXPECT_TRUE(Exists(u"w\\other\\c.tmp"));  // the pattern applies to the folder's own entries
  EXPECT_TRUE(Exists(u"w"));
  EXPECT_EQ(DeletePath(At(u"w\\?eep.txt"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"w\\keep.txt"));
}

TEST_F(FileSystemTest, MissingPathsCountAsDeleted) {
  EXPECT_EQ(DeletePath(At(u"nothing.here"), 0), kDeleteDone);
  EXPECT_EQ(DeletePath(At(u"no\\such\\folder"), kDeleteAtRestart), kDeleteDone);
  EXPECT_EQ(DeletePath(u"relative-name", 0), kDeleteDone);
}

TEST_F(FileSystemTest, AFileHeldOpenIsScheduledForTheRestartOnlyWithFlagOne) {
  MakeFile(u"busy.dll");
  HANDLE held = CreateFileW(W(At(u"busy.dll")), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(DeletePath(At(u"busy.dll"), 0), kDeleteFailed);
  MakeFile(u"free.txt");
  // One held file among others: the rest goes, the whole waits for the restart.
  EXPECT_EQ(DeletePath(At(u"*.*"), kDeleteAtRestart), kDeletePendingRestart);
  EXPECT_FALSE(Exists(u"free.txt"));
  EXPECT_TRUE(Exists(u"busy.dll"));

  // The restart list names the file.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                          KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  std::vector<wchar_t> list(65536);
  DWORD size = static_cast<DWORD>(list.size() * 2);
  LONG read = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(list.data()), &size);
  RegCloseKey(key);
  ASSERT_EQ(read, ERROR_SUCCESS);
  std::u16string names(U(list.data()), size / 2);
  EXPECT_NE(names.find(u"busy.dll"), std::u16string::npos);
  CloseHandle(held);
}

TEST_F(FileSystemTest, AJunctionIsRemovedWithoutTouchingItsTarget) {
  MakeFile(u"target\\precious.txt", "keep me");
  MakeFile(u"holder\\own.txt");
  if (!MakeJunction(At(u"holder\\link"), At(u"target"))) {
    // This system cannot make junctions; the native tests cover the rule with symbolic links.
    EXPECT_FALSE(Exists(u"holder\\link"));
    std::printf("junctions are not available here; covered by the stand-in\n");
    return;
  }
  EXPECT_FALSE(IsRealDirectory(At(u"holder\\link")));
  EXPECT_EQ(DeletePath(At(u"holder"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"holder"));
  EXPECT_EQ(Content(u"target\\precious.txt"), "keep me");
}

TEST_F(FileSystemTest, CreateDirectoryTreeMakesEveryMissingLevel) {
  WideText deep = At(u"one\\two\\three\\");
  EXPECT_TRUE(CreateDirectoryTree(deep));
  for (auto level : {u"one", u"one\\two", u"one\\two\\three"}) EXPECT_TRUE(IsRealDirectory(At(level)));
  EXPECT_TRUE(CreateDirectoryTree(deep));  // existing is fine

  struct Case {
    const char16_t* path;
    bool created;
  } cases[] = {{u"C:\\", true}, {u"C:", true}, {u"C", false}, {u"", false}};
  for (const Case& c : cases) EXPECT_EQ(CreateDirectoryTree(c.path), c.created) << WideText(c.path).ToUtf8();

  // A file in the way is not a folder.
  MakeFile(u"plain");
  EXPECT_FALSE(CreateDirectoryTree(At(u"plain")));
  EXPECT_FALSE(CreateDirectoryTree(At(u"plain\\below")));
  EXPECT_FALSE(CreateDirectoryTree(At(u"bad|name\\x")));
}

TEST_F(FileSystemTest, PathsLongerThanMaxPathWork) {
  std::u16string relative = u"long";
  while (relative.size() + root_.Length() < 320) relative += u"\\segment_of_forty_units_for_a_deep_path__";
  ASSERT_GT(At(relative).Length(), 300u);
  ASSERT_TRUE(CreateDirectoryTree(At(relative)));
  MakeFile(relative + u"\\driver.sys", "twelve bytes");
  EXPECT_EQ(GetFileSizeByPath(At(relative + u"\\driver.sys")), 12u);
  ASSERT_TRUE(CopyFolderTree(At(u"long"), At(u"copy")));
  std::u16string copied = u"copy" + relative.substr(4) + u"\\driver.sys";
  EXPECT_EQ(Content(copied), "twelve bytes");
  EXPECT_EQ(DeletePath(At(u"long"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"long"));
}

TEST_F(FileSystemTest, CopyFolderTreeOverwritesAndSkipsWhatItCannotRead) {
  MakeFile(u"src\\a.inf", "new a");
  MakeFile(u"src\\locked.sys", "locked");
  MakeFile(u"src\\sub\\deep\\b.cat", "b");
  MakeFile(u"dst\\a.inf", "old content of a");
  MakeFile(u"src\\z_after.dll", "after");
  HANDLE held = CreateFileW(W(At(u"src\\locked.sys")), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CopyFolderTree(At(u"src"), At(u"dst")));
  CloseHandle(held);
  EXPECT_EQ(Content(u"dst\\a.inf"), "new a");
  EXPECT_EQ(Content(u"dst\\sub\\deep\\b.cat"), "b");
  EXPECT_EQ(Content(u"dst\\z_after.dll"), "after");
  EXPECT_FALSE(Exists(u"dst\\locked.sys"));

  // A sub-folder that cannot be created fails the copy: a file holds its name.
  MakeFile(u"blocked\\sub", "a file, not a folder");
  EXPECT_FALSE(CopyFolderTree(At(u"src"), At(u"blocked")));
  // A source that cannot be listed still creates the destination.
  EXPECT_TRUE(CopyFolderTree(At(u"absent"), At(u"empty")));
  EXPECT_TRUE(IsRealDirectory(At(u"empty")));

  int pumps = 0;
  EXPECT_TRUE(CopyFolderTree(At(u"src"), At(u"pumped"), [&] { ++pumps; }));
  EXPECT_EQ(pumps, 6);  // one per entry: 4 files, 2 folders
}

TEST_F(FileSystemTest, TheIteratorsOptionsChooseTheEntries) {
  MakeFile(u"it\\file1.txt");
  MakeFile(u"it\\file2.inf");
  MakeFile(u"it\\folder\\x");
  const bool junction = MakeJunction(At(u"it\\junction"), At(u"it\\folder"));
  auto list = [&](uint32_t options, const char16_t* pattern = u"it\\*") {
    std::vector<std::u16string> names;
    DirectoryIterator it;
    if (it.Open(At(pattern), options)) {
      do names.push_back(it.Name().Str());
      while (it.Next());
    }
    EXPECT_FALSE(it.IsOpen());
    std::sort(names.begin(), names.end());
    return names;
  };
  using Names = std::vector<std::u16string>;
  Names all = {u"file1.txt", u"file2.inf", u"folder"};
  Names folders = {u"folder"};
  if (junction) {
    all.insert(all.begin() + 2, u"junction");
    folders.push_back(u"junction");
  }
  EXPECT_EQ(list(0), all);
  EXPECT_EQ(list(kSkipReparsePoints), (Names{u"file1.txt", u"file2.inf", u"folder"}));
  EXPECT_EQ(list(kFilesOnly), (Names{u"file1.txt", u"file2.inf"}));
  EXPECT_EQ(list(kFoldersOnly), folders);
  EXPECT_EQ(list(kFoldersOnly | kSkipReparsePoints), (Names{u"folder"}));
  EXPECT_EQ(list(0, u"it\\*.inf"), (Names{u"file2.inf"}));
  EXPECT_EQ(list(0, u"it\\folder\\*.none"), Names{});
  EXPECT_EQ(list(0, u"missing\\*"), Names{});
}

TEST_F(FileSystemTest, OutputFileAndSizes) {
  OutputFile out;
  EXPECT_EQ(out.Write("x", 1), 0u);  // closed
  ASSERT_TRUE(out.Open(At(u"made\\by\\open\\file.bin")));
  EXPECT_EQ(out.Write("12345", 5), 5u);
  EXPECT_EQ(out.Write("678", 3), 3u);
  out.Close();
  out.Close();
  EXPECT_EQ(GetFileSizeByPath(At(u"made\\by\\open\\file.bin")), 8u);
  ASSERT_TRUE(out.Open(At(u"made\\by\\open\\file.bin")));  // replaces the old content
  out.Close();
  EXPECT_EQ(GetFileSizeByPath(At(u"made\\by\\open\\file.bin")), 0u);
  EXPECT_EQ(GetFileSizeByPath(At(u"absent.bin")), 0u);
  MakeFile(u"plain.txt");
  EXPECT_FALSE(out.Open(At(u"plain.txt\\below.bin")));
  EXPECT_FALSE(IsRealDirectory(At(u"plain.txt")));
}

TEST_F(FileSystemTest, ThePermissionReplacementGrantsAdministratorsAndSystemOnly) {
  for (bool inheritable : {false, true}) {
    SecurityReplacement security(inheritable);
    ASSERT_TRUE(security.Valid());
    PACL dacl = security.Get().dacl;
    std::vector<WELL_KNOWN_SID_TYPE> holders;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
      EXPECT_EQ(ace->Mask, static_cast<DWORD>(GENERIC_ALL));
      EXPECT_EQ(ace->Header.AceFlags, inheritable ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0);
      for (auto type : {WinWorldSid, WinAuthenticatedUserSid, WinBuiltinUsersSid, WinLocalSystemSid,
                        WinBuiltinAdministratorsSid}) {
        BYTE known[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof known;
        ASSERT_TRUE(CreateWellKnownSid(type, nullptr, known, &size));
        if (EqualSid(&ace->SidStart, known)) holders.push_back(type);
      }
    }
    EXPECT_EQ(holders, (std::vector<WELL_KNOWN_SID_TYPE>{WinLocalSystemSid, WinBuiltinAdministratorsSid}));
    EXPECT_TRUE(IsWellKnownSid(security.Get().owner, WinBuiltinAdministratorsSid));
  }
  // Applied to real items. Wine keeps only what the Unix mode can say of a file's DACL, so what
  // it reads back is not checked here.
  MakeFile(u"secured.sys");
  MakeFile(u"secured\\inner.sys");
  SecurityReplacement file(false), folder(true);
  EXPECT_TRUE(ResetSecurity(file, At(u"secured.sys"), kResetFileMode));
  EXPECT_TRUE(ResetSecurity(folder, At(u"secured"), kResetFolderMode));
  EXPECT_EQ(DeletePath(At(u"secured.sys"), kDeleteTakeOwnership), kDeleteDone);
  EXPECT_EQ(DeletePath(At(u"secured"), kDeleteTakeOwnership | kDeleteAtRestart), kDeleteDone);
  EXPECT_FALSE(Exists(u"secured"));
}

}  // namespace
}  // namespace pyr
