#include "ui/dialogs/win32/operation_results_dialog.h"

#include <commctrl.h>

#include "base/date_time_text.h"
#include "ui/dialogs/progress_rules.h"
#include "ui/dpi_scale.h"
#include "ui/draw/win32/shapes.h"
#include "ui/draw/win32/ui_window_background.h"
#include "ui/draw/win32/window_helpers.h"
#include "ui/win32/list_view.h"

namespace pyr {

namespace {

constexpr int kResultsWidth = 650;
constexpr int kResultsHeight = 350;
constexpr int kResultsRing = 70;
constexpr int kFrameBorder = 4;
constexpr DWORD kResultListStyle = 0x1080000D;  // visible, border, report, single selection
constexpr uint32_t kDragFlags = 0x1C00;         // drags the window, double-buffered, clipped
constexpr uint32_t kPlainFlags = 0x0C00;

}  // namespace

OperationResultsDialog::~OperationResultsDialog() {
  if (window_.Handle()) CloseDialog();
}

void OperationResultsDialog::ResetIds() {
  ringId_ = statusId_ = buttonId_ = secondButtonId_ = stripId_ = listId_ = -1;
  ringSize_ = 0;
}

bool OperationResultsDialog::Begin(UiWindow* owner, int width, int height) {
  owner_ = owner;
  UiEvent* sink = owner ? owner->EventSink() : sink_;
  window_.SetEventSink(sink);
  HWND ownerHwnd = owner ? owner->Handle() : nullptr;
  if (!window_.CreateUiWindow(u"_WND_PROGRESS_DLG_", u"", width, height, -1, -1, WS_POPUP, 0,
                              ownerHwnd))
    return false;
  window_.SetEventSink(sink);
  window_.SetDefaultFont(10, 400);
  window_.SetWindowTextColour(textColour);
  PaintBackground();
  // Dragged to a monitor of another scale, the dialog draws its frame and ring again there.
  window_.SetDpiFollower([this] {
    PaintBackground();
    ring_.Refit();
    if (const HWND status = window_.ControlHandle(statusId_)) {
      SetStatusText(window_.GetControlText(statusId_).Buffer());
    }
  });
  if (owner) owner->AddOwnedWindow(window_.Handle());
  return true;
}

void OperationResultsDialog::PaintBackground() {
  const SIZE client = window_.ClientSize();
  PaintWindowBackground(window_, client.cx, client.cy, borderColour, fillColour, fillColour,
                        cornerSize, kFrameBorder);
}

void OperationResultsDialog::AttachRing(int x, int y, int side, Argb arc) {
  ringId_ = window_.AddPicture(nullptr, x, y, side, side);
  if (ringId_ > 0)
    ring_.Attach(window_.ControlHandle(ringId_), window_.Handle(), arc,
                 ColourRefToArgb(textColour), fillColour);
}

OperationResultsDialog& OperationResultsDialog::OpenResultsDialog(const char16_t* status,
                                                                  UiWindow* owner) {
  if (window_.Handle() && IsWindowVisible(window_.Handle())) {
    if (HasResultList()) return SetProgress(-1, status);
    CloseDialog();
  }
  ringSize_ = kResultsRing;
  if (!Begin(owner, kResultsWidth, kResultsHeight)) return *this;

  listId_ = AddListView(window_, u" Date & time\n Operation result", 10, 10, 630, 250,
                        kResultListStyle, LVS_EX_FULLROWSELECT);
  if (listId_ > 0) {
    SetColumnWidth(window_, listId_, 0, 160);
    SetColumnWidth(window_, listId_, 1, 450);
    window_.SetControlFont(listId_, 9);
  }
  window_.SetNewControlFlags(kDragFlags);
  AttachRing(10, 270, kResultsRing, borderColour);
  stripId_ = window_.AddText(u"", 0, 0, kResultsWidth, 10);
  window_.SetControlBackColour(stripId_, kTransparentColour);
  window_.SetNewControlFlags(kPlainFlags);
  statusId_ = window_.AddEdit(90, 270, 550, 70);
  window_.SetControlBackColour(statusId_, ArgbToColourRef(fillColour));
  window_.SetControlTextColour(statusId_, textColour);
  SetStatusText(status);
  return *this;
}

OperationResultsDialog& OperationResultsDialog::OpenProgressWindow(const char16_t* status,
                                                                   UiWindow* owner, int width,
                                                                   int height) {
  ringSize_ = height;
  if (!Begin(owner, width, height + 20)) return *this;
  window_.SetNewControlFlags(kDragFlags);
  AttachRing(10, 10, height, accentColour);
  stripId_ = window_.AddText(u"", 0, 0, width, 20);
  window_.SetControlBackColour(stripId_, kTransparentColour);
  window_.SetNewControlFlags(kPlainFlags);
  statusId_ = window_.AddEdit(height + 20, 10, width - height - 30, height);
  window_.SetControlBackColour(statusId_, ArgbToColourRef(fillColour));
  SetStatusText(status);
  return *this;
}

void OperationResultsDialog::SetStatusText(const char16_t* text) {
  HWND edit = window_.ControlHandle(statusId_);
  if (!edit || statusId_ < 1) return;
  SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
  RECT client{};
  GetClientRect(edit, &client);
  SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
  window_.SetControlText(statusId_, text ? text : u"");
  const auto lines = static_cast<int32_t>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  int32_t lineHeight = 0;
  if (lines > 1) {
    const LRESULT first = SendMessageW(edit, EM_POSFROMCHAR,
                                       SendMessageW(edit, EM_LINEINDEX, 0, 0), 0);
    const LRESULT second = SendMessageW(edit, EM_POSFROMCHAR,
                                        SendMessageW(edit, EM_LINEINDEX, 1, 0), 0);
    lineHeight = static_cast<short>(HIWORD(second)) - static_cast<short>(HIWORD(first));
  }
  client.top = StatusTextTop(client.bottom, lines, lineHeight, window_.Dpi());
  SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
  SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit, nullptr, TRUE);
}

OperationResultsDialog& OperationResultsDialog::SetProgress(int32_t value,
                                                            const char16_t* status) {
  if (!window_.Handle()) return *this;
  ring_.Apply(value);
  if (status) SetStatusText(status);
  return *this;
}

OperationResultsDialog& OperationResultsDialog::AddCancelButton() {
  HWND hwnd = window_.Handle();
  if (!hwnd) return *this;
  if (buttonId_ >= 1 && secondButtonId_ >= 1) {
    window_.SetControlText(secondButtonId_, u"Cancel");
    return *this;
  }
  // The dialog's own 96-DPI sizes, whatever its scale.
  const SIZE client = window_.ClientSize();
  const ControlEntry* list = listId_ >= 1 ? window_.Entry(listId_) : nullptr;
  const bool second = buttonId_ >= 1;
  const ButtonPlacement place =
      CancelButtonPlacement(client.cx, ringSize_, list ? list->height : 0, second);
  const int32_t id = window_.AddButton(u"Cancel", place.x, place.y, place.width, place.height);
  (second ? secondButtonId_ : buttonId_) = id;
  // Esc or a close of the dialog is its Cancel (OK once finished), never the program's close.
  if (!second) window_.SetCancelControl(id);

  if (client.cy < place.neededClientHeight) {
    const bool visible = IsWindowVisible(hwnd) != FALSE;
    HWND foreground = GetForegroundWindow();
    window_.SetClientSize(client.cx, place.neededClientHeight);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_HIDEWINDOW);
    PaintBackground();
    if (foreground) SetForegroundWindow(foreground);
    if (visible) {
      ShowWindow(hwnd, SW_SHOW);
      UpdateWindow(hwnd);
    }
  }
  return *this;
}

OperationResultsDialog& OperationResultsDialog::ShowDialog() {
  if (HWND hwnd = window_.Handle()) {
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
  }
  return *this;
}

OperationResultsDialog& OperationResultsDialog::AddResultLine(const char16_t* text) {
  if (!window_.Handle() || !HasResultList()) return *this;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  CalendarTime t;
  t.year = now.wYear;
  t.month = now.wMonth;
  t.dayOfWeek = now.wDayOfWeek;
  t.day = now.wDay;
  t.hour = now.wHour;
  t.minute = now.wMinute;
  t.second = now.wSecond;
  t.milliseconds = now.wMilliseconds;
  const WideText stamp = DateTimeText(t, true);
  const int row = AddListItem(window_, listId_, stamp.Buffer(), 20000000);
  if (row >= 0) SetItemText(window_, listId_, row, 1, text ? text : u"");
  // A line longer than the result column widens it (the list then scrolls sideways), so that
  // no device name or result is cut short.
  HWND list = window_.ControlHandle(listId_);
  const auto textWidth = static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text ? text : u"")));
  const int needed = UnscaleUpForDpi(textWidth, window_.Dpi()) + 16;  // 96-DPI units
  if (row >= 0 &&
      window_.Scale(needed) > static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0))) {
    SetColumnWidth(window_, listId_, 1, needed);
  }
  return *this;
}

bool OperationResultsDialog::HasResultList() const {
  return listId_ >= 1 && window_.IsControl(listId_);
}

bool OperationResultsDialog::MarkFinished() {
  if (!window_.Handle() || buttonId_ < 1) return false;
  return window_.SetControlText(buttonId_, u"OK");
}

void OperationResultsDialog::CloseDialog() {
  ring_.Stop();
  HWND hwnd = window_.Handle();
  if (hwnd) ShowWindow(hwnd, SW_HIDE);
  owner_ = nullptr;
  // The ring's last picture is ours, not the control's.
  if (ringId_ >= 1) ClearPictureBitmap(window_.ControlHandle(ringId_));
  ResetIds();
  if (hwnd) window_.DestroyUiWindow();
}

}  // namespace pyr
