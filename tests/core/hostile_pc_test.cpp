// A PC of the user's own making, as hostile as a fixture file can be: path-like and huge names,
// embedded NULs, empty texts, thousands of hardware IDs, 10,000 devices; and values no file can
// carry (unpaired surrogates) put in directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/selection_commands.h"
#include "core/test_fixture.h"
#include "devices/device_inventory.h"
#include "devices/memory_device_list.h"
#include "operations/state_commands.h"
#include "devices/property_keys.h"
#include "sandbox/simulated_pc.h"
#include "sandbox/simulated_platform.h"
#include "support/scripted_host.h"

namespace pyr {
namespace {

using Json = nlohmann::json;

constexpr size_t kDevices = 10000;
const std::string kLongName(32767, 'W');

// Names and texts that once meant something else to a file system, a URL or a C string.
const std::vector<std::string>& HostileTexts() {
  static const std::vector<std::string> texts = {
      "..\\..\\Windows\\System32\\drivers", "C:\\boot.ini", "\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x",
      "\\\\server\\share\\..\\x", std::string("before\0after", 12), "", kLongName,
      "100% #1 & co + x?y=z\r\nnext line", "CON"};
  return texts;
}

SimulatedPc HostilePc() {
  Json pc;
  pc["unknownClassImage"] = 0;
  pc["classes"] = Json::array({
      {{"guid", "{4d36e972-e325-11ce-bfc1-08002be10318}"}, {"name", "Net"},
       {"description", "Network adapters"}, {"image", 5}},
      {{"guid", "{11111111-2222-3333-4444-555555555555}"}, {"name", "..\\Odd"},
       {"description", ""}, {"image", 2147483647}},
  });
  Json devices = Json::array();
  const auto& texts = HostileTexts();
  for (size_t i = 0; i < kDevices; ++i) {
    // The hostile texts on the first devices, plain ones on the rest (a 32,767-unit text on
    // every field of every device would make a fixture of gigabytes).
    const std::string plain = "Device " + std::to_string(i);
    const std::string& t = i < 4 * texts.size() ? texts[i % texts.size()] : plain;
    Json d = {{"instanceId", "ROOT\\HOSTILE\\" + std::to_string(i)}, {"name", t}, {"class", i % 2 ? "Net" : "..\\Odd"},
              {"manufacturer", t}, {"driverVersion", t}, {"service", t}, {"infPath", t},
              {"problem", i % 3 == 0 ? 22 : 0}, {"present", i % 5 != 0}, {"locationPaths", Json::array({t, t})}};
    Json ids = Json::array({t.empty() ? "EMPTY\\ID" : t});
    if (i == 7) {
      for (int k = 0; k < 2000; ++k) ids.push_back("USB\\VID_" + std::to_string(k));
    }
    d["hardwareIds"] = ids;
    devices.push_back(d);
  }
  pc["devices"] = devices;
  SimulatedPc parsed;
  std::string error;
  EXPECT_TRUE(ParseSimulatedPc(pc.dump(), &parsed, &error)) << error;
  return parsed;
}

TEST(HostilePc, TenThousandHostileDevicesLoadAndBuild) {
  SimulatedPc pc = HostilePc();
  ASSERT_EQ(pc.devices.size(), kDevices);
  // Texts end at their first NUL, as the system's own strings do.
  EXPECT_EQ(pc.devices[4].name->View(), u"before");
  EXPECT_EQ(pc.devices[6].name->Length(), 32767u);
  EXPECT_EQ(pc.devices[7].hardwareIds.size(), 2001u);

  SimulatedPlatform platform(std::move(pc));
  // Values no file can carry: a name that ends in half a surrogate pair, one of only a low half.
  platform.SetRawProperty(u"ROOT\\HOSTILE\\1", devpkey::kName, devprop::kString, {'a', 0, 0x00, 0xD8, 0, 0});
  platform.SetRawProperty(u"ROOT\\HOSTILE\\3", devpkey::kName, devprop::kString, {0x00, 0xDC, 'b', 0, 0, 0});
  DeviceInventory inventory(platform);
  MemoryDeviceList list;
  RecordingInventoryHost host;
  for (uint32_t flags : {uint32_t{kListShowNotPresent}, uint32_t{kListFlat}}) {
    ASSERT_TRUE(BuildInventory(inventory, list, host, flags));
    const size_t present = kDevices - kDevices / 5;
    EXPECT_EQ(static_cast<size_t>(list.RowCount()), flags & kListShowNotPresent ? kDevices : present);
    // Every row names a device of the set, and no cell text runs on past its value.
    for (int row = 0; row < list.RowCount(); ++row) {
      uint32_t index = 0;
      ASSERT_TRUE(StoredDeviceIndex(list, row, &index)) << row;
      EXPECT_LE(list.CellText(row, 0).Length(), 32767u) << row;
    }
  }
  // The half surrogates come through as they are, without what lay behind them.
  int halves = 0;
  for (int row = 0; row < list.RowCount(); ++row) {
    const WideText cell = list.CellText(row, 0);
    const std::u16string_view name = cell.View();
    halves += name == std::u16string_view(u"a\xD800", 2) || name == std::u16string_view(u"\xDC00" u"b", 2);
  }
  EXPECT_EQ(halves, 2);
}

// The commands on a hostile PC: ticks, state changes, search and copy texts.
TEST(HostilePc, CommandsWorkOnHostileRows) {
  SimulatedPc pc = HostilePc();
  pc.devices.resize(45);
  testing::ScriptedHost host(std::move(pc));
  ASSERT_EQ(host.list.RowCount(), 45);
  CheckAllRows(host.list, true);
  DisableCheckedDevices(host);
  for (int row = 0; row < host.list.RowCount(); ++row) {
    EXPECT_EQ(RowIsDisabled(host.list, row), row % 5 != 0) << row;  // not-present ones stay
  }
  CheckAllRows(host.list, true);
  EnableCheckedDevices(host);
  CheckAllRows(host.list, true);
  RestartDevices(host, RowSource::kChecked);
  CheckRowsByStatus(host.list, CheckRule::kDisabled);
  EXPECT_TRUE(host.list.CheckedRows().empty());
  EXPECT_GE(FindNextRow(host.list, WideText(u"GLOBALROOT"), -1), 0);
  for (int row = 0; row < host.list.RowCount(); ++row) {
    for (SearchKind kind :
         {SearchKind::kHardwareId, SearchKind::kDeviceName, SearchKind::kNameAndHardwareId}) {
      const std::u16string url(SearchUrl(SearchTextOfRow(host.list, row, kind)).View());
      // The query is one piece: nothing in it can start a fragment, a parameter or a new line.
      const std::u16string query = url.substr(url.find(u"?q=") + 3);
      EXPECT_EQ(query.find_first_of(u"#&?=\r\n\\/ "), std::u16string::npos) << row;
      EXPECT_EQ(query.find(char16_t(0)), std::u16string::npos) << row;
    }
  }
}

}  // namespace
}  // namespace pyr
