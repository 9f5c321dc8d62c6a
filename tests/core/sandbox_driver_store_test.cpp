// The sandbox's driver store as real files under package removal: the copy kept of a removed
// package and its way back through install-from-folder.
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

// A removed package is first copied, byte for byte, into a batch folder of its own; "Restore
// removed drivers..." opens the picker at the copies and puts the package back on the card.
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
  // A standard user's link holding the batch's name is skipped, never written through.
  const WideText removed = RemovedDriversFolder(temp_.Path(u"ProgramData"));
  CreateDirectoryTree(removed);
  temp_.Write(temp_.Path(u"victim\\kept.txt"), "kept");
  ASSERT_TRUE(temp_.Link(Concat({removed, u"\\2026-01-01 00-00-00"}), temp_.Path(u"victim")));
  RemovalCopies taken(temp_.Path(u"ProgramData"), CalendarTime{2026, 1, 1, 1});
  host_->RebuildRows();
  ASSERT_TRUE(RemoveDriverPackage(*host_, 0, taken));
  const WideText copies = taken.Finish();
  EXPECT_EQ(copies.Str(), Concat({removed, u"\\2026-01-01 00-00-01"}).Str());
  EXPECT_EQ(temp_.Tree(temp_.Path(u"victim")), std::vector<std::string>{"kept.txt"});
  ASSERT_FALSE(IsRealDirectory(package));
  EXPECT_EQ(bytes(copies, temp_.Tree(copies)), before);

  DevInst root = 0;
  ASSERT_EQ(host_->platform.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  host_->platform.ReenumerateDevNode(root, kCmReenumerateNormal);
  host_->RebuildRows();
  ASSERT_TRUE(Nic().infPath.Empty());
  host_->folderPicks.push_back(removed.Str());
  EXPECT_EQ(RestoreRemovedDrivers(*host_), 1);
  EXPECT_EQ(host_->folderStarts.back(), removed.Str());
  EXPECT_EQ(Nic().driverVersion, u"2.0.1.5");
}

}  // namespace
}  // namespace pyr
