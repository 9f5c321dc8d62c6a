#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_fixture.h"
#include "devices/device_inventory.h"
#include "devices/memory_device_list.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

constexpr const char16_t* kNic = u"PCI\\VEN_8086&DEV_15BC&SUBSYS_86941043&REV_10\\3&11583659&0&FE";

std::vector<uint8_t> Utf16List(const std::vector<std::u16string>& strings) {
  std::vector<uint8_t> bytes;
  for (const std::u16string& s : strings) {
    for (char16_t c : s) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    bytes.insert(bytes.end(), {0, 0});
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

class PropertyReaderTest : public ::testing::Test {
 protected:
  PropertyReaderTest() : platform_(LoadTestPc()), reader_(platform_) {
    set_ = platform_.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses);
    DevInst nic = 0;
    platform_.LocateDevNode(&nic, kNic, 0);
    for (uint32_t i = 0; platform_.EnumDeviceInfo(set_, i, &device_); ++i) {
      if (device_.devInst == nic) break;
    }
    platform_.ResetCalls();
  }
  ~PropertyReaderTest() override { platform_.DestroyDeviceInfoList(set_); }

  uint64_t PropertyCalls() const { return platform_.Calls(PlatformCall::kGetDeviceProperty); }

  SimulatedPlatform platform_;
  PropertyReader reader_;
  DeviceSet set_;
  DeviceInfo device_;
  std::vector<WideText> texts_;
};

TEST_F(PropertyReaderTest, CommonValuesCostOneCall) {
  EXPECT_EQ(reader_.Read(set_, device_, devpkey::kName, &texts_), 1u);
  EXPECT_EQ(texts_[0].ToUtf8(), "Intel(R) Ethernet Connection (7) I219-V");
  EXPECT_EQ(reader_.Read(set_, device_, devpkey::kHardwareIds, &texts_), 2u);
  EXPECT_EQ(PropertyCalls(), 2u);
}

TEST_F(PropertyReaderTest, AbsentValueCostsOneCallAndGivesNothing) {
  texts_.push_back(WideText(u"stale"));
  EXPECT_EQ(reader_.Read(set_, device_, devpkey::kShowInUninstallUi, &texts_), 0u);
  EXPECT_TRUE(texts_.empty());
  EXPECT_EQ(PropertyCalls(), 1u);
}

TEST_F(PropertyReaderTest, LargeValueGrowsTheBufferOnce) {
  std::vector<std::u16string> ids;
  for (int i = 0; i < 60; ++i) ids.push_back(u"USB\\VID_046D&PID_C52B&REV_" + std::u16string(1, u'A' + i % 26));
  const std::vector<uint8_t> bytes = Utf16List(ids);
  ASSERT_GT(bytes.size(), 2048u);
  platform_.SetRawProperty(kNic, devpkey::kHardwareIds, devprop::kStringList, bytes);
  EXPECT_EQ(reader_.Read(set_, device_, devpkey::kHardwareIds, &texts_), 60u);
  EXPECT_EQ(texts_.back().ToUtf8(), "USB\\VID_046D&PID_C52B&REV_H");
  EXPECT_EQ(PropertyCalls(), 2u);  // the read that did not fit, then the read that did
  EXPECT_EQ(reader_.Read(set_, device_, devpkey::kHardwareIds, &texts_), 60u);
  EXPECT_EQ(PropertyCalls(), 3u);
}

TEST_F(PropertyReaderTest, UnterminatedStringIsReadOnlyToItsEnd) {
  platform_.SetRawProperty(kNic, devpkey::kName, devprop::kString, {'a', 0, 'b', 0});
  EXPECT_EQ(reader_.ReadFirst(set_, device_, devpkey::kName).ToUtf8(), "ab");
  // Nothing of a longer value read before may show through.
  platform_.SetRawProperty(kNic, devpkey::kService, devprop::kString, {'x', 0});
  EXPECT_EQ(reader_.ReadFirst(set_, device_, devpkey::kService).ToUtf8(), "x");
}

TEST_F(PropertyReaderTest, FixedValuesMustHaveTheirExactSize) {
  uint8_t out[4] = {9, 9, 9, 9};
  platform_.SetRawProperty(kNic, devpkey::kProblemCode, devprop::kUInt32, {10, 0});
  EXPECT_FALSE(reader_.ReadFixed(set_, device_, devpkey::kProblemCode, out, 4));
  platform_.SetRawProperty(kNic, devpkey::kProblemCode, devprop::kUInt32, {10, 0, 0, 0, 0});
  EXPECT_FALSE(reader_.ReadFixed(set_, device_, devpkey::kProblemCode, out, 4));
  EXPECT_EQ(out[0], 9);
  platform_.SetRawProperty(kNic, devpkey::kProblemCode, devprop::kUInt32, {10, 0, 0, 0});
  EXPECT_TRUE(reader_.ReadFixed(set_, device_, devpkey::kProblemCode, out, 4));
  EXPECT_EQ(out[0], 10);
  EXPECT_FALSE(reader_.ReadFixed(set_, device_, devpkey::kProblemCode, out, 17));
}

TEST_F(PropertyReaderTest, DeviceOfAnotherSetHasNoProperties) {
  DeviceSet closed = set_;
  platform_.DestroyDeviceInfoList(set_);
  set_ = platform_.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses);
  EXPECT_EQ(reader_.Read(closed, device_, devpkey::kName, &texts_), 0u);
}

// A platform that reports a given size for the name and copies only what fits.
class ClaimedSizePlatform : public SimulatedPlatform {
 public:
  using SimulatedPlatform::SimulatedPlatform;
  uint32_t claimed = 0;
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                         uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                         uint32_t* requiredSize, uint32_t* error) override {
    if (!(key == devpkey::kName)) {
      return SimulatedPlatform::GetDeviceProperty(set, device, key, type, buffer, bufferSize, requiredSize, error);
    }
    *type = devprop::kString;
    *requiredSize = claimed;
    if (bufferSize < claimed) return false;
    for (uint32_t i = 0; i + 1 < claimed; i += 2) buffer[i] = 'z', buffer[i + 1] = 0;
    return true;
  }
};

// Sizes near 4 GiB once wrapped to a tiny buffer that was then overrun; above 1 MiB a value is
// unreadable, up to it it is read whole.
TEST(PropertyReads, ReportedSizeIsCappedAtOneMebibyte) {
  const struct {
    uint32_t claimed;
    size_t length;
  } cases[] = {
      {0xFFFFFFFFu, 0}, {0xFFFFFFFEu, 0}, {(1u << 20) + 2, 0}, {1u << 20, 1u << 19},
  };
  for (const auto& c : cases) {
    ClaimedSizePlatform platform(LoadTestPc());
    platform.claimed = c.claimed;
    PropertyReader reader(platform);
    DeviceSet set = platform.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses);
    DeviceInfo device;
    ASSERT_TRUE(platform.EnumDeviceInfo(set, 0, &device));
    EXPECT_EQ(reader.ReadFirst(set, device, devpkey::kName).View().size(), c.length) << c.claimed;
    platform.DestroyDeviceInfoList(set);
  }
}

// The whole build reads each property with one call on the fixture's PC.
TEST(PropertyReads, BuildCostsOneCallPerProperty) {
  SimulatedPlatform platform(LoadTestPc());
  DeviceInventory inventory(platform);
  MemoryDeviceList list;
  RecordingInventoryHost host;
  ASSERT_TRUE(BuildInventory(inventory, list, host, kListShowNotPresent));
  const uint64_t calls = platform.Calls(PlatformCall::kGetDeviceProperty);
  EXPECT_GT(platform.PropertyRequests(), 1000u);
  EXPECT_LE(calls * 10, platform.PropertyRequests() * 11);
}

}  // namespace
}  // namespace pyr
