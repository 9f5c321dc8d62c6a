#include "app/win32/main_operation_host.h"

#include <commdlg.h>

#include <vector>

#include "app/settings.h"
#include "app/win32/main_window.h"
#include "base/win32/wchar.h"
#include "ui/dialogs/win32/operation_results_dialog.h"

namespace pyr {

namespace {

OperationResultsDialog& Results(MainWindow& main) { return main.Dialogs().ResultsDialog(); }

}  // namespace

int MainOperationHost::AskUser(const WideText& text, int32_t kind) {
  return main_.AskUser(text.Buffer(), kind);
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
bool MainOperationHost::PumpEvent(int mode) { return main_.PumpEvent(mode); }
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

// --- Uninstall, driver and rescan commands ---

void MainOperationHost::OpenProgressWindow(const WideText& statusText, int32_t width, int32_t height) {
  Results(main_).OpenProgressWindow(statusText.Buffer(), &main_.Window(), width, height);
}

bool MainOperationHost::OpenInfFileDialog(WideText* path, const WideText& title) {
  // The filter is pairs of texts ending in an empty one.
  static constexpr wchar_t kFilter[] = L"INF files (*.inf)\0*.inf\0";
  std::vector<wchar_t> file(2048, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Results(main_).DialogHandle();
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = W(title);
  dialog.lpstrDefExt = L"inf";
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&dialog)) return false;
  *path = WideText(U(file.data()));
  return true;
}

void MainOperationHost::BringMainWindowToTop() { BringWindowToTop(main_.Window().Handle()); }

}  // namespace pyr
