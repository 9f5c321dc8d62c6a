// The program's own message box (one to three buttons on a framed, rounded popup) and the
// message tip (a small dark balloon at the main window's top-left that the next click or key
// closes). At most one of them is open at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ui/dialogs/message_rules.h"
#include "base/colours.h"
#include "ui/win32/ui_window.h"

namespace pyr {

class MessageBoxWindow {
 public:
  MessageBoxWindow() = default;
  ~MessageBoxWindow();
  MessageBoxWindow(const MessageBoxWindow&) = delete;
  MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

  // Closes what is open, then builds and shows a box of kind 0-3 or a tip (kind 4). A box
  // narrower than 160 is made 360 wide; a tip needs a visible owner or is not shown.
  MessageBoxWindow& ShowMessageBox(UiWindow* owner, const char16_t* text, int32_t kind,
                                   int height, int width);
  // Hides and destroys the open box or tip and drains what that produces, leaving the event
  // record it posts into as it was (a quit flag set meanwhile is kept).
  void CloseMessageBox();

  // Kind of the open box or tip, -1 when none.
  int32_t Kind() const { return kind_; }
  bool IsOpen() const { return kind_ != -1 && window_.Handle() != nullptr; }
  // Id of button 1, 2 or 3 of the open box; -1 for any other index or a missing button.
  int32_t ButtonId(int index) const;
  int32_t TextControlId() const { return textId_; }
  UiWindow& Window() { return window_; }
  const UiWindow& Window() const { return window_; }
  // The record a box without owner posts into (null: its window's own).
  void SetEventSink(UiEvent* record) { sink_ = record; }

  // Colours (ARGB for the drawn background, COLORREF for the text).
  Argb borderColour = 0xFF000000;
  Argb fillColour = 0xFFFFFFFF;
  Argb footerColour = 0xFFF0F0FF;
  ColourRef textColour = 0x000000;
  int32_t cornerSize = 12;

 private:
  void BuildBox(UiWindow* owner, const char16_t* text, int32_t kind, int height, int width);
  void BuildTip(UiWindow* owner, const char16_t* text, int height, int width);
  static LRESULT CALLBACK TipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  UiWindow window_;
  UiEvent* sink_ = nullptr;
  int32_t textId_ = -1;
  int32_t buttonIds_[3] = {-1, -1, -1};
  int32_t kind_ = -1;
  bool tipHooked_ = false;
};

// One blocking step of the caller's event pump; it leaves the event in the pumped record.
using PumpStep = std::function<void()>;

// Shows text as a box of the given kind over the main window and pumps events until it is
// answered: 1 yes/OK, 0 no, -1 cancel. Esc and a close of the box press its negative button; a
// close of any other window meanwhile, or the pump's end, gives the same negative answer (OK of
// an OK box, No of Yes/No, Cancel otherwise); the close stays in the record for the caller. A tip returns 1 at once and stays open. Without step the toolkit's NextEvent on the
// main window's record is used.
int32_t AskUser(MessageBoxWindow& box, UiWindow& mainWindow, const char16_t* text, int32_t kind,
                const PumpStep& step = {});

// The main pump's part of the tip's closing rule: an open tip is closed by any event that is
// not movement, hovering, sizing and the like; the event itself stays in the record.
void CloseTipOnEvent(MessageBoxWindow& box, const UiEvent& event);

}  // namespace pyr
