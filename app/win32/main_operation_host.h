// The main window as the host of the device operations and the selection commands: questions go
// to its message box, progress to its results dialog, events through its pump.
#pragma once

#include <optional>

#include "operations/operation_host.h"
#include "ui/win32/ui_window.h"

namespace pyr {

class MainWindow;

class MainOperationHost : public OperationHost {
 public:
  explicit MainOperationHost(MainWindow& main) : main_(main) {}

  int AskUser(const WideText& text, int32_t kind) override;
  void OpenResultsDialog(const WideText& statusText) override;
  void SetProgress(int32_t percent, const WideText* text) override;
  void AddCancelButton() override;
  void ShowDialog() override;
  void AddResultLine(const WideText& line) override;
  void MarkFinished() override;
  void CloseDialog() override;
  bool PumpEvent(PumpMode mode) override;
  void PumpEventsFor(uint32_t timeoutMs) override;
  uint8_t CancelRequested() const override;
  void SetCancelRequested(uint8_t value) override;
  void SetRebootNeeded() override;
  bool RebuildInventory() override;
  bool ListGrouped() const override;
  void LockControls() override;
  void UnlockControls() override;
  DevicePlatform& Platform() override;
  DeviceSet InventorySet() const override;
  DeviceList& List() override;
  WindowHandle MainWindowHandle() const override;
  WindowHandle ProgressWindowHandle() const override;

  // --- Driver store tools ---
  bool BrowseForFolder(WideText* text, const WideText& title, uint32_t options) override;
  bool OpenInfFileDialog(WideText* text, const WideText& title) override;
  void OpenProgressWindow(const WideText& statusText, int32_t width, int32_t height) override;
  bool HasResultList() const override;
  WideText ProgramDataFolder() const override;

  // --- Companion updater ---
  DownloadTransport& Transport() override;
  WideText UpdaterSite() const override;
  WideText UpdaterPath() const override;
  SignaturePolicy UpdaterSigner() const override;
  UpdaterStart LaunchUpdater(const WideText& path, const WideText& arguments) override;

  // --- Uninstall, driver and rescan commands ---
  void BringMainWindowToTop() override;

 private:
  MainWindow& main_;
  std::optional<ControlsDisabler> lock_;
};

}  // namespace pyr
