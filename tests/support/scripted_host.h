// A scripted OperationHost for tests: a small simulated PC, an in-memory list, queued answers to
// questions, and a record of every dialog call.
#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devices/device_status.h"
#include "devices/memory_device_list.h"
#include "operations/operation_host.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "sandbox/simulated_platform.h"
#include "support/stand_in_transport.h"

namespace pyr::testing {

inline SimulatedDevice MakeDevice(const char16_t* id, const char16_t* name, uint32_t problem = 0,
                                  bool present = true, bool physical = false) {
  SimulatedDevice d;
  d.instanceId = id;
  d.name = WideText(name);
  d.classGuid = Guid{0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
  d.className = u"Net";
  d.hardwareIds = {Concat({u"HW\\", name})};
  d.problem = problem;
  d.present = present;
  if (physical) d.locationPaths = {u"PCIROOT(0)#PCI(1C00)"};
  return d;
}

inline SimulatedPc SmallPc(std::vector<SimulatedDevice> devices) {
  SimulatedPc pc;
  SimulatedClass net;
  net.guid = Guid{0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
  net.name = u"Net";
  net.description = u"Network adapters";
  net.image = 5;
  pc.classes.push_back(net);
  pc.devices = std::move(devices);
  return pc;
}

class ScriptedHost : public OperationHost {
 public:
  explicit ScriptedHost(SimulatedPc pc) : platform(std::move(pc)) { RebuildRows(); }
  ~ScriptedHost() override {
    if (set_.Valid()) platform.DestroyDeviceInfoList(set_);
  }

  // --- Script ---
  std::deque<int> answers;            // AskUser answers, in order (default: yes)
  std::vector<std::u16string> asked;  // the questions and messages shown
  std::vector<std::u16string> calls;  // dialog calls, in order
  std::vector<std::u16string> resultLines;
  int rebuilds = 0, lockDepth = 0, maxLockDepth = 0;
  // Called by every PumpEvent; may set the cancel flag like the Cancel button does.
  std::function<void(ScriptedHost&, PumpMode mode)> onPump;
  bool okPressedWhenWaiting = true;  // the user presses OK once the dialog waits for it

  // --- OperationHost ---
  int AskUser(const WideText& text, int32_t kind) override {
    asked.push_back(text.Str());
    calls.push_back(u"ask:" + text.Str());
    if (kind == 0 || kind == 4 || answers.empty()) return 1;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  void OpenResultsDialog(const WideText& statusText) override { Call(u"open:" + statusText.Str()), dialogOpen_ = true; }
  void SetProgress(int32_t percent, const WideText* text) override {
    Call(u"progress:" + WideText::FromInt32(percent).Str() + (text ? u":" + text->Str() : u""));
  }
  void AddCancelButton() override { Call(u"cancel-button"); }
  void ShowDialog() override { Call(u"show"); }
  void AddResultLine(const WideText& line) override { resultLines.push_back(line.Str()), Call(u"line:" + line.Str()); }
  void MarkFinished() override { Call(u"finished"), finished_ = true; }
  void CloseDialog() override { Call(u"close"), dialogOpen_ = false; }
  bool PumpEvent(PumpMode mode) override {
    if (onPump) onPump(*this, mode);
    if (mode != kPumpRefreshing || !finished_ || !okPressedWhenWaiting) return false;
    Call(u"ok-pressed");
    cancel_ = kCancelPressed;
    return true;
  }
  // A short sleep stands in for the wait (loops watching a worker do not spin); onPump hears it.
  void PumpEventsFor(uint32_t) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PumpEvent(kPumpWait);
  }
  uint8_t CancelRequested() const override { return cancel_; }
  void SetCancelRequested(uint8_t value) override { cancel_ = value; }
  void SetRebootNeeded() override { rebootNeeded = true; }
  bool RebuildInventory() override {
    ++rebuilds;
    Call(u"rebuild");
    RebuildRows();
    return true;
  }
  bool ListGrouped() const override { return grouped; }
  void LockControls() override { maxLockDepth = std::max(maxLockDepth, ++lockDepth); }
  void UnlockControls() override { --lockDepth; }
  DevicePlatform& Platform() override { return platform; }
  DeviceSet InventorySet() const override { return set_; }
  DeviceList& List() override { return list; }
  WindowHandle MainWindowHandle() const override { return WindowHandle{}; }
  static constexpr uintptr_t kDialogWindow = 0xD1A1;
  WindowHandle ProgressWindowHandle() const override { return WindowHandle{dialogOpen_ ? kDialogWindow : 0}; }

  // --- Driver store tools: queued picks; an absent folder pick or an empty INF pick is a cancel ---
  std::deque<std::optional<std::u16string>> folderPicks;
  std::vector<std::pair<std::u16string, uint32_t>> folderTitles;
  std::deque<std::u16string> infPicks;
  std::vector<std::u16string> folderStarts;  // the folder each picker opened at
  std::u16string programData;                // empty: no folder for copies of removed packages
  WideText ProgramDataFolder() const override { return WideText(std::u16string_view(programData)); }
  bool BrowseForFolder(WideText* text, const WideText& title, uint32_t options) override {
    folderTitles.emplace_back(title.Str(), options);
    folderStarts.push_back(text->Str());
    Call(u"browse:" + title.Str());
    const std::optional<std::u16string> pick = folderPicks.empty() ? std::nullopt : folderPicks.front();
    if (!folderPicks.empty()) folderPicks.pop_front();
    if (pick) text->Assign(*pick);
    return pick.has_value();
  }
  bool OpenInfFileDialog(WideText* path, const WideText& title) override {
    Call(u"pick:" + title.Str());
    if (infPicks.empty()) return false;
    *path = WideText(infPicks.front());
    infPicks.pop_front();
    return !path->Empty();
  }
  void OpenProgressWindow(const WideText& statusText, int32_t width, int32_t height) override {
    Call(u"progress-window:" + statusText.Str() + u":" + WideText::FromInt32(width).Str() + u"x" +
         WideText::FromInt32(height).Str());
    dialogOpen_ = true;
  }
  bool HasResultList() const override { return true; }

  // --- Companion updater ---
  DownloadTransport& Transport() override { return web; }
  WideText UpdaterSite() const override { return WideText(std::u16string_view(site)); }
  WideText UpdaterPath() const override { return WideText(std::u16string_view(updaterPath)); }
  SignaturePolicy UpdaterSigner() const override { return {u"Maker", u"DE", ""}; }
  UpdaterStart LaunchUpdater(const WideText& path, const WideText& arguments) override {
    Call(u"launch:" + path.Str() + u"|" + arguments.Str());
    return launchResult;
  }
  // Starting a worker thread fails while threadsFail is set, as when the system has none to give.
  bool StartThread(std::thread* thread, std::function<void()> body) override {
    return !threadsFail && OperationHost::StartThread(thread, std::move(body));
  }
  bool threadsFail = false;
  StandInTransport web;
  std::u16string site = u"http://127.0.0.1:8080", updaterPath = u"pyravel\\Ovelant.exe";
  UpdaterStart launchResult = UpdaterStart::kStarted;

  void BringMainWindowToTop() override { Call(u"to-top"); }

  // Rows in set order: name, status, hardware ID, INF, instance ID; user value = set index;
  // group = class image.
  void RebuildRows() {
    if (set_.Valid()) platform.DestroyDeviceInfoList(set_);
    list.DeleteAllRows();
    set_ = platform.GetClassDevs(nullptr, nullptr, WindowHandle{}, kDigcfAllClasses);
    PropertyReader reader(platform);
    DeviceInfo device;
    for (uint32_t i = 0; platform.EnumDeviceInfo(set_, i, &device); ++i) {
      DeviceState state;
      reader.ReadFixed(set_, device, devpkey::kProblemCode, &state.problemCode, 4);
      uint8_t present = 1;
      reader.ReadFixed(set_, device, devpkey::kIsPresent, &present, 1);
      state.present = present != 0;
      int row = list.InsertRow(-1, reader.ReadFirst(set_, device, devpkey::kName), 5, 5, 1);
      StoreDeviceIndex(list, row, i);
      list.SetCellText(row, 1, DeviceStatusText(state));
      list.SetCellText(row, 7, reader.ReadFirst(set_, device, devpkey::kHardwareIds));
      list.SetCellText(row, 8, reader.ReadFirst(set_, device, devpkey::kDriverInfPath));
      list.SetCellText(row, 9, reader.ReadFirst(set_, device, devpkey::kInstanceId));
    }
  }

  uint8_t cancel_ = kNotCancelled;
  bool finished_ = false, dialogOpen_ = false, rebootNeeded = false, grouped = true;
  SimulatedPlatform platform;
  MemoryDeviceList list;

 private:
  void Call(std::u16string call) { calls.push_back(std::move(call)); }
  DeviceSet set_;
};

using Lines = std::vector<std::u16string>;

inline constexpr char16_t kCheckFirst[] = u"Please check one or more items before using this feature.";

inline Lines CallsStartingWith(const ScriptedHost& host, std::u16string_view prefix) {
  Lines out;
  for (const auto& c : host.calls) {
    if (c.rfind(prefix, 0) == 0) out.push_back(c);
  }
  return out;
}

// The texts the progress line showed, in order.
inline Lines ProgressTexts(const ScriptedHost& host) {
  Lines out;
  for (const auto& c : CallsStartingWith(host, u"progress:-1:")) out.push_back(c.substr(12));
  return out;
}

inline bool Called(const ScriptedHost& host, const std::u16string& call) {
  return std::find(host.calls.begin(), host.calls.end(), call) != host.calls.end();
}

}  // namespace pyr::testing
