#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/test_fixture.h"
#include "devices/device_columns.h"
#include "devices/device_inventory.h"
#include "devices/device_status.h"
#include "devices/memory_device_list.h"
#include "devices/property_keys.h"
#include "base/list_sort.h"
#include "devices/property_reader.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

class RecordingHost : public InventoryHost {
 public:
  void ShowMessage(const WideText& text) override { messages.push_back(text.ToUtf8()); }
  void ApplyCommandAvailability(const CommandAvailability& commands) override {
    applied = commands;
  }
  std::vector<std::string> messages;
  CommandAvailability applied;
};

constexpr const char16_t* kNic = u"PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE";
constexpr const char16_t* kIntelGraphics =
    u"PCI\\VEN_8086&DEV_3E98&SUBSYS_86941043&REV_02\\3&11583659&0&10";
constexpr const char16_t* kWifi = u"PCI\\VEN_8086&DEV_2723&SUBSYS_00848086&REV_1A\\4&1C9A3F2B&0&00E4";
constexpr const char16_t* kDataAcquisition =
    u"PCI\\VEN_8086&DEV_A379&SUBSYS_86941043&REV_10\\3&11583659&0&90";
constexpr const char16_t* kBaseSystemDevice =
    u"PCI\\VEN_1180&DEV_0832&SUBSYS_86941043&REV_04\\4&3B2C&0&01E4";
constexpr const char16_t* kOldStick =
    u"USBSTOR\\DISK&VEN_SANDISK&PROD_CRUZER_BLADE&REV_1.00\\4C530001230711116452&0";
constexpr const char16_t* kMobileBroadband = u"USB\\VID_12D1&PID_1506\\6&2A1F&0&3";
constexpr const char16_t* kNameless = u"ACPI\\INT3F0D\\2&DABA3FF&1";
constexpr const char16_t* kWmi = u"ACPI\\PNP0C14\\MXM";
constexpr const char16_t* kPrinter = u"USBPRINT\\BROTHERHL-L2350DW_SERIES\\7&2D5F8A&0&USB001";

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
  const ListGroup* GroupNamed(const char16_t* header) const {
    for (int i = 0; i < list_.GroupCount(); ++i) {
      const ListGroup* g = list_.GroupById(GroupIdAt(i));
      if (g && g->header == header) return g;
    }
    return nullptr;
  }
  int GroupIdAt(int index) const {
    ListGroup g;
    return list_.GroupAt(index, &g) ? g.groupId : kNoGroup;
  }
  bool Expanded(const char16_t* header) const {
    const ListGroup* g = GroupNamed(header);
    EXPECT_NE(g, nullptr) << WideText(header).ToUtf8();
    return g && !(g->state & kGroupCollapsed);
  }
  std::set<std::string> ExpandedHeaders() const {
    std::set<std::string> out;
    for (int i = 0; i < list_.GroupCount(); ++i) {
      ListGroup g;
      list_.GroupAt(i, &g);
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
  RecordingHost host_;
};

// --- Which devices are listed ---

TEST_F(BuildInventoryTest, ListsExactlyTheDevicesWithAListedClassAndHardwareIds) {
  for (uint32_t flags : {0u, kListShowNotPresent}) {
    ASSERT_TRUE(Build(flags));
    size_t expected = 0;
    for (const SimulatedDevice& d : platform_.Pc().devices) {
      const bool classKnown = !d.classGuid || platform_.Pc().ClassByGuid(*d.classGuid);
      const bool shown = d.present || (flags & kListShowNotPresent);
      expected += classKnown && !d.hardwareIds.empty() && shown;
    }
    EXPECT_EQ(list_.RowCount(), static_cast<int>(expected)) << flags;
    // Services without hardware IDs and the device of an unlisted class never show.
    EXPECT_EQ(Row(u"ROOT\\LEGACY_AFD\\0000"), -1);
    EXPECT_EQ(Row(u"PCI\\VEN_104C&DEV_8023\\4&1A&0&0020"), -1);
  }
}

TEST_F(BuildInventoryTest, NotPresentDevicesOnlyOnRequest) {
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(Row(kOldStick), -1);
  for (int r = 0; r < list_.RowCount(); ++r) {
    EXPECT_NE(list_.CellText(r, kColumnStatus).ToUtf8(), "Not present");
  }
}

// --- What a row shows ---

TEST_F(BuildInventoryTest, RowsCarryStatusAndColour) {
  ASSERT_TRUE(Build(kListShowNotPresent));
  const struct {
    const char16_t* instanceId;
    const char* status;
    uint32_t colour;
  } cases[] = {
      {kNic, "Working properly", kDefaultColour},
      {kIntelGraphics, "Disabled", kColourDisabled},
      {kWifi, "Error: Failed to start", kColourNotWorking},
      {kDataAcquisition, "No drivers installed", kColourNoDrivers},
      {kBaseSystemDevice, "Error: Failed install", kColourNotWorking},
      {u"USB\\VID_0000&PID_0002\\5&3A1B2C3D&0&9", "Error: Failed post start", kColourNotWorking},
      {kOldStick, "Not present", kColourNotPresent},
      // Absent and without drivers: the missing drivers decide text and colour.
      {kMobileBroadband, "No drivers installed", kColourNoDrivers},
  };
  for (const auto& c : cases) {
    const int row = Row(c.instanceId);
    ASSERT_GE(row, 0) << WideText(c.instanceId).ToUtf8();
    EXPECT_EQ(list_.CellText(row, kColumnStatus).ToUtf8(), c.status);
    EXPECT_EQ(list_.RowBackground(row), c.colour) << c.status;
    EXPECT_EQ(list_.RowTextColour(row), c.colour == kDefaultColour ? kDefaultColour : 0xFFFFFFu) << c.status;
  }
}

TEST_F(BuildInventoryTest, ColumnsComeFromTheProperties) {
  ASSERT_TRUE(Build(0));
  const int row = Row(kNic);
  ASSERT_GE(row, 0);
  const std::vector<std::string> expected = {
      "Intel(R) Ethernet Connection (7) I219-V",
      "Working properly",
      "Net",
      "Intel",
      "2021/09/03",  // the date without its time of day
      "12.19.1.37",
      "e1dexpress",
      "PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10",  // the first hardware ID
      "oem21.inf",
      "PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE",
  };
  for (int c = 0; c < kDeviceColumnCount; ++c) {
    EXPECT_EQ(list_.CellText(row, c).ToUtf8(), expected[c]) << "column " << c;
  }
  EXPECT_EQ(list_.RowIndent(row), 1);
  const DeviceClassInfo* net = nullptr;
  for (const DeviceClassInfo& c : inventory_.ClassTable()) {
    if (c.name == u"Net") net = &c;
  }
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(list_.RowImage(row), net->imageIndex);
  EXPECT_EQ(list_.RowGroupId(row), net->imageIndex);
  // The row's user value names the device in the inventory's set.
  DeviceInfo device;
  uint32_t index = 0;
  ASSERT_TRUE(StoredDeviceIndex(list_, row, &index));
  ASSERT_TRUE(inventory_.DeviceAt(index, &device));
  std::vector<WideText> ids;
  ASSERT_EQ(ReadDeviceProperty(platform_, inventory_.Set(), device, devpkey::kInstanceId, &ids),
            1u);
  EXPECT_EQ(ids[0], kNic);
  EXPECT_TRUE(inventory_.IsPhysicalDevice(index));
}

TEST_F(BuildInventoryTest, MissingPropertiesLeaveColumnsEmpty) {
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(Cell(kNameless, kColumnName), "Unknown device");
  for (int c : {kColumnClass, kColumnManufacturer, kColumnDriverDate, kColumnDriverVersion,
                kColumnServiceName, kColumnInfPath}) {
    EXPECT_EQ(Cell(kDataAcquisition, c), "") << "column " << c;
  }
  uint32_t index = 0;
  ASSERT_TRUE(StoredDeviceIndex(list_, Row(u"ROOT\\COMPOSITEBUS\\0000"), &index));
  EXPECT_FALSE(inventory_.IsPhysicalDevice(index));
}

TEST_F(BuildInventoryTest, DeviceHiddenFromUninstallIsListedInFull) {
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(Cell(kWmi, kColumnStatus), "Working properly");
  EXPECT_EQ(Cell(kWmi, kColumnServiceName), "WmiAcpi");
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

// --- Groups ---

TEST_F(BuildInventoryTest, FirstBuildExpandsOnlyTroubledGroups) {
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(list_.GroupViewEnabled());
  // Devices without a class get the picture of "Other devices", and so share its group.
  const std::set<std::string> expected = {"Display adapters", "Network adapters", "Other devices",
                                          "Ports (COM & LPT)", "Universal Serial Bus controllers"};
  EXPECT_EQ(ExpandedHeaders(), expected);
  EXPECT_EQ(list_.RowGroupId(Row(kDataAcquisition)), GroupNamed(u"Other devices")->groupId);
  for (int i = 0; i < list_.GroupCount(); ++i) {
    ListGroup g;
    list_.GroupAt(i, &g);
    EXPECT_TRUE(g.state & kGroupCollapsible);
  }
}

TEST_F(BuildInventoryTest, RefreshKeepsExpandedGroupsAndReexpandsTroubledOnes) {
  ASSERT_TRUE(Build(0));
  list_.SetGroupState(GroupNamed(u"Disk drives")->groupId, kGroupCollapsed, 0);
  list_.SetGroupState(GroupNamed(u"Display adapters")->groupId, kGroupCollapsed, kGroupCollapsed);
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(Expanded(u"Disk drives"));
  EXPECT_TRUE(Expanded(u"Display adapters"));  // holds a disabled device
  EXPECT_FALSE(Expanded(u"Keyboards"));
  // The remembered headers are compared without regard to case.
  list_.SetGroupState(GroupNamed(u"Keyboards")->groupId, kGroupCollapsed, 0);
  for (SimulatedClass& c : platform_.Pc().classes) {
    if (c.description == u"Keyboards") c.description = WideText(u"KEYBOARDS");
  }
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(Expanded(u"KEYBOARDS"));
  EXPECT_TRUE(Expanded(u"Disk drives"));
  EXPECT_FALSE(Expanded(u"Mice and other pointing devices"));
}

TEST_F(BuildInventoryTest, GroupsFollowTheSortedClassTable) {
  ASSERT_TRUE(Build(0));
  const auto& table = inventory_.ClassTable();
  ASSERT_EQ(table.size(), platform_.Pc().classes.size() + 1);
  for (size_t i = 1; i + 1 < table.size(); ++i) {
    EXPECT_LE(WideText::Compare(table[i - 1].description.View(), table[i].description.View(),
                                false),
              0);
  }
  EXPECT_TRUE(table.back().guid.IsNull());
  EXPECT_TRUE(table.back().name.Empty());
  EXPECT_TRUE(table.back().description.Empty());
  // Print queues and printers share a picture: one group, headed by the first of them; so do
  // "Other devices" and the devices without a class.
  ASSERT_EQ(list_.GroupCount(), static_cast<int>(table.size()) - 2);
  ListGroup first;
  ASSERT_TRUE(list_.GroupAt(0, &first));
  EXPECT_EQ(first.header.ToUtf8(), "Audio inputs and outputs");
  EXPECT_EQ(first.descriptionTop.ToUtf8(),
            "Class name: AudioEndpoint | GUID: {C166523C-FE0C-4A94-A586-F1A80CFBBF3E}");
  EXPECT_EQ(first.titleImage, first.groupId);
  EXPECT_EQ(GroupNamed(u"Printers"), nullptr);
  ASSERT_TRUE(Build(kListShowNotPresent));
  EXPECT_EQ(list_.RowGroupId(Row(kPrinter)), GroupNamed(u"Print queues")->groupId);
  EXPECT_TRUE(list_.RowShown(Row(kPrinter)));
}

TEST_F(BuildInventoryTest, FlatListHasNoGroups) {
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_FALSE(list_.GroupViewEnabled());
  EXPECT_EQ(list_.GroupCount(), 0);
  for (int r = 0; r < list_.RowCount(); ++r) EXPECT_EQ(list_.RowGroupId(r), kNoGroup);
  EXPECT_FALSE(host_.applied.grouped);
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(host_.applied.grouped);
}

// --- Selection, sorting, failure, resources ---

TEST_F(BuildInventoryTest, SelectedDeviceIsSelectedAgainAfterARefresh) {
  ASSERT_TRUE(Build(0));
  list_.SelectRow(Row(kNic));
  list_.SortRows(kColumnStatus, kSortDescending);  // the row moves
  ASSERT_TRUE(Build(kListShowNotPresent));         // and more rows come before it
  ASSERT_GE(list_.SelectedRow(), 0);
  EXPECT_EQ(list_.CellText(list_.SelectedRow(), kColumnInstanceId), kNic);
  // Scrolled to where the row ended up after the sort, not where it was inserted.
  EXPECT_EQ(list_.ScrolledToRow(), list_.SelectedRow());
  EXPECT_TRUE(host_.applied.rowSelected);
}

TEST_F(BuildInventoryTest, SortColumnFollowsTheGroupingMode) {
  ASSERT_TRUE(Build(0));  // start-up, grouped: by name, ascending
  EXPECT_EQ(list_.SortArrowColumn(), kColumnName);
  EXPECT_EQ(list_.ColumnArrow(kColumnName), SortArrow::kUp);
  std::vector<std::string> names = Column(kColumnName);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareCellTexts(WideText::FromUtf8(a.c_str()).View(), WideText::FromUtf8(b.c_str()).View()) < 0;
  }));
  // The user's column and direction survive a rebuild in the same mode.
  list_.SortRows(kColumnManufacturer, kSortDescending);
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnManufacturer);
  EXPECT_EQ(list_.ColumnArrow(kColumnManufacturer), SortArrow::kDown);
  std::vector<std::string> makers = Column(kColumnManufacturer);
  EXPECT_EQ(makers.front(), "Standard SATA AHCI Controller");
  // Flat: by class; grouped again: by name.
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnClass);
  EXPECT_EQ(list_.ColumnArrow(kColumnClass), SortArrow::kUp);
  EXPECT_EQ(list_.ColumnArrow(kColumnManufacturer), SortArrow::kNone);
  ASSERT_TRUE(Build(kListFlat | kListShowNotPresent));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnClass);
  ASSERT_TRUE(Build(0));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnName);
}

TEST_F(BuildInventoryTest, SavedFlatSettingSortsByClassAtStartUp) {
  inventory_.storedFlags = 0;
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_EQ(list_.SortArrowColumn(), kColumnClass);
  EXPECT_EQ(inventory_.storedFlags, kListFlat);
}

TEST_F(BuildInventoryTest, FailureToOpenTheSetEmptiesTheListAndSaysSo) {
  ASSERT_TRUE(Build(0));
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
}

TEST_F(BuildInventoryTest, EachBuildReplacesTheSetAndTheImageList) {
  ASSERT_TRUE(Build(0));
  ASSERT_TRUE(Build(kListShowNotPresent));
  ASSERT_TRUE(Build(kListFlat));
  EXPECT_EQ(platform_.OpenSets(), 1u);
  EXPECT_EQ(platform_.OpenImageLists(), 1u);
  EXPECT_TRUE(list_.SmallImageList().Valid());
  EXPECT_EQ(list_.SmallImageList().value, list_.GroupHeaderImageList().value);
  EXPECT_TRUE(list_.RedrawOn());
  inventory_.Release();
  EXPECT_EQ(platform_.OpenSets(), 0u);
  EXPECT_EQ(platform_.OpenImageLists(), 0u);
}

// A rebuild whose new image list cannot be made leaves the list showing a live one.
TEST_F(BuildInventoryTest, FailedImageListKeepsTheShownOneAlive) {
  ASSERT_TRUE(Build(0));
  const uintptr_t shown = list_.SmallImageList().value;
  platform_.SetImageListFails(true);
  Build(0);
  EXPECT_EQ(list_.SmallImageList().value, shown);
  EXPECT_EQ(platform_.OpenImageLists(), 1u);
  ClassImageList probe;
  probe.imageList = list_.SmallImageList();
  int32_t index = -1;
  EXPECT_TRUE(platform_.GetClassImageIndex(probe, Guid(), &index));  // not freed
}

TEST_F(BuildInventoryTest, RebuiltRowsStartUnchecked) {
  ASSERT_TRUE(Build(0));
  EXPECT_FALSE(host_.applied.anyChecked);
  list_.SetAllChecked(true);
  ASSERT_TRUE(Build(0));
  EXPECT_TRUE(list_.CheckedRows().empty());
}

// --- Small PCs: the class table sort ---

SimulatedPc SmallPc(const std::vector<std::pair<std::string, std::string>>& classes) {
  std::string json = R"({"unknownClassImage": 0, "classes": [)";
  int n = 0;
  for (const auto& [name, description] : classes) {
    char guid[64];
    std::snprintf(guid, sizeof guid, "{%08X-0000-0000-0000-000000000000}", ++n);
    json += std::string(n > 1 ? "," : "") + R"({"guid": ")" + guid + R"(", "name": ")" + name +
            R"(", "description": ")" + description + R"(", "image": )" + std::to_string(n) + "}";
  }
  json += R"(], "devices": []})";
  SimulatedPc pc;
  std::string error;
  EXPECT_TRUE(ParseSimulatedPc(json, &pc, &error)) << error;
  return pc;
}

// The inventory of a small PC, built once.
struct BuiltPc {
  explicit BuiltPc(SimulatedPc pc) : platform(std::move(pc)), inventory(platform) {
    EXPECT_TRUE(BuildInventory(inventory, list, host, 0));
  }
  SimulatedPlatform platform;
  DeviceInventory inventory;
  MemoryDeviceList list;
  RecordingHost host;
};

TEST(ClassTableSort, ByDescriptionIgnoringCaseKeepingEqualOnesInOrder) {
  BuiltPc built(SmallPc({{"c", "mice"}, {"b", "Keyboards"}, {"a2", "audio"}, {"a1", "Audio"}, {"z", "Batteries"}}));
  std::vector<std::string> names;
  for (const DeviceClassInfo& c : built.inventory.ClassTable()) names.push_back(c.name.ToUtf8());
  EXPECT_EQ(names, (std::vector<std::string>{"a2", "a1", "z", "b", "c", ""}));
}

TEST(ClassTableSort, NoClassGroupComesLastWithAnEmptyHeader) {
  SimulatedPc pc = SmallPc({{"b", "Beta"}, {"a", "Alpha"}});
  pc.unknownClassImage = 9;
  SimulatedDevice d;
  d.instanceId = u"PCI\\VEN_1\\0";
  d.hardwareIds = {WideText(u"PCI\\VEN_1")};
  pc.devices.push_back(d);
  BuiltPc built(std::move(pc));
  const MemoryDeviceList& list = built.list;
  ASSERT_EQ(list.GroupCount(), 3);
  ListGroup last;
  ASSERT_TRUE(list.GroupAt(2, &last));
  EXPECT_EQ(last.header.ToUtf8(), "");
  EXPECT_EQ(last.descriptionTop.ToUtf8(),
            "Class name:  | GUID: {00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(last.groupId, 9);
  EXPECT_EQ(last.state & kGroupCollapsed, 0u);  // it holds a device without drivers
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.RowGroupId(0), 9);
  EXPECT_EQ(list.CellText(0, kColumnStatus).ToUtf8(), "No drivers installed");
}

TEST(ClassTableSort, OneOrNoClassesNeedNoSorting) {
  for (size_t count : {0u, 1u}) {
    std::vector<std::pair<std::string, std::string>> classes;
    if (count) classes.push_back({"only", "Only"});
    BuiltPc built(SmallPc(classes));
    ASSERT_EQ(built.inventory.ClassTable().size(), count + 1);
    EXPECT_TRUE(built.inventory.ClassTable().back().guid.IsNull());
    EXPECT_EQ(built.list.RowCount(), 0);
  }
}

}  // namespace
}  // namespace pyr
