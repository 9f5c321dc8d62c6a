// Driver backup and install from folder: the naming and text rules, and the commands on real files
// in a temporary folder under the scripted host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/file_system.h"
#include "driverstore/backup_rules.h"
#include "driverstore/install_from_folder.h"
#include "operations/driver_backup.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/store_package_backup.h"
#include "operations/operation_texts.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"

namespace pyr {
namespace {

using testing::Called;
using testing::Lines;
using testing::ScriptedHost;

TEST(BackupRules, RootOfTheBackup) {
  struct Case {
    const char16_t* picked;
    bool wholePc;
    const char16_t* root;
  } cases[] = {
      {u"D:\\", true, u"D:\\DriverBackup"}, {u"D:\\", false, u"D:"},
      {u"E:\\Old\\driverBACKUP\\2024\\\\", true, u"E:\\Old\\driverBACKUP\\2024"},
      {u"E:\\MyDriverBackup", true, u"E:\\MyDriverBackup\\DriverBackup"},  // only after a backslash
      {u"E:\\Saved\\DriverBackup", false, u"E:\\Saved\\DriverBackup"}, {u"F:\\Drivers", false, u"F:\\Drivers"},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupRoot(c.picked, c.wholePc), c.root) << WideText(c.picked).ToUtf8();
}

TEST(BackupRules, DeviceFolderNames) {
  const WideText mfg = u"Intel", version = u"1.2.3.4", dotsVersion = u"..";
  struct Case {
    const char16_t* className;
    const char16_t* name;
    const WideText* manufacturer;
    const WideText* version;
    const char16_t* folder;  // null: refused
  } cases[] = {
      {u"Net", u"Ethernet", &mfg, &version, u"D:\\B\\Net\\Ethernet - Intel - 1.2.3.4"},
      {u"Net", u"Ethernet", nullptr, &version, u"D:\\B\\Net\\Ethernet - 1.2.3.4"},
      {u"", u"Mystery", &mfg, nullptr, u"D:\\B\\Unknown class\\Mystery - Intel"},
      {u"Net", u"Card\\Port 1", nullptr, nullptr, u"D:\\B\\Net\\Card\\Port 1"},  // a further level
      // Names Windows cannot open are made usable: trailing dots and blanks go, device names get a "_".
      {u"Net", u"Name", &mfg, &dotsVersion, u"D:\\B\\Net\\Name - Intel -"},
      {u"CON", u"nul.", nullptr, nullptr, u"D:\\B\\CON_\\nul_"},
      {u"Ports", u"COM1\\Port. ", nullptr, nullptr, u"D:\\B\\Ports\\COM1_\\Port"},
      // Real hardware's names: what a name cannot hold becomes "_" within its level.
      {u"System", u"Intel(R) 100 Series/C230 Series Chipset Family SMBus - A123", &mfg, nullptr,
       u"D:\\B\\System\\Intel(R) 100 Series_C230 Series Chipset Family SMBus - A123 - Intel"},
      {u"Bluetooth", u"Bob's phone: work/home", nullptr, nullptr, u"D:\\B\\Bluetooth\\Bob's phone_ work_home"},
      {u"Net", u"a/../../b", nullptr, nullptr, u"D:\\B\\Net\\a_.._.._b"},
      {u"Net", u"<*?\"|>\x01\x1f.", nullptr, nullptr, u"D:\\B\\Net\\________"},
      // Names that would leave the root.
      {u"..", u"Ethernet", nullptr, nullptr, nullptr}, {u"Net", u".", nullptr, nullptr, nullptr},
      {u"Net", u"..\\..\\Windows", nullptr, nullptr, nullptr}, {u"Net", u"a\\..\\..\\b", nullptr, nullptr, nullptr},
      {u"Net", u"c:/Windows", nullptr, nullptr, nullptr}, {u"C:\\Windows", u"System32", nullptr, nullptr, nullptr},
      {u"Net", u"name::$DATA", nullptr, nullptr, nullptr}, {u"//server/share", u"Name", nullptr, nullptr, nullptr},
      {u"Net", u"C:evil", nullptr, nullptr, nullptr}, {u"\\\\?\\C:\\x", u"Name", nullptr, nullptr, nullptr},
      {u"\\\\server\\share", u"Name", nullptr, nullptr, nullptr}, {u"\\Windows", u"Name", nullptr, nullptr, nullptr},
      {u"Net", u"... ", nullptr, nullptr, nullptr}, {u"Net", u"", nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    WideText folder;
    const bool ok = DeviceBackupFolder(u"D:\\B\\", {c.className, c.name, c.manufacturer, c.version}, &folder);
    EXPECT_EQ(ok ? folder.ToUtf8() : "refused", c.folder ? WideText(c.folder).ToUtf8() : "refused")
        << WideText(c.className).ToUtf8() + " | " + WideText(c.name).ToUtf8();
  }
}

TEST(BackupRules, UsableNames) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"CON", u"CON_"},         {u"nul.txt", u"nul_.txt"},   {u"Com9.inf.bak", u"Com9_.inf.bak"},
      {u"AUX .txt", u"AUX_ .txt"}, {u"LPT\u00B9", u"LPT\u00B9_"}, {u"conout$", u"conout$_"},
      {u"COM10", u"COM10"},      {u"CONSOLE", u"CONSOLE"},    {u"x.", u"x"},
      {u"x. . ", u"x"},          {u".inf", u".inf"},          {u"...", u""},
      {u"a.b", u"a.b"},          {u"a:b.inf", u"a_b.inf"},    {u"CON:", u"CON_"},
      {u"x/y. ", u"x_y"}};
  for (const auto& [name, usable] : cases) EXPECT_EQ(UsableName(name), usable) << WideText(name).ToUtf8();
  const BackupTarget target = MakeBackupTarget(u"D:\\Saves\\\\", true);
  EXPECT_EQ(target.chosen, u"D:\\Saves");
  EXPECT_EQ(target.root, u"D:\\Saves\\DriverBackup");
}

TEST(BackupRules, SummaryAndInstallTexts) {
  EXPECT_EQ(BackupSummary(false, 0), u"Operation complete. 0 drivers backed up.");
  const std::pair<uint32_t, const char16_t*> cases[] = {
      {0, u"The operation succeeded. No drivers were found in the specified folder better than the ones "
          u"currently installed."},
      {2, u"The operation succeeded. 2 drivers were installed from D:\\Drivers"},
      {0 | 0x100, u"The operation was cancelled. No drivers were installed from D:\\Drivers"},
      {1 | 0x100, u"The operation was cancelled. One driver was installed from D:\\Drivers"},
      {40 | 0x100, u"The operation was cancelled. 40 drivers were installed from D:\\Drivers"},
  };
  for (const auto& [code, message] : cases) {
    EXPECT_EQ(InstallClosingMessage(code & 0x100, code & 0xFF, u"D:\\Drivers"), message);
  }
}

TEST(BackupRules, InfExtension) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"net.inf", true}, {u"NET.INF", true}, {u"a.b.Inf", true}, {u"net.inf.bak", false}, {u".inf", false},
      {u"..inf", true},   {u"inf", false},    {u"net.infx", false}, {u"net.in", false},    {u"net.", false}};
  for (const auto& [name, offered] : cases) EXPECT_EQ(IsInfFileName(name), offered) << WideText(name).ToUtf8();
}

// Trees are deleted by handle: folders swapped for links after the listing are removed as links
// (Wine cannot remove a Unix link at all), never entered; a link named for deletion goes itself.
TEST(DeleteTree, ALinkIsNeverEnteredEvenWhenSwappedInAfterTheListing) {
  testing::TempFolder temp;
  ASSERT_TRUE(temp.Write(temp.Path(u"victim\\precious.sys"), "keep"));
  const char16_t* levels[] = {u"a", u"b", u"c"};
  for (const char16_t* level : levels) ASSERT_TRUE(temp.Write(temp.Path(Concat({u"tree\\", level, u"\\x.inf"}).View()), "x"));
  // At the first pump, after the first file went, the folders not reached yet become links.
  int swapped = 0;
  bool first = true;
  const PendingEventPump swap = [&] {
    for (const char16_t* level : levels) {
      const WideText folder = temp.Path(Concat({u"tree\\", level}).View());
      if (first && PathTaken(Concat({folder, u"\\x.inf"})) && RenameToNewName(folder, temp.Path(level)) &&
          temp.Link(folder, temp.Path(u"victim"))) {
        ++swapped;
      }
    }
    first = false;
  };
  DeletePath(temp.Path(u"tree"), 0, swap);
  EXPECT_EQ(swapped, 2);
  ASSERT_TRUE(temp.Link(temp.Path(u"link"), temp.Path(u"victim")));
  DeletePath(temp.Path(u"link"), 0);
#ifndef _WIN32
  EXPECT_FALSE(PathTaken(temp.Path(u"tree")));
  EXPECT_FALSE(PathTaken(temp.Path(u"link")));
#endif
  EXPECT_EQ(temp.Tree(temp.Path(u"victim")), std::vector<std::string>{"precious.sys"});
  EXPECT_EQ(temp.Tree(temp.Path(u"")).size(), 3u);  // victim's file, and the two folders moved away
#ifndef _WIN32  // Wine keeps no owner
  // A folder another user made in the tree stays with what it holds; the rest goes.
  ASSERT_TRUE(temp.Write(temp.Path(u"owned\\theirs\\kept.txt"), "kept") && temp.Write(temp.Path(u"owned\\ours.txt"), "x"));
  ASSERT_TRUE(testing::GiveToAnotherUser(temp.Path(u"owned\\theirs")));
  EXPECT_EQ(DeletePath(temp.Path(u"owned"), 0), kDeleteFailed);
  EXPECT_EQ(temp.Tree(temp.Path(u"owned")), std::vector<std::string>{"theirs/kept.txt"});
#endif
}

// Records what is offered to the installer; cancels after a number of offers.
class RecordingPlatform : public SimulatedPlatform {
 public:
  using SimulatedPlatform::SimulatedPlatform;
  bool InstallDriver(WindowHandle, const char16_t* infPath, uint32_t flags, bool* needsReboot,
                     uint32_t* error) override {
    std::string path = WideText(infPath).ToUtf8();
    const size_t below = std::min(path.find("walk"), path.find("names"));
    offered.push_back(path.substr(path.find_first_of("\\/", below) + 1));
    flagsSeen |= flags;
    if (needsReboot) *needsReboot = path.find("reboot") != std::string::npos;
    if (cancel && offered.size() == cancelAfter) cancel->store(true);
    // A device of its own takes each offer but a refused one (staged, taken by none) and a damaged one.
    const bool refused = path.find("refused") != std::string::npos, damaged = path.find("damaged") != std::string::npos;
    if (refused || damaged) return SimulatedPlatform::Fail(error, refused ? kErrorNoMoreItems : kErrorGenFailure);
    Pc().devices.push_back(testing::MakeDevice(WideText::FromUtf8(path.c_str()).Buffer(), u"Taker"));
    return true;
  }
  std::vector<std::string> offered;
  uint32_t flagsSeen = 0;
  std::atomic<bool>* cancel = nullptr;
  size_t cancelAfter = 0;
};

// A PC whose driver store is real folders under a temporary folder.
class BackupCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.Made());
    store_ = temp_.Path(u"store");
    std::vector<SimulatedDevice> devices;
    auto add = [&](const char16_t* id, const char16_t* name, const char16_t* cls, const char16_t* mfg,
                   const char16_t* version, const char16_t* inf, bool present = true) {
      SimulatedDevice d = testing::MakeDevice(id, name, 0, present);
      d.className = cls;
      d.manufacturer = mfg;
      d.driverVersion = version;
      d.infPath = inf;
      devices.push_back(d);
    };
    add(u"PCI\\NIC", u"Ethernet", u"Net", u"Intel", u"1.2.3.4", u"oem1.inf");
    add(u"PCI\\WIFI", u"Wireless", u"Net", u"", u"", u"oem2.inf");
    add(u"ROOT\\NODRV", u"No driver", u"Net", u"", u"", u"");
    add(u"USB\\GONE", u"Old stick", u"Net", u"Kingston", u"", u"oem2.inf", false);
    add(u"PCI\\EVIL", u"..\\..\\..\\escaped", u"Net", u"", u"", u"oem1.inf");
    add(u"ACPI\\CON", u"CON.", u"AUX", u"", u"", u"oem1.inf");
    SimulatedPc pc = testing::SmallPc(devices);
    pc.driverStore.push_back(Package(u"oem1.inf", u"e1d.inf", u"e1d.inf_amd64_1", {"e1d.sys", "e1d.cat"}));
    pc.driverStore.push_back(Package(u"oem2.inf", u"wifi.inf", u"wifi.inf_amd64_2", {"sub\\fw.bin"}));
    host_ = std::make_unique<ScriptedHost>(pc);
    host_->platform.SetDriverStoreRoot(store_);
  }

  DriverPackage Package(const char16_t* published, const char16_t* original, const char16_t* folder,
                        std::vector<std::string> files) {
    DriverPackage p{published, original, folder};
    WideText dir = Concat({store_, u"\\FileRepository\\", folder});
    temp_.Write(Concat({dir, u"\\", original}), "[Version]\r\nDriverVer=01/01/2020,1.0\r\n");
    for (const std::string& f : files) temp_.Write(Concat({dir, u"\\", WideText::FromUtf8(f.c_str())}), f);
    return p;
  }

  void TickRows(std::initializer_list<int> rows) {
    for (int r : rows) host_->list.SetRowChecked(r, true);
  }

  testing::TempFolder temp_;
  WideText store_;
  std::unique_ptr<ScriptedHost> host_;
};

TEST_F(BackupCommandTest, BackupCheckedCopiesEachTickedDevicesPackage) {
  TickRows({0, 1, 2});
  const WideText dest = temp_.Path(u"picked");
  host_->folderPicks.push_back(dest.Str() + u"\\");
  EXPECT_EQ(BackupCheckedDevices(*host_), 2);
  EXPECT_EQ(host_->folderTitles.front(), (std::pair<std::u16string, uint32_t>{kBackupFolderTitle, 0x20}));
  EXPECT_EQ(temp_.Tree(dest), (std::vector<std::string>{"Net/Ethernet - Intel - 1.2.3.4/e1d.cat",
                                                        "Net/Ethernet - Intel - 1.2.3.4/e1d.inf",
                                                        "Net/Ethernet - Intel - 1.2.3.4/e1d.sys",
                                                        "Net/Wireless/sub/fw.bin", "Net/Wireless/wifi.inf"}));
  // The device without a driver is skipped without a line.
  EXPECT_EQ(host_->resultLines,
            (Lines{u"Ethernet was successfully backed up.", u"Wireless was successfully backed up."}));
  auto at = [&](const std::u16string& call) {
    return std::find(host_->calls.begin(), host_->calls.end(), call) - host_->calls.begin();
  };
  EXPECT_LT(at(u"open:Preparing to backup..."), at(u"progress:-80"));
  EXPECT_LT(at(u"progress:-1:Backing up Net..."), at(u"line:Ethernet was successfully backed up."));
  EXPECT_LT(at(u"progress:100:Operation complete. 2 drivers backed up."), at(u"finished"));
  EXPECT_EQ(host_->calls.back(), u"close");
}

TEST_F(BackupCommandTest, CancelledPickAndEmptyTicksDoNothing) {
  EXPECT_EQ(BackupCheckedDevices(*host_), 0);  // nothing ticked: not even the picker
  EXPECT_TRUE(host_->folderTitles.empty());
  TickRows({0});
  host_->folderPicks.push_back(std::nullopt);
  EXPECT_EQ(BackupCheckedDevices(*host_), -1);
  host_->answers = {-1};
  EXPECT_EQ(BackupAllDevices(*host_, kBackupAskAboutNotPresent), -1);
  host_->answers = {1};
  host_->folderPicks.push_back(std::nullopt);
  EXPECT_EQ(BackupAllDevices(*host_, kBackupAskAboutNotPresent), -1);
  EXPECT_TRUE(testing::CallsStartingWith(*host_, u"open:").empty());
}

TEST_F(BackupCommandTest, CancelEndsAfterTheCurrentDevice) {
  TickRows({0, 1});
  host_->folderPicks.push_back(temp_.Path(u"c").Str());
  host_->onPump = [](ScriptedHost& h, int) {
    if (!h.resultLines.empty() && !h.CancelRequested()) h.SetCancelRequested(kCancelPressed);
  };
  EXPECT_EQ(BackupCheckedDevices(*host_), 1);
  EXPECT_EQ(host_->resultLines.size(), 1u);
  EXPECT_TRUE(Called(*host_, u"progress:100:Operation cancelled. 1 driver backed up."));
}

// A standard user may put links below a folder the elevated backup writes to: a link on the way
// fails the device; a link inside an earlier copy goes with that copy, never written through.
TEST_F(BackupCommandTest, LinksInTheDestinationAreNeitherEnteredNorWrittenThrough) {
  const WideText victim = temp_.Path(u"victim\\e1d.sys");
  temp_.Write(victim, "system file");
  int run = 0;
  // Each plants a link in pick, given the device's folder there; then whether the device is saved.
  const std::pair<std::function<bool(const WideText&, const WideText&)>, bool> plants[] = {
      {[&](const WideText& pick, const WideText&) { return temp_.Link(Concat({pick, u"\\Net"}), temp_.Path(u"victim")); },
       false},
      {[&](const WideText& pick, const WideText& device) {
         return CreateDirectoryTree(Concat({pick, u"\\Net"})) && temp_.Link(device, temp_.Path(u"victim"));
       },
       false},
      {[&](const WideText&, const WideText& device) {
         return CreateDirectoryTree(device) && temp_.HardLink(Concat({device, u"\\e1d.sys"}), victim);
       },
       true},
#ifndef _WIN32  // Wine sees no link to a file, and deleting one there deletes its target
      {[&](const WideText&, const WideText& device) {
         return CreateDirectoryTree(device) && temp_.Link(Concat({device, u"\\e1d.sys"}), victim);
       },
       true},
#endif
  };
  for (const auto& [plant, backedUp] : plants) {
    SCOPED_TRACE(run);
    const WideText pick = temp_.Path(Concat({u"pick", WideText::FromInt32(run++)}).View());
    ASSERT_TRUE(CreateDirectoryTree(pick));
    ASSERT_TRUE(plant(pick, Concat({pick, u"\\Net\\Ethernet - Intel - 1.2.3.4"})));
    TickRows({0});
    host_->resultLines.clear();
    host_->folderPicks.push_back(pick.Str());
    EXPECT_EQ(BackupCheckedDevices(*host_), backedUp ? 1 : 0);
    EXPECT_EQ(host_->resultLines,
              (Lines{backedUp ? u"Ethernet was successfully backed up." : u"Ethernet could not be backed up."}));
    EXPECT_EQ(temp_.Tree(temp_.Path(u"victim")), std::vector<std::string>{"e1d.sys"});
    std::string content;
    EXPECT_TRUE(ReadWholeFile(victim, &content, 100) && content == "system file");
    if (backedUp) {
      EXPECT_EQ(temp_.Tree(pick).size(), 3u);  // the new copy alone
    }
  }
  // A name that is a second hard link is refused rather than removed, as a link is.
  const WideText second = temp_.Path(u"second.sys");
  ASSERT_TRUE(temp_.HardLink(second, victim));
  EXPECT_FALSE(RemovePlainFile(second));
  EXPECT_TRUE(PathTaken(second));
}

// A package file that cannot be read fails its device. The copy is made beside the device's
// folder, so a failed second backup leaves the first one whole and nothing half-made.
TEST_F(BackupCommandTest, AFailedCopyRemovesOnlyWhatItMadeAndKeepsTheEarlierBackup) {
  const std::vector<std::string> whole = {"Net/Ethernet - Intel - 1.2.3.4/e1d.cat", "Net/Ethernet - Intel - 1.2.3.4/e1d.inf",
                                          "Net/Ethernet - Intel - 1.2.3.4/e1d.sys", "Net/Wireless/sub/fw.bin",
                                          "Net/Wireless/wifi.inf"};
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    testing::UnreadableFile jam(run == 0 ? WideText() : Concat({store_, u"\\FileRepository\\e1d.inf_amd64_1\\e1d.sys"}));
    TickRows({0, 1});
    host_->resultLines.clear();
    host_->folderPicks.push_back(temp_.Path(u"full").Str());
    EXPECT_EQ(BackupCheckedDevices(*host_), run == 0 ? 2 : 1);
    EXPECT_EQ(host_->resultLines.front(),
              run == 0 ? u"Ethernet was successfully backed up." : u"Ethernet could not be backed up.");
    EXPECT_EQ(temp_.Tree(temp_.Path(u"full")), whole);
  }
}

// Two packages whose devices name them alike get a folder each; twins using one package share
// its copy; names with "/" and ":" are saved under "_".
TEST_F(BackupCommandTest, TwoPackagesNeverShareAFolderAndRealNamesAreSaved) {
  SimulatedPc& pc = host_->platform.Pc();
  pc.driverStore.push_back(Package(u"oem3.inf", u"e1d.inf", u"e1d.inf_amd64_3", {"other.sys"}));
  const std::pair<const char16_t*, const char16_t*> extra[] = {
      {u"oem3.inf", u"Ethernet"}, {u"oem1.inf", u"Ethernet"}, {u"oem2.inf", u"Bob's phone: work/home"}};
  for (const auto& [inf, name] : extra) {
    SimulatedDevice d = pc.devices[0];
    d.instanceId = Concat({u"PCI\\EXTRA", WideText::FromUInt32(static_cast<uint32_t>(pc.devices.size()))});
    d.name = WideText(name);
    d.infPath = inf;
    pc.devices.push_back(d);
  }
  const WideText picked = temp_.Path(u"twins");
  host_->folderPicks.push_back(picked.Str());
  EXPECT_EQ(BackupAllDevices(*host_, kBackupIncludeNotPresent), 7);
  std::vector<std::string> tree = temp_.Tree(Concat({picked, u"\\DriverBackup\\Net"}));
  std::erase_if(tree, [](const std::string& f) { return !f.starts_with("Ethernet") && !f.starts_with("Bob"); });
  EXPECT_EQ(tree, (std::vector<std::string>{
                      "Bob's phone_ work_home - Intel - 1.2.3.4/sub/fw.bin", "Bob's phone_ work_home - Intel - 1.2.3.4/wifi.inf",
                      "Ethernet - Intel - 1.2.3.4 (2)/e1d.inf", "Ethernet - Intel - 1.2.3.4 (2)/other.sys",
                      "Ethernet - Intel - 1.2.3.4/e1d.cat", "Ethernet - Intel - 1.2.3.4/e1d.inf",
                      "Ethernet - Intel - 1.2.3.4/e1d.sys"}));
}

// Checked store packages land in class\original - provider - version; two alike get a folder each;
// a class that would leave the folder is refused, a name Windows cannot hold made usable; a package
// whose store folder could not be read is told so.
TEST_F(BackupCommandTest, CheckedStorePackagesLandInFoldersOfTheirOwn) {
  struct Case {
    const char16_t *published, *original, *provider, *className, *driverVer, *folder;
  } cases[] = {
      {u"oem1.inf", u"e1d.inf", u"Intel", u"Net", u"01/01/2020, 1.2.3.4", u"e1d.inf_amd64_1"},
      {u"oem5.inf", u"e1d.inf", u"Intel", u"Net", u"01/01/2020,1.2.3.4", u"wifi.inf_amd64_2"},
      {u"oem2.inf", u"", u"", u"", u"01/01/2020", u"wifi.inf_amd64_2"},
      {u"oem6.inf", u"my:drv.inf", u"A/B", u"Net", u",2.0", u"wifi.inf_amd64_2"},
      {u"oem7.inf", u"evil.inf", u"", u"..\\x", u"", u"wifi.inf_amd64_2"},
      {u"oem8.inf", u"gone.inf", u"", u"Net", u"", u""},
  };
  std::vector<StorePackage> chosen;
  for (const Case& c : cases) {
    StorePackage& p = chosen.emplace_back();
    p.publishedName = c.published, p.originalName = c.original, p.provider = c.provider, p.className = c.className;
    p.driverVer = c.driverVer;
    if (*c.folder) p.folder = Concat({store_, u"\\FileRepository\\", c.folder});
  }
  const WideText picked = temp_.Path(u"packages");
  host_->folderPicks.push_back(picked.Str());
  EXPECT_EQ(BackupStorePackages(*host_, chosen), 4);
  EXPECT_EQ(temp_.Tree(picked), (std::vector<std::string>{
                                    "Net/e1d.inf - Intel - 1.2.3.4 (2)/sub/fw.bin", "Net/e1d.inf - Intel - 1.2.3.4 (2)/wifi.inf",
                                    "Net/e1d.inf - Intel - 1.2.3.4/e1d.cat", "Net/e1d.inf - Intel - 1.2.3.4/e1d.inf",
                                    "Net/e1d.inf - Intel - 1.2.3.4/e1d.sys", "Net/my_drv.inf - A_B - 2.0/sub/fw.bin",
                                    "Net/my_drv.inf - A_B - 2.0/wifi.inf", "Unknown class/oem2.inf/sub/fw.bin",
                                    "Unknown class/oem2.inf/wifi.inf"}));
  EXPECT_EQ(host_->resultLines,
            (Lines{u"e1d.inf (oem1.inf) was successfully backed up.", u"e1d.inf (oem5.inf) was successfully backed up.",
                   u"oem2.inf (oem2.inf) was successfully backed up.", u"my:drv.inf (oem6.inf) was successfully backed up.",
                   u"evil.inf (oem7.inf) could not be backed up.", u"oem8.inf could not be backed up."}));
  EXPECT_TRUE(Called(*host_, u"progress:-1:Backing up oem8.inf..."));
  EXPECT_TRUE(Called(*host_, u"progress:100:Operation complete. 4 drivers backed up."));
  host_->folderPicks.push_back(std::nullopt);
  EXPECT_EQ(BackupStorePackages(*host_, chosen), -1);
  EXPECT_EQ(BackupStorePackages(*host_, {}), 0);
  EXPECT_EQ(host_->folderTitles.size(), 2u);  // none chosen: not even the picker
}

// A backup's usable names install; a name Windows would read as another is not offered.
TEST_F(BackupCommandTest, InstallOffersNoNameWindowsWouldReadAsAnother) {
  temp_.Write(temp_.Path(u"names\\AUX_\\CON_\\e1d.inf"), "x");
  temp_.Write(temp_.Path(u"names\\trap.\\evil.inf"), "x");
  temp_.Write(temp_.Path(u"names\\nul.inf"), "x");
#ifndef _WIN32  // no Windows name holds them
  temp_.Write(temp_.Path(u"names\\a:b\\evil.inf"), "x");
  temp_.Write(temp_.Path(u"names\\x|y.inf"), "x");
#endif
  RecordingPlatform platform(SimulatedPc{});
  EXPECT_EQ(InstallFromOneFolder(platform, temp_.Path(u"names"), InstallFlags{}).installed, 1u);
  EXPECT_EQ(platform.offered, std::vector<std::string>{"AUX_\\CON_\\e1d.inf"});
}

TEST_F(BackupCommandTest, BackupAllAndTheNotPresentQuestion) {
  struct Case {
    uint32_t flags;
    std::deque<int> answers;
    int count;
    size_t questions;
  } cases[] = {
      {kBackupAskAboutNotPresent, {0}, 3, 1},  // No: present devices only
      {kBackupAskAboutNotPresent, {1}, 4, 1},  // Yes: the stick that is not plugged in too
      {kBackupIncludeNotPresent, {}, 4, 0},    // first run: everything, no question
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(run);
    host_->asked.clear();
    host_->resultLines.clear();
    host_->answers = c.answers;
    const WideText picked = temp_.Path(WideText::FromInt32(run++).View());
    host_->folderPicks.push_back(picked.Str());
    EXPECT_EQ(BackupAllDevices(*host_, c.flags), c.count);
    EXPECT_EQ(host_->asked, c.questions ? Lines{kBackupAllQuestion} : Lines{});
    EXPECT_EQ(host_->folderTitles.back().second, 0x21u);
    // The hostile device gets its line and nothing on disk.
    EXPECT_EQ(host_->resultLines.size(), static_cast<size_t>(c.count) + 1);
    std::vector<std::string> tree = temp_.Tree(Concat({picked, u"\\DriverBackup"}));
    EXPECT_EQ(std::count_if(tree.begin(), tree.end(),
                            [](const std::string& f) { return f.starts_with("Net/Old stick - Kingston/"); }),
              c.count == 4 ? 2 : 0);
    EXPECT_EQ(temp_.Tree(picked).size(), tree.size());  // everything under DriverBackup
  }
}

TEST_F(BackupCommandTest, InstallWalkOffersEveryInfBelowTheFolder) {
  const char* files[] = {"a.inf", "B.INF", "keep.inf.bak", ".inf", "readme.txt", "sub\\deep\\c.inf",
                         "sub\\refused.inf", "sub\\reboot.Inf", "sub\\damaged.inf"};
  for (const char* f : files) temp_.Write(temp_.Path(WideText::FromUtf8((std::string("walk\\") + f).c_str()).View()), "x");
  temp_.Write(temp_.Path(u"elsewhere\\linked.inf"), "x");
  temp_.Link(temp_.Path(u"walk\\link"), temp_.Path(u"elsewhere"));

  RecordingPlatform platform(SimulatedPc{});
  std::atomic<bool> reboot{false}, cancel{false};
  const InstallOutcome outcome = InstallFromOneFolder(platform, temp_.Path(u"walk"), InstallFlags{&reboot, &cancel, {}});
  EXPECT_EQ(outcome.installed, 4u);
  EXPECT_EQ(outcome.staged, 5u);  // the refused one reached the store
  EXPECT_EQ(outcome.failed, std::vector<WideText>{temp_.Path(u"walk\\sub\\damaged.inf")});
  std::sort(platform.offered.begin(), platform.offered.end());
  EXPECT_EQ(platform.offered, (std::vector<std::string>{"B.INF", "a.inf", "sub\\damaged.inf", "sub\\deep\\c.inf",
                                                        "sub\\reboot.Inf", "sub\\refused.inf"}));
  EXPECT_EQ(platform.flagsSeen, 0u);  // never forced
  EXPECT_TRUE(reboot.load());

  // Cancel stops before the next entry.
  RecordingPlatform stopping(SimulatedPc{});
  stopping.cancel = &cancel;
  stopping.cancelAfter = 2;
  const uint32_t installed =
      InstallFromOneFolder(stopping, temp_.Path(u"walk"), InstallFlags{nullptr, &cancel, {}}).installed;
  ASSERT_EQ(stopping.offered.size(), 2u);
  EXPECT_EQ(installed, std::count_if(stopping.offered.begin(), stopping.offered.end(), [](const std::string& p) {
              return p.find("refused") == std::string::npos && p.find("damaged") == std::string::npos;
            }));
}

TEST_F(BackupCommandTest, InstallCommandTellsTheOutcomeOnce) {
  temp_.Write(temp_.Path(u"none\\readme.txt"), "x");
  host_->folderPicks.push_back(std::nullopt);
  EXPECT_EQ(InstallDriversFromFolder(*host_), -1);
  EXPECT_TRUE(host_->asked.empty());

  const WideText folder = temp_.Path(u"none");
  host_->folderPicks.push_back(folder.Str() + u"\\\\");
  EXPECT_EQ(InstallDriversFromFolder(*host_), 0);
  EXPECT_EQ(host_->folderTitles.back(), (std::pair<std::u16string, uint32_t>{kInstallFolderTitle, 0x21}));
  EXPECT_EQ(host_->asked, (Lines{InstallClosingMessage(false, 0, folder).Str()}));
  EXPECT_EQ(host_->rebuilds, 0);
  EXPECT_TRUE(Called(*host_, u"progress-window:Installing drivers from " + folder.Str() + u"...:450x70"));
}

TEST_F(BackupCommandTest, AWorkerThatCannotStartEndsTheCommandWithNothingDone) {
  host_->threadsFail = true;
  host_->folderPicks = {temp_.Path(u"a").Str(), temp_.Path(u"b").Str()};
  EXPECT_EQ(BackupAllDevices(*host_, kBackupIncludeNotPresent), 0);
  EXPECT_TRUE(Called(*host_, std::u16string(u"progress:100:") + kOperationNotStarted));
  EXPECT_EQ(host_->calls.back(), u"close");
  EXPECT_EQ(InstallDriversFromFolder(*host_), 0);
  EXPECT_EQ(host_->asked, Lines{kOperationNotStarted});
  EXPECT_EQ(host_->rebuilds, 0);
  EXPECT_FALSE(PathTaken(temp_.Path(u"a\\DriverBackup")));
}

}  // namespace
}  // namespace pyr
