// MainWindow: the one object that owns what the main window needs, builds the window's contents,
// runs the event loop and hands every command to the code that carries it out.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window_rules.h"
#include "app/package_view.h"
#include "app/win32/program_environment.h"
#include "app/win32/registry_key.h"
#include "app/win32/runtime_libraries.h"
#include "app/win32/startup_times.h"
#include "devices/device_inventory.h"
#include "operations/operation_host.h"
#include "app/win32/find_device_window.h"
#include "app/win32/main_dialogs.h"
#include "app/win32/pane_images.h"
#include "app/win32/list_view_device_list.h"
#include "ui/win32/ui_window.h"

namespace pyr {

class MainWindow : public InventoryHost {
 public:
  explicit MainWindow(ProgramEnvironment& environment);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds the window's contents, loads the settings, fills the list, asks the start-up
  // questions and runs the event loop until the window is closed. Returns 0.
  // With start-up times asked for, the steps are marked and the program ends after the fill.
  int Run(HINSTANCE instance, UiWindow& window, StartupTimes& times);

  // The steps of Run, separately for the tests: contents and settings, then the first list.
  // times, when given, gets a mark after each part of the build.
  bool BuildContents(HINSTANCE instance, UiWindow& window, StartupTimes* times = nullptr);
  // times, when given, gets a mark once the window shows and once the list is filled.
  void ShowAndFill(StartupTimes* times = nullptr);
  void AskStartupQuestions();
  void EventLoop();

  // Takes one event into the main window's record: without kPumpPending it waits for one (and
  // costs nothing while it waits), with it it only takes one that is pending. Links, the results
  // dialog's Cancel button and the program's close are handled here in every mode.
  bool PumpEvent(PumpMode mode);
  // Handles events as PumpEvent does until object (a worker thread, an event) is signalled; in
  // between it sleeps, so a worker's end is seen at once and the wait costs no processor.
  void PumpUntilSignalled(HANDLE object);
  // Waits at most timeoutMs for a message, then handles every pending event.
  void PumpEventsFor(DWORD timeoutMs);
  // Whether the program is closing: its main window was closed or the session is ending. The
  // close of any other window never ends the program.
  bool Closing() const { return closing_; }
  // Shows the message box (kinds 0-3 wait for an answer; 4 is a tip that does not wait).
  int AskUser(const char16_t* text, int kind);

  // For the operations.
  uint8_t CancelRequested() const { return cancelRequested_.load(); }
  void SetCancelRequested(uint8_t value) { cancelRequested_.store(value); }
  void SetRebootNeeded() { rebootNeeded_.store(1); }
  bool RebootNeeded() const { return rebootNeeded_.load() != 0; }
  // Disables the list and the right pane until the returned object goes.
  ControlsDisabler LockControls();
  void RebuildList(uint32_t listFlag);

  // Read by the tests.
  struct Ids {
    int32_t list = 0;
    int32_t packageList = 0;  // the driver store's packages, in the device list's place
    int32_t packageSums = 0;  // the line under it
    int32_t pane = 0;
    std::array<int32_t, 8> buttons{};
    int32_t startupTipBox = 0;
    int32_t legendTitle = 0;
    std::array<int32_t, 4> legend{};
    std::array<int32_t, 3> links{};
    int32_t sizeGrip = 0;
    std::vector<int32_t> contextItems;  // in menu order, separators included
    int32_t contextStateItem = 0;
    std::vector<int32_t> packageContextItems;  // the packages list's, likewise
    CommandIds commands;
  };
  const Ids& ControlIds() const { return ids_; }
  uint32_t ListFlag() const { return listFlag_; }
  uint32_t AppFlag() const { return appFlag_; }
  bool SettingsKeyOpened() const { return settingsKeyOpened_; }
  DeviceList& List() { return *list_; }
  DeviceList& PackageList() { return *packageList_; }
  bool PackagesShown() const { return packagesShown_; }
  const PackageView& Packages() const { return packages_; }
  UiWindow& Window() { return *window_; }
  DeviceInventory& Inventory() { return inventory_; }
  const DeviceInventory& Inventory() const { return inventory_; }
  // The find window, made on first use: it stays hidden until asked for.
  FindDeviceWindow& Find();
  MainDialogs& Dialogs() { return dialogs_; }
  ProgramEnvironment& Environment() { return environment_; }
  bool SaveSettings();

  // InventoryHost.
  void ShowMessage(const WideText& text) override;
  void ApplyCommandAvailability(const CommandAvailability& commands) override;

 private:
  void BuildList();
  void BuildPackageList();
  void BuildPane();
  void BuildGroupMenus();
  void BuildLegendAndLinks();
  // Every pane text whole in whatever font the system gives: controls grow to their texts.
  void FitPaneTexts();
  // After a change of DPI: the buttons', grip's and menus' pictures at the new size, the pane's
  // texts fitted again.
  void FollowDpi();
  // A group's menu items (or the context menu's) get their pictures when the menu first opens;
  // check-mark items get theirs at once.
  void QueueMenuPictures(size_t group);
  void QueueContextMenuPictures();
  void BuildContextMenu();
  void InstallAccelerators();
  HBITMAP MenuBitmap(int icon);
  HBITMAP ButtonBitmap(int icon);

  bool LoadSettings();
  void ApplyViewChecks();
  void RefreshCommandAvailability();
  void SetGroupCommandsEnabled(bool enabled);

  bool FromMainWindow() const;
  void HandleMainEvent();
  void OpenGroupMenu(int buttonIndex);
  void OpenContextMenu();
  void OpenPackageContextMenu();
  void ToggleSelectedRowCheck();
  void OnStartupTipBox();
  bool HandleLink();
  int64_t NowMs() const;
  void RunCommand(Command command, CommandSource source);
  // The selection, find, information and device-state commands; false for any other command.
  bool RunListCommand(Command command, CommandSource source);
  // Uninstall, driver, reinstall, add-device and rescan commands.
  void RunDeviceCommand(Command command, CommandSource source);
  void HandleFindEvent();
  void FindNext();
  // "Export list...": the rows shown, in their order, with their check state, to a picked file.
  void ExportList();
  // The selected row, or -1 after telling the user to select one.
  int SelectedRowOrAsk();
  void OpenDeviceProperties();
  void ToggleShowNotPresentCommand();
  void ToggleGroupByTypeCommand();

  // The packages view: one list or the other in the same place, the legend and the commands
  // following it.
  void ShowPackagesView(bool on);
  // Reads the store (and, unless the device list's pass read them, the devices of its packages)
  // and shows it.
  void FillPackages();
  void ApplyLegend();
  // The folders' sizes are walked a little at a time while the window waits, so that the rows
  // show at once: each step walks for a few milliseconds, and a command that needs the sizes
  // walks the rest first (toTheEnd).
  void ContinueSizeWalk(bool toTheEnd);
  void ShowPackageSums();
  // The commands the packages view carries out itself; false for the others.
  // From the context menu they act on the selected package, else on the checked ones.
  bool RunPackageCommand(Command command, CommandSource source);
  void ShowDevicesOfPackages(const std::vector<StorePackage>& chosen);
  void ExportPackages();
  // The chosen packages, or none after telling the user to check (or select) some.
  std::vector<StorePackage> ChosenPackagesOrAsk(CommandSource source);
  bool OfferReboot();
  // NextEvent on the main record; notes the program's close, whoever reads the event.
  int TakeEvent(EventMode mode);

  // Device-change notices: each one (re)starts a quiet-period timer that wakes the pump; the
  // rebuild comes once the burst is over, in the idle loop or a refreshing pump only.
  void NoteDeviceChange();
  bool DeviceChangesSettled() const;
  void ForgetDeviceChanges();
  bool deviceChangePending_ = false;
  int64_t lastDeviceChangeMs_ = 0;

  ProgramEnvironment& environment_;
  UiWindow* window_ = nullptr;
  FindDeviceWindow find_;
  UiEvent* event_ = nullptr;
  std::atomic<uint8_t> cancelRequested_{kNotCancelled};
  std::atomic<uint8_t> rebootNeeded_{0};
  bool closing_ = false;
  Ids ids_;
  GroupMenuToggle menuToggle_;
  uint32_t listFlag_ = 0;
  uint32_t appFlag_ = 0;
  bool settingsKeyOpened_ = false;
  HINSTANCE instance_ = nullptr;
  DeviceInventory inventory_;
  std::unique_ptr<ListViewDeviceList> list_;
  std::unique_ptr<ListViewDeviceList> packageList_;
  PackageView packages_;
  bool packagesShown_ = false;
  bool sizeWalkRunning_ = false;
  MainDialogs dialogs_;
  RuntimeLibraries libraries_;
  // Bitmaps handed to the menus and buttons; the controls copy what they keep.
  PaneImages images_;
  // Menu items whose pictures are still to be given: a menu gets its pictures when it first
  // opens, so that decoding them does not hold up the window's first showing.
  struct PendingPicture {
    int32_t menuOwner;
    int32_t item;
    int icon;
  };
  std::vector<PendingPicture> pendingPictures_;
  void GiveMenuItsPictures(int32_t menuOwner);
  RegistryKey settingsKey_;
};

}  // namespace pyr
