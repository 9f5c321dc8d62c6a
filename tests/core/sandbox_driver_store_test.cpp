// The sandbox's driver store: package folders as real files, and the simulated installer that
// reads an INF and installs it only where it betters a device's driver.
#include <gtest/gtest.h>

#include <string>

#include "base/file_system.h"
#include "operations/install_drivers_from_folder.h"
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

TEST(SandboxDriverStore, PackagesAreWrittenOnceAsRealFiles) {
  testing::TempFolder temp;
  SimulatedPc pc;
  pc.driverStore = {Package(u"oem3.inf", u"nic.inf", u"03/04/2021,2.0.1.5", {u"PCI\\VEN_1&DEV_2", u"PCI\\VEN_1&DEV_3"}),
                    Package(u"oem4.inf", u"cam.inf", u"05/06/2022,1.0", {u"USB\\VID_9&PID_9"})};
  const WideText root = temp.Path(u"DriverStore");
  EXPECT_EQ(WriteDriverStoreFiles(pc, root), 2u);
  const WideText folder = PackageFolder(root, pc.driverStore[0]);
  EXPECT_EQ(temp.Tree(folder), (std::vector<std::string>{"nic.cat", "nic.inf", "nic.sys"}));
  EXPECT_EQ(GetFileSizeByPath(Concat({folder, u"\\nic.sys"})), PackageFileSize(u"nic.sys"));
  EXPECT_GE(PackageFileSize(u"nic.sys"), 4096u);

  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(Concat({folder, u"\\nic.inf"}), &bytes, 1 << 20));
  InfFacts facts;
  ASSERT_TRUE(ParseInfText(bytes, &facts));
  EXPECT_EQ(facts.driverVer, u"03/04/2021,2.0.1.5");
  EXPECT_EQ(facts.provider, u"Contoso");
  EXPECT_EQ(facts.className, u"Net");
  EXPECT_EQ(facts.hardwareIds, pc.driverStore[0].hardwareIds);
  EXPECT_EQ(facts.files, (std::vector<WideText>{u"nic.sys", u"nic.cat"}));

  // A second start keeps what is there.
  ASSERT_TRUE(temp.Write(Concat({folder, u"\\nic.sys"}), "changed"));
  EXPECT_EQ(WriteDriverStoreFiles(pc, root), 2u);
  EXPECT_EQ(GetFileSizeByPath(Concat({folder, u"\\nic.sys"})), 7u);
}

TEST(SandboxDriverStore, InfTextsTheInstallerReads) {
  InfFacts facts;
  EXPECT_FALSE(ParseInfText("[Version]\r\nClass=Net\r\n", &facts));  // no DriverVer
  const std::string inf =
      "[version]\n DriverVer = 01/02/2023, 4.5 ; comment\nProvider=\"Plain\"\n"
      "[Manufacturer]\nA=ModelsA,NTamd64,NTx86\nB=ModelsB\n"
      "[ModelsA.NTamd64]\nx=inst, PCI\\VEN_A , PCI\\VEN_B\n[ModelsA.NTx86]\ny=inst,PCI\\VEN_C\n"
      "[ModelsB]\nz=inst,USB\\X\n[Other]\nw=inst,NOT\\AN_ID\n";
  ASSERT_TRUE(ParseInfText(inf, &facts));
  EXPECT_EQ(facts.driverVer, u"01/02/2023, 4.5");
  EXPECT_EQ(facts.provider, u"Plain");
  EXPECT_EQ(facts.hardwareIds, (std::vector<WideText>{u"PCI\\VEN_A", u"PCI\\VEN_B", u"PCI\\VEN_C", u"USB\\X"}));
  // Provider from [Strings]; the class; a comma inside a quoted string is no model line.
  ASSERT_TRUE(ParseInfText("[version]\r\nDriverVer=03/04/2024,5.6.7\r\nprovider=%A%\r\nCLASS=Net\r\n"
                           "[Manufacturer]\r\n%A%=M\r\n[M]\r\n%D%=S, ID\\ONE ,ID\\TWO\r\n"
                           "[Strings]\r\nA=\"Acme\"\r\nD=\"x, y\"\r\n",
                           &facts));
  EXPECT_EQ(facts.provider, u"Acme");
  EXPECT_EQ(facts.className, u"Net");
  EXPECT_EQ(facts.hardwareIds, (std::vector<WideText>{u"ID\\ONE", u"ID\\TWO"}));
  // UTF-16 with its byte-order mark, as many INFs are saved.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Version]\r\nDriverVer=07/08/2020,9.9\r\n")) utf16 += {c, '\0'};
  ASSERT_TRUE(ParseInfText(utf16, &facts));
  EXPECT_EQ(facts.driverVer, u"07/08/2020,9.9");
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

TEST_F(SandboxInstallTest, OnlyABetterDriverForADeviceOfThePcIsInstalled) {
  struct Case {
    const char16_t* driverVer;
    const char16_t* id;
    uint32_t flags;
    const char16_t* versionAfter;
  } cases[] = {
      {u"03/04/2021,2.0.1.5", u"PCI\\VEN_1&DEV_2", 0, u"2.0.1.5"},   // the same
      {u"01/01/2020,9.0", u"PCI\\VEN_1&DEV_2", 0, u"2.0.1.5"},       // older, higher number
      {u"03/04/2021,2.0.1.6", u"PCI\\VEN_7&DEV_7", 0, u"2.0.1.5"},   // only a device not present
      {u"09/09/2029,5.0", u"PCI\\VEN_9&DEV_9", 0, u"2.0.1.5"},       // no device of the PC
      {u"03/04/2021,2.0.1.6", u"PCI\\VEN_1&DEV_2&SUBSYS_3", 0, u"2.0.1.6"},  // same day, newer
      {u"06/01/2023,3.1", u"PCI\\VEN_1", 0, u"3.1"},                  // newer; the ID as a prefix
      {u"01/01/2020,1.0", u"PCI\\VEN_1&DEV_2", 2, u"1.0"},            // forced
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideText(c.driverVer).ToUtf8());
    bool reboot = false;
    // Staged in the store whether or not the card took it: that alone is a success.
    EXPECT_TRUE(host_->platform.InstallDriver(WindowHandle{}, Inf(u"nic.inf", c.driverVer, c.id).Buffer(), c.flags,
                                              &reboot));
    EXPECT_EQ(Nic().driverVersion, c.versionAfter);
  }
  // The new package is in the store as files, where the backup finds it.
  WideText location;
  ASSERT_TRUE(host_->platform.GetInfDriverStoreLocation(Nic().infPath.Buffer(), &location));
  std::string bytes;
  InfFacts facts;
  ASSERT_TRUE(ReadWholeFile(location, &bytes, 1 << 20));
  ASSERT_TRUE(ParseInfText(bytes, &facts));
  EXPECT_EQ(facts.driverVer, u"01/01/2020,1.0");
  EXPECT_FALSE(host_->platform.InstallDriver(WindowHandle{}, temp_.Path(u"absent.inf").Buffer(), 0, nullptr));
}

// A driver changed from an INF outside the store: the package is staged once, with its files.
TEST_F(SandboxInstallTest, AChangedDriverIsCopiedIntoTheStore) {
  DeviceInfo nic;
  ASSERT_TRUE(host_->platform.EnumDeviceInfo(host_->InventorySet(), 0, &nic));
  uint32_t error = 0;
  const WideText offer = Inf(u"nic.inf", u"10/10/2024,7.0");
  const size_t before = host_->platform.Pc().driverStore.size();
  bool reboot = true;
  ASSERT_TRUE(host_->platform.InstallDeviceDriver({}, host_->InventorySet(), nic, offer.Buffer(), 0, &reboot, &error));
  EXPECT_FALSE(reboot);
  ASSERT_EQ(host_->platform.Pc().driverStore.size(), before + 1);
  const DriverPackage& staged = host_->platform.Pc().driverStore.back();
  EXPECT_EQ(Nic().infPath, staged.publishedName);
  EXPECT_EQ(Nic().driverVersion, u"7.0");
  EXPECT_EQ(temp_.Tree(PackageFolder(store_, staged)), (std::vector<std::string>{"nic.cat", "nic.inf", "nic.sys"}));
  WideText location;
  ASSERT_TRUE(host_->platform.GetInfDriverStoreLocation(staged.publishedName.Buffer(), &location));
  EXPECT_EQ(GetFileSizeByPath(location), GetFileSizeByPath(offer));
  // The same INF again, forced, is the package already there.
  ASSERT_TRUE(host_->platform.InstallDeviceDriver({}, host_->InventorySet(), nic, offer.Buffer(), kInstallFlagForce,
                                                  &reboot, &error));
  EXPECT_EQ(host_->platform.Pc().driverStore.size(), before + 1);
  // An INF whose listed driver file is missing is refused and leaves nothing in the store.
  const WideText broken = Inf(u"nic.inf", u"11/11/2025,8.0");
  ASSERT_EQ(DeletePath(Concat({broken.View().substr(0, broken.View().rfind(u'\\')), u"\\nic.sys"}), 0), 1);
  EXPECT_FALSE(host_->platform.InstallDeviceDriver({}, host_->InventorySet(), nic, broken.Buffer(), 0, &reboot, &error));
  EXPECT_EQ(host_->platform.Pc().driverStore.size(), before + 1);
  EXPECT_EQ(Nic().driverVersion, u"7.0");
  EXPECT_EQ(temp_.Tree(Concat({store_, u"\\FileRepository"})).size(), 6u);  // two packages of three files
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
