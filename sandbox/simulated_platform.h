// SimulatedPlatform: the DevicePlatform seam over a SimulatedPc. It behaves like the system for
// the calls the program makes (disabling sets problem 22, uninstalling removes a device and its
// children until a rescan, a rescan with retry installs devices whose package is in the store,
// a package in use stays in the store), counts its calls and can be told to fail. The rules it
// models are listed in windows_behaviour.md beside it.
#pragma once

#include <array>
#include <map>
#include <set>
#include <vector>

#include "devices/device_platform.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

enum class PlatformCall {
  kBuildClassInfoList,
  kClassNameFromGuid,
  kGetClassDescription,
  kGetClassImageList,
  kGetClassImageIndex,
  kDestroyClassImageList,
  kGetClassDevs,
  kEnumDeviceInfo,
  kDestroyDeviceInfoList,
  kGetDeviceProperty,
  kLocateDevNode,
  kReenumerateDevNode,
  kUninstallDevice,
  kWaitNoPendingInstallEvents,
  kShowUpdateDevice,
  kInstallDriver,
  kGetInfDriverStoreLocation,
  kCopyOemInf,
  kUninstallOemInf,
  kSetPropertyChangeParams,
  kCallClassInstaller,
  kGetDeviceInstallParams,
  kSetDeviceInstallParams,
  kBuildDriverInfoList,
  kDestroyDriverInfoList,
  kGetSelectedDriver,
  kInstallDevice,
  kGetInfFileList,
  kGetInfInformation,
  kQueryInfVersionInformation,
  kQueryInfOriginalFileInformation,
  kCount
};

class SimulatedPlatform : public DevicePlatform {
 public:
  explicit SimulatedPlatform(SimulatedPc pc);

  // --- DevicePlatform ---
  bool BuildClassInfoList(uint32_t flags, Guid* buffer, uint32_t bufferCount,
                          uint32_t* requiredCount) override;
  bool ClassNameFromGuid(const Guid& classGuid, WideText* name) override;
  bool GetClassDescription(const Guid& classGuid, WideText* text) override;
  bool GetClassImageList(ClassImageList* list) override;
  bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                          int32_t* index) override;
  bool DestroyClassImageList(const ClassImageList& list) override;
  DeviceSet GetClassDevs(const Guid* classGuid, const char16_t* enumerator, WindowHandle parent,
                         uint32_t flags) override;
  bool EnumDeviceInfo(DeviceSet set, uint32_t index, DeviceInfo* device,
                      uint32_t* error = nullptr) override;
  bool DestroyDeviceInfoList(DeviceSet set) override;
  bool GetDeviceProperty(DeviceSet set, const DeviceInfo& device, const DevPropKey& key,
                         uint32_t* type, uint8_t* buffer, uint32_t bufferSize,
                         uint32_t* requiredSize, uint32_t* error) override;
  ConfigRet LocateDevNode(DevInst* devInst, const char16_t* deviceId, uint32_t flags) override;
  ConfigRet ReenumerateDevNode(DevInst devInst, uint32_t flags) override;
  bool UninstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                       uint32_t flags, bool* needsReboot, uint32_t* error) override;
  uint32_t WaitNoPendingInstallEvents(uint32_t timeoutMs) override;
  bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                        uint32_t flags, bool* needsReboot, uint32_t* error) override;
  bool InstallDriver(WindowHandle parent, const char16_t* infPath, uint32_t flags,
                     bool* needsReboot, uint32_t* error) override;
  bool GetInfDriverStoreLocation(const char16_t* infName, WideText* path) override;
  bool CopyOemInf(const char16_t* sourceInf, uint32_t copyStyle, WideText* publishedInf,
                  uint32_t* error) override;
  bool UninstallOemInf(const char16_t* infName, uint32_t flags, uint32_t* error) override;
  bool GetInfFileList(const char16_t* directory, uint32_t infStyle, std::vector<WideText>* names,
                      uint32_t* error) override;
  bool GetInfInformation(const char16_t* infName, uint32_t searchControl, InfInformation* info,
                         uint32_t* error) override;
  bool QueryInfVersionInformation(const InfInformation& info, uint32_t infIndex, const char16_t* key,
                                  WideText* value, uint32_t* error) override;
  bool QueryInfOriginalFileInformation(const InfInformation& info, uint32_t infIndex,
                                       WideText* originalInf, WideText* originalCatalog,
                                       uint32_t* error) override;
  bool SecurityDescriptorToSddl(const uint8_t* bytes, uint32_t size, WideText* sddl) override;
  bool LoadIndirectString(const char16_t* source, WideText* text) override;
  bool SetPropertyChangeParams(DeviceSet set, const DeviceInfo& device, uint32_t stateChange,
                               uint32_t scope, uint32_t profile, uint32_t* error) override;
  bool CallClassInstaller(uint32_t function, DeviceSet set, const DeviceInfo& device,
                          uint32_t* error) override;
  bool GetDeviceInstallParams(DeviceSet set, const DeviceInfo& device, DeviceInstallParams* params,
                              uint32_t* error) override;
  bool SetDeviceInstallParams(DeviceSet set, const DeviceInfo& device,
                              const DeviceInstallParams& params, uint32_t* error) override;
  bool BuildDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override;
  bool DestroyDriverInfoList(DeviceSet set, const DeviceInfo& device, uint32_t* error) override;
  bool GetSelectedDriver(DeviceSet set, const DeviceInfo& device, DriverInfo* driver,
                         uint32_t* error) override;
  bool InstallDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device,
                     const DriverInfo& driver, uint32_t flags, bool* needsReboot,
                     uint32_t* error) override;

  // --- Counting ---
  uint64_t Calls(PlatformCall call) const { return calls_[static_cast<size_t>(call)]; }
  uint64_t TotalCalls() const;
  // Property reads asked for: calls for a device and key other than the previous call's, so
  // that a size query and the read that follows it count once.
  uint64_t PropertyRequests() const { return propertyRequests_; }
  void ResetCalls() {
    calls_.fill(0);
    propertyRequests_ = 0;
  }
  // The calls in the order they were made, once RecordCalls was asked for.
  void RecordCalls() { recording_ = true; }
  const std::vector<PlatformCall>& Trace() const { return trace_; }
  // Device sets and class image lists handed out and not yet destroyed.
  size_t OpenSets() const { return sets_.size(); }
  size_t OpenImageLists() const { return imageLists_.size(); }

  // --- Faults and answers ---
  // A failed call's answer: false, with its error.
  static bool Fail(uint32_t* error, uint32_t code) {
    if (error) *error = code;
    return false;
  }
  // The nth call from now (1 for the next) fails with this error, as the system would fail it:
  // false, an invalid set, CR_FAILURE or WAIT_FAILED, with nothing changed.
  void ScheduleFault(uint64_t nth, uint32_t error) {
    faultAt_ = sequence_ + nth;
    faultError_ = error;
  }
  bool FaultHappened() const { return faultAt_ != 0 && sequence_ >= faultAt_; }
  // The next call of this kind fails with this error.
  void FailNextCall(PlatformCall call, uint32_t error) {
    failNext_ = call;
    failNextError_ = error;
  }
  void SetOpenSetFails(bool fails) { openSetFails_ = fails; }
  void SetImageListFails(bool fails) { imageListFails_ = fails; }
  // Every action on this device (by instance ID) fails.
  void FailActionsOn(const WideText& instanceId) { failingDevices_.push_back(instanceId); }
  // Calls with a needs-reboot output report that a reboot is needed.
  void SetNeedsReboot(bool needed) { needsReboot_ = needed; }
  // What the update wizard answers (the user may close it without updating).
  void SetUpdateWizardResult(bool updated) { wizardUpdates_ = updated; }
  // CM_Locate_DevNodeW of the root answers CR_FAILURE, as under Wine.
  void SetRootLocateFails(bool fails) { rootLocateFails_ = fails; }
  // The folder the driver store lives in (INF locations are reported under it).
  void SetDriverStoreRoot(const WideText& root) { storeRoot_ = root; }

  // --- The simulated PC, for tests and the sandbox ---
  SimulatedPc& Pc() { return pc_; }
  const SimulatedPc& Pc() const { return pc_; }
  // The device with this instance ID (case ignored), or null.
  SimulatedDevice* FindDevice(std::u16string_view instanceId);
  // Replaces (or adds) one property value of a device, or makes it absent.
  void SetRawProperty(std::u16string_view instanceId, const DevPropKey& key, uint32_t type,
                      std::vector<uint8_t> bytes);
  void RemoveProperty(std::u16string_view instanceId, const DevPropKey& key);
  // The PC restarts: disables made for good hold, changes that waited for the restart are made,
  // pending installs end.
  void Reboot();
  // The parent window the last driver install was given (its prompts open over it).
  WindowHandle LastInstallParent() const { return lastInstallParent_; }

 private:
  // devInst values: the root is 1, device i is i + 2.
  static constexpr DevInst kRootDevInst = 1;
  SimulatedDevice* DeviceOf(DevInst devInst);
  SimulatedDevice* DeviceIn(DeviceSet set, const DeviceInfo& device);
  bool Fails(const SimulatedDevice& d) const;
  // Counts the call; true when the fault schedule fails this one (its error in *error).
  bool Count(PlatformCall call, uint32_t* error = nullptr);
  bool ValueOf(const SimulatedDevice& d, const DevPropKey& key, uint32_t* type,
               std::vector<uint8_t>* bytes) const;
  const DriverPackage* PackageForInf(std::u16string_view infPath) const;
  // The store's package published under this name (case ignored), or null; through an index
  // checked on every hit and rebuilt on a miss, since tests change the store directly.
  const DriverPackage* PublishedPackage(std::u16string_view name);
  std::map<std::u16string, size_t> publishedIndex_;
  void RemoveWithChildren(SimulatedDevice& d, bool* restart);
  void InstallPackage(SimulatedDevice* d, const DriverPackage& p);
  const DriverPackage* StageInf(std::u16string_view infPath, const InfFacts& inf);

  SimulatedPc pc_;
  std::array<uint64_t, static_cast<size_t>(PlatformCall::kCount)> calls_{};
  uint64_t propertyRequests_ = 0;
  DevInst lastPropertyDevice_ = 0;
  DevPropKey lastPropertyKey_;
  std::map<uintptr_t, std::vector<size_t>> sets_;  // set handle -> device indices
  std::set<uintptr_t> imageLists_;
  uintptr_t nextHandle_ = 0x1000;
  std::vector<WideText> failingDevices_;
  WideText storeRoot_ = u"C:\\Windows\\System32\\DriverStore";
  bool openSetFails_ = false;
  bool imageListFails_ = false;
  bool needsReboot_ = false;
  bool wizardUpdates_ = true;
  bool rootLocateFails_ = false;
  // What a set's element holds for the class installer: its installation parameters, the
  // pending property change, its driver list and the driver selected in it.
  struct DriverNode {
    InfFacts inf;
    WideText published;    // oemN.inf of a package in the store; empty for an INF elsewhere
    WideText original;     // the INF's own file name
    bool installed = false;  // the driver the device runs now
    uint32_t rank = 0;       // lower is better
    uintptr_t id = 0;
  };
  struct Element {
    DeviceInstallParams params;
    bool propertyChangeSet = false;
    uint32_t stateChange = 0, scope = 0, profile = 0;
    std::vector<DriverNode> drivers;
    const DriverNode* selected = nullptr;
  };
  std::map<std::pair<uintptr_t, DevInst>, Element> elements_;
  Element& ElementOf(DeviceSet set, const DeviceInfo& device) { return elements_[{set.value, device.devInst}]; }
  void RaiseInstallFlags(DeviceSet set, const DeviceInfo& device, uint32_t flags) {
    ElementOf(set, device).params.flags |= flags;
  }
  bool ApplyPropertyChange(DeviceSet set, const DeviceInfo& device, SimulatedDevice& d, const Element& e,
                           uint32_t* error);
  std::vector<DriverNode> DriversFor(const SimulatedDevice& d, const Element& e);
  bool Rank(const SimulatedDevice& d, const InfFacts& inf, uint32_t* rank) const;
  uintptr_t nextDriverId_ = 1;
  WindowHandle lastInstallParent_;
  uint64_t sequence_ = 0, faultAt_ = 0;
  uint32_t faultError_ = 0;
  PlatformCall failNext_ = PlatformCall::kCount;
  uint32_t failNextError_ = 0;
  bool recording_ = false;
  std::vector<PlatformCall> trace_;
  void FinishPendingInstalls();
  static int64_t NowMs();
};

}  // namespace pyr
