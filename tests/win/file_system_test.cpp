// The file-system helpers on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/win32/security_parts.h"
#include "base/win32/wchar.h"
#include "support/temp_folder.h"

namespace pyr {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp_.Made()); }
  WideText At(std::u16string_view relative) const { return temp_.Path(relative); }
  void MakeFile(std::u16string_view relative, const std::string& content = "x", DWORD attributes = 0) {
    ASSERT_TRUE(temp_.Write(At(relative), content));
    if (attributes) {
      ASSERT_TRUE(SetFileAttributesW(W(LongPath(At(relative))), attributes));
    }
  }
  bool Exists(std::u16string_view relative) const { return PathTaken(At(relative)); }
  std::string Content(std::u16string_view relative) const {
    std::string bytes;
    return ReadWholeFile(At(relative), &bytes, 1 << 20) ? bytes : "<missing>";
  }
  testing::TempFolder temp_;
};

TEST_F(FileSystemTest, DeletesFilesTreesAndPatternsWhateverTheirAttributes) {
  for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_READONLY}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                           DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN}}) {
    MakeFile(u"locked.sys", "data", attributes);
    EXPECT_EQ(DeletePath(At(u"locked.sys"), 0), kDeleteDone) << attributes;
    EXPECT_FALSE(Exists(u"locked.sys"));
  }
  MakeFile(u"tree\\a\\b\\locked.inf", "x", FILE_ATTRIBUTE_READONLY);
  MakeFile(u"tree\\a\\plain.sys");
  ASSERT_TRUE(SetFileAttributesW(W(LongPath(At(u"tree\\a"))), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(DeletePath(At(u"tree\\"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"tree"));
  // A pattern applies to the folder's own entries and keeps the folder.
  for (auto name : {u"w\\a.tmp", u"w\\b.TMP", u"w\\keep.txt", u"w\\folder.tmp\\inner.txt", u"w\\other\\c.tmp"}) MakeFile(name);
  EXPECT_EQ(DeletePath(At(u"w\\*.tmp"), 0), kDeleteDone);
  EXPECT_EQ(temp_.Tree(At(u"w")), (std::vector<std::string>{"keep.txt", "other/c.tmp"}));
  EXPECT_EQ(DeletePath(At(u"w\\?eep.txt"), 0), kDeleteDone);
  EXPECT_FALSE(Exists(u"w\\keep.txt"));
  // Missing paths count as deleted.
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
  std::vector<wchar_t> list(65536);
  DWORD size = static_cast<DWORD>(list.size() * 2);
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                         L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, list.data(),
                         &size),
            ERROR_SUCCESS);
  EXPECT_NE(std::u16string(U(list.data()), size / 2).find(u"busy.dll"), std::u16string::npos);
  CloseHandle(held);
}

// Wine makes no junction; a Unix link to a folder, which it shows as a reparse point, stands in
// (Wine cannot remove that link, so the delete below meets the reset a stuck item gets).
TEST_F(FileSystemTest, ALinkToAFolderIsNeverEnteredNorGivenNewPermissions) {
  MakeFile(u"target\\precious.txt", "keep me");
  MakeFile(u"holder\\own.txt");
  ASSERT_TRUE(temp_.Link(At(u"holder\\link"), At(u"target")));
  SecurityReplacement security(true);
  EXPECT_FALSE(ResetSecurity(security, At(u"holder\\link"), kResetFolderMode));
  DeletePath(At(u"holder"), kDeleteTakeOwnership);
  EXPECT_FALSE(Exists(u"holder\\own.txt"));
  EXPECT_EQ(Content(u"target\\precious.txt"), "keep me");
}

TEST_F(FileSystemTest, CreateDirectoryTreeMakesEveryMissingLevel) {
  EXPECT_TRUE(CreateDirectoryTree(At(u"one\\two\\three\\")));
  for (auto level : {u"one", u"one\\two", u"one\\two\\three"}) EXPECT_TRUE(IsRealDirectory(At(level)));
  EXPECT_TRUE(CreateDirectoryTree(At(u"one\\two\\three")));  // existing is fine
  const std::pair<const char16_t*, bool> cases[] = {{u"C:\\", true}, {u"C:", true}, {u"C", false}, {u"", false}};
  for (const auto& [path, created] : cases) EXPECT_EQ(CreateDirectoryTree(path), created) << WideText(path).ToUtf8();
  MakeFile(u"plain");  // a file in the way is not a folder
  EXPECT_FALSE(CreateDirectoryTree(At(u"plain")));
  EXPECT_FALSE(CreateDirectoryTree(At(u"plain\\below")));
  // Only below the chosen folder (where a link is never entered, as the backup's tests show).
  EXPECT_TRUE(CreateFolderBelow(At(u"base"), At(u"base\\made\\new")));
  EXPECT_FALSE(CreateFolderBelow(At(u"base"), At(u"elsewhere\\new")));
}

// A server's share, as Wine offers one: dosdevices\unc\<server>\<share> in its prefix.
WideText ShareOf(const WideText& folder) {
  char prefix[1024];
  if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) {
    return Concat({u"\\\\localhost\\", folder.View().substr(0, 1), u"$", folder.View().substr(2)});
  }
  const WideText share = Concat({u"pyr_share_", WideText::FromUInt32(GetCurrentProcessId())});
  for (char* c = prefix; *c; ++c) *c = *c == '/' ? '\\' : *c;
  const WideText mapping = Concat({u"Z:", WideText::FromUtf8(prefix), u"\\dosdevices\\unc\\localhost\\", share});
  RemoveDirectoryW(W(mapping));
  CreateDirectoryTree(mapping);
  return Concat({u"\\\\localhost\\", share});
}

TEST_F(FileSystemTest, PathsLongerThanMaxPathWorkOnDrivesAndShares) {
  const WideText share = ShareOf(At(u""));
  for (const WideText& root : {At(u""), share}) {
    SCOPED_TRACE(root.ToUtf8());
    WideText deep = Concat({root, u"\\long"});
    while (deep.Length() < 320) deep.Append(u"\\segment_of_forty_units_for_a_deep_path__");
    ASSERT_TRUE(CreateDirectoryTree(deep));
    ASSERT_TRUE(temp_.Write(Concat({deep, u"\\driver.sys"}), "twelve bytes"));
    EXPECT_EQ(GetFileSizeByPath(Concat({deep, u"\\driver.sys"})), 12u);
    ASSERT_TRUE(CopyFolderTree(Concat({root, u"\\long"}), Concat({root, u"\\copy"})));
    EXPECT_EQ(temp_.Tree(Concat({root, u"\\copy"})).size(), 1u);
    EXPECT_EQ(DeletePath(Concat({root, u"\\long"}), 0), kDeleteDone);
    EXPECT_FALSE(PathTaken(Concat({root, u"\\long"})));
    DeletePath(Concat({root, u"\\copy"}), 0);
  }
}

TEST_F(FileSystemTest, CopyFolderTreeReplacesFilesAndFailsOnAnyFileItCannotCopy) {
  MakeFile(u"src\\a.inf", "new a");
  MakeFile(u"src\\sub\\deep\\b.cat", "b");
  MakeFile(u"dst\\a.inf", "old content of a", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(CopyFolderTree(At(u"src"), At(u"dst")));
  EXPECT_EQ(Content(u"dst\\a.inf"), "new a");
  EXPECT_EQ(Content(u"dst\\sub\\deep\\b.cat"), "b");
  int pumps = 0;
  EXPECT_TRUE(CopyFolderTree(At(u"src"), At(u"pumped"), [&] { ++pumps; }));
  EXPECT_EQ(pumps, 4);  // one per entry: 2 files, 2 folders
  // A file that cannot be read, and a sub-folder whose name a file holds, fail the copy.
  MakeFile(u"src\\locked.sys", "locked");
  HANDLE held = CreateFileW(W(At(u"src\\locked.sys")), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CopyFolderTree(At(u"src"), At(u"partial")));
  CloseHandle(held);
  MakeFile(u"blocked\\sub", "a file, not a folder");
  EXPECT_FALSE(CopyFolderTree(At(u"src"), At(u"blocked")));
  // A source that cannot be listed still creates the destination.
  EXPECT_TRUE(CopyFolderTree(At(u"absent"), At(u"empty")));
  EXPECT_TRUE(IsRealDirectory(At(u"empty")));
}

TEST_F(FileSystemTest, TheIteratorsOptionsChooseTheEntries) {
  MakeFile(u"it\\file1.txt");
  MakeFile(u"it\\file2.inf");
  MakeFile(u"it\\folder\\x");
  ASSERT_TRUE(temp_.Link(At(u"it\\link"), At(u"it\\folder")));
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
  EXPECT_EQ(list(kSkipReparsePoints), (Names{u"file1.txt", u"file2.inf", u"folder"}));
  EXPECT_EQ(list(kFilesOnly), (Names{u"file1.txt", u"file2.inf"}));
  EXPECT_EQ(list(kFoldersOnly), (Names{u"folder", u"link"}));
  EXPECT_EQ(list(kFoldersOnly | kSkipReparsePoints), (Names{u"folder"}));
  EXPECT_EQ(list(0, u"it\\*.inf"), (Names{u"file2.inf"}));
  EXPECT_EQ(list(0, u"missing\\*"), Names{});
}

// Every test writes its files through an output file; here what none of them does.
TEST_F(FileSystemTest, OutputFileAndSizes) {
  OutputFile out;
  EXPECT_EQ(out.Write("x", 1), 0u);  // closed
  MakeFile(u"made\\file.bin", "12345678");
  ASSERT_TRUE(out.Open(At(u"made\\file.bin")));  // replaces the old content
  out.Close();
  EXPECT_EQ(GetFileSizeByPath(At(u"made\\file.bin")), 0u);
  EXPECT_EQ(GetFileSizeByPath(At(u"absent.bin")), 0u);
  EXPECT_FALSE(out.Open(At(u"made\\file.bin\\below.bin")));
}

TEST_F(FileSystemTest, ThePermissionReplacementGrantsAdministratorsAndSystemOnly) {
  for (bool inheritable : {false, true}) {
    SecurityReplacement security(inheritable);
    ASSERT_TRUE(security.Valid());
    PACL dacl = security.Get().dacl;
    const WELL_KNOWN_SID_TYPE holders[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid};
    ASSERT_EQ(dacl->AceCount, 2u);
    for (DWORD i = 0; i < 2; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
      EXPECT_EQ(ace->Mask, static_cast<DWORD>(GENERIC_ALL));
      EXPECT_EQ(ace->Header.AceFlags, inheritable ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0);
      EXPECT_TRUE(IsWellKnownSid(&ace->SidStart, holders[i])) << i;
    }
    EXPECT_TRUE(IsWellKnownSid(security.Get().owner, WinBuiltinAdministratorsSid));
  }
  // Applied to real items. Wine keeps only what the Unix mode can say of a file's DACL, so what
  // it reads back is not checked here.
  MakeFile(u"secured.sys");
  MakeFile(u"secured\\inner.sys");
  SecurityReplacement file(false), folder(true);
  EXPECT_TRUE(ResetSecurity(file, At(u"secured.sys"), kResetFileMode));
  EXPECT_TRUE(ResetSecurity(folder, At(u"secured"), kResetFolderMode));
}

}  // namespace
}  // namespace pyr
