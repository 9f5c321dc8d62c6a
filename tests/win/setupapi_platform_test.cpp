// The SetupAPI platform on the system the tests run on (Wine's device tree under Wine).
#include <gtest/gtest.h>

#include <windows.h>
#include <cfgmgr32.h>
#include <sddl.h>
#include <setupapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/win32/wchar.h"
#include "devices/device_columns.h"
#include "devices/device_inventory.h"
#include "devices/memory_device_list.h"
#include "devices/property_format.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "devices/win32/setupapi_platform.h"
#include "tests/core/test_fixture.h"
#include "support/temp_folder.h"

namespace pyr {
namespace {

// What the older registry-property call answers directly, as texts.
std::vector<std::string> Registry(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property) {
  DWORD type = 0, size = 0;
  SetupDiGetDeviceRegistryPropertyW(set, data, property, &type, nullptr, 0, &size);
  std::vector<std::string> out;
  std::vector<wchar_t> buffer(size / 2 + 2, L'\0');
  if (!SetupDiGetDeviceRegistryPropertyW(set, data, property, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), size, &size)) {
    return out;
  }
  for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1) {
    out.push_back(WideText(U(p)).ToUtf8());
    if (type != REG_MULTI_SZ) break;
  }
  return out;
}

std::vector<std::string> Texts(PropertyReader& reader, DeviceSet set, const DeviceInfo& device,
                               const DevPropKey& key) {
  std::vector<WideText> texts;
  reader.Read(set, device, key, &texts);
  std::vector<std::string> out;
  for (const WideText& t : texts) out.push_back(t.ToUtf8());
  return out;
}

class SetupApiPlatformTest : public ::testing::Test {
 protected:
  SetupApiPlatform platform_;
};

TEST_F(SetupApiPlatformTest, ListsTheSystemsDevicesLikeTheOlderCalls) {
  DeviceSet set = platform_.GetClassDevs(nullptr, nullptr, {}, kDigcfAllClasses | kDigcfPresent);
  ASSERT_TRUE(set.Valid());
  PropertyReader reader(platform_);
  HDEVINFO raw = reinterpret_cast<HDEVINFO>(set.value);
  DeviceInfo device;
  int withHardwareIds = 0, withClass = 0;
  uint32_t i = 0;
  for (; platform_.EnumDeviceInfo(set, i, &device); ++i) {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    ASSERT_TRUE(SetupDiEnumDeviceInfo(raw, i, &data));
    ASSERT_EQ(data.DevInst, device.devInst);

    const std::vector<std::string> ids = Texts(reader, set, device, devpkey::kHardwareIds);
    EXPECT_EQ(ids, Registry(raw, &data, SPDRP_HARDWAREID)) << i;
    withHardwareIds += !ids.empty();
    EXPECT_EQ(Texts(reader, set, device, devpkey::kClass), Registry(raw, &data, SPDRP_CLASS)) << i;
    EXPECT_EQ(Texts(reader, set, device, devpkey::kService), Registry(raw, &data, SPDRP_SERVICE));
    EXPECT_EQ(Texts(reader, set, device, devpkey::kManufacturer), Registry(raw, &data, SPDRP_MFG));

    std::vector<std::string> name = Registry(raw, &data, SPDRP_FRIENDLYNAME);
    if (name.empty()) name = Registry(raw, &data, SPDRP_DEVICEDESC);
    EXPECT_EQ(Texts(reader, set, device, devpkey::kName), name) << i;

    wchar_t instance[1024] = {};
    ASSERT_TRUE(SetupDiGetDeviceInstanceIdW(raw, &data, instance, 1024, nullptr));
    EXPECT_EQ(Texts(reader, set, device, devpkey::kInstanceId),
              std::vector<std::string>{WideText(U(instance)).ToUtf8()});

    const std::vector<std::string> classGuid = Registry(raw, &data, SPDRP_CLASSGUID);
    std::vector<std::string> guidText = Texts(reader, set, device, devpkey::kClassGuid);
    if (!classGuid.empty()) {
      ++withClass;
      Guid parsed;
      ASSERT_TRUE(Guid::Parse(WideText::FromUtf8(classGuid[0].c_str()).View(), &parsed));
      EXPECT_EQ(guidText, std::vector<std::string>{parsed.ToRegistryText().ToUtf8()});
    }

    ULONG status = 0, problem = 0;
    uint8_t bytes[4] = {};
    if (CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0) == CR_SUCCESS) {
      ASSERT_TRUE(reader.ReadFixed(set, device, devpkey::kProblemCode, bytes, 4));
      const uint32_t expected = (status & DN_HAS_PROBLEM) ? problem : 0;
      EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24, expected);
      // Wine keeps this flag for some devices itself, in four bytes; the texts agree anyway.
      EXPECT_EQ(Texts(reader, set, device, devpkey::kIsPresent), std::vector<std::string>{"True"});
    }
  }
  EXPECT_GE(i, 1u);
  EXPECT_GE(withHardwareIds, 1);
  EXPECT_GE(withClass, 1);
  EXPECT_TRUE(platform_.DestroyDeviceInfoList(set));
}

TEST_F(SetupApiPlatformTest, BuildInventoryListsRealDevices) {
  DeviceInventory inventory(platform_);
  MemoryDeviceList list;
  RecordingInventoryHost host;
  ASSERT_TRUE(BuildInventory(inventory, list, host, 0));
  // The rows' cells come through the reader checked above and the native build rules; here, that
  // the real class GUIDs (read as bytes) place devices at all.
  ASSERT_GE(list.RowCount(), 1);
  // A date the system does not answer (Wine knows none of the three keys, and no older call holds
  // them) leaves its cell empty, never a made-up date.
  for (int row = 0; row < list.RowCount(); ++row) {
    for (int column : {kColumnLastConnected, kColumnInstalled}) {
      const std::u16string_view cell = list.CellText(row, column).View();
      EXPECT_TRUE(cell.empty() || (cell.size() == 19 && cell[4] == u'/')) << row;
    }
  }
  // The class table is the system's, with the no-class entry last.
  DWORD count = 0;
  SetupDiBuildClassInfoList(0, nullptr, 0, &count);
  const auto& table = inventory.ClassTable();
  ASSERT_EQ(table.size(), count + 1u);
  EXPECT_TRUE(table.back().guid.IsNull());
  for (size_t i = 0; i + 1 < table.size(); ++i) {
    GUID guid;
    std::memcpy(&guid, &table[i].guid, sizeof guid);
    wchar_t name[1024] = {}, description[1024] = {};
    SetupDiClassNameFromGuidW(&guid, name, 1024, nullptr);
    SetupDiGetClassDescriptionW(&guid, description, 1024, nullptr);
    EXPECT_EQ(table[i].name, U(name));
    EXPECT_EQ(table[i].description, U(description));
  }
}

// The root, and by instance ID with the lookup that also finds devices not present (under Wine
// every such lookup fails alike, so one unknown device stands for all).
TEST_F(SetupApiPlatformTest, LocatingAnswersWhatTheSystemAnswers) {
  DEVINST direct = 0;
  DevInst found = 0;
  const CONFIGRET root = CM_Locate_DevNodeW(&direct, nullptr, CM_LOCATE_DEVNODE_NORMAL);
  EXPECT_EQ(platform_.LocateDevNode(&found, nullptr, 0), root);
  EXPECT_TRUE(root != CR_SUCCESS || found == direct);
  wchar_t unknown[] = L"ROOT\\PYRAVEL_NEVER_INSTALLED\\0000";
  EXPECT_EQ(platform_.LocateDevNode(&found, U(unknown), kCmLocateDevNodePhantom),
            CM_Locate_DevNodeW(&direct, unknown, CM_LOCATE_DEVNODE_PHANTOM));
}

// A descriptor whose parts lie beyond the bytes given is refused, and the check that says so reads
// no further than them.
TEST_F(SetupApiPlatformTest, ASecurityDescriptorIsReadWithinItsBytesOnly) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  ULONG size = 0;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"O:BAG:SYD:(A;;GA;;;SY)(A;;GR;;;BU)", SDDL_REVISION_1, &sd, &size));
  std::vector<uint8_t> bytes(static_cast<uint8_t*>(sd), static_cast<uint8_t*>(sd) + size);
  LocalFree(sd);
  ASSERT_GT(bytes.size(), 40u);
  std::vector<WideText> texts;
  // Its first 40 bytes, against an unreadable page.
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  auto* pages = static_cast<uint8_t*>(
      VirtualAlloc(nullptr, 2 * info.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages + info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old));
  uint8_t* edge = pages + info.dwPageSize - 40;
  std::memcpy(edge, bytes.data(), 40);
  EXPECT_EQ(FormatPropertyValue(devprop::kSecurityDescriptor, edge, 40, &platform_, &texts), 0u);
  VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(SetupApiPlatformTest, PlainIndirectStringsComeBackAsTheyAre) {
  const char16_t plain[] = u"Realtek Audio";
  std::vector<WideText> texts;
  ASSERT_EQ(FormatPropertyValue(devprop::kStringIndirect,
                                reinterpret_cast<const uint8_t*>(plain), sizeof plain,
                                &platform_, &texts),
            1u);
  EXPECT_EQ(texts[0].ToUtf8(), "Realtek Audio");
}

// The store's calls on an INF of our own: listed in its folder, its [Version] keys and original
// name read from the SP_INF_INFORMATION the system filled.
TEST_F(SetupApiPlatformTest, AnInfIsListedAndItsVersionFactsRead) {
  testing::TempFolder temp;
  const WideText inf = temp.Path(u"pyrtest.inf");
  ASSERT_TRUE(temp.Write(inf, "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\nProvider=Maker\r\n"
                              "DriverVer=01/02/2023,1.2.3.4\r\nCatalogFile=pyrtest.cat\r\n"));
  std::vector<WideText> names;
  uint32_t error = 0;
  ASSERT_TRUE(platform_.GetInfFileList(temp.Path(u"").Buffer(), kInfStyleWin4, &names, &error)) << error;
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(WideText::EqualsNoCase(names[0].View(), u"pyrtest.inf"));
  InfInformation info;
  constexpr uint32_t kNameIsAbsolute = INFINFO_INF_NAME_IS_ABSOLUTE;
  ASSERT_TRUE(platform_.GetInfInformation(inf.Buffer(), kNameIsAbsolute, &info, &error)) << error;
  const std::pair<const char16_t*, const char*> keys[] = {
      {u"DriverVer", "01/02/2023,1.2.3.4"}, {u"Class", "Net"}, {u"Provider", "Maker"}};
  // Wine 8's SetupQueryInfVersionInformationW is a stub (ERROR_CALL_NOT_IMPLEMENTED): the cells
  // stay empty there and the row is listed all the same.
  for (const auto& [key, expected] : keys) {
    WideText value;
    error = 0;
    const bool read = platform_.QueryInfVersionInformation(info, 0, key, &value, &error);
    EXPECT_EQ(value.ToUtf8(), read ? expected : "");
    if (!read) {
      EXPECT_EQ(error, static_cast<uint32_t>(ERROR_CALL_NOT_IMPLEMENTED));
    }
  }
  WideText value;
  EXPECT_FALSE(platform_.QueryInfVersionInformation(info, 0, u"NoSuchKey", &value, &error));
  WideText original, catalog;
  const bool known = platform_.QueryInfOriginalFileInformation(info, 0, &original, &catalog, &error);
  SP_ORIGINAL_FILE_INFO_W direct{};
  direct.cbSize = sizeof direct;
  EXPECT_EQ(known, SetupQueryInfOriginalFileInformationW(reinterpret_cast<PSP_INF_INFORMATION>(info.bytes.data()), 0,
                                                         nullptr, &direct) != FALSE);
  if (known) {
    EXPECT_EQ(original.ToUtf8(), WideText(U(direct.OriginalInfName)).ToUtf8());
  }
  EXPECT_FALSE(platform_.GetInfInformation(temp.Path(u"missing.inf").Buffer(), kNameIsAbsolute, &info, &error));
  EXPECT_NE(error, 0u);
}

}  // namespace
}  // namespace pyr
