// The main window's message box and progress dialog, kept behind one small interface so that the
// window code does not depend on how the dialogs are drawn.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "ui/win32/ui_window.h"

namespace pyr {

class MessageBoxWindow;
class OperationResultsDialog;

class MainDialogs {
 public:
  MainDialogs();
  ~MainDialogs();
  MainDialogs(const MainDialogs&) = delete;
  MainDialogs& operator=(const MainDialogs&) = delete;

  // Both dialogs post into this record.
  void SetEventSink(UiEvent* record);
  // AskUser over the main window: 1 yes/OK, 0 no (or a close meanwhile), -1 cancel.
  // step takes one event into the main record (waiting); empty: the toolkit's NextEvent.
  int AskUser(UiWindow& mainWindow, const char16_t* text, int kind,
              const std::function<void()>& step = {});
  // The tip's closing rule for an event the main pump has just taken.
  void ApplyTipRule(const UiEvent& event);
  bool TipOpen() const;
  // Whether the event is a click on the progress dialog's Cancel button.
  bool IsCancelClick(const UiEvent& event);

  // The results dialog over the main window, with its Cancel button when asked for.
  void OpenResults(UiWindow& owner, const char16_t* status, bool withCancel);
  HWND CancelButton();
  void CloseResults();

  MessageBoxWindow& MessageBox() { return *messageBox_; }
  OperationResultsDialog& ResultsDialog() { return *resultsDialog_; }

 private:
  // Destroyed in this order: the progress dialog, then the message box.
  std::unique_ptr<MessageBoxWindow> messageBox_;
  std::unique_ptr<OperationResultsDialog> resultsDialog_;
};

}  // namespace pyr
