// The sandbox's driver store as real files, under the operations that use it: installing from a
// folder, and removing one version of a package that has two.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "base/file_system.h"
#include "devices/device_columns.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/uninstall_commands.h"
#include "driverstore/removed_drivers.h"
#include "sandbox/driver_store_files.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"

namespace pyr {
namespace {

DriverPackage Package(const char16_t* published, const char16_t* inf, const char16_t* driverVer,
                      std::vector<WideText> ids) {
  DriverPackage p;
  p.publishedName = published;
  p.originalName = inf;
  p.folder = Concat({inf, u"_amd64_0011223344556677"});
  p.driverVer = driverVer;
  p.provider = u"Contoso";
  p.className = u"Net";
  p.hardwareIds = std::move(ids);
  return p;
}

class SandboxInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.Made());
    SimulatedDevice nic = testing::MakeDevice(u"PCI\\NIC", u"Ethernet");
    nic.hardwareIds = {u"PCI\\VEN_1&DEV_2&SUBSYS_3", u"PCI\\VEN_1&DEV_2"};
    SimulatedDevice gone = testing::MakeDevice(u"PCI\\GONE", u"Unplugged", 0, false);
    gone.hardwareIds = {u"PCI\\VEN_7&DEV_7"};
    SimulatedPc pc = testing::SmallPc({nic, gone});
    pc.driverStore = {Package(u"oem3.inf", u"nic.inf", u"03/04/2021,2.0.1.5", {u"PCI\\VEN_1&DEV_2"})};
    host_ = std::make_unique<testing::ScriptedHost>(pc);
    store_ = temp_.Path(u"DriverStore");
    host_->platform.SetDriverStoreRoot(store_);
    ASSERT_EQ(WriteDriverStoreFiles(host_->platform.Pc(), store_), 1u);
    // The installed driver of the card is the store's package.
    SimulatedDevice& d = host_->platform.Pc().devices[0];
    d.infPath = u"oem3.inf";
    bool reboot = false;
    ASSERT_TRUE(host_->platform.InstallDriver(WindowHandle{}, Inf(u"nic.inf", u"03/04/2021,2.0.1.5").Buffer(), 2,
                                              &reboot));
  }

  // An INF offering a driver for the card, with its files.
  WideText Inf(const char16_t* name, const char16_t* driverVer, const char16_t* id = u"PCI\\VEN_1&DEV_2",
               const char16_t* folder = nullptr) {
    DriverPackage p = Package(u"", name, driverVer, {id});
    const WideText dir = temp_.Path(folder ? WideText(folder).View() : Concat({u"offer", WideText::FromInt32(n_++)}).View());
    const std::vector<WideText> files = PackageFileNames(p);
    for (const WideText& f : files) temp_.Write(Concat({dir, u"\\", f}), "driver bytes");
    temp_.Write(Concat({dir, u"\\", name}), MakeInfText(p, files));
    return Concat({dir, u"\\", name});
  }
  const SimulatedDevice& Nic() { return host_->platform.Pc().devices[0]; }

  testing::TempFolder temp_;
  WideText store_;
  std::unique_ptr<testing::ScriptedHost> host_;
  int n_ = 0;
};

// Two versions of one INF are two packages. Removing the newer one with its card leaves the
// older one's entry and files alone, although both carry the same INF name.
TEST_F(SandboxInstallTest, RemovingOneVersionLeavesTheOtherIntact) {
  bool reboot = false;
  ASSERT_TRUE(host_->platform.InstallDriver({}, Inf(u"nic.inf", u"10/10/2024,7.0").Buffer(), 0, &reboot));
  ASSERT_EQ(host_->platform.Pc().driverStore.size(), 2u);
  const DriverPackage older = host_->platform.Pc().driverStore[0];
  const WideText newer = PackageFolder(store_, host_->platform.Pc().driverStore[1]);
  host_->RebuildRows();
  ASSERT_EQ(host_->list.CellText(0, kColumnInfPath), host_->platform.Pc().driverStore[1].publishedName);
  // The batch's folder name already taken (a standard user's link): the copy goes to the next second.
  RemovalCopies copies(temp_.Path(u"ProgramData"), CalendarTime{2026, 1, 1, 1});
  const WideText removed = RemovedDriversFolder(temp_.Path(u"ProgramData"));
  CreateDirectoryTree(removed);
  temp_.Write(temp_.Path(u"victim\\kept.txt"), "kept");
  ASSERT_TRUE(temp_.Link(Concat({removed, u"\\2026-01-01 00-00-00"}), temp_.Path(u"victim")));
  EXPECT_TRUE(RemoveDriverPackage(*host_, 0, copies));
  EXPECT_EQ(copies.Finish().Str(), Concat({removed, u"\\2026-01-01 00-00-01"}).Str());
  EXPECT_EQ(temp_.Tree(temp_.Path(u"victim")), std::vector<std::string>{"kept.txt"});
  ASSERT_EQ(host_->platform.Pc().driverStore.size(), 1u);
  EXPECT_EQ(host_->platform.Pc().driverStore[0].publishedName, older.publishedName);
  EXPECT_EQ(temp_.Tree(PackageFolder(store_, older)), (std::vector<std::string>{"nic.cat", "nic.inf", "nic.sys"}));
  EXPECT_FALSE(IsRealDirectory(newer));
  // Back without a driver after a scan, the card is offered nothing by the removed version's path:
  // it names no other package of that INF name.
  DevInst root = 0;
  ASSERT_EQ(host_->platform.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  host_->platform.ReenumerateDevNode(root, kCmReenumerateNormal);
  host_->RebuildRows();
  DeviceInfo card;
  ASSERT_TRUE(host_->platform.EnumDeviceInfo(host_->InventorySet(), 0, &card));
  uint32_t error = 0;
  EXPECT_FALSE(host_->platform.InstallDeviceDriver({}, host_->InventorySet(), card, Concat({newer, u"\\nic.inf"}).Buffer(),
                                                   kInstallFlagForce, &reboot, &error));
}

// A removed package is first copied, byte for byte, where the final text says; "Restore removed
// drivers..." opens the picker at the copies and puts the package back on the card.
TEST_F(SandboxInstallTest, ARemovedPackageIsCopiedAndComesBack) {
  const WideText package = PackageFolder(store_, host_->platform.Pc().driverStore[0]);
  auto bytes = [](const WideText& folder, const std::vector<std::string>& files) {
    std::vector<std::string> all;
    for (std::string f : files) {
      std::string content;
      std::replace(f.begin(), f.end(), '/', '\\');
      EXPECT_TRUE(ReadWholeFile(Concat({folder, u"\\", WideText::FromUtf8(f.c_str())}), &content, 1u << 24)) << f;
      all.push_back(f.substr(f.rfind('\\') + 1) + ":" + std::to_string(std::hash<std::string>()(content)));
    }
    return all;
  };
  const std::vector<std::string> before = bytes(package, temp_.Tree(package));
  host_->programData = temp_.Path(u"ProgramData").Str();
  CreateDirectoryTree(temp_.Path(u"ProgramData"));
  EXPECT_EQ(RestoreRemovedDrivers(*host_), -1);  // nothing removed yet: no picker
  EXPECT_TRUE(host_->folderStarts.empty());
  host_->RebuildRows();
  host_->list.SelectRow(0);
  UninstallAndDeleteDrivers(*host_, RowSource::kSelected);
  ASSERT_FALSE(IsRealDirectory(package));
  const std::u16string done = testing::CallsStartingWith(*host_, u"progress:100:").back();
  const WideText copies(std::u16string_view(done).substr(done.find(u" kept in ") + 9));
  EXPECT_EQ(bytes(copies, temp_.Tree(copies)), before);

  DevInst root = 0;
  ASSERT_EQ(host_->platform.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  host_->platform.ReenumerateDevNode(root, kCmReenumerateNormal);
  host_->RebuildRows();
  ASSERT_TRUE(Nic().infPath.Empty());
  const WideText removed = RemovedDriversFolder(temp_.Path(u"ProgramData"));
  host_->folderPicks.push_back(removed.Str());
  EXPECT_EQ(RestoreRemovedDrivers(*host_), 1);
  EXPECT_EQ(host_->folderStarts.back(), removed.Str());
  EXPECT_EQ(Nic().driverVersion, u"2.0.1.5");
}

TEST_F(SandboxInstallTest, InstallFromFolderOnABackupAndOnANewerPackage) {
  // The store's own package: nothing better.
  const WideText store = temp_.Path(u"DriverStore");
  host_->folderPicks.push_back(store.Str());
  EXPECT_EQ(InstallDriversFromFolder(*host_), 0);
  EXPECT_EQ(host_->asked.back(),
            u"The operation succeeded. No drivers were found in the specified folder better than the ones currently "
            u"installed.");
  Inf(u"nic.inf", u"10/10/2024,7.0", u"PCI\\VEN_1&DEV_2", u"newer\\nic");
  host_->folderPicks.push_back(temp_.Path(u"newer").Str());
  EXPECT_EQ(InstallDriversFromFolder(*host_), 1);
  EXPECT_EQ(host_->asked.back(), u"The operation succeeded. One driver was installed from " + temp_.Path(u"newer").Str());
  EXPECT_EQ(host_->rebuilds, 1);
  EXPECT_EQ(Nic().driverVersion, u"7.0");
}

}  // namespace
}  // namespace pyr
