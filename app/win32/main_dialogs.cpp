#include "app/win32/main_dialogs.h"

#include "ui/dialogs/win32/message_box_window.h"
#include "ui/dialogs/win32/operation_results_dialog.h"

namespace pyr {

MainDialogs::MainDialogs()
    : messageBox_(std::make_unique<MessageBoxWindow>()),
      resultsDialog_(std::make_unique<OperationResultsDialog>()) {}

MainDialogs::~MainDialogs() {
  resultsDialog_.reset();
  messageBox_.reset();
}

void MainDialogs::SetEventSink(UiEvent* record) {
  messageBox_->SetEventSink(record);
  resultsDialog_->SetEventSink(record);
}

int MainDialogs::AskUser(UiWindow& mainWindow, const char16_t* text, int kind,
                         const std::function<void()>& step) {
  return pyr::AskUser(*messageBox_, mainWindow, text, kind, step);
}

void MainDialogs::ApplyTipRule(const UiEvent& event) {
  if (TipOpen()) CloseTipOnEvent(*messageBox_, event);
}

bool MainDialogs::TipOpen() const { return messageBox_->Kind() == kMessageTip; }

bool MainDialogs::IsCancelClick(const UiEvent& event) {
  if (event.code <= 0 || resultsDialog_->DialogHandle() == nullptr) return false;
  if (event.sourceWindow != &resultsDialog_->DialogWindow()) return false;
  return event.code == resultsDialog_->CancelButtonId() ||
         event.code == resultsDialog_->SecondButtonId();
}

void MainDialogs::OpenResults(UiWindow& owner, const char16_t* status, bool withCancel) {
  resultsDialog_->OpenResultsDialog(status, &owner);
  if (withCancel) resultsDialog_->AddCancelButton();
  resultsDialog_->ShowDialog();
}

HWND MainDialogs::CancelButton() {
  return resultsDialog_->DialogWindow().ControlHandle(resultsDialog_->CancelButtonId());
}

void MainDialogs::CloseResults() { resultsDialog_->CloseDialog(); }

}  // namespace pyr
