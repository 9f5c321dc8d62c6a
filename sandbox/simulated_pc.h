// SimulatedPc: a whole PC's device tree and driver store as data, loaded from a JSON fixture.
// SimulatedPlatform serves it through the DevicePlatform seam.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <set>
#include <vector>

#include "base/wide_text.h"
#include "devices/guid.h"

namespace pyr {

struct SimulatedClass {
  Guid guid;
  WideText name;
  WideText description;
  int32_t image = 0;  // the PC's unknownClassImage for a class without a picture of its own
};

// A property value as the system hands it out.
struct RawProperty {
  DevPropKey key;
  uint32_t type = 0;
  std::vector<uint8_t> bytes;
};

struct SimulatedDevice {
  WideText instanceId;
  std::optional<WideText> name;       // absent: the system knows no name
  std::optional<Guid> classGuid;      // absent: no class (no drivers installed)
  WideText className;                 // empty when the class is not listed or absent
  std::vector<WideText> hardwareIds;  // empty: the property is absent
  std::vector<WideText> compatibleIds;  // empty: the property is absent
  std::vector<WideText> locationPaths;
  WideText manufacturer, driverVersion, service, infPath;
  std::optional<uint64_t> driverDate;  // FILETIME
  // FILETIMEs (UTC) the PnP manager records; the fixture gives them as days before the day it is loaded,
  // so the simulated PC's ghosts keep their ages whenever it runs.
  std::optional<uint64_t> firstInstallDate;
  std::optional<uint64_t> lastArrivalDate;
  std::optional<uint64_t> lastRemovalDate;
  uint32_t problem = 0;
  bool present = true;
  std::optional<bool> showInUninstallUi;  // absent unless the driver sets it
  bool notDisableable = false;
  // Installation and state, as the class installer and the PnP manager keep them.
  int64_t installDelayMs = 0;   // how long its install takes after a rescan; -1: never ends
  int64_t installedAtMs = 0;    // while uninstalled: when its pending install ends (0: none)
  bool disabledAtBoot = false;  // disabled for good (CONFIGFLAG_DISABLED)
  bool disabledInProfile = false;  // disabled for the current hardware profile (CSCONFIGFLAG_DISABLED)
  // Values that replace or add to the ones above (tests use them for odd types and sizes).
  std::vector<RawProperty> overrides;
  std::vector<DevPropKey> removed;
  bool uninstalled = false;  // gone until a rescan brings it back
  bool needsRestart = false;  // uninstalling it or changing its driver needs a restart
  WideText parent;  // instance ID of the device it hangs under; empty: the tree's root
};

struct DriverPackage {
  WideText publishedName;  // oemN.inf
  WideText originalName;   // the INF's own file name
  WideText folder;         // its folder in the FileRepository
  WideText driverVer = {};  // DriverVer of its [Version] section: "MM/DD/YYYY,version"
  WideText provider = {};
  WideText className = {};
  std::vector<WideText> hardwareIds = {};
};

struct SimulatedPc {
  std::vector<SimulatedClass> classes;
  int32_t unknownClassImage = 0;
  std::vector<SimulatedDevice> devices;
  std::vector<DriverPackage> driverStore;
  // The COM port database: the numbers logged "in use". Every port in the fixture claimed its
  // own when it was installed, present or not.
  std::set<uint32_t> comPortsInUse;

  const SimulatedClass* ClassByGuid(const Guid& guid) const;
};

// Reads a fixture. On failure returns false and sets *error to a message naming the field,
// e.g. "devices[12].hardwareIds[1]: expected a string".
bool ParseSimulatedPc(std::string_view json, SimulatedPc* pc, std::string* error);
// Reads a fixture file; the error then starts with the file's name.
bool LoadSimulatedPcFile(const std::filesystem::path& path, SimulatedPc* pc, std::string* error);

// The PC with its devices repeated (instance IDs made unique) until it holds deviceCount.
SimulatedPc ScaledPc(const SimulatedPc& base, size_t deviceCount);

}  // namespace pyr
