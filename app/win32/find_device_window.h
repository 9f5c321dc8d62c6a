// The find window: a small borderless box beside the main window's top-left corner with a search
// box, a "Find next" button and a close button. It posts into the main window's event record.
#pragma once

#include "base/wide_text.h"
#include "ui/win32/ui_window.h"

namespace pyr {

class PaneImages;

class FindDeviceWindow {
 public:
  // Creates the window hidden, owned by main.
  bool Create(UiWindow& main, PaneImages& images);
  void Destroy() { window_.DestroyUiWindow(); }
  bool Created() const { return window_.Handle() != nullptr; }

  void Show();
  void Hide();
  bool Visible() const;
  // Whether the main pump's current event came from this window.
  bool IsSourceOf(const UiEvent& event) const;
  bool IsFindNext(int32_t code) const { return code > 0 && code == findNextId_; }
  bool IsClose(int32_t code) const { return code > 0 && code == closeId_; }

  WideText SearchText() { return window_.GetControlText(searchId_); }
  void SetSearchText(const char16_t* text) { window_.SetControlText(searchId_, text); }
  void FocusSearchBox();
  // Restacks the box above its owner after the owner was activated; Windows keeps owned windows
  // there by itself, some compatibility layers without a window manager do not.
  void KeepAboveOwner();
  UiWindow& Window() { return window_; }

  // The row the last search found; -1 at start-up and after a search reached the end.
  int lastFound = -1;

 private:
  UiWindow window_;
  int32_t searchId_ = 0;
  int32_t findNextId_ = 0;
  int32_t closeId_ = 0;
};

}  // namespace pyr
