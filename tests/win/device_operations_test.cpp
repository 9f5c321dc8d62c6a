// Device operations driven in-process on the simulated PC: the hardware scan's worker thread under
// its compact window, the reboot question after an uninstall that needs a restart; and the
// class-installer calls and install from folder on the system's own devices.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/win32/wchar.h"
#include "devices/device_driver_install.h"
#include "devices/win32/setupapi_platform.h"
#include "driverstore/install_from_folder.h"
#include "tests/support/temp_folder.h"
#include "tests/win/main_window_fixture.h"

namespace pyr {
namespace {

constexpr char16_t kEthernet[] = u"Intel(R) Ethernet Connection (7) I219-V";
constexpr char16_t kEthernetId[] = u"PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE";

// Re-enumeration that waits until the test lets it go, noting the thread it ran on.
class GatedScanPlatform : public ClassIconPlatform {
 public:
  using ClassIconPlatform::ClassIconPlatform;
  ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) override {
    scanThread.store(GetCurrentThreadId());
    started.store(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!released.load() && std::chrono::steady_clock::now() < deadline) Sleep(10);
    return ClassIconPlatform::ReenumerateDevNode(devInst, flags);
  }
  std::atomic<DWORD> scanThread{0};
  std::atomic<bool> started{false};
  std::atomic<bool> released{false};
};

// What the scan's window showed while the worker was held, read from another thread.
struct ScanSeen {
  std::vector<std::pair<std::wstring, std::wstring>> children;
  RECT client{};
  bool mainAnswered = false;  // the main window handled a message while the scan ran
  bool closedAfterRelease = false;
};

void WatchScan(GatedScanPlatform& platform, HWND main, ScanSeen* seen) {
  if (WaitFor<bool>([&] { return platform.started.load(); })) {
    if (HWND dialog = WaitFor<HWND>([] { return VisibleWindow(kResultsClass); }, 5)) {
      seen->children = ChildrenOf(dialog);
      GetClientRect(dialog, &seen->client);
      DWORD_PTR answer = 0;
      seen->mainAnswered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer) != 0;
    }
    platform.released.store(true);
    seen->closedAfterRelease = WaitFor<bool>([] { return VisibleWindow(kResultsClass) == nullptr; }, 10);
  }
  platform.released.store(true);
  Sleep(100);
  PostMessageW(main, WM_CLOSE, 0, 0);
}

bool OnWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

using DeviceOperationsTest = MainWindowTest;

TEST_F(DeviceOperationsTest, ScanRunsOnItsOwnThreadUnderTheCompactWindow) {
  GatedScanPlatform gated(environment_.simulated, GuidsOf(environment_.simulated.Pc()));
  environment_.UsePlatform(&gated);
  MainGoesFirst first{main_};
  // The card was uninstalled: only the scan brings it back.
  environment_.simulated.FindDevice(kEthernetId)->uninstalled = true;
  BuildShown();
  ASSERT_EQ(RowNamed(kEthernet), -1);
  ScanSeen seen;
  std::thread watcher([&] { WatchScan(gated, window_.Handle(), &seen); });
  PostCommand(MenuId(Command::kScanHardware));
  RunLoop();
  watcher.join();

  EXPECT_NE(gated.scanThread.load(), 0u);
  EXPECT_NE(gated.scanThread.load(), GetCurrentThreadId());
  EXPECT_TRUE(seen.mainAnswered);
  EXPECT_TRUE(seen.closedAfterRelease);
  EXPECT_EQ(seen.client.right, 400);
  EXPECT_EQ(seen.client.bottom, 80);
  bool scanningText = false, anyButton = false;
  for (const auto& [cls, text] : seen.children) {
    scanningText |= text == L"Scanning for hardware changes...";
    anyButton |= cls == L"Button";
  }
  EXPECT_TRUE(scanningText);
  EXPECT_FALSE(anyButton);  // the scan cannot be cancelled
  // The list was rebuilt after the scan, and a scan asks for no reboot.
  EXPECT_GE(RowNamed(kEthernet), 0);
  EXPECT_FALSE(main_->RebootNeeded());
}

// A device whose removal needs a restart: the reboot question (the box whose No clears the
// request) comes once, after the results dialog has closed, which stays in front of the main
// window.
TEST_F(DeviceOperationsTest, RebootQuestionOnceAfterTheResultsDialogClosed) {
  constexpr char16_t kGeForce[] = u"NVIDIA GeForce GTX 1660 SUPER";
  using Step = OperationScript::Step;
  BuildShown();
  main_->List().SetRowChecked(RowNamed(kGeForce), true);
  OperationScript script(window_.Handle(), {{Step::kBox, L"Yes"}, {Step::kResults, L""}, {Step::kBox, L"No"},
                                            {Step::kNoBox, L""}});
  PostCommand(MenuId(Command::kUninstall));
  RunLoop();
  script.Join();
  EXPECT_TRUE(script.finished);
  EXPECT_EQ(script.boxOverResults, (std::vector<bool>{false, false}));
  EXPECT_EQ(script.resultsInFront, std::vector<bool>{true});
  EXPECT_EQ(script.resultLines, std::vector<std::wstring>{L"NVIDIA GeForce GTX 1660 SUPER was successfully uninstalled."});
  EXPECT_FALSE(main_->RebootNeeded());
  EXPECT_TRUE(environment_.restartMessages.empty());
  EXPECT_EQ(RowNamed(kGeForce), -1);
}

// An INF, in a folder of its own, for hardware that no device has.
WideText UnrelatedInf(testing::TempFolder& temp) {
  const WideText inf = temp.Path(u"offer\\unrelated.inf");
  temp.Write(inf, "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\n"
                  "ClassGuid={4d36e972-e325-11ce-bfc1-08002be10318}\r\nProvider=%M%\r\n"
                  "DriverVer=01/01/2024,1.0.0.0\r\n[Manufacturer]\r\n%M%=Models,NTamd64\r\n"
                  "[Models.NTamd64]\r\n%D%=Inst,PCI\\VEN_FFFF&DEV_FFFF\r\n[Inst]\r\n"
                  "[Inst.Services]\r\nAddService=,2\r\n[Strings]\r\nM=\"Maker\"\r\nD=\"Nothing\"\r\n");
  return inf;
}

// How many published INFs the system's INF folder holds.
size_t PublishedInfs() {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  size_t count = 0;
  DirectoryIterator entries;
  for (bool more = entries.Open(Concat({U(windows), u"\\INF\\oem*.inf"})); more; more = entries.Next()) ++count;
  return count;
}

// The class-installer calls on one of the system's devices: Wine neither keeps the property
// change's parameters nor handles DIF_PROPERTYCHANGE; an INF that fits no device is judged where it lies and never staged;
// for a reinstall in place the INFs Wine knows offer no driver, so Wine's DiInstallDevice (a stub
// that would end the process) is never reached; nothing asks for a restart or is pending.
TEST(SystemDevices, ClassInstallerCallsAnswerWhatTheSystemAnswers) {
  testing::TempFolder temp;
  ASSERT_TRUE(temp.Made());
  SetupApiPlatform platform;
  const DeviceSet set = platform.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses | kDigcfPresent);
  DeviceInfo device;
  ASSERT_TRUE(platform.EnumDeviceInfo(set, 0, &device));
  uint32_t error = 0;
  EXPECT_EQ(platform.SetPropertyChangeParams(set, device, kDicsEnable, kDicsFlagGlobal, kCurrentHardwareProfile,
                                             &error) &&
                platform.CallClassInstaller(kDifPropertyChange, set, device, &error),
            !OnWine());
  DeviceInstallParams params;
  ASSERT_TRUE(platform.GetDeviceInstallParams(set, device, &params, &error));
  EXPECT_EQ(params.flags & (kDiNeedReboot | kDiNeedRestart), 0u);
  const size_t published = PublishedInfs();
  bool reboot = true;
  const WideText unrelated = UnrelatedInf(temp);
  EXPECT_EQ(InstallDeviceDriver(platform, set, device, {{}, unrelated.Buffer(), false}, &reboot, &error),
            DriverInstallOutcome::kFailed);
  EXPECT_EQ(error, kErrorNoCompatDrivers);
  EXPECT_FALSE(reboot);
  EXPECT_EQ(PublishedInfs(), published);
  error = 0;
  const DriverInstallOutcome inPlace = InstallDeviceDriver(platform, set, device, {{}, nullptr, true}, &reboot, &error);
  EXPECT_EQ(inPlace, OnWine() ? DriverInstallOutcome::kFailed : DriverInstallOutcome::kInstalled);
  if (OnWine()) {
    EXPECT_EQ(error, kErrorNoCompatDrivers);
  }
  EXPECT_EQ(platform.WaitNoPendingInstallEvents(0), kWaitObject0);
  EXPECT_TRUE(platform.DestroyDeviceInfoList(set));
}

// DiInstallDriverW answers TRUE for a package it only put into the store (Wine's for any INF):
// install from folder counts a package only when a device took it.
TEST(SystemDevices, APackageNoDeviceTookIsNotCountedAsInstalled) {
  testing::TempFolder temp;
  ASSERT_TRUE(temp.Made());
  SetupApiPlatform platform;
  const WideText inf = UnrelatedInf(temp);
  bool reboot = false;
  uint32_t error = 0;
  EXPECT_TRUE(platform.InstallDriver({}, inf.Buffer(), 0, &reboot, &error) || !OnWine()) << "Wine's answer is TRUE";
  std::atomic<bool> rebootNeeded{false};
  const InstallOutcome outcome = InstallFromOneFolder(platform, temp.Path(u"offer"), InstallFlags{&rebootNeeded, nullptr, {}});
  EXPECT_EQ(outcome.installed, 0u);
  EXPECT_TRUE(outcome.failed.empty());
}

}  // namespace
}  // namespace pyr
