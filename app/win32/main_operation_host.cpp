#include "app/win32/main_operation_host.h"

#include <windows.h>

#include <string>

#include "app/settings.h"
#include "app/win32/file_pickers.h"
#include "app/win32/program_environment.h"
#include "base/win32/process.h"
#include "app/win32/main_window.h"
#include "ui/dialogs/win32/operation_results_dialog.h"
#include "web/win32/program_signature.h"

namespace pyr {

namespace {

OperationResultsDialog& Results(MainWindow& main) { return main.Dialogs().ResultsDialog(); }

}  // namespace

int MainOperationHost::AskUser(const WideText& text, int32_t kind) {
  const int answer = main_.AskUser(text.Buffer(), kind);
  // The closed box hands the activation to the main window, which would then cover an open
  // results dialog (and its OK button); the dialog comes back in front.
  HWND results = Results(main_).DialogHandle();
  if (results != nullptr && IsWindowVisible(results)) BringWindowToTop(results);
  return answer;
}

void MainOperationHost::OpenResultsDialog(const WideText& statusText) {
  Results(main_).OpenResultsDialog(statusText.Buffer(), &main_.Window());
}

void MainOperationHost::SetProgress(int32_t percent, const WideText* text) {
  Results(main_).SetProgress(percent, text ? text->Buffer() : nullptr);
}

void MainOperationHost::AddCancelButton() { Results(main_).AddCancelButton(); }
void MainOperationHost::ShowDialog() { Results(main_).ShowDialog(); }
void MainOperationHost::AddResultLine(const WideText& line) { Results(main_).AddResultLine(line.Buffer()); }
void MainOperationHost::MarkFinished() { Results(main_).MarkFinished(); }
void MainOperationHost::CloseDialog() { Results(main_).CloseDialog(); }
bool MainOperationHost::PumpEvent(PumpMode mode) { return main_.PumpEvent(mode); }

void MainOperationHost::PumpEventsFor(uint32_t timeoutMs) { main_.PumpEventsFor(timeoutMs); }
uint8_t MainOperationHost::CancelRequested() const { return main_.CancelRequested(); }
void MainOperationHost::SetCancelRequested(uint8_t value) { main_.SetCancelRequested(value); }
void MainOperationHost::SetRebootNeeded() { main_.SetRebootNeeded(); }

bool MainOperationHost::RebuildInventory() {
  main_.RebuildList(main_.ListFlag());
  return main_.Inventory().Set().Valid();
}

bool MainOperationHost::ListGrouped() const { return (main_.ListFlag() & kListFlagFlat) == 0; }

void MainOperationHost::LockControls() {
  if (!lock_) lock_.emplace(main_.Window(), main_.ControlIds().list, main_.ControlIds().pane);
}

void MainOperationHost::UnlockControls() { lock_.reset(); }

DevicePlatform& MainOperationHost::Platform() { return main_.Inventory().Platform(); }
DeviceSet MainOperationHost::InventorySet() const { return main_.Inventory().Set(); }
DeviceList& MainOperationHost::List() { return main_.List(); }

WindowHandle MainOperationHost::MainWindowHandle() const {
  return WindowHandle{reinterpret_cast<uintptr_t>(main_.Window().Handle())};
}

WindowHandle MainOperationHost::ProgressWindowHandle() const {
  HWND dialog = Results(main_).DialogHandle();
  if (dialog == nullptr || !IsWindowVisible(dialog)) dialog = main_.Window().Handle();
  return WindowHandle{reinterpret_cast<uintptr_t>(dialog)};
}

// --- Driver store tools ---

bool MainOperationHost::BrowseForFolder(WideText* text, const WideText& title, uint32_t options) {
  return pyr::BrowseForFolder(text, title, options, main_.Window().Handle());
}

bool MainOperationHost::OpenInfFileDialog(WideText* text, const WideText& title) {
  // Over an operation's results dialog the picker belongs to that dialog.
  HWND results = Results(main_).DialogHandle();
  return pyr::OpenInfFileDialog(text, title, results != nullptr ? results : main_.Window().Handle());
}

void MainOperationHost::OpenProgressWindow(const WideText& statusText, int32_t width, int32_t height) {
  Results(main_).OpenProgressWindow(statusText.Buffer(), &main_.Window(), width, height);
}

bool MainOperationHost::HasResultList() const { return Results(main_).HasResultList(); }

WideText MainOperationHost::ProgramDataFolder() const { return WideText(main_.Environment().ProgramDataFolder()); }

// --- Companion updater ---

DownloadTransport& MainOperationHost::Transport() { return main_.Environment().Transport(); }

WideText MainOperationHost::UpdaterSite() const { return WideText(main_.Environment().MakerSite()); }

WideText MainOperationHost::UpdaterPath() const {
  const WideText folder = ModuleFolder(nullptr);
  return folder.Empty() ? folder : Concat({folder, u"Ovelant.exe"});
}

SignaturePolicy MainOperationHost::UpdaterSigner() const { return main_.Environment().UpdaterSigner(); }

OperationHost::UpdaterStart MainOperationHost::LaunchUpdater(const WideText& path, const WideText& arguments) {
  // The updater runs on its own; its handle is not kept.
  switch (StartSignedProgram(path, arguments, UpdaterSigner())) {
    case SignedStart::kStarted:
      return UpdaterStart::kStarted;
    case SignedStart::kNotSigned:
      return UpdaterStart::kNotSigned;
    default:
      return UpdaterStart::kNotStarted;
  }
}

// --- Uninstall, driver and rescan commands ---

void MainOperationHost::BringMainWindowToTop() { BringWindowToTop(main_.Window().Handle()); }

}  // namespace pyr
