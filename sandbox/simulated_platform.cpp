#include "sandbox/simulated_platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/date_time_text.h"
#include "base/file_system.h"
#include "devices/com_port_name.h"
#include "devices/device_status.h"
#include "devices/property_keys.h"
#include "sandbox/driver_offers.h"
#include "sandbox/driver_store_files.h"

namespace pyr {

namespace {

constexpr uint8_t kDevPropTrue = 0xFF;
constexpr uint32_t kErrorAccessDenied = 5;

std::vector<uint8_t> StringBytes(const WideText& s) {
  std::vector<uint8_t> b;
  AppendTerminatedUtf16(&b, s.View());
  return b;
}

std::vector<uint8_t> StringListBytes(const std::vector<WideText>& list) {
  std::vector<uint8_t> b;
  for (const WideText& s : list) AppendTerminatedUtf16(&b, s.View());
  b.push_back(0);
  b.push_back(0);
  return b;
}

std::vector<uint8_t> LittleEndian(uint64_t v, int bytes) {
  std::vector<uint8_t> b;
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return b;
}


}  // namespace

SimulatedPlatform::SimulatedPlatform(SimulatedPc pc) : pc_(std::move(pc)) {}

bool SimulatedPlatform::Count(PlatformCall call, uint32_t* error) {
  ++calls_[static_cast<size_t>(call)];
  ++sequence_;
  if (recording_) trace_.push_back(call);
  uint32_t code = 0;
  if (sequence_ == faultAt_) {
    code = faultError_;
  } else if (call == failNext_) {
    failNext_ = PlatformCall::kCount;
    code = failNextError_;
  } else {
    return false;
  }
  if (error) *error = code;
  return true;
}

uint64_t SimulatedPlatform::TotalCalls() const {
  uint64_t total = 0;
  for (uint64_t c : calls_) total += c;
  return total;
}

SimulatedDevice* SimulatedPlatform::FindDevice(std::u16string_view instanceId) {
  for (SimulatedDevice& d : pc_.devices) {
    if (WideText::EqualsNoCase(d.instanceId.View(), instanceId)) return &d;
  }
  return nullptr;
}

void SimulatedPlatform::SetRawProperty(std::u16string_view instanceId, const DevPropKey& key,
                                       uint32_t type, std::vector<uint8_t> bytes) {
  SimulatedDevice* d = FindDevice(instanceId);
  if (!d) return;
  std::erase(d->removed, key);
  std::erase_if(d->overrides, [&](const RawProperty& p) { return p.key == key; });
  d->overrides.push_back({key, type, std::move(bytes)});
}

void SimulatedPlatform::RemoveProperty(std::u16string_view instanceId, const DevPropKey& key) {
  SimulatedDevice* d = FindDevice(instanceId);
  if (!d) return;
  std::erase_if(d->overrides, [&](const RawProperty& p) { return p.key == key; });
  d->removed.push_back(key);
}

SimulatedDevice* SimulatedPlatform::DeviceOf(DevInst devInst) {
  if (devInst < 2 || devInst - 2 >= pc_.devices.size()) return nullptr;
  return &pc_.devices[devInst - 2];
}

SimulatedDevice* SimulatedPlatform::DeviceIn(DeviceSet set, const DeviceInfo& device) {
  if (!sets_.count(set.value)) return nullptr;
  return DeviceOf(device.devInst);
}

bool SimulatedPlatform::Fails(const SimulatedDevice& d) const {
  for (const WideText& id : failingDevices_) {
    if (WideText::EqualsNoCase(id.View(), d.instanceId.View())) return true;
  }
  return false;
}

// --- Classes ---

bool SimulatedPlatform::BuildClassInfoList(uint32_t, Guid* buffer, uint32_t bufferCount,
                                           uint32_t* requiredCount) {
  if (Count(PlatformCall::kBuildClassInfoList)) return false;
  const uint32_t n = static_cast<uint32_t>(pc_.classes.size());
  if (requiredCount) *requiredCount = n;
  if (!buffer || bufferCount < n) return n == 0;
  for (uint32_t i = 0; i < n; ++i) buffer[i] = pc_.classes[i].guid;
  return true;
}

bool SimulatedPlatform::ClassNameFromGuid(const Guid& classGuid, WideText* name) {
  if (Count(PlatformCall::kClassNameFromGuid)) return false;
  const SimulatedClass* c = pc_.ClassByGuid(classGuid);
  if (!c) return false;
  *name = c->name;
  return true;
}

bool SimulatedPlatform::GetClassDescription(const Guid& classGuid, WideText* text) {
  if (Count(PlatformCall::kGetClassDescription)) return false;
  const SimulatedClass* c = pc_.ClassByGuid(classGuid);
  if (!c) return false;
  *text = c->description;
  return true;
}

bool SimulatedPlatform::GetClassImageList(ClassImageList* list) {
  if (Count(PlatformCall::kGetClassImageList) || imageListFails_) return false;
  list->imageList.value = nextHandle_++;
  list->reserved = 0;
  imageLists_.insert(list->imageList.value);
  return true;
}

bool SimulatedPlatform::GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                                           int32_t* index) {
  if (Count(PlatformCall::kGetClassImageIndex)) return false;
  if (!imageLists_.count(list.imageList.value)) return false;
  const SimulatedClass* c = pc_.ClassByGuid(classGuid);
  *index = c ? c->image : pc_.unknownClassImage;
  return true;
}

bool SimulatedPlatform::DestroyClassImageList(const ClassImageList& list) {
  if (Count(PlatformCall::kDestroyClassImageList)) return false;
  return imageLists_.erase(list.imageList.value) == 1;
}

// --- Sets and properties ---

DeviceSet SimulatedPlatform::GetClassDevs(const Guid* classGuid, const char16_t*, WindowHandle,
                                          uint32_t flags) {
  if (Count(PlatformCall::kGetClassDevs) || openSetFails_) return DeviceSet{~uintptr_t{0}};
  FinishPendingInstalls();
  std::vector<size_t> members;
  for (size_t i = 0; i < pc_.devices.size(); ++i) {
    const SimulatedDevice& d = pc_.devices[i];
    if (d.uninstalled || ((flags & kDigcfPresent) && !d.present)) continue;
    if (!(flags & kDigcfAllClasses) && classGuid && d.classGuid != *classGuid) continue;
    members.push_back(i);
  }
  DeviceSet set{nextHandle_++};
  sets_[set.value] = std::move(members);
  return set;
}

bool SimulatedPlatform::EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device, uint32_t* error) {
  if (Count(PlatformCall::kEnumDeviceInfo, error)) return false;
  auto it = sets_.find(set.value);
  if (it == sets_.end()) return Fail(error, kErrorInvalidParameter);
  if (index >= it->second.size()) return Fail(error, kErrorNoMoreItems);
  const size_t i = it->second[index];
  device->index = index;
  device->classGuid = pc_.devices[i].classGuid.value_or(Guid());
  device->devInst = static_cast<DevInst>(i + 2);
  device->reserved = set.value;
  return true;
}

bool SimulatedPlatform::DestroyDeviceInfoList(DeviceSet set) {
  if (Count(PlatformCall::kDestroyDeviceInfoList)) return false;
  return sets_.erase(set.value) == 1;
}

bool SimulatedPlatform::ValueOf(const SimulatedDevice& d, const DevPropKey& key, uint32_t* type,
                                std::vector<uint8_t>* bytes) const {
  if (std::find(d.removed.begin(), d.removed.end(), key) != d.removed.end()) return false;
  for (const RawProperty& p : d.overrides) {
    if (p.key == key) {
      *type = p.type;
      *bytes = p.bytes;
      return true;
    }
  }
  auto text = [&](const WideText& s) {
    if (s.Empty()) return false;
    *type = devprop::kString;
    *bytes = StringBytes(s);
    return true;
  };
  auto list = [&](const std::vector<WideText>& l) {
    if (l.empty()) return false;
    *type = devprop::kStringList;
    *bytes = StringListBytes(l);
    return true;
  };
  if (key == devpkey::kName || key == devpkey::kDeviceDesc) return d.name && text(*d.name);
  if (key == devpkey::kInstanceId) return text(d.instanceId);
  if (key == devpkey::kClass) return text(d.className);
  if (key == devpkey::kManufacturer) return text(d.manufacturer);
  if (key == devpkey::kService) return text(d.service);
  if (key == devpkey::kDriverVersion) return text(d.driverVersion);
  if (key == devpkey::kDriverInfPath) return text(d.infPath);
  if (key == devpkey::kHardwareIds) return list(d.hardwareIds);
  if (key == devpkey::kCompatibleIds) return list(d.compatibleIds);
  if (key == devpkey::kLocationPaths) return list(d.locationPaths);
  if (key == devpkey::kClassGuid) {
    if (!d.classGuid) return false;
    *type = devprop::kGuid;
    bytes->resize(16);
    d.classGuid->ToBytes(bytes->data());
    return true;
  }
  if (key == devpkey::kDriverDate) {
    if (!d.driverDate) return false;
    *type = devprop::kFileTime;
    *bytes = LittleEndian(*d.driverDate, 8);
    return true;
  }
  // The PnP manager's dates, DEVPROP_TYPE_FILETIME; absent where the fixture gives none.
  const std::pair<DevPropKey, const std::optional<uint64_t>*> dates[] = {
      {devpkey::kFirstInstallDate, &d.firstInstallDate},
      {devpkey::kLastArrivalDate, &d.lastArrivalDate},
      {devpkey::kLastRemovalDate, &d.lastRemovalDate}};
  for (const auto& [dateKey, date] : dates) {
    if (key != dateKey) continue;
    if (!*date) return false;
    *type = devprop::kFileTime;
    *bytes = LittleEndian(**date, 8);
    return true;
  }
  if (key == devpkey::kProblemCode) {
    *type = devprop::kUInt32;
    *bytes = LittleEndian(d.problem, 4);
    return true;
  }
  if (key == devpkey::kIsPresent) {
    *type = devprop::kBoolean;
    *bytes = {d.present ? kDevPropTrue : uint8_t{0}};
    return true;
  }
  if (key == devpkey::kShowInUninstallUi) {
    if (!d.showInUninstallUi) return false;
    *type = devprop::kBoolean;
    *bytes = {*d.showInUninstallUi ? kDevPropTrue : uint8_t{0}};
    return true;
  }
  return false;
}

bool SimulatedPlatform::GetDeviceProperty(DeviceSet set, const DeviceInfo& device,
                                          const DevPropKey& key, uint32_t* type, uint8_t* buffer,
                                          uint32_t bufferSize, uint32_t* requiredSize,
                                          uint32_t* error) {
  uint32_t faultError = 0;
  if (Count(PlatformCall::kGetDeviceProperty, &faultError)) {
    *requiredSize = 0;
    *error = faultError;
    return false;
  }
  if (device.devInst != lastPropertyDevice_ || !(key == lastPropertyKey_)) {
    ++propertyRequests_;
    lastPropertyDevice_ = device.devInst;
    lastPropertyKey_ = key;
  }
  *requiredSize = 0;
  *error = 0;
  const SimulatedDevice* d = DeviceIn(set, device);
  if (!d || d->uninstalled) {
    *error = kErrorNoSuchDevInst;
    return false;
  }
  std::vector<uint8_t> value;
  if (!ValueOf(*d, key, type, &value)) {
    *error = kErrorNotFound;
    return false;
  }
  *requiredSize = static_cast<uint32_t>(value.size());
  if (!buffer || bufferSize < value.size()) {
    *error = kErrorInsufficientBuffer;
    return false;
  }
  if (!value.empty()) std::memcpy(buffer, value.data(), value.size());
  return true;
}

// --- Device state ---

ConfigRet SimulatedPlatform::LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) {
  if (Count(PlatformCall::kLocateDevNode)) return kCrFailure;
  FinishPendingInstalls();
  if (!deviceId || !*deviceId) {
    if (rootLocateFails_) return kCrFailure;
    *devInst = kRootDevInst;
    return kCrSuccess;
  }
  for (size_t i = 0; i < pc_.devices.size(); ++i) {
    const SimulatedDevice& d = pc_.devices[i];
    // CM_LOCATE_DEVNODE_PHANTOM also finds a device that is not present; an uninstalled one is
    // found by neither.
    const bool findable = d.present || (flags & kCmLocateDevNodePhantom);
    if (!d.uninstalled && findable && WideText::EqualsNoCase(d.instanceId.View(), deviceId)) {
      *devInst = static_cast<DevInst>(i + 2);
      return kCrSuccess;
    }
  }
  return kCrNoSuchDevNode;
}

ConfigRet SimulatedPlatform::ReenumerateDevNode(DevInst devInst, uint32_t flags) {
  if (Count(PlatformCall::kReenumerateDevNode)) return kCrFailure;
  if (devInst != kRootDevInst) return kCrInvalidDevNode;
  for (SimulatedDevice& d : pc_.devices) {
    if (!d.present) continue;
    if (d.uninstalled) {
      // Nothing enumerates root-enumerated or software devices: once removed they stay gone.
      if (IsRootEnumerated(d.instanceId.View())) continue;
      // The bus reports the device at once; the PnP manager installs it in its own time.
      if (d.installDelayMs != 0) {
        if (d.installedAtMs == 0) d.installedAtMs = d.installDelayMs < 0 ? INT64_MAX : NowMs() + d.installDelayMs;
        continue;
      }
      d.uninstalled = false;
      // Hardware whose package left the store comes back with no driver and no class: the
      // list's "No drivers installed".
      if (!d.infPath.Empty() && d.infPath.Find(u"oem", false) == 1 && !PackageForInf(d.infPath.View())) {
        d.classGuid.reset();
        d.className.Clear();
        d.manufacturer.Clear();
        d.driverVersion.Clear();
        d.infPath.Clear();
        d.service.Clear();
        d.driverDate.reset();
        d.problem = 0;
      }
    }
    if ((flags & kCmReenumerateRetryInstallation) &&
        (d.problem == kProblemFailedInstall || !d.classGuid)) {
      for (const DriverPackage& p : pc_.driverStore) {
        bool matches = false;
        for (const WideText& pid : p.hardwareIds) {
          for (const WideText& did : d.hardwareIds) matches |= IdMatches(pid.View(), did.View());
        }
        if (matches) {
          InstallPackage(&d, p);
          break;
        }
      }
    }
  }
  return kCrSuccess;
}

bool SimulatedPlatform::UninstallDevice(WindowHandle, DeviceSet set, const DeviceInfo& device,
                                        uint32_t, bool* needsReboot, uint32_t* error) {
  if (needsReboot) *needsReboot = false;
  if (Count(PlatformCall::kUninstallDevice, error)) return false;
  SimulatedDevice* d = DeviceIn(set, device);
  if (!d || d->uninstalled) return Fail(error, kErrorNoSuchDevInst);
  if (Fails(*d)) return Fail(error, kErrorGenFailure);
  bool restart = needsReboot_;
  RemoveWithChildren(*d, &restart);
  if (needsReboot) *needsReboot = restart;
  return true;
}

// DiUninstallDevice takes the device's children with it, present or not (not-present ones from
// Windows 8 on).
// The Ports class installer logs the port's number "not in use" at DIF_REMOVE, so uninstalling a
// port that is not present frees its COM number.
void SimulatedPlatform::RemoveWithChildren(SimulatedDevice& d, bool* restart) {
  d.uninstalled = true;
  if (WideText::EqualsNoCase(d.className.View(), u"Ports") && d.name) {
    pc_.comPortsInUse.erase(ComPortNumberOfName(d.name->View()));
  }
  *restart |= d.needsRestart;
  for (SimulatedDevice& child : pc_.devices) {
    if (!child.uninstalled && WideText::EqualsNoCase(child.parent.View(), d.instanceId.View())) {
      RemoveWithChildren(child, restart);
    }
  }
}

// --- Drivers ---

// A published name (oemN.inf) or a package's full path in the store: original names repeat
// across versions of a package, so a file name alone never picks one.
const DriverPackage* SimulatedPlatform::PackageForInf(std::u16string_view infPath) const {
  const std::u16string_view name = FileNameOf(infPath);
  const bool inInfFolder = WideText::EqualsNoCase(infPath.substr(0, infPath.size() - name.size()),
                                                  Concat({kSystemInfFolder, u"\\"}).View());
  const bool bare = name.size() == infPath.size() || inInfFolder;
  for (const DriverPackage& p : pc_.driverStore) {
    const WideText stored = Concat({PackageFolder(storeRoot_, p), u"\\", p.originalName});
    if (bare ? WideText::EqualsNoCase(name, p.publishedName.View())
             : WideText::EqualsNoCase(infPath, stored.View())) {
      return &p;
    }
  }
  return nullptr;
}

void SimulatedPlatform::InstallPackage(SimulatedDevice* d, const DriverPackage& p) {
  DriverVer ver = ParseDriverVer(p.driverVer);
  d->classGuid.reset();
  d->className.Clear();
  for (const SimulatedClass& c : pc_.classes) {
    if (WideText::EqualsNoCase(c.name.View(), p.className.View())) {
      d->classGuid = c.guid;
      d->className = c.name;
    }
  }
  d->manufacturer = p.provider;
  d->driverDate = ver.date;
  d->driverVersion = ver.version;
  d->infPath = p.publishedName;
  d->problem = 0;
}

bool SimulatedPlatform::ShowUpdateDevice(WindowHandle, DeviceSet set, const DeviceInfo& device,
                                         uint32_t, bool* needsReboot, uint32_t* error) {
  if (needsReboot) *needsReboot = false;
  if (Count(PlatformCall::kShowUpdateDevice, error)) return false;
  SimulatedDevice* d = DeviceIn(set, device);
  if (!d || d->uninstalled) return Fail(error, kErrorNoSuchDevInst);
  if (Fails(*d)) return Fail(error, kErrorGenFailure);
  constexpr uint32_t kErrorCancelled = 1223;  // the wizard closed without an update
  if (!wizardUpdates_) return Fail(error, kErrorCancelled);
  if (needsReboot) *needsReboot = needsReboot_;
  return true;
}

namespace {

bool CopyOneFile(const WideText& from, const WideText& to) {
  std::string bytes;
  OutputFile out;
  return ReadWholeFile(from, &bytes, 256u << 20) && out.Open(to) &&
         (bytes.empty() || out.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) == bytes.size());
}

}  // namespace

// The store keeps one package per original name and DriverVer; a new one gets the next oemN.inf.
const DriverPackage* SimulatedPlatform::StageInf(std::u16string_view infPath, const InfFacts& inf) {
  const std::u16string_view fileName = FileNameOf(infPath);
  int highest = 0;
  for (const DriverPackage& p : pc_.driverStore) {
    if (WideText::EqualsNoCase(p.originalName.View(), fileName) && p.driverVer == inf.driverVer) return &p;
    int n = 0;
    if (std::sscanf(p.publishedName.ToUtf8().c_str(), "oem%d.inf", &n) == 1) highest = std::max(highest, n);
  }
  DriverPackage package;
  package.originalName = WideText(fileName);
  package.driverVer = inf.driverVer;
  package.provider = inf.provider;
  package.className = inf.className;
  package.hardwareIds = inf.hardwareIds;
  package.publishedName = Concat({u"oem", WideText::FromInt32(highest + 1), u".inf"});
  uint32_t hash = 2166136261u;
  const WideText identity = Concat({package.originalName, package.driverVer});
  for (char16_t c : identity.View()) hash = (hash ^ c) * 16777619u;
  package.folder = Concat({package.originalName, u"_amd64_", WideText::HexEncode(&hash, 4, WideText::kHexLower)});
  // Where the store is a folder of real files, the INF and the files it lists are copied into
  // the package's own folder, as the system stages a package; a missing file fails the install.
  if (IsRealDirectory(storeRoot_)) {
    const WideText from(infPath.substr(0, infPath.size() - fileName.size()));
    const WideText to = PackageFolder(storeRoot_, package);
    if (!CreateDirectoryTree(to) || !CopyOneFile(WideText(infPath), Concat({to, u"\\", fileName}))) return nullptr;
    for (const WideText& file : inf.files) {
      if (!CopyOneFile(Concat({from, file}), Concat({to, u"\\", file}))) {
        DeletePath(to, 0);
        return nullptr;
      }
    }
  }
  pc_.driverStore.push_back(std::move(package));
  return &pc_.driverStore.back();
}

// SetupUninstallOEMInfW: only a published OEM package leaves the store, with its files; without
// SUOI_FORCEDELETE the system keeps one that any device, present or not, was installed from.
bool SimulatedPlatform::UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) {
  if (Count(PlatformCall::kUninstallOemInf, error)) return false;
  constexpr uint32_t kForceDelete = 0x1;  // SUOI_FORCEDELETE
  const std::u16string_view name = infName ? std::u16string_view(infName) : std::u16string_view();
  const DriverPackage* p = nullptr;
  for (const DriverPackage& candidate : pc_.driverStore) {
    if (WideText::EqualsNoCase(name, candidate.publishedName.View())) p = &candidate;
  }
  // Not documented: the error for a name that is no published package.
  if (!p || p->publishedName.Find(u"oem", false) != 1) return Fail(error, kErrorFileNotFound);
  const bool inUse = std::any_of(pc_.devices.begin(), pc_.devices.end(), [&](const SimulatedDevice& d) {
    return !d.uninstalled && WideText::EqualsNoCase(d.infPath.View(), p->publishedName.View());
  });
  if (inUse && !(flags & kForceDelete)) return Fail(error, kErrorInfInUseByDevices);
  if (IsRealDirectory(storeRoot_) && DeletePath(PackageFolder(storeRoot_, *p), 0) == 0) {
    return Fail(error, kErrorAccessDenied);
  }
  pc_.driverStore.erase(pc_.driverStore.begin() + (p - pc_.driverStore.data()));
  return true;
}

bool SimulatedPlatform::InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                                      bool* needsReboot, uint32_t* error) {
  if (needsReboot) *needsReboot = false;
  if (Count(PlatformCall::kInstallDriver, error)) return false;
  lastInstallParent_ = parent;
  // Like the system: read the INF, install it on each listed device whose driver it betters.
  constexpr uint32_t kForceInf = 0x2;  // DIIRFLAG_FORCE_INF
  InfFacts inf;
  if (!infPath || !ReadInf(infPath, &inf)) return Fail(error, kErrorFileNotFound);
  std::vector<SimulatedDevice*> targets;
  bool restart = needsReboot_;
  for (SimulatedDevice& d : pc_.devices) {
    uint32_t rank = 0;
    if (d.uninstalled || !d.present || Fails(d) || !Rank(d, inf, &rank)) continue;
    InfFacts running;
    running.driverVer = DriverVerText(d.driverDate, d.driverVersion);
    uint32_t runningRank = 0;
    const DriverPackage* own = PackageForInf(d.infPath.View());
    running.hardwareIds = own ? own->hardwareIds : d.hardwareIds;
    const bool hasDriver = !d.infPath.Empty() && Rank(d, running, &runningRank);
    if (!hasDriver || (flags & kForceInf) || Outranks(inf, rank, running, runningRank, true)) {
      targets.push_back(&d);
      restart |= d.needsRestart;
    }
  }
  // The package goes into the store whether or not a device takes it. The documentation says the
  // call then answers TRUE; field reports say FALSE with ERROR_NO_MORE_ITEMS, which this follows.
  const DriverPackage* package = StageInf(infPath, inf);
  if (!package) return Fail(error, kErrorFileNotFound);
  if (targets.empty()) return Fail(error, kErrorNoMoreItems);
  for (SimulatedDevice* d : targets) InstallPackage(d, *package);
  if (needsReboot) *needsReboot = restart;
  return true;
}

bool SimulatedPlatform::CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle, WideText* publishedInf,
                                   uint32_t* error) {
  publishedInf->Clear();
  if (Count(PlatformCall::kCopyOemInf, error)) return false;
  InfFacts inf;
  if (!sourceInf || !ReadInf(sourceInf, &inf)) return Fail(error, kErrorFileNotFound);
  const size_t before = pc_.driverStore.size();
  const DriverPackage* package = StageInf(sourceInf, inf);
  if (!package) return Fail(error, kErrorFileNotFound);
  publishedInf->AssignConcat({kSystemInfFolder, u"\\", package->publishedName});
  // The same INF is in the store already: under SP_COPY_NOOVERWRITE that is a failure that still
  // names the copy there.
  if (pc_.driverStore.size() == before && (copyStyle & kSpCopyNoOverwrite)) return Fail(error, kErrorFileExists);
  return true;
}

bool SimulatedPlatform::GetInfDriverStoreLocation(const char16_t* infName, WideText* path) {
  if (Count(PlatformCall::kGetInfDriverStoreLocation)) return false;
  if (!infName) return false;
  const DriverPackage* p = PublishedPackage(FileNameOf(infName));
  if (!p) return false;
  path->AssignConcat({storeRoot_, u"\\FileRepository\\", p->folder, u"\\", p->originalName});
  return true;
}

const DriverPackage* SimulatedPlatform::PublishedPackage(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) c = LowerUnit(c);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto it = publishedIndex_.find(key);
    if (it != publishedIndex_.end() && it->second < pc_.driverStore.size() &&
        WideText::EqualsNoCase(pc_.driverStore[it->second].publishedName.View(), name)) {
      return &pc_.driverStore[it->second];
    }
    if (attempt == 1) break;
    publishedIndex_.clear();
    for (size_t i = 0; i < pc_.driverStore.size(); ++i) {
      std::u16string k = pc_.driverStore[i].publishedName.Str();
      for (char16_t& c : k) c = LowerUnit(c);
      publishedIndex_.emplace(std::move(k), i);
    }
  }
  return nullptr;
}

// The simulated PC has no security descriptors or resource strings to resolve.
bool SimulatedPlatform::SecurityDescriptorToSddl(const uint8_t*, uint32_t, WideText*) {
  return false;
}

bool SimulatedPlatform::LoadIndirectString(const char16_t*, WideText*) { return false; }

}  // namespace pyr
