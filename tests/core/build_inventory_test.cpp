// BuildInventory on the fixture PC and on small PCs: which devices are listed, what their rows
// show, the groups, what survives a rebuild, and what a failed build leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/list_sort.h"
#include "core/test_fixture.h"
#include "devices/device_columns.h"
#include "devices/device_dates.h"
#include "devices/device_inventory.h"
#include "devices/device_status.h"
#include "devices/list_export.h"
#include "devices/memory_device_list.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

constexpr const char16_t* kNic = u"PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE";
constexpr const char16_t* kIntelGraphics = u"PCI\\VEN_8086&DEV_3E98&SUBSYS_86941043&REV_02\\3&11583659&0&10";
constexpr const char16_t* kWifi = u"PCI\\VEN_8086&DEV_2723&SUBSYS_00848086&REV_1A\\4&1C9A3F2B&0&00E4";
constexpr const char16_t* kDataAcquisition = u"PCI\\VEN_8086&DEV_A379&SUBSYS_86941043&REV_10\\3&11583659&0&90";

class BuildInventoryTest : public ::testing::Test {
 protected:
  BuildInventoryTest() : platform_(LoadTestPc()), inventory_(platform_) {}

  bool Build(uint32_t flags) { return BuildInventory(inventory_, list_, host_, flags); }
  int Row(const char16_t* instanceId) const {
    for (int r = 0; r < list_.RowCount(); ++r) {
      if (list_.CellText(r, kColumnInstanceId) == instanceId) return r;
    }
    return -1;
  }
  std::string Cell(const char16_t* instanceId, int column) const {
    return list_.CellText(Row(instanceId), column).ToUtf8();
  }
  const ListGroup* Group(const char16_t* header) const {
    for (int i = 0; i < list_.GroupCount(); ++i) {
      ListGroup g;
      if (list_.GroupAt(i, &g) && g.header == header) return list_.GroupById(g.groupId);
    }
    return nullptr;
  }
  std::set<std::string> ExpandedHeaders() const {
    std::set<std::string> out;
    for (int i = 0; i < list_.GroupCount(); ++i) {
      ListGroup g;
      list_.GroupAt(i, &g);
      EXPECT_TRUE(g.state & kGroupCollapsible);
      if (!(g.state & kGroupCollapsed)) out.insert(g.header.ToUtf8());
    }
    return out;
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> out;
    for (int r = 0; r < list_.RowCount(); ++r) out.push_back(list_.CellText(r, column).ToUtf8());
    return out;
  }

  SimulatedPlatform platform_;
  DeviceInventory inventory_;
  MemoryDeviceList list_;
  RecordingInventoryHost host_;
};

TEST_F(BuildInventoryTest, ListsExactlyTheDevicesWithAListedClassAndHardwareIds) {
  for (const char* fixture : {"pc.json", "real_pc.json"}) {
    platform_.Pc() = LoadTestPc(fixture);
    for (uint32_t flags : {0u, kListShowNotPresent}) {
      ASSERT_TRUE(Build(flags));
      size_t expected = 0;
      for (const SimulatedDevice& d : platform_.Pc().devices) {
        const bool classKnown = !d.classGuid || platform_.Pc().ClassByGuid(*d.classGuid);
        expected += classKnown && !d.hardwareIds.empty() && (d.present || (flags & kListShowNotPresent));
      }
      EXPECT_EQ(list_.RowCount(), static_cast<int>(expected)) << fixture << flags;
      // Services without hardware IDs and the device of an unlisted class never show.
      EXPECT_EQ(Row(u"ROOT\\LEGACY_AFD\\0000"), -1);
      EXPECT_EQ(Row(u"PCI\\VEN_104C&DEV_8023\\4&1A&0&0020"), -1);
    }
  }
}

// The PC built like a real one holds what the operations meet there: ghosts by the hundred, many
// versions of one INF in the store, packages that present devices and ghosts share.
TEST(RealPc, HoldsGhostsVersionsAndSharedPackagesAsRealPcsDo) {
  const SimulatedPc pc = LoadTestPc("real_pc.json");
  const auto key = [](const WideText& name) { return std::u16string(name.View()); };
  std::map<std::u16string, int> versions, users, ghostUsers;
  std::set<std::u16string> published;
  for (const DriverPackage& p : pc.driverStore) {
    ++versions[key(p.originalName)];
    published.insert(key(p.publishedName));
  }
  size_t absent = 0, storageCompatible = 0;
  for (const SimulatedDevice& d : pc.devices) {
    absent += !d.present;
    for (const WideText& id : d.compatibleIds) storageCompatible += id == u"USB\\Class_08&SubClass_06";
    // An INF of the store is named by its published name; any other is one of Windows' own.
    if (d.infPath.Find(u"oem", false) != 1) continue;
    EXPECT_TRUE(published.count(key(d.infPath))) << d.instanceId.ToUtf8();
    ++users[key(d.infPath)];
    ghostUsers[key(d.infPath)] += !d.present;
  }
  EXPECT_GE(pc.devices.size(), 400u);
  EXPECT_GE(absent, 150u);
  EXPECT_GE(pc.driverStore.size(), 300u);
  EXPECT_EQ(versions[u"nv_dispi.inf"], 6);
  EXPECT_GE(storageCompatible, 10u);  // the sticks, one per port
  EXPECT_TRUE(std::any_of(users.begin(), users.end(), [&](const auto& u) {
    return u.second >= 3 && ghostUsers[u.first] > 0 && ghostUsers[u.first] < u.second;
  }));
}

TEST_F(BuildInventoryTest, RowsShowTheirPropertiesStatusAndColour) {
  ASSERT_TRUE(Build(kListShowNotPresent));
  const struct {
    const char16_t* instanceId;
    const char* status;
    uint32_t colour;
  } cases[] = {
      {kNic, "Working properly", kDefaultColour}, {kIntelGraphics, "Disabled", kColourDisabled},
      {kDataAcquisition, "No drivers installed", kColourNoDrivers},
      {u"PCI\\VEN_1180&DEV_0832&SUBSYS_86941043&REV_04\\4&3B2C&0&01E4", "Error: Failed install", kColourNotWorking},
      {u"USBSTOR\\DISK&VEN_SANDISK&PROD_CRUZER_BLADE&REV_1.00\\4C530001230711116452&0", "Not present",
       kColourNotPresent},
      // Absent and without drivers: the missing drivers decide text and colour.
      {u"USB\\VID_12D1&PID_1506\\6&2A1F&0&3", "No drivers installed", kColourNoDrivers},
      // Hidden from uninstall interfaces by its driver, and still listed in full.
      {u"ACPI\\PNP0C14\\MXM", "Working properly", kDefaultColour},
  };
  for (const auto& c : cases) {
    const int row = Row(c.instanceId);
    ASSERT_GE(row, 0) << WideText(c.instanceId).ToUtf8();
    EXPECT_EQ(list_.CellText(row, kColumnStatus).ToUtf8(), c.status);
    EXPECT_EQ(list_.RowBackground(row), c.colour) << c.status;
    EXPECT_EQ(list_.RowTextColour(row), c.colour == kDefaultColour ? kDefaultColour : 0xFFFFFFu) << c.status;
  }
  EXPECT_EQ(Cell(u"ACPI\\PNP0C14\\MXM", kColumnServiceName), "WmiAcpi");
  const std::vector<std::string> nic = {
      "Intel(R) Ethernet Connection (7) I219-V", "Working properly", "Net", "Intel",
      "2021/09/03",  // the date without its time of day
      "12.19.1.37", "e1dexpress",
      "PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10",  // the first hardware ID
      "oem21.inf", "PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE"};
  for (int c = 0; c < kColumnLastConnected; ++c) EXPECT_EQ(Cell(kNic, c), nic[c]) << "column " << c;
  // "Last connected" is a present device's arrival and an absent one's removal; no date, no text.
  size_t dated = 0;
  for (const SimulatedDevice& d : platform_.Pc().devices) {
    const std::optional<uint64_t>& last = d.present ? d.lastArrivalDate : d.lastRemovalDate;
    auto text = [](const std::optional<uint64_t>& date) { return date ? DeviceDateText(*date).ToUtf8() : ""; };
    if (Row(d.instanceId.Buffer()) < 0) continue;
    EXPECT_EQ(Cell(d.instanceId.Buffer(), kColumnLastConnected), text(last)) << d.instanceId.ToUtf8();
    EXPECT_EQ(Cell(d.instanceId.Buffer(), kColumnInstalled), text(d.firstInstallDate)) << d.instanceId.ToUtf8();
    dated += !d.present && last && d.firstInstallDate;
  }
  EXPECT_GE(dated, 10u);
  EXPECT_EQ(list_.RowIndent(Row(kNic)), 1);
  // Missing properties leave their columns empty, a missing name reads "Unknown device".
  EXPECT_EQ(Cell(u"ACPI\\INT3F0D\\2&DABA3FF&1", kColumnName), "Unknown device");
  for (int c : {kColumnClass, kColumnManufacturer, kColumnDriverDate, kColumnDriverVersion, kColumnServiceName,
                kColumnInfPath}) {
    EXPECT_EQ(Cell(kDataAcquisition, c), "") << "column " << c;
  }
  // The row's user value names the device in the inventory's set.
  uint32_t index = 0;
  DeviceInfo device;
  ASSERT_TRUE(StoredDeviceIndex(list_, Row(kNic), &index));
  ASSERT_TRUE(inventory_.DeviceAt(index, &device));
  EXPECT_EQ(PropertyReader(platform_).ReadFirst(inventory_.Set(), device, devpkey::kInstanceId), kNic);
  EXPECT_TRUE(inventory_.IsPhysicalDevice(index));
  ASSERT_TRUE(StoredDeviceIndex(list_, Row(u"ROOT\\COMPOSITEBUS\\0000"), &index));
  EXPECT_FALSE(inventory_.IsPhysicalDevice(index));
}

// An exported row: the texts as shown and its tick, with presence and problem as the system says.
TEST_F(BuildInventoryTest, ExportedRowsAddWhatTheSystemSaysOfPresenceAndProblem) {
  ASSERT_TRUE(Build(kListShowNotPresent));
  const int stick = Row(u"USBSTOR\\DISK&VEN_SANDISK&PROD_CRUZER_BLADE&REV_1.00\\4C530001230711116452&0");
  list_.SetRowChecked(Row(kIntelGraphics), true);
  const std::vector<ExportRow> rows = ReadExportRows(platform_, inventory_.Set(), list_, {stick, Row(kIntelGraphics)});
  ASSERT_EQ(rows.size(), 2u);
  std::vector<WideText> shown;
  for (int c = 0; c < kDeviceColumnCount; ++c) shown.push_back(list_.CellText(Row(kIntelGraphics), c));
  EXPECT_TRUE(rows[1].cells == shown);
  EXPECT_EQ(std::tuple(rows[0].present, rows[0].problemCode, rows[0].checked), std::tuple(false, 0u, false));
  EXPECT_EQ(std::tuple(rows[1].present, rows[1].problemCode, rows[1].checked), std::tuple(true, 22u, true));
}

// The class list can grow between asking its size and reading it: read again, three times at most.
TEST(ClassList, ReadAgainWhileItGrowsThreeTimesAtMost) {
  struct Growing : SimulatedPlatform {
    explicit Growing(uint32_t growths) : SimulatedPlatform(LoadTestPc()), growths(growths) {}
    bool BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t size, uint32_t* required) override {
      if (++calls > growths) return SimulatedPlatform::BuildClassInfoList(flags, buffer, size, required);
      *required = calls;  // one more than the caller made room for
      return false;
    }
    uint32_t growths, calls = 0;
  };
  for (const uint32_t growths : {1u, 9u}) {
    Growing platform(growths);
    DeviceInventory inventory(platform);
    MemoryDeviceList list;
    RecordingInventoryHost host;
    BuildInventory(inventory, list, host, 0);
    EXPECT_EQ(platform.calls, growths == 1 ? 3u : 4u);
    EXPECT_EQ(list.GroupCount() > 1, growths == 1);
  }
}

// Values shorter than their type needs count as unreadable; nothing is read past them.
TEST_F(BuildInventoryTest, ShortPropertyValuesFallBackToDefaults) {
  platform_.SetRawProperty(kNic, devpkey::kClassGuid, devprop::kGuid, std::vector<uint8_t>(15, 7));
  platform_.SetRawProperty(kWifi, devpkey::kProblemCode, devprop::kUInt32, {10, 0});
  platform_.SetRawProperty(kIntelGraphics, devpkey::kName, devprop::kString, {'X'});
  platform_.SetRawProperty(kIntelGraphics, devpkey::kIsPresent, devprop::kBoolean, {});
  ASSERT_TRUE(Build(0));
  // No class GUID: the no-class entry, whose status says so.
  EXPECT_EQ(Cell(kNic, kColumnStatus), "No drivers installed");
  EXPECT_EQ(Cell(kWifi, kColumnStatus), "Working properly");
  EXPECT_EQ(Cell(kIntelGraphics, kColumnName), "Unknown device");
  EXPECT_EQ(Cell(kIntelGraphics, kColumnStatus), "Disabled");
}

// One group per class-table entry, sorted by description with the no-class entry last; classes
// that share a picture (print queues and printers; sensors, other devices and the no-class
// entry all show the Unknown one) still hold their own rows.
TEST_F(BuildInventoryTest, EveryClassHasAGroupOfItsOwnShowingItsPicture) {
  ASSERT_TRUE(Build(kListShowNotPresent));
  const auto& table = inventory_.ClassTable();
  ASSERT_EQ(table.size(), platform_.Pc().classes.size() + 1);
  ASSERT_EQ(list_.GroupCount(), static_cast<int>(table.size()));
  for (size_t i = 0; i < table.size(); ++i) {
    ListGroup g;
    ASSERT_TRUE(list_.GroupAt(static_cast<int>(i), &g));
    EXPECT_EQ(g.header, table[i].description);
    EXPECT_EQ(g.titleImage, table[i].imageIndex);
    if (i > 0 && i + 1 < table.size()) {
      EXPECT_LE(WideText::Compare(table[i - 1].description.View(), g.header.View(), false), 0);
    }
  }
  EXPECT_TRUE(table.back().guid.IsNull());
  EXPECT_EQ(Group(u"Audio inputs and outputs")->descriptionTop.ToUtf8(),
            "Class name: AudioEndpoint | GUID: {C166523C-FE0C-4A94-A586-F1A80CFBBF3E}");
  EXPECT_EQ(Group(u"")->descriptionTop.ToUtf8(), "Class name:  | GUID: {00000000-0000-0000-0000-000000000000}");
  const int unknown = platform_.Pc().unknownClassImage;
  for (const char16_t* header : {u"Sensors", u"Other devices", u""}) EXPECT_EQ(Group(header)->titleImage, unknown);
  EXPECT_EQ(Group(u"Printers")->titleImage, Group(u"Print queues")->titleImage);
  // Each row sits under its own class's header, with its class's picture.
  for (int r = 0; r < list_.RowCount(); ++r) {
    const WideText className = list_.CellText(r, kColumnClass);
    const auto cls = std::find_if(table.begin(), table.end(), [&](const DeviceClassInfo& c) { return c.name == className; });
    ASSERT_NE(cls, table.end()) << className.ToUtf8();
    const ListGroup* group = list_.GroupById(list_.RowGroupId(r));
    ASSERT_NE(group, nullptr) << r;
    EXPECT_EQ(group->header, cls->description) << list_.CellText(r, 0).ToUtf8();
    EXPECT_EQ(list_.RowImage(r), cls->imageIndex) << r;
  }
  EXPECT_EQ(list_.SmallImageList().value, list_.GroupHeaderImageList().value);
  // Flat: no groups, no group identifiers.
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_FALSE(list_.GroupViewEnabled());
  EXPECT_FALSE(host_.applied.grouped);
  EXPECT_EQ(list_.GroupCount(), 0);
  for (int r = 0; r < list_.RowCount(); ++r) EXPECT_EQ(list_.RowGroupId(r), kNoGroup);
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(list_.GroupViewEnabled());
  EXPECT_TRUE(host_.applied.grouped);
}

TEST_F(BuildInventoryTest, TroubledGroupsExpandAndRefreshesKeepTheUsersGroups) {
  ASSERT_TRUE(Build(0));
  // The first build: only groups holding a device with a problem or without a class.
  EXPECT_EQ(ExpandedHeaders(), (std::set<std::string>{"", "Display adapters", "Network adapters", "Other devices",
                                                      "Ports (COM & LPT)", "Universal Serial Bus controllers"}));
  list_.SetGroupState(Group(u"Disk drives")->groupId, kGroupCollapsed, 0);
  list_.SetGroupState(Group(u"Display adapters")->groupId, kGroupCollapsed, kGroupCollapsed);
  ASSERT_TRUE(Build(0));
  EXPECT_FALSE(Group(u"Disk drives")->state & kGroupCollapsed);
  EXPECT_FALSE(Group(u"Display adapters")->state & kGroupCollapsed);  // holds a disabled device
  EXPECT_TRUE(Group(u"Keyboards")->state & kGroupCollapsed);
  // The remembered headers are compared without regard to case.
  list_.SetGroupState(Group(u"Keyboards")->groupId, kGroupCollapsed, 0);
  for (SimulatedClass& c : platform_.Pc().classes) {
    if (c.description == u"Keyboards") c.description = WideText(u"KEYBOARDS");
  }
  ASSERT_TRUE(Build(0));
  EXPECT_FALSE(Group(u"KEYBOARDS")->state & kGroupCollapsed);
  EXPECT_FALSE(Group(u"Disk drives")->state & kGroupCollapsed);
  EXPECT_TRUE(Group(u"Mice and other pointing devices")->state & kGroupCollapsed);
}

TEST_F(BuildInventoryTest, SelectionSortAndTicksAcrossRebuilds) {
  inventory_.storedFlags = 0;
  ASSERT_TRUE(Build(kListFlat));  // a saved flat setting at start-up sorts by class
  EXPECT_EQ(list_.SortArrowColumn(), kColumnClass);
  EXPECT_EQ(inventory_.storedFlags, kListFlat);
  ASSERT_TRUE(Build(0));  // grouped: by name, ascending
  EXPECT_EQ(list_.SortArrowColumn(), kColumnName);
  EXPECT_EQ(list_.ColumnArrow(kColumnName), SortArrow::kUp);
  const std::vector<std::string> names = Column(kColumnName);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareCellTexts(WideText::FromUtf8(a.c_str()).View(), WideText::FromUtf8(b.c_str()).View()) < 0;
  }));
  // The selected device is selected again and scrolled to where the sort put it; ticks go.
  list_.SelectRow(Row(kNic));
  list_.SetAllChecked(true);
  list_.SortRows(kColumnManufacturer, kSortDescending);
  ASSERT_TRUE(Build(kListShowNotPresent));  // more rows come before it
  ASSERT_GE(list_.SelectedRow(), 0);
  EXPECT_EQ(list_.CellText(list_.SelectedRow(), kColumnInstanceId), kNic);
  EXPECT_EQ(list_.ScrolledToRow(), list_.SelectedRow());
  EXPECT_TRUE(host_.applied.rowSelected);
  EXPECT_TRUE(list_.CheckedRows().empty());
  EXPECT_FALSE(host_.applied.anyChecked);
  // The user's column and direction survive a rebuild in the same mode.
  EXPECT_EQ(list_.SortArrowColumn(), kColumnManufacturer);
  EXPECT_EQ(list_.ColumnArrow(kColumnManufacturer), SortArrow::kDown);
  EXPECT_EQ(Column(kColumnManufacturer).front(), "Standard SATA AHCI Controller");
  // Flat: by class, also after a second flat build; grouped again: by name.
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_EQ(list_.ColumnArrow(kColumnClass), SortArrow::kUp);
  EXPECT_EQ(list_.ColumnArrow(kColumnManufacturer), SortArrow::kNone);
  ASSERT_TRUE(Build(kListFlat | kListShowNotPresent));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnClass);
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnName);
  // The first row is a selection like any other.
  const WideText top = list_.CellText(0, kColumnInstanceId);
  list_.SelectRow(0);
  ASSERT_TRUE(Build(0));
  ASSERT_GE(list_.SelectedRow(), 0);
  EXPECT_EQ(list_.CellText(list_.SelectedRow(), kColumnInstanceId), top);
}

TEST_F(BuildInventoryTest, EachBuildReplacesItsResourcesAndAFailureSaysSo) {
  ASSERT_TRUE(Build(0));
  ASSERT_TRUE(Build(kListShowNotPresent));
  EXPECT_EQ(platform_.OpenSets(), 1u);
  EXPECT_EQ(platform_.OpenImageLists(), 1u);
  EXPECT_TRUE(list_.RedrawOn());
  // A new image list that cannot be made leaves the list showing the old one, alive.
  const uintptr_t shown = list_.SmallImageList().value;
  platform_.SetImageListFails(true);
  Build(0);
  EXPECT_EQ(list_.SmallImageList().value, shown);
  ClassImageList probe;
  probe.imageList = list_.SmallImageList();
  int32_t index = -1;
  EXPECT_TRUE(platform_.GetClassImageIndex(probe, Guid(), &index));  // not freed
  platform_.SetImageListFails(false);
  // A set that cannot be opened: an empty list and the message.
  list_.SetRowChecked(0, true);
  platform_.SetOpenSetFails(true);
  EXPECT_FALSE(Build(0));
  EXPECT_EQ(host_.messages, std::vector<std::string>{"Sorry, Pyravel could not build the device list"});
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.GroupCount(), 0);
  EXPECT_TRUE(list_.RedrawOn());
  EXPECT_FALSE(host_.applied.anyChecked);
  EXPECT_EQ(platform_.OpenSets(), 0u);
  platform_.SetOpenSetFails(false);
  EXPECT_TRUE(Build(0));
  EXPECT_GT(list_.RowCount(), 100);
  inventory_.Release();
  EXPECT_EQ(platform_.OpenSets(), 0u);
  EXPECT_EQ(platform_.OpenImageLists(), 0u);
}

// The class table of small PCs: sorted by description without regard to case, equal ones kept
// in order; nothing to sort with one class or none; the no-class entry last.
TEST(ClassTableSort, ByDescriptionIgnoringCaseKeepingEqualOnesInOrder) {
  const std::vector<std::vector<std::pair<std::string, std::string>>> pcs = {
      {{"c", "mice"}, {"b", "Keyboards"}, {"a2", "audio"}, {"a1", "Audio"}, {"z", "Batteries"}}, {{"only", "Only"}}, {}};
  const std::vector<std::vector<std::string>> sorted = {{"a2", "a1", "z", "b", "c", ""}, {"only", ""}, {""}};
  for (size_t n = 0; n < pcs.size(); ++n) {
    std::string json = R"({"unknownClassImage": 0, "classes": [)";
    for (size_t i = 0; i < pcs[n].size(); ++i) {
      char guid[64];
      std::snprintf(guid, sizeof guid, "{%08zX-0000-0000-0000-000000000000}", i + 1);
      json += std::string(i ? "," : "") + R"({"guid": ")" + guid + R"(", "name": ")" + pcs[n][i].first +
              R"(", "description": ")" + pcs[n][i].second + R"(", "image": )" + std::to_string(i + 1) + "}";
    }
    json += R"(], "devices": [{"instanceId": "PCI\\VEN_1\\0", "hardwareIds": ["PCI\\VEN_1"]}]})";
    SimulatedPc pc;
    std::string error;
    ASSERT_TRUE(ParseSimulatedPc(json, &pc, &error)) << error;
    SimulatedPlatform platform(std::move(pc));
    DeviceInventory inventory(platform);
    MemoryDeviceList list;
    RecordingInventoryHost host;
    ASSERT_TRUE(BuildInventory(inventory, list, host, 0));
    std::vector<std::string> names;
    for (const DeviceClassInfo& c : inventory.ClassTable()) names.push_back(c.name.ToUtf8());
    EXPECT_EQ(names, sorted[n]);
    // The device without a class and without a problem: its group expanded all the same.
    EXPECT_EQ(list.GroupById(list.RowGroupId(0))->state & kGroupCollapsed, 0u);
  }
}

// The devices of each package come with the pass that lists every device, present or not, and
// only then: a pass of present devices, or one that lost a read, leaves the packages to a pass of
// their own.
TEST_F(BuildInventoryTest, PackageUsersComeWithAPassOverEveryDeviceOnly) {
  PackageUsers own;
  ASSERT_TRUE(own.Read(platform_, true));
  ASSERT_TRUE(Build(kListShowNotPresent));
  const PackageUsers* users = inventory_.Users();
  ASSERT_NE(users, nullptr);
  std::set<std::u16string> infs;
  for (int r = 0; r < list_.RowCount(); ++r) infs.insert(list_.CellText(r, kColumnInfPath).Str());
  infs.erase(u"");
  ASSERT_GT(infs.size(), 3u);
  size_t ghosts = 0;
  for (const std::u16string& inf : infs) {
    const PackageUse* mine = users->Use(WideText(inf));
    const PackageUse* theirs = own.Use(WideText(inf));
    ASSERT_TRUE(mine != nullptr && theirs != nullptr) << WideText(inf).ToUtf8();
    EXPECT_EQ(mine->present, theirs->present) << WideText(inf).ToUtf8();
    EXPECT_EQ(mine->notPresent, theirs->notPresent) << WideText(inf).ToUtf8();
    ghosts += mine->notPresent;
  }
  EXPECT_GT(ghosts, 0u);

  ASSERT_TRUE(Build(0));
  EXPECT_EQ(inventory_.Users(), nullptr);
  // Each call of the pass failing in turn: the counts are withheld, or they are still right.
  size_t withheld = 0;
  for (uint64_t nth = 1;; ++nth) {
    platform_.ScheduleFault(nth, 31);  // ERROR_GEN_FAILURE
    Build(kListShowNotPresent);
    if (!platform_.FaultHappened()) break;
    const PackageUsers* after = inventory_.Users();
    if (after == nullptr) {
      ++withheld;
      continue;
    }
    for (const std::u16string& inf : infs) {
      EXPECT_EQ(after->Count(WideText(inf)), own.Count(WideText(inf))) << "call " << nth << " failing";
    }
  }
  EXPECT_GT(withheld, 0u);
}

}  // namespace
}  // namespace pyr
