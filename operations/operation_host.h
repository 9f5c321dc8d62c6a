// OperationHost: what a device operation needs from the window that runs it. The main window is
// the Win32 host; tests use a scripted one. Operations stay straight-line code on top of it.
#pragma once

#include <cstdint>
#include <functional>
#include <system_error>
#include <thread>

#include "base/wide_text.h"
#include "devices/device_list.h"
#include "devices/device_platform.h"
#include "web/program_signature.h"

namespace pyr {

class DownloadTransport;

// Values of CancelRequested.
inline constexpr uint8_t kNotCancelled = 0;
inline constexpr uint8_t kCancelPressed = 1;
inline constexpr uint8_t kProgramClosing = 2;

// How PumpEvent takes an event: waiting for one or only taking a pending one, and whether a
// device-change notice rebuilds the list.
enum PumpMode : int {
  kPumpWait = 0,
  kPumpPending = 1,
  kPumpRefreshing = 2,
  kPumpPendingRefreshing = kPumpPending | kPumpRefreshing,
};

// How often a loop that watches a worker looks again when no event comes.
inline constexpr uint32_t kWatchIntervalMs = 50;

// SetProgress values with a meaning of their own.
inline constexpr int32_t kProgressSpinner = -80;  // the spinning ring, no percentage
inline constexpr int32_t kProgressTextOnly = -1;  // the ring as it is, a new status text

class OperationHost {
 public:
  virtual ~OperationHost() = default;

  // The message box: kind as MessageKind; 1 yes/OK, 0 no (also when closed), -1 cancel.
  virtual int AskUser(const WideText& text, int32_t kind) = 0;

  // The results dialog.
  virtual void OpenResultsDialog(const WideText& statusText) = 0;
  // A null text leaves the status text as it is.
  virtual void SetProgress(int32_t percent, const WideText* text) = 0;
  virtual void AddCancelButton() = 0;
  virtual void ShowDialog() = 0;
  // The dialog puts the time stamp in front.
  virtual void AddResultLine(const WideText& line) = 0;
  virtual void MarkFinished() = 0;
  virtual void CloseDialog() = 0;

  // Takes one event (see the modes above); returns whether it took one.
  virtual bool PumpEvent(PumpMode mode) = 0;
  // Waits at most timeoutMs for an event, then takes every pending one. For loops that watch a
  // worker thread or a transfer: those move on without sending the window anything.
  virtual void PumpEventsFor(uint32_t timeoutMs) = 0;
  virtual uint8_t CancelRequested() const = 0;
  virtual void SetCancelRequested(uint8_t value) = 0;
  virtual void SetRebootNeeded() = 0;

  // The list rebuild with the current list flags; false when the device set could not be opened.
  virtual bool RebuildInventory() = 0;
  // Whether the list is grouped by device type.
  virtual bool ListGrouped() const = 0;

  // Disables the list and the right pane while a device operation runs its loop.
  virtual void LockControls() = 0;
  virtual void UnlockControls() = 0;

  virtual DevicePlatform& Platform() = 0;
  // The device set the list's rows point into; invalid when there is none.
  virtual DeviceSet InventorySet() const = 0;
  virtual DeviceList& List() = 0;
  virtual WindowHandle MainWindowHandle() const = 0;
  // The open results dialog or compact progress window, else the main window: the owner of what
  // the system shows while it installs (publisher and unsigned-driver prompts), so it comes in front.
  virtual WindowHandle ProgressWindowHandle() const = 0;

  // --- Driver store tools: pickers and the compact progress window ---
  // Folder picker with SHBrowseForFolder-style options; text holds the pick.
  virtual bool BrowseForFolder(WideText* text, const WideText& title, uint32_t options) = 0;
  virtual bool OpenInfFileDialog(WideText* text, const WideText& title) = 0;
  virtual void OpenProgressWindow(const WideText& statusText, int32_t width, int32_t height) = 0;
  virtual bool HasResultList() const = 0;
  // The machine's program data folder (%ProgramData%), where copies of removed packages are kept.
  virtual WideText ProgramDataFolder() const = 0;

  // --- Companion updater ---
  virtual DownloadTransport& Transport() = 0;
  // The maker's site the updater is fetched from; empty when none is set.
  virtual WideText UpdaterSite() const = 0;
  // Where the updater is kept: beside the program's own executable; empty when the program's own
  // path cannot be read in full.
  virtual WideText UpdaterPath() const = 0;
  // Whose signature the updater must carry, to replace the copy and to be started.
  virtual SignaturePolicy UpdaterSigner() const = 0;
  // Starts the updater without waiting for it, only when it is signed by the maker.
  enum class UpdaterStart { kStarted, kNotStarted, kNotSigned };
  virtual UpdaterStart LaunchUpdater(const WideText& path, const WideText& arguments) = 0;

  // --- Uninstall, driver and rescan commands ---
  // After a system wizard has closed.
  virtual void BringMainWindowToTop() = 0;

  // Starts a worker thread; false when the system has none to give (the body then never runs).
  virtual bool StartThread(std::thread* thread, std::function<void()> body) {
    try {
      *thread = std::thread(std::move(body));
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
};

// Scope of the control lock.
class ControlLockScope {
 public:
  explicit ControlLockScope(OperationHost& host) : host_(host) { host_.LockControls(); }
  ~ControlLockScope() { host_.UnlockControls(); }
  ControlLockScope(const ControlLockScope&) = delete;
  ControlLockScope& operator=(const ControlLockScope&) = delete;

 private:
  OperationHost& host_;
};

}  // namespace pyr
