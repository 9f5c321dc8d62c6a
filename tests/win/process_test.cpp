#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

#include "base/os_version.h"
#include "base/win32/process.h"
#include "base/win32/system_folder.h"
#include "base/win32/wchar.h"
#include "web/site_addresses.h"
#include "web/win32/program_signature.h"

namespace pyr {
namespace {

// Beside the tests: every start of it also checks the module folder.
WideText HelperPath() { return Concat({ModuleFolder(nullptr), u"echo_exit.exe"}); }

// Runs start (which starts the helper, or says why not) and returns the command line the helper
// saw; empty when it did not run.
template <typename Start, typename Result>
std::u16string CommandLineSeenBy(Start start, Result expected) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  WideText echo(U(temp));
  echo.Append(u"pyravel_echo.txt");
  DeleteFileW(W(echo));
  SetEnvironmentVariableW(L"PYRAVEL_ECHO_FILE", W(echo));
  const Result result = start();
  EXPECT_EQ(result, expected);
  SetEnvironmentVariableW(L"PYRAVEL_ECHO_FILE", nullptr);
  // A helper started without waiting writes its line soon; one not started writes nothing.
  const bool started = !std::is_same_v<Result, SignedStart> || result == Result{};
  for (int i = 0; started && i < 500 && GetFileAttributesW(W(echo)) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
  if (started) Sleep(100);
  std::ifstream in(std::string(echo.ToUtf8()), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DeleteFileW(W(echo));
  return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

TEST(Process, RunProcessGivesTheExitCodeOrWithoutWaitingTheProcessId) {
  EXPECT_EQ(RunProcess(HelperPath(), u"x /exit=3", WideText(), SW_HIDE, kWaitForExit), 3);
  EXPECT_EQ(RunProcess(u"C:\\no\\such\\program.exe", u"", WideText(), SW_HIDE, kWaitForExit), -1);
  EXPECT_EQ(RunProcess(u"C:\\no\\such\\program.exe", u"", WideText(), SW_HIDE, 0), 0);
  // Without waiting: the process id.
  int64_t id = RunProcess(HelperPath(), u"x /exit=0", WideText(), SW_HIDE, 0);
  EXPECT_GT(id, 0);
}

// The arguments become the whole command line (the signed start below sees them); without any, no
// command line is passed, so the system uses the program name alone.
TEST(Process, WithoutArgumentsTheProgramNameIsTheCommandLine) {
  const std::u16string seen = CommandLineSeenBy(
      [] { return RunProcess(HelperPath(), WideText(), WideText(), SW_HIDE, kWaitForExit); }, 0);
  EXPECT_EQ(seen.find(u"/"), std::u16string::npos);
  EXPECT_NE(WideText(seen).Find(u"echo_exit", false), 0);
}

// Waiting and failing to start go through the same launch; here what only it does.
TEST(Process, LaunchProcessWithoutRedirectionAndShellOpenFailsOnAMissingTarget) {
  EXPECT_TRUE(LaunchProcess(HelperPath(), u"x", WideText(), SW_HIDE, kNoFsRedirection));
  EXPECT_EQ(ShellOpen(u"C:\\no\\such\\document.pyravel-none"), 0u);
}

// The updater and the pairing wizard: a token without the program's privileges (not only with
// them disabled), in the folder given.
TEST(Process, AStartWithoutTheProgramsPrivilegesLeavesThemOutOfTheChildsToken) {
  const WideText folder = ModuleFolder(nullptr);
  for (const unsigned options : {0u, unsigned{kWithoutProgramPrivileges}}) {
    const std::u16string seen = CommandLineSeenBy(
        [&] { return RunProcess(HelperPath(), u"x /report", folder, SW_HIDE, options | kWaitForExit); }, 0);
    WideText expected = Concat({options ? u"|none|" : u"|held|", folder});
    expected.StripTrailingBackslashes();
    EXPECT_TRUE(seen.ends_with(expected.View())) << WideText(seen).ToUtf8();
  }
}

TEST(Process, AModuleFolderCutShortIsNothing) {
  EXPECT_TRUE(ModuleFolder(nullptr, static_cast<uint32_t>(HelperPath().Length())).Empty());  // cut short
}

// The updater's start on copies of the helper signed at build time by the test certificate the
// sandbox trusts, and by another one of the same name.
TEST(SignedStart, OnlyAnIntactCopySignedByTheTrustedSignerStarts) {
  const WideText folder = ModuleFolder(nullptr), tampered = Concat({folder, u"echo_exit_tampered.exe"});
  const WideText signedCopy = Concat({folder, u"echo_exit_signed.exe"});
  ASSERT_TRUE(CopyFileW(W(signedCopy), W(tampered), FALSE));
  HANDLE file = CreateFileW(W(tampered), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFilePointer(file, 0x500, nullptr, FILE_BEGIN);  // into the code
  DWORD written = 0;
  WriteFile(file, "\xCC", 1, &written, nullptr);
  CloseHandle(file);
  const SignaturePolicy sandbox{u"Pyravel Test Signer", u"DE", PYRAVEL_TEST_SIGNER_SHA1},
      product{kMakerOrganization, kMakerCountry, ""};
  struct Case {
    const char16_t* file;
    const SignaturePolicy* policy;
    SignedStart expected;
  } cases[] = {{u"echo_exit_signed.exe", &sandbox, SignedStart::kStarted},
               {u"echo_exit_signed.exe", &product, SignedStart::kNotSigned},  // neither the maker nor its root
               {u"echo_exit_other.exe", &sandbox, SignedStart::kNotSigned},   // the same name, another key
               {u"echo_exit_tampered.exe", &sandbox, SignedStart::kNotSigned},
               {u"echo_exit.exe", &sandbox, SignedStart::kNotSigned},
               {u"missing.exe", &sandbox, SignedStart::kNotStarted}};
  for (const Case& c : cases) {
    const std::u16string seen =
        CommandLineSeenBy([&] { return StartSignedProgram(Concat({folder, c.file}), u" /update /flag=1", *c.policy); },
                          c.expected);
    EXPECT_EQ(seen, c.expected == SignedStart::kStarted ? u" /update /flag=1" : u"") << WideText(c.file).ToUtf8();
  }
  // What refuses the test certificate for the product under Wine too: its chain ends at no trusted root.
  FileOwner held(CreateFileW(W(signedCopy), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(ReadSignatureFacts(held.Get(), signedCopy).chainError, kTrustUntrustedRoot);
  DeleteFileW(W(tampered));
}

TEST(SystemQueries, OsVersionAgreesWithWhatTheSystemReports) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto rtl = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtl, nullptr);
  OSVERSIONINFOW real = {};
  real.dwOSVersionInfoSize = sizeof real;
  ASSERT_EQ(rtl(&real), 0);
  double expected = real.dwMajorVersion + real.dwMinorVersion / 10.0;
  if (real.dwMajorVersion >= 10) expected = real.dwBuildNumber >= 22000 ? 11.0 : 10.0;
  // The report is read field by field; this test program names no system in its manifest, so
  // Windows 8.1 and later may report 6.2.
  double version = OsVersion();
  EXPECT_TRUE(version == expected || version == 6.2) << version << " vs " << expected;
}

// A 64-bit process sees System32 itself: nothing to redirect.
TEST(SystemQueries, SystemFolderIsSystem32AndNeverRedirected) {
  WideText folder = SystemFolder();
  EXPECT_NE(folder.Find(u"\\system32", false, -1), 0) << folder.ToUtf8();
  EXPECT_EQ(GetFileAttributesW(W(folder)) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(IsWow64());
  void* old = reinterpret_cast<void*>(1);
  EXPECT_FALSE(DisableFsRedirection(&old));
  EXPECT_EQ(old, nullptr);
}

}  // namespace
}  // namespace pyr
