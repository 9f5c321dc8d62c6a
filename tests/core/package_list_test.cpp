// The driver store as a list: the packages read through the device seam, their devices, the
// "older version" rule, the sums and the check rules, on the simulated PC.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>

#include "app/command_line_jobs.h"
#include "app/package_view.h"
#include "core/test_fixture.h"
#include "driverstore/package_columns.h"
#include "driverstore/package_list.h"
#include "driverstore/removed_drivers.h"
#include "devices/memory_device_list.h"
#include "support/driver_pc.h"

namespace pyr {
namespace {

using testing::Package;
using testing::WithDriver;

// The driver PC plus a package of another provider under an older INF name, one only an absent
// printer uses, an extension package and oem10 (after oem5, not after oem1).
SimulatedPc StorePc() {
  SimulatedPc pc = testing::DriverPc();
  pc.devices[3] = WithDriver(pc.devices[3], u"oem5.inf", 2019, u"3.0");
  DriverPackage other = Package(u"oem10.inf", u"netb.inf", u"01/01/2019,9.0", u"HW\\B");
  other.provider = u"Other maker";
  other.folder = u"netb.inf_amd64_4567";
  pc.driverStore[2].folder = u"netb.inf_amd64_89ab";  // each package has a folder of its own
  pc.driverStore[2].originalName = u"NetB.inf";          // names compare without regard to case
  DriverPackage printer = Package(u"oem5.inf", u"prn.inf", u"01/01/2019,3.0", u"HW\\P");
  DriverPackage extension = Package(u"oem4.inf", u"ext.inf", u"01/01/2021,1.0", u"HW\\E");
  extension.className = u"Extension";
  pc.driverStore.push_back(other);
  pc.driverStore.push_back(printer);
  pc.driverStore.push_back(extension);
  return pc;
}

struct Store {
  explicit Store(SimulatedPc pc) : platform(std::move(pc)) {
    const WideText root = temp.Path(u"DriverStore");
    platform.SetDriverStoreRoot(root);
    for (const DriverPackage& p : platform.Pc().driverStore) {
      temp.Write(Concat({PackageFolder(root, p), u"\\", p.originalName}), p.driverVer.ToUtf8());
    }
    // A file one level down counts too.
    temp.Write(Concat({PackageFolder(root, platform.Pc().driverStore[0]), u"\\amd64\\a.sys"}), "12345");
  }
  std::vector<StorePackage> Read(bool withUsers = true) {
    PackageUsers users;
    const bool known = withUsers && users.Read(platform, true);
    std::vector<StorePackage> packages;
    uint32_t error = 0;
    EXPECT_TRUE(ReadStorePackages(platform, known ? &users : nullptr, &packages, &error));
    return packages;
  }
  testing::TempFolder temp;
  SimulatedPlatform platform;
};

std::string Names(const std::vector<StorePackage>& packages, PackageCheckRule rule) {
  std::string names;
  for (const StorePackage& p : packages) {
    if (PackageMatches(p, rule)) names += p.publishedName.ToUtf8() + " ";
  }
  return names;
}

TEST(PackageList, EveryPublishedPackageWithItsFactsDevicesAndAge) {
  Store store(StorePc());
  const std::vector<StorePackage> packages = store.Read();
  struct Row {
    const char* published;
    const char* original;
    const char* version;
    PackageUseKind use;
    bool older;
    uint64_t size;
    const char* firstName;
    const char* devices;  // present / not present; empty when use is not known
  };
  const Row rows[] = {
      {"oem1.inf", "neta.inf", "01/01/2020,1.0", PackageUseKind::kPresent, false, 14 + 5, "Adapter A", "1 / 0"},
      // netb 2.0 is outranked by oem3 (2.5); oem10's netb is another provider's.
      {"oem2.inf", "netb.inf", "01/01/2020,2.0", PackageUseKind::kPresent, true, 14, "Adapter B", "1 / 0"},
      {"oem3.inf", "NetB.inf", "06/01/2022,2.5", PackageUseKind::kNone, false, 14, "", "0 / 0"},
      {"oem4.inf", "ext.inf", "01/01/2021,1.0", PackageUseKind::kUnknown, false, 14, "", ""},
      {"oem5.inf", "prn.inf", "01/01/2019,3.0", PackageUseKind::kNotPresent, false, 14, "Old printer", "0 / 1"},
      {"oem10.inf", "netb.inf", "01/01/2019,9.0", PackageUseKind::kNone, false, 14, "", "0 / 0"},
  };
  ASSERT_EQ(packages.size(), std::size(rows));  // net.inf is the system's own: not listed
  for (size_t i = 0; i < std::size(rows); ++i) {
    const StorePackage& p = packages[i];
    SCOPED_TRACE(rows[i].published);
    EXPECT_EQ(p.publishedName.ToUtf8(), rows[i].published);
    EXPECT_EQ(p.originalName.ToUtf8(), rows[i].original);
    EXPECT_EQ(p.driverVer.ToUtf8(), rows[i].version);
    EXPECT_EQ(p.catalog.ToUtf8(), std::string(rows[i].original).substr(0, std::string(rows[i].original).find('.')) + ".cat");
    EXPECT_TRUE(p.infRead && p.parts.valid);
    EXPECT_EQ(p.UseKind(), rows[i].use);
    EXPECT_EQ(p.older, rows[i].older);
    EXPECT_EQ(p.size.value_or(0), rows[i].size);
    EXPECT_EQ(p.use.firstNames.empty() ? "" : p.use.firstNames[0].ToUtf8(), rows[i].firstName);
    EXPECT_NE(p.folder.Find(u"FileRepository", false), 0);
    EXPECT_EQ(PackageCell(p, kPackageDevices).ToUtf8(), rows[i].devices);
  }
  EXPECT_EQ(packages[0].classGuid.ToUtf8(), "{4D36E972-E325-11CE-BFC1-08002BE10318}");

  // The sums and the check rules over the same list.
  const PackageSums sums = SumPackages(packages);
  EXPECT_EQ(sums.shown, 6u);
  EXPECT_EQ(sums.totalBytes, 6u * 14 + 5);
  EXPECT_EQ(sums.olderBytes, 14u);
  EXPECT_EQ(sums.removableBytes, 2u * 14);  // oem3 and oem10; Windows keeps the others
  for (const auto& [bytes, text] : {std::pair{uint64_t{1}, "1 byte"}, {1023, "1023 bytes"}, {1025, "2 KB"},
                                    {3 * 1048576 + 524288, "3.5 MB"}, {uint64_t{5} << 30, "5.0 GB"}}) {
    EXPECT_EQ(SizeText(bytes).ToUtf8(), text);
  }
  const std::pair<PackageCheckRule, const char*> rules[] = {
      {PackageCheckRule::kAll, "oem1.inf oem2.inf oem3.inf oem4.inf oem5.inf oem10.inf "},
      {PackageCheckRule::kNone, ""},
      {PackageCheckRule::kOlder, "oem2.inf "},
      {PackageCheckRule::kUnused, "oem3.inf oem10.inf "},
      {PackageCheckRule::kNotPresentOnly, "oem5.inf "},
  };
  for (const auto& [rule, names] : rules) EXPECT_EQ(Names(packages, rule), names);

  // Without the devices nothing is called unused, so no rule offers a package in use.
  for (const StorePackage& p : store.Read(false)) EXPECT_EQ(p.UseKind(), PackageUseKind::kUnknown);
}

TEST(PackageList, AFailedReadEmptiesItsCellsAndKeepsTheRow) {
  struct Case {
    PlatformCall call;
    bool infRead, versionRead, sized;
  };
  const Case cases[] = {
      {PlatformCall::kGetInfDriverStoreLocation, true, true, false},
      {PlatformCall::kGetInfInformation, false, false, true},
      {PlatformCall::kQueryInfVersionInformation, true, false, true},  // DriverVer comes first
  };
  for (const Case& c : cases) {
    Store store(StorePc());
    store.platform.FailNextCall(c.call, kErrorGenFailure);
    const std::vector<StorePackage> packages = store.Read(false);
    ASSERT_EQ(packages.size(), 6u);
    EXPECT_EQ(packages[0].infRead, c.infRead);
    EXPECT_EQ(packages[0].parts.valid, c.versionRead);
    EXPECT_EQ(packages[0].size.has_value(), c.sized);
    EXPECT_FALSE(packages[0].older);
    EXPECT_TRUE(packages[1].infRead && packages[1].size);
  }
  Store store(StorePc());
  store.platform.FailNextCall(PlatformCall::kGetInfFileList, kErrorGenFailure);
  std::vector<StorePackage> packages;
  uint32_t error = 0;
  EXPECT_FALSE(ReadStorePackages(store.platform, nullptr, &packages, &error));
  EXPECT_EQ(error, kErrorGenFailure);
}

TEST(PackageList, DriverVerDatesAndVersions) {
  struct Case {
    const char16_t* text;
    bool valid;
    uint64_t version;
    bool dated;  // a refused version keeps its date
  };
  const Case cases[] = {
      {u"06/21/2006,10.0.19041.1", true, 0x000A00004A610001, true},
      {u" 1/2/2020 , 2.5", true, 0x0002000500000000, true},
      {u"01/02/2020", true, 0, true},
      {u"13/01/2020,1.0", false, 0, false},
      {u"10/18/2022,6.1.40.154048", false, 0, true},
      {u"01/01/2020,1.0 x", false, 0, true},
      {u"", false, 0, false},
  };
  for (const Case& c : cases) {
    const DriverVerParts parts = ParseDriverVer(c.text);
    EXPECT_EQ(parts.valid, c.valid) << WideText(c.text).ToUtf8();
    EXPECT_EQ(parts.version, c.version) << WideText(c.text).ToUtf8();
    EXPECT_EQ(parts.dateValid, c.dated) << WideText(c.text).ToUtf8();
  }
  EXPECT_LT(ParseDriverVer(u"12/31/2019").date, ParseDriverVer(u"01/01/2020").date);
}

// The real PC keeps several versions of one INF: in each group exactly the newest stay unmarked.
TEST(PackageList, OnlyANewerSiblingMakesAPackageOld) {
  Store store(LoadTestPc("real_pc.json"));
  const std::vector<StorePackage> packages = store.Read();
  ASSERT_EQ(packages.size(), store.platform.Pc().driverStore.size());
  std::map<std::u16string, std::vector<const StorePackage*>> groups;
  // A version part past 65535 is no DriverVer: such a package is compared with none.
  for (const StorePackage& p : packages) {
    if (!p.parts.valid) {
      EXPECT_FALSE(p.older);
      continue;
    }
    std::u16string key = Concat({p.originalName, u"|", p.provider, u"|", p.className}).Str();
    for (char16_t& c : key) c = LowerUnit(c);
    groups[key].push_back(&p);
  }
  size_t older = 0;
  for (const auto& [key, members] : groups) {
    std::pair<uint64_t, uint64_t> newest;
    for (const StorePackage* p : members) newest = std::max(newest, std::pair{p->parts.version, p->parts.date});
    for (const StorePackage* p : members) {
      EXPECT_EQ(p->older, (std::pair{p->parts.version, p->parts.date} < newest)) << p->publishedName.ToUtf8();
      older += p->older;
    }
  }
  EXPECT_GE(older, 10u);
}

std::string ShownOrder(const PackageView& view, const DeviceList& list) {
  std::string names;
  for (int row = 0; row < list.RowCount(); ++row) names += view.PackageOfRow(list, row)->publishedName.ToUtf8() + " ";
  return names;
}

// Sizes, versions, dates, device counts and published numbers sort by value, where their texts
// would not ("2 KB" before "900 bytes", "10.0" before "9.1", oem10 before oem2).
TEST(PackageView, ColumnsSortByValueAndDescendingIsTheExactReverse) {
  const auto package = [](const char16_t* name, std::optional<uint64_t> size, const char16_t* driverVer,
                          size_t present, size_t notPresent) {
    StorePackage p;
    p.publishedName = WideText(name);
    p.driverVer = WideText(driverVer);
    p.parts = ParseDriverVer(driverVer);
    p.infRead = p.usersKnown = true;
    p.size = size;
    p.use.present = present;
    p.use.notPresent = notPresent;
    return p;
  };
  std::vector<StorePackage> packages = {
      package(u"oem10.inf", 2048, u"03/01/2021,10.0", 0, 2), package(u"oem2.inf", 900, u"01/01/2022,9.1", 1, 0),
      package(u"oem7.inf", std::nullopt, u"12/31/2020,9.10", 3, 0), package(u"oem3.inf", 900, u"", 0, 0)};
  const std::pair<int, const char*> orders[] = {
      {kPackagePublished, "oem2.inf oem3.inf oem7.inf oem10.inf "},
      {kPackageSize, "oem7.inf oem2.inf oem3.inf oem10.inf "},  // unknown first; ties keep their order
      {kPackageVersion, "oem3.inf oem2.inf oem7.inf oem10.inf "},
      {kPackageDate, "oem3.inf oem7.inf oem10.inf oem2.inf "},
      {kPackageDevices, "oem3.inf oem2.inf oem10.inf oem7.inf "},
  };
  PackageView view;
  MemoryDeviceList list(kPackageColumnCount);
  view.Show(list, packages);
  for (const auto& [column, ascending] : orders) {
    SCOPED_TRACE(column);
    EXPECT_EQ(view.Sort(list, column, kSortAscending), -1);
    EXPECT_EQ(ShownOrder(view, list), ascending);
    EXPECT_EQ(list.ColumnArrow(column), SortArrow::kUp);
    view.Sort(list, column, kSortToggle);
    std::string reversed;
    for (int row = list.RowCount() - 1; row >= 0; --row) reversed += view.PackageOfRow(list, row)->publishedName.ToUtf8() + " ";
    EXPECT_EQ(reversed, ascending);
  }
  // A new reading keeps the checks of the packages still there and the order shown.
  list.SetRowChecked(0, true);  // the first row shown
  const std::string checked = view.PackageOfRow(list, 0)->publishedName.ToUtf8();
  std::rotate(packages.begin(), packages.begin() + 1, packages.end());
  view.Show(list, packages);
  EXPECT_EQ(list.ColumnArrow(kPackageDevices), SortArrow::kDown);
  EXPECT_EQ(view.PackageOfRow(list, 0)->publishedName.ToUtf8(), checked);
  ASSERT_EQ(view.CheckedPackages(list).size(), 1u);
  EXPECT_EQ(view.CheckedPackages(list)[0].publishedName.ToUtf8(), checked);
  EXPECT_EQ(list.CellText(0, kPackageSize).ToUtf8(), "");
  EXPECT_EQ(list.CellText(1, kPackageSize).ToUtf8(), "2 KB");
}

// The rows of the store PC: their colours, the check rules adding ticks, and the devices of the
// checked packages ticked in the device list.
TEST(PackageView, ColoursChecksAndTheDevicesOfCheckedPackages) {
  Store store(StorePc());
  PackageView view;
  MemoryDeviceList list(kPackageColumnCount);
  view.Show(list, store.Read());
  const std::map<std::string, uint32_t> colours = {
      {"oem1.inf", kDefaultColour},           {"oem2.inf", kColourPackageOlder},
      {"oem3.inf", kColourPackageUnused},     {"oem4.inf", kDefaultColour},
      {"oem5.inf", kColourPackageNotPresent}, {"oem10.inf", kColourPackageUnused}};
  for (int row = 0; row < list.RowCount(); ++row) {
    EXPECT_EQ(list.RowBackground(row), colours.at(view.PackageOfRow(list, row)->publishedName.ToUtf8())) << row;
  }
  view.Check(list, PackageCheckRule::kNotPresentOnly);
  view.Check(list, PackageCheckRule::kOlder);  // adds to the ticks there are
  std::string names;
  for (const StorePackage& p : view.CheckedPackages(list)) names += p.publishedName.ToUtf8() + " ";
  EXPECT_EQ(names, "oem2.inf oem5.inf ");

  MemoryDeviceList devices;
  const char16_t* infs[] = {u"oem1.inf", u"OEM2.INF", u"", u"oem5.inf", u"oem2.inf"};
  for (const char16_t* inf : infs) {
    const int row = devices.InsertRow(-1, WideText(u"device"), kNoImage, kNoGroup, 0);
    devices.SetCellText(row, kColumnInfPath, WideText(inf));
  }
  devices.SetRowChecked(0, true);  // a tick from before goes
  EXPECT_EQ(CheckDevicesOfPackages(devices, view.CheckedPackages(list)), 3);
  EXPECT_EQ(devices.CheckedRows(), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(devices.SelectedRow(), 1);
  view.Check(list, PackageCheckRule::kNone);
  EXPECT_TRUE(list.CheckedRows().empty());
}

// Deferred walks: the rows show without the sizes, each step walks at least one folder, and the
// walked sizes reach the cells and the size order; a second reading walks nothing again.
TEST(PackageView, SizesWalkedLaterReachTheRowsAndAreKept) {
  Store store(StorePc());
  PackageView view;
  view.FolderSizes().SetDeferring(true);
  const auto read = [&] {
    std::vector<StorePackage> packages;
    uint32_t error = 0;
    EXPECT_TRUE(ReadStorePackages(store.platform, nullptr, &packages, &error, &view.FolderSizes()));
    return packages;
  };
  MemoryDeviceList list(kPackageColumnCount);
  view.Show(list, read());
  view.Sort(list, kPackageSize, kSortDescending);
  for (int row = 0; row < list.RowCount(); ++row) EXPECT_EQ(list.CellText(row, kPackageSize).ToUtf8(), "");
  ASSERT_EQ(view.FolderSizes().PendingCount(), 6u);
  for (size_t left = 5; left > 0; --left) {
    EXPECT_FALSE(view.FolderSizes().WalkPending(std::chrono::seconds(0)));
    EXPECT_EQ(view.FolderSizes().PendingCount(), left);
  }
  EXPECT_TRUE(view.FolderSizes().WalkPending(std::chrono::seconds(0)));
  view.ApplyWalkedSizes(list);
  // oem1 holds one more file, so it leads a descending sort by size.
  EXPECT_EQ(view.PackageOfRow(list, 0)->publishedName.ToUtf8(), "oem1.inf");
  EXPECT_EQ(list.CellText(0, kPackageSize).ToUtf8(), "19 bytes");
  EXPECT_EQ(SumPackages(view.Packages()).totalBytes, 6u * 14 + 5);
  view.Show(list, read());
  EXPECT_EQ(view.FolderSizes().PendingCount(), 0u);
  EXPECT_EQ(view.Packages()[0].size, 19u);
}

class Console : public JobLines {
 public:
  std::string shown;

 protected:
  void Show(const WideText&, const std::string& utf8) override { shown += utf8; }
};

// The command line's /packages and /remove-packages: the file, the lines, what left the store,
// the copies kept, the exit code.
TEST(PackageJobs, ListAndRemoveWithCopiesAndExitCodes) {
  struct Case {
    std::vector<const char16_t*> arguments;  // the file comes first when there is one
    int code;
    const char* lastLine;
    size_t packagesLeft;
    const char* fileHas;  // in the written list
    bool copiesKept;
  };
  const Case cases[] = {
      {{u"/packages", u"packages.csv"}, kExitDone,
       "6 driver packages, 89 bytes; older versions 14 bytes; removing the packages no device uses would free 28 "
       "bytes.", 6,
       "oem2.inf,netb.inf,Maker,Net,2.0,2020-01-01,14,1 / 0,Adapter B,\"Older version, in use\",", false},
      {{u"/packages", u"packages.json", u"/old"}, kExitDone, "1 driver package written to ", 6,
       "[\n  {\"Published name\": \"oem2.inf\"", false},
      {{u"/remove-packages", u"/unused", u"/whatif"}, kExitDone,
       "Operation complete. 2 driver packages would be removed, freeing 28 bytes.", 6, nullptr, false},
      {{u"/remove-packages", u"/unused"}, kExitDone, "Operation complete. 2 driver packages removed, freeing 28 bytes.",
       4, nullptr, true},
      // Adapter B still runs on oem2: Windows keeps it, and its copy goes.
      {{u"/remove-packages", u"/old"}, kExitSomeFailed,
       "Operation complete. 0 driver packages removed, freeing 0 bytes.", 6, nullptr, false},
      {{u"/remove-packages"}, kExitNotStarted, "/remove-packages needs /old or /unused.", 6, nullptr, false},
  };
  for (const Case& c : cases) {
    Store store(StorePc());
    std::vector<WideText> words;
    for (const char16_t* a : c.arguments) words.emplace_back(a);
    CommandLine line = ParseCommandLine(words);
    // The native temporary folder starts with a slash, which the parser takes for a switch.
    const WideText file = store.temp.Path(c.arguments.size() > 1 ? c.arguments[1] : u"none");
    if (line.job == Job::kPackages) line.path = file;
    const WideText programData = store.temp.Path(u"ProgramData");
    CreateDirectoryTree(programData);
    testing::StandInTransport web;
    Console console;
    SCOPED_TRACE(console.shown);
    EXPECT_EQ(RunJobWithLog(line, store.platform, web, console, programData), c.code) << console.shown;
    EXPECT_NE(console.shown.find(std::string(c.lastLine)), std::string::npos) << console.shown;
    EXPECT_TRUE(console.shown.ends_with(".\r\n") || console.shown.ends_with(file.ToUtf8() + "\r\n")) << console.shown;
    EXPECT_EQ(store.platform.Pc().driverStore.size(), c.packagesLeft);
    std::string written;
    EXPECT_EQ(ReadWholeFile(file, &written, 1 << 20), c.fileHas != nullptr);
    EXPECT_TRUE(!c.fileHas || written.find(c.fileHas) != std::string::npos) << written;
    const WideText batch = NewestBatchFolder(RemovedDriversFolder(programData));
    EXPECT_EQ(!batch.Empty(), c.copiesKept);
    if (c.copiesKept) {
      // class, then original INF name, provider and version, as a device's backup.
      std::string copy;
      EXPECT_TRUE(ReadWholeFile(Concat({batch, u"\\Net\\NetB.inf - Maker - 2.5\\NetB.inf"}), &copy, 1 << 20));
      EXPECT_EQ(copy, "06/01/2022,2.5");
    }
  }
}

}  // namespace
}  // namespace pyr
