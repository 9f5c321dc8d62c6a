// The one window through which long operations show that they work, can be stopped and report
// what they did: a borderless popup with a progress ring and a status text, a Cancel button that
// becomes "OK", and in its results variant a two-column list of time-stamped result lines.
// It decides nothing: the operation drives it, on the UI thread or from a worker.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/dialogs/win32/progress_ring.h"
#include "base/colours.h"
#include "ui/win32/ui_window.h"

namespace pyr {

class OperationResultsDialog {
 public:
  OperationResultsDialog() = default;
  ~OperationResultsDialog();
  OperationResultsDialog(const OperationResultsDialog&) = delete;
  OperationResultsDialog& operator=(const OperationResultsDialog&) = delete;

  // The results variant, 650 x 350. Over an open results dialog only the status text changes;
  // an open compact dialog is closed and replaced.
  OperationResultsDialog& OpenResultsDialog(const char16_t* status, UiWindow* owner);
  // The compact variant: width x (height + 20), ring height x height. Not guarded.
  OperationResultsDialog& OpenProgressWindow(const char16_t* status, UiWindow* owner, int width,
                                             int height);
  // value >= 0: percent (capped at 100); -1: ring unchanged; <= -2: spin. A status text given
  // replaces the shown one. Nothing happens without a dialog window.
  OperationResultsDialog& SetProgress(int32_t value, const char16_t* status);
  OperationResultsDialog& AddCancelButton();
  OperationResultsDialog& ShowDialog();
  // Appends "YYYY/MM/DD hh:mm:ss:mmm" and text as a row; only the results variant has rows.
  OperationResultsDialog& AddResultLine(const char16_t* text);
  bool HasResultList() const;
  // The button now reads "OK". False when there is no button.
  bool MarkFinished();
  void CloseDialog();

  int32_t CancelButtonId() const { return buttonId_; }
  int32_t SecondButtonId() const { return secondButtonId_; }
  int32_t ResultListId() const { return listId_; }
  int32_t StatusControlId() const { return statusId_; }
  int32_t RingControlId() const { return ringId_; }
  int32_t RingSize() const { return ringSize_; }
  UiWindow& DialogWindow() { return window_; }
  HWND DialogHandle() const { return window_.Handle(); }
  ProgressRing& Ring() { return ring_; }
  // The record the dialog posts into when it has no owner.
  void SetEventSink(UiEvent* record) { sink_ = record; }

  Argb borderColour = 0xFF000000;
  Argb fillColour = 0xFFFFFFFF;
  ColourRef textColour = 0x000000;
  Argb accentColour = 0xFF1030A0;
  int32_t cornerSize = 12;

 private:
  bool Begin(UiWindow* owner, int width, int height);
  // The framed background at the dialog's size and DPI.
  void PaintBackground();
  void AttachRing(int x, int y, int side, Argb arc);
  void SetStatusText(const char16_t* text);
  void ResetIds();

  UiWindow window_;
  UiWindow* owner_ = nullptr;
  UiEvent* sink_ = nullptr;
  ProgressRing ring_;
  int32_t ringId_ = -1;
  int32_t statusId_ = -1;
  int32_t buttonId_ = -1;
  int32_t secondButtonId_ = -1;
  int32_t stripId_ = -1;
  int32_t listId_ = -1;
  int32_t ringSize_ = 0;
};

}  // namespace pyr
