// An OperationHost without a window, for the jobs the command line runs: its folder pick is the
// folder given, every question is answered yes, the result lines and the summary go to a line
// sink instead of the results dialog, and the list it rebuilds is kept in memory.
#pragma once

#include <cstdint>

#include "devices/device_inventory.h"
#include "devices/memory_device_list.h"
#include "operations/operation_host.h"

namespace pyr {

class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void WriteLine(const WideText& line) = 0;
};

class HeadlessHost : public OperationHost, public InventoryHost {
 public:
  // listFlags: the ListFlag bits the list is built with; folder: the answer to every folder pick.
  HeadlessHost(DevicePlatform& platform, DownloadTransport& transport, LineSink& out, uint32_t listFlags,
               WideText folder);

  // What the job said, for its exit code.
  int ResultLines() const { return resultLines_; }
  // The job ended with the notice that it could not start.
  bool NotStarted() const { return notStarted_; }
  const DeviceInventory& Inventory() const { return inventory_; }
  const MemoryDeviceList& Rows() const { return list_; }

  int AskUser(const WideText& text, int32_t kind) override;
  void OpenResultsDialog(const WideText&) override { finished_ = false; }
  void SetProgress(int32_t percent, const WideText* text) override;
  void AddCancelButton() override {}
  void ShowDialog() override {}
  void AddResultLine(const WideText& line) override;
  void MarkFinished() override { finished_ = true; }
  void CloseDialog() override { finished_ = false; }

  // No one clicks anything: the only event there is, is the OK of a finished dialog.
  bool PumpEvent(PumpMode mode) override;
  void PumpEventsFor(uint32_t timeoutMs) override;
  uint8_t CancelRequested() const override { return cancel_; }
  void SetCancelRequested(uint8_t value) override { cancel_ = value; }
  void SetRebootNeeded() override { rebootNeeded_ = true; }
  bool RebootNeeded() const { return rebootNeeded_; }

  bool RebuildInventory() override;
  bool ListGrouped() const override { return false; }
  void LockControls() override {}
  void UnlockControls() override {}
  DevicePlatform& Platform() override { return platform_; }
  DeviceSet InventorySet() const override { return inventory_.Set(); }
  DeviceList& List() override { return list_; }
  WindowHandle MainWindowHandle() const override { return {}; }
  WindowHandle ProgressWindowHandle() const override { return {}; }

  bool BrowseForFolder(WideText* text, const WideText&, uint32_t) override;
  bool OpenInfFileDialog(WideText*, const WideText&) override { return false; }
  void OpenProgressWindow(const WideText&, int32_t, int32_t) override { finished_ = false; }
  bool HasResultList() const override { return true; }
  // No job of the command line removes driver packages, so there is no folder for their copies.
  // Where copies of removed packages go; empty: no copies, so no package is removed.
  void SetProgramDataFolder(WideText folder) { programData_ = std::move(folder); }
  WideText ProgramDataFolder() const override { return programData_; }

  DownloadTransport& Transport() override { return transport_; }
  WideText UpdaterSite() const override { return {}; }
  WideText UpdaterPath() const override { return {}; }
  SignaturePolicy UpdaterSigner() const override { return {}; }
  UpdaterStart LaunchUpdater(const WideText&, const WideText&) override { return UpdaterStart::kNotStarted; }
  void BringMainWindowToTop() override {}

  void ShowMessage(const WideText& text) override { out_.WriteLine(text); }
  void ApplyCommandAvailability(const CommandAvailability&) override {}

 private:
  WideText programData_;
  DevicePlatform& platform_;
  DownloadTransport& transport_;
  LineSink& out_;
  uint32_t listFlags_;
  WideText folder_;
  DeviceInventory inventory_;
  MemoryDeviceList list_;
  uint8_t cancel_ = kNotCancelled;
  bool finished_ = false;
  bool rebootNeeded_ = false;
  bool notStarted_ = false;
  int resultLines_ = 0;
};

}  // namespace pyr
