#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "devices/device_status.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "sandbox/simulated_platform.h"
#include "core/test_fixture.h"

namespace pyr {
namespace {

// --- The fixture ---

TEST(SimulatedPcFixture, HoldsEveryCaseTheProgramDistinguishes) {
  SimulatedPc pc = LoadTestPc();
  EXPECT_GE(pc.devices.size(), 140u);
  EXPECT_GE(pc.classes.size(), 20u);
  const struct {
    const char* what;
    std::function<bool(const SimulatedDevice&)> is;
    int atLeast;
  } kinds[] = {
      {"disabled", [](const SimulatedDevice& d) { return d.problem == 22; }, 1},
      {"failed start", [](const SimulatedDevice& d) { return d.problem == 10; }, 1},
      {"failed install", [](const SimulatedDevice& d) { return d.problem == 28; }, 1},
      {"failed post start", [](const SimulatedDevice& d) { return d.problem == 43; }, 1},
      {"absent", [](const SimulatedDevice& d) { return !d.present; }, 5},
      {"without class", [](const SimulatedDevice& d) { return !d.classGuid; }, 3},
      {"without hardware IDs", [](const SimulatedDevice& d) { return d.hardwareIds.empty(); }, 1},
      {"hidden from uninstall", [](const SimulatedDevice& d) { return d.showInUninstallUi == false; }, 1},
      {"of an unlisted class", [&pc](const SimulatedDevice& d) { return d.classGuid && !pc.ClassByGuid(*d.classGuid); }, 1},
      {"nameless", [](const SimulatedDevice& d) { return !d.name; }, 1},
      {"physical", [](const SimulatedDevice& d) { return !d.locationPaths.empty(); }, 10},
  };
  for (const auto& k : kinds) {
    EXPECT_GE(std::count_if(pc.devices.begin(), pc.devices.end(), k.is), k.atLeast) << k.what;
  }
  // Two classes share a picture, and at least one class has no device.
  int shared = 0, empty = 0;
  for (size_t i = 0; i < pc.classes.size(); ++i) {
    for (size_t j = i + 1; j < pc.classes.size(); ++j) {
      shared += pc.classes[i].image == pc.classes[j].image;
    }
    bool used = false;
    for (const SimulatedDevice& d : pc.devices) used |= d.classGuid == pc.classes[i].guid;
    empty += !used;
  }
  EXPECT_GE(shared, 1);
  EXPECT_GE(empty, 1);
}

TEST(SimulatedPcFixture, MalformedFixturesNameTheField) {
  const std::string head = R"({"unknownClassImage": 1, "classes": [
      {"guid": "{4d36e968-e325-11ce-bfc1-08002be10318}", "name": "Display",
       "description": "Display adapters", "image": 2}], "devices": [)";
  const struct {
    std::string json;
    std::string error;
  } cases[] = {
      {"{", "not valid JSON"},
      {"[]", "must be a JSON object"},
      {R"({"classes": [], "devices": []})", "pc.unknownClassImage: missing"},
      {R"({"unknownClassImage": 1, "classes": {}, "devices": []})", "pc.classes: expected an array"},
      {R"({"unknownClassImage": 1, "classes": [{"guid": "{nope}", "name": "x", "description": "y",
          "image": 1}], "devices": []})",
       "classes[0].guid: expected a GUID"},
      {R"({"unknownClassImage": 1, "classes": [{"guid": "{4d36e968-e325-11ce-bfc1-08002be10318}",
          "name": "x", "image": 1}], "devices": []})",
       "classes[0].description: missing"},
      {head + R"({"name": "x"}]})", "devices[0].instanceId: missing"},
      {head + R"({"instanceId": "A\\1", "hardwareIds": ["a", 5]}]})",
       "devices[0].hardwareIds[1]: expected a string"},
      {head + R"({"instanceId": "A\\1", "class": "Printer"}]})",
       "devices[0].class: no class named \"Printer\""},
      {head + R"({"instanceId": "A\\1", "problem": -1}]})", "devices[0].problem: must lie between"},
      {head + R"({"instanceId": "A\\1", "present": "yes"}]})",
       "devices[0].present: expected true or false"},
      {head + R"({"instanceId": "A\\1", "driverDate": "2023/01/01"}]})",
       "devices[0].driverDate: expected a date YYYY-MM-DD"},
      {head + R"({"instanceId": "A\\1", "driverDate": "2023-02-30"}]})",
       "devices[0].driverDate: not a date"},
      {head + R"({"instanceId": "A\\1"}, {"instanceId": "a\\1"}]})",
       "devices[1].instanceId: used twice"},
      {head + R"(7]})", "devices[0]: expected an object"},
  };
  for (const auto& c : cases) {
    SimulatedPc pc;
    std::string error;
    EXPECT_FALSE(ParseSimulatedPc(c.json, &pc, &error)) << c.json;
    EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
  }
}

// --- The platform ---

class SimulatedPlatformTest : public ::testing::Test {
 protected:
  SimulatedPlatformTest() : platform_(LoadTestPc()), reader_(platform_) {}

  // Opens a set and returns the device with this instance ID in it.
  bool Find(const char16_t* instanceId, uint32_t flags, DeviceSet* set, DeviceInfo* device) {
    *set = platform_.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses | flags);
    for (uint32_t i = 0; platform_.EnumDeviceInfo(*set, i, device); ++i) {
      if (reader_.ReadFirst(*set, *device, devpkey::kInstanceId) == instanceId) return true;
    }
    return false;
  }
  bool Listed(const char16_t* instanceId, uint32_t flags = 0) {
    DeviceSet set;
    DeviceInfo device;
    bool found = Find(instanceId, flags, &set, &device);
    platform_.DestroyDeviceInfoList(set);
    return found;
  }
  uint32_t Problem(const char16_t* instanceId) {
    DeviceSet set;
    DeviceInfo device;
    uint32_t problem = 0xFFFFFFFF;
    if (Find(instanceId, 0, &set, &device)) {
      uint8_t bytes[4];
      if (reader_.ReadFixed(set, device, devpkey::kProblemCode, bytes, 4)) {
        problem = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
      }
    }
    platform_.DestroyDeviceInfoList(set);
    return problem;
  }
  DevInst DevInstOf(const char16_t* instanceId) {
    DevInst d = 0;
    EXPECT_EQ(platform_.LocateDevNode(&d, instanceId, 0), kCrSuccess);
    return d;
  }

  SimulatedPlatform platform_;
  PropertyReader reader_;
};

constexpr const char16_t* kNic = u"PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE";
constexpr const char16_t* kOldStick =
    u"USBSTOR\\DISK&VEN_SANDISK&PROD_CRUZER_BLADE&REV_1.00\\4C530001230711116452&0";
constexpr const char16_t* kCardReader = u"USB\\VID_0BDA&PID_0129\\20100201396000000";

TEST_F(SimulatedPlatformTest, PresentFlagHidesAbsentDevices) {
  EXPECT_TRUE(Listed(kOldStick));
  EXPECT_FALSE(Listed(kOldStick, kDigcfPresent));
  EXPECT_TRUE(Listed(kNic, kDigcfPresent));
  EXPECT_EQ(platform_.OpenSets(), 0u);
}

TEST_F(SimulatedPlatformTest, UninstalledDeviceReturnsWithARescanOnlyWhenPresent) {
  for (const char16_t* id : {kNic, kOldStick}) {
    DeviceSet set;
    DeviceInfo device;
    ASSERT_TRUE(Find(id, 0, &set, &device));
    bool reboot = true;
    platform_.SetNeedsReboot(false);
    EXPECT_TRUE(platform_.UninstallDevice({}, set, device, 0, &reboot));
    EXPECT_FALSE(reboot);
    // The old set still enumerates it, but it has no properties any more.
    EXPECT_TRUE(reader_.ReadFirst(set, device, devpkey::kName).Empty());
    platform_.DestroyDeviceInfoList(set);
    EXPECT_FALSE(Listed(id));
  }
  DevInst root = 0;
  ASSERT_EQ(platform_.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  EXPECT_EQ(platform_.ReenumerateDevNode(root, kCmReenumerateNormal), kCrSuccess);
  EXPECT_TRUE(Listed(kNic));
  EXPECT_FALSE(Listed(kOldStick));
}

TEST_F(SimulatedPlatformTest, RescanWithRetryInstallsAPackageFromTheStore) {
  DevInst root = 0;
  ASSERT_EQ(platform_.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  platform_.ReenumerateDevNode(root, kCmReenumerateNormal);
  EXPECT_EQ(Problem(kCardReader), 28u);
  platform_.ReenumerateDevNode(root, kCmReenumerateRetryInstallation);
  EXPECT_EQ(Problem(kCardReader), 0u);
  DeviceSet set;
  DeviceInfo device;
  ASSERT_TRUE(Find(kCardReader, 0, &set, &device));
  EXPECT_EQ(reader_.ReadFirst(set, device, devpkey::kDriverInfPath).ToUtf8(), "oem70.inf");
  EXPECT_EQ(reader_.ReadFirst(set, device, devpkey::kClass).ToUtf8(), "USB");
  EXPECT_EQ(reader_.ReadFirst(set, device, devpkey::kDriverDate).ToUtf8(), "2021/04/02 00:00:00");
  platform_.DestroyDeviceInfoList(set);
}

TEST_F(SimulatedPlatformTest, DriverStoreLocationsAndRemoval) {
  platform_.SetDriverStoreRoot(u"C:\\Store");
  WideText path;
  ASSERT_TRUE(platform_.GetInfDriverStoreLocation(u"oem12.inf", &path));
  EXPECT_EQ(path.ToUtf8(), "C:\\Store\\FileRepository\\nv_dispi.inf_amd64_9a8b7c6d5e4f3a2b\\nv_dispi.inf");
  bool reboot = false;
  uint32_t error = 0;
  EXPECT_TRUE(platform_.UninstallDriver({}, path.Buffer(), 0, &reboot, &error));
  EXPECT_FALSE(platform_.GetInfDriverStoreLocation(u"oem12.inf", &path));
  EXPECT_FALSE(platform_.UninstallDriver({}, u"C:\\x\\oem12.inf", 0, &reboot, &error));
  EXPECT_EQ(error, kErrorNotAnInstalledOemInf);
}

TEST_F(SimulatedPlatformTest, HardwareWhosePackageWasDeletedComesBackWithoutDrivers) {
  WideText path;
  ASSERT_TRUE(platform_.GetInfDriverStoreLocation(u"oem21.inf", &path));  // the Ethernet card's
  bool reboot = true;
  uint32_t error = 0;
  ASSERT_TRUE(platform_.UninstallDriver({}, path.Buffer(), 0, &reboot, &error));
  EXPECT_FALSE(reboot);
  EXPECT_FALSE(Listed(kNic));
  DevInst root = 0;
  ASSERT_EQ(platform_.LocateDevNode(&root, nullptr, 0), kCrSuccess);
  // Neither scan finds a driver for it any more: no class, no INF, no problem code.
  for (uint32_t mode : {kCmReenumerateNormal, kCmReenumerateRetryInstallation}) {
    platform_.ReenumerateDevNode(root, mode);
    DeviceSet set;
    DeviceInfo device;
    ASSERT_TRUE(Find(kNic, kDigcfPresent, &set, &device));
    EXPECT_TRUE(reader_.ReadFirst(set, device, devpkey::kClass).Empty());
    EXPECT_TRUE(reader_.ReadFirst(set, device, devpkey::kDriverInfPath).Empty());
    platform_.DestroyDeviceInfoList(set);
    EXPECT_EQ(Problem(kNic), 0u);
  }
}

// The fixture's devices that need a restart say so for each way of removing or changing their
// driver; the others do not.
TEST_F(SimulatedPlatformTest, DevicesThatNeedARestartSayWhenTheirDriverGoes) {
  enum Action { kUninstall, kForceDriver, kRemovePackage };
  const struct Case {
    Action action;
    const char16_t* target;  // instance ID, hardware ID with an INF name, or published INF name
    const char16_t* inf;
    bool restart;
  } cases[] = {
      {kUninstall, u"PCI\\VEN_10DE&DEV_21C4&SUBSYS_13033842&REV_A1\\4&2A3B5E0C&0&0008", nullptr, true},
      {kUninstall, kNic, nullptr, false},
      {kForceDriver, u"PCI\\VEN_10DE&DEV_21C4&SUBSYS_13033842&REV_A1\\4&2A3B5E0C&0&0008", u"nv_dispi.inf", true},
      {kForceDriver, kNic, u"e1d68x64.inf", false},
      {kRemovePackage, u"oem41.inf", nullptr, true},  // the Realtek sound device's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideText(c.target).ToUtf8());
    // A rescan brings back what the case before uninstalled.
    DevInst root = 0;
    ASSERT_EQ(platform_.LocateDevNode(&root, nullptr, 0), kCrSuccess);
    platform_.ReenumerateDevNode(root, kCmReenumerateNormal);
    bool reboot = !c.restart;
    bool done = false;
    if (c.action == kUninstall) {
      DeviceSet set;
      DeviceInfo device;
      ASSERT_TRUE(Find(c.target, 0, &set, &device));
      done = platform_.UninstallDevice({}, set, device, 0, &reboot);
      platform_.DestroyDeviceInfoList(set);
    } else if (c.action == kForceDriver) {
      DeviceSet set;
      DeviceInfo device;
      uint32_t error = 0;
      ASSERT_TRUE(Find(c.target, 0, &set, &device));
      done = platform_.InstallDeviceDriver({}, set, device, c.inf, kInstallFlagForce, &reboot, &error);
      platform_.DestroyDeviceInfoList(set);
    } else {
      WideText path;
      uint32_t error = 0;
      ASSERT_TRUE(platform_.GetInfDriverStoreLocation(c.target, &path));
      done = platform_.UninstallDriver({}, path.Buffer(), 0, &reboot, &error);
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(reboot, c.restart);
  }
}

TEST_F(SimulatedPlatformTest, ClassImagesFallBackToTheUnknownPicture) {
  ClassImageList list;
  ASSERT_TRUE(platform_.GetClassImageList(&list));
  int32_t index = -1;
  EXPECT_TRUE(platform_.GetClassImageIndex(list, Guid(), &index));
  EXPECT_EQ(index, platform_.Pc().unknownClassImage);
  EXPECT_TRUE(platform_.DestroyClassImageList(list));
  EXPECT_FALSE(platform_.GetClassImageIndex(list, Guid(), &index));
  EXPECT_EQ(platform_.OpenImageLists(), 0u);
}

}  // namespace
}  // namespace pyr
