#include "ui/dialogs/win32/message_box_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/win32/wchar.h"
#include "ui/dialogs/win32/dialog_pictures.h"
#include "ui/dpi_scale.h"
#include "ui/draw/win32/images.h"
#include "ui/draw/win32/ui_window_background.h"
#include "ui/draw/win32/window_helpers.h"
#include "ui/win32/procedure_hooks.h"
#include "ui/win32/text_fit.h"

namespace pyr {

namespace {

// Height of the work area of the monitor the box will show on.
int WorkAreaHeight(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(monitor, &info)) return GetSystemMetrics(SM_CYSCREEN);
  return info.rcWork.bottom - info.rcWork.top;
}

bool IsMinimized(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_MINIMIZE) != 0; }

// A visible owner is restored from the taskbar first; an invisible one does not count.
HWND UsableOwner(UiWindow* owner) {
  HWND hwnd = owner ? owner->Handle() : nullptr;
  if (!hwnd) return nullptr;
  if (IsMinimized(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  return IsWindowVisible(hwnd) ? hwnd : nullptr;
}

}  // namespace

MessageBoxWindow::~MessageBoxWindow() {
  if (tipHooked_ && window_.Handle()) UnhookProcedure(window_.Handle(), TipProc);
}

int32_t MessageBoxWindow::ButtonId(int index) const {
  if (index < 1 || index > 3) return -1;
  return buttonIds_[index - 1];
}

MessageBoxWindow& MessageBoxWindow::ShowMessageBox(UiWindow* owner, const char16_t* text,
                                                   int32_t kind, int height, int width) {
  CloseMessageBox();
  if (!text) text = u"";
  if (kind == kMessageTip) {
    BuildTip(owner, text, height, width);
  } else {
    // An unknown kind would leave a box nobody can answer: it gets an OK button.
    BuildBox(owner, text, MessageButtons(kind).empty() ? kMessageOk : kind, height, width);
  }
  return *this;
}

void MessageBoxWindow::BuildBox(UiWindow* owner, const char16_t* text, int32_t kind, int height,
                                int width) {
  HWND parent = nullptr;
  if (owner && owner->Handle()) parent = UsableOwner(owner);
  window_.SetEventSink(owner ? owner->EventSink() : sink_);
  const int w = MessageBoxWidthFor(width);
  int h = height;
  if (!window_.CreateUiWindow(u"_WINDOW_MsgBoxClass", u"", w, h, -1, -1, WS_POPUP, 0, parent))
    return;
  window_.SetEventSink(owner ? owner->EventSink() : sink_);
  window_.SetDefaultFont(9, 400);
  window_.SetWindowTextColour(textColour);
  // The text is shown as given: an "&" in a device name is not a mnemonic.
  const int textWidth = w - 2 * kMessageTextMargin;
  textId_ = window_.AddText(text, kMessageTextMargin, kMessageTextMargin, textWidth,
                            h - kMessageTextMargin - kMessageTextBottom,
                            WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX);
  // Whatever font the system gives, every line of the text shows: the box grows downward.
  if (const HWND textControl = window_.ControlHandle(textId_)) {
    RECT room{};
    GetClientRect(textControl, &room);
    const int dpi = window_.Dpi();
    const int textHeight = UnscaleUpForDpi(TextFitSize(textControl, room.right, dpi).cy, dpi);
    h = MessageBoxHeightFor(height, textHeight, window_.Unscale(WorkAreaHeight(window_.Handle())));
    if (h != height) {
      window_.SetClientSize(w, h);
      window_.PlaceControl(textId_, kMessageTextMargin, kMessageTextMargin, textWidth,
                           h - kMessageTextMargin - kMessageTextBottom);
    }
  }
  const auto paint = [this, w, h] {
    PaintWindowBackground(window_, w, h, borderColour, fillColour, footerColour, cornerSize, 4);
  };
  paint();
  window_.SetDpiFollower(paint);
  CentreWindow(window_.Handle(), parent);
  if (owner) owner->AddOwnedWindow(window_.Handle());

  const auto buttons = MessageButtons(kind);
  const std::vector<Point32> places = MessageButtonPlaces(kind, w, h);
  for (size_t i = 0; i < buttons.size() && i < places.size(); ++i) {
    const DWORD style = i == 0 ? (WS_VISIBLE | BS_DEFPUSHBUTTON) : DWORD(-1);
    buttonIds_[i] = window_.AddButton(buttons[i].text, places[i].x, places[i].y,
                                      kMessageButtonWidth, kMessageButtonHeight, style);
  }
  // Esc, Alt+F4 and any other close press the negative button, never the first.
  window_.SetCancelControl(ButtonId(NegativeButton(kind)));
  kind_ = kind;
  window_.ShowUiWindow(SW_SHOW, kShowUpdate | kShowToFront | kShowActivate);
  window_.SetControlState(buttonIds_[0], kStateFocus);
}

void MessageBoxWindow::BuildTip(UiWindow* owner, const char16_t* text, int height, int width) {
  HWND ownerHwnd = UsableOwner(owner);
  if (!ownerHwnd || IsMinimized(ownerHwnd)) return;
  int w = width < 200 ? 200 : width;
  int h = height < 70 ? 75 : height;

  RECT anchor{};
  GetWindowRect(ownerHwnd, &anchor);
  RegionHandle region(CreateRectRgn(0, 0, 0, 0));
  if (region && GetWindowRgn(ownerHwnd, region.Get()) != ERROR) {
    RECT box{};
    GetRgnBox(region.Get(), &box);
    anchor.left += box.left;
    anchor.top += box.top + owner->Scale(4);
  }
  const TipText parts = SplitTipText(text);
  const bool topmost = (GetWindowLongPtrW(ownerHwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  window_.SetEventSink(owner->EventSink());
  if (!window_.CreateUiWindow(u"_WndMsgTipClass", parts.title.Buffer(), w, h,
                              anchor.left + owner->Scale(24), anchor.top + owner->Scale(16),
                              WS_POPUP, topmost ? WS_EX_TOPMOST : 0, ownerHwnd))
    return;
  window_.SetEventSink(owner->EventSink());
  owner->AddOwnedWindow(window_.Handle());
  window_.SetDefaultFont(9, 400);
  window_.SetWindowTextColour(0xFFFFFF);
  textId_ = window_.AddText(parts.message.Buffer(), 10, 35, w - 20, h - 45);

  // Measure the lines with the font the message control shows them in, in 96-DPI units.
  HWND message = window_.ControlHandle(textId_);
  std::vector<TextExtent> extents;
  {
    ScreenDc dc(message);
    auto font = reinterpret_cast<HFONT>(SendMessageW(message, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.Get(), font ? static_cast<HGDIOBJ>(font)
                                           : GetStockObject(DEFAULT_GUI_FONT));
    const int dpi = window_.Dpi();
    for (std::u16string_view line : MessageLines(parts.message.View())) {
      SIZE size{};
      GetTextExtentPoint32W(dc.Get(), W(line.data()), static_cast<int>(line.size()), &size);
      extents.push_back({UnscaleUpForDpi(size.cx, dpi), UnscaleUpForDpi(size.cy, dpi)});
    }
  }
  const TipSize size = TipSizeFor(extents);
  w = size.width;
  h = size.height;
  window_.SetClientSize(w, h);
  window_.PlaceControl(textId_, 10, 35, w - 20, size.lines * size.lineHeight);

  const auto paint = [this, w, h] {
    ImagePtr background = TipBackgroundImage(window_.Scale(w), window_.Scale(h), window_.Dpi());
    if (background) SetBackgroundImage(window_, background.get());
  };
  paint();
  window_.SetDpiFollower(paint);
  const int32_t titleId = window_.AddText(parts.title.Buffer(), 35, 6, w - 35, 20);
  window_.SetControlFont(titleId, 12);

  const ACCEL keys[2] = {{FVIRTKEY, VK_ESCAPE, static_cast<WORD>(textId_)},
                         {FVIRTKEY, VK_RETURN, static_cast<WORD>(titleId)}};
  window_.SetAccelerators(keys, 2);
  kind_ = kMessageTip;
  window_.ShowUiWindow(SW_SHOWNOACTIVATE, kShowUpdate);
  tipHooked_ = HookProcedure(window_.Handle(), TipProc, this);
}

LRESULT CALLBACK MessageBoxWindow::TipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(hwnd, message, TipProc, hook)) return DefWindowProcW(hwnd, message, wParam, lParam);
  const bool closes = message == WM_ACTIVATE || message == WM_CONTEXTMENU ||
                      message == WM_NCACTIVATE || message == WM_NCLBUTTONDOWN ||
                      message == WM_NCLBUTTONUP || message == WM_NCLBUTTONDBLCLK ||
                      message == WM_SYSCOMMAND ||
                      (message >= WM_LBUTTONDOWN && message <= WM_RBUTTONDBLCLK);
  if (!closes || !hook.context) return PassOn(hook, hwnd, message, wParam, lParam);
  static_cast<MessageBoxWindow*>(hook.context)->CloseMessageBox();
  return 0;
}

void MessageBoxWindow::CloseMessageBox() {
  HWND hwnd = window_.Handle();
  if (!hwnd) {
    kind_ = -1;
    return;
  }
  UiEvent* sink = window_.EventSink();
  const UiEvent saved = *sink;
  if (tipHooked_) {
    UnhookProcedure(hwnd, TipProc);
    tipHooked_ = false;
  }
  ShowWindow(hwnd, SW_HIDE);
  window_.DestroyUiWindow();
  textId_ = -1;
  buttonIds_[0] = buttonIds_[1] = buttonIds_[2] = -1;
  kind_ = -1;
  HWND closedMeanwhile = nullptr;
  while (NextEvent(*sink, EventMode::kPeekHandled)) {
    if (sink->code == ev::kClose && sink->source) closedMeanwhile = sink->source;
  }
  const bool quitMeanwhile = sink->quit != 0;
  *sink = saved;
  if (quitMeanwhile) sink->quit = 1;
  // A close that arrived during the drain is not the caller's event, but it must not be lost:
  // it goes back into the queue for the caller's next pump.
  if (closedMeanwhile && IsWindow(closedMeanwhile)) PostMessageW(closedMeanwhile, kCloseMessage, 0, 0);
  // The box's keys went with it; left in the record they would come back with the next box or
  // tip built in this same object and shadow the owner's accelerators.
  if (sink->acceleratorWindow == &window_) sink->acceleratorWindow = nullptr;
}

int32_t AskUser(MessageBoxWindow& box, UiWindow& mainWindow, const char16_t* text, int32_t kind,
                const PumpStep& step) {
  HWND main = mainWindow.Handle();
  if (main && IsMinimized(main)) ShowWindow(main, SW_RESTORE);
  box.ShowMessageBox(&mainWindow, text, kind, kMessageBoxHeight, kMessageBoxWidth);
  if (kind == kMessageTip) return kAnswerYes;
  if (!box.IsOpen()) return kAnswerNo;  // nothing to answer: as if it were closed

  UiEvent& record = *mainWindow.EventSink();
  const auto buttons = MessageButtons(box.Kind());
  // Until a button says otherwise, the box counts as closed.
  int32_t answer = NegativeAnswer(box.Kind());
  for (;;) {
    // Esc must reach the box even when another window of the program was activated meanwhile.
    if (box.IsOpen()) record.acceleratorWindow = &box.Window();
    if (step) {
      step();
    } else {
      NextEvent(record, EventMode::kWait);
    }
    if (record.code == ev::kClose || record.code == ev::kPumpFailed) break;
    if (!box.IsOpen()) break;  // destroyed underneath us
    if (record.sourceWindow != &box.Window() || record.code <= 0) continue;
    bool matched = false;
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (record.code == box.ButtonId(static_cast<int>(i) + 1)) {
        answer = buttons[i].answer;
        matched = true;
      }
    }
    if (matched) break;
  }
  box.CloseMessageBox();
  return answer;
}

void CloseTipOnEvent(MessageBoxWindow& box, const UiEvent& event) {
  if (box.Kind() != kMessageTip || !box.IsOpen()) return;
  if (TipSurvivesEvent(event.code)) return;
  box.CloseMessageBox();  // keeps the record, so the event is still delivered
}

}  // namespace pyr
