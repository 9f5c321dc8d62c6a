// UiWindow lifecycle, window settings and the control table.
#include "ui/win32/ui_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/win32/wchar.h"
#include "ui/dpi_scale.h"
#include "ui/draw/win32/fonts.h"
#include "ui/win32/dpi.h"
#include "ui/win32/procedure_hooks.h"
#include "ui/win32/window_procs.h"

namespace pyr {

UiWindow::UiWindow() { ResetFields(); }

UiWindow::~UiWindow() {
  DestroyUiWindow();
}

void UiWindow::ResetFields() {
  controls_.Clear();
  owned_.fill(nullptr);
  ownedCount_ = 0;
  textBuffer_.clear();
  minTrack_ = maxTrack_ = lastLayout_ = createdClient_ = SIZE{};
  fontPoints_ = 9;
  fontWeight_ = 400;
  sink_ = &ownEvent_;
  replacedBitmap_ = nullptr;
  defaultButton_ = 0;
  cancelControl_ = 0;
  newControlFlags_ = 0;
  currentPanel_ = 0;
  backgroundBrush_ = nullptr;
  backgroundMode_ = 0;
  classAtom_ = 0;
  className_.clear();
  cursor_ = nullptr;
  defaultTextColour_ = defaultBackColour_ = kDefaultColour;
  hwnd_ = parentForNew_ = tooltip_ = nullptr;
  flagWord_ = 0;
  frameWidth_ = 0;
  lastMouse_ = POINT{};
  keyState_ = 0;
  hoverId_ = 0;
  dpi_ = kBaseDpi;
  dpiFollower_ = nullptr;
}

UiWindow* UiWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<UiWindow*>(GetPropW(hwnd, UiWindowProperty()));
}

HWND UiWindow::CreateUiWindow(const char16_t* className, const char16_t* title, int width,
                              int height, int x, int y, DWORD style, DWORD exStyle, HWND owner) {
  DestroyUiWindow();
  if (exStyle == DWORD(-1)) exStyle = WS_EX_ACCEPTFILES;
  instance_ = GetModuleHandleW(nullptr);
  className_ = className ? className : u"";

  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  if (GetClassInfoExW(instance_, W(className_.c_str()), &info)) {
    flagWord_ |= kClassExisted;
  } else {
    info = WNDCLASSEXW{};
    info.cbSize = sizeof(info);
    info.style = CS_DBLCLKS;
    info.lpfnWndProc = DefWindowProcW;
    info.cbClsExtra = 512;
    info.cbWndExtra = 512;
    info.hInstance = instance_;
    info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = CreateSolidBrush(0xFEFEFE);
    info.lpszClassName = W(className_.c_str());
    classAtom_ = RegisterClassExW(&info);
    if (!classAtom_) {
      DeleteObject(info.hbrBackground);
      className_.clear();
      return nullptr;
    }
  }

  // The DPI the window will have: its owner's, or the system's. Windows decides by the monitor
  // it lands on; a window that lands elsewhere is resized below.
  dpi_ = owner ? WindowDpi(owner) : SystemDpi();
  RECT frame{0, 0, Scale(width), Scale(height)};
  AdjustWindowRectForDpi(&frame, style, exStyle, dpi_);
  int outerW = frame.right - frame.left, outerH = frame.bottom - frame.top;
  // A centred window is created in its place: moving a top-level window costs the window
  // server a round of its own.
  if (x == -1 && y == -1) {
    RECT area{};
    if (owner) {
      GetWindowRect(owner, &area);
    } else {
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    x = area.left + ((area.right - area.left) - outerW) / 2;
    y = area.top + ((area.bottom - area.top) - outerH) / 2;
  }
  hwnd_ = CreateWindowExW(exStyle, W(className_.c_str()), W(title ? title : u""), style, x, y,
                          outerW, outerH, owner, nullptr, instance_, nullptr);
  if (!hwnd_) {
    if (!(flagWord_ & kClassExisted)) UnregisterClassW(W(className_.c_str()), instance_);
    ResetFields();
    return nullptr;
  }
  SetPropW(hwnd_, UiWindowProperty(), this);
  parentForNew_ = hwnd_;
  if (const int actual = WindowDpi(hwnd_); actual != dpi_) {
    dpi_ = actual;
    SetClientSize(width, height);
  }
  controls_.At(0).handle = hwnd_;
  // A record shared with other windows may hold their pending event; only our own is cleared.
  if (sink_ == &ownEvent_) ownEvent_ = UiEvent{};
  HookProcedure(hwnd_, UiWindowProc, this);

  SetDefaultFont(9, 400);

  if (!owner) {
    wchar_t path[MAX_PATH];
    if (GetModuleFileNameW(nullptr, path, MAX_PATH)) {
      ExtractIconExW(path, 0, largeIcon_.Receive(), smallIcon_.Receive(), 1);
    }
  } else {
    auto copy = [](HICON icon) {
      return icon ? CopyIcon(icon) : nullptr;
    };
    largeIcon_.Reset(copy(reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, ICON_BIG, 0))));
    smallIcon_.Reset(copy(reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, ICON_SMALL, 0))));
  }
  if (largeIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
  if (smallIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

  backgroundBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  backgroundMode_ = 0;
  HDC dc = GetDC(hwnd_);
  memoryDc_.Reset(CreateCompatibleDC(dc));
  ReleaseDC(hwnd_, dc);
  RECT client{};
  GetClientRect(hwnd_, &client);
  createdClient_ = {client.right, client.bottom};
  return hwnd_;
}

void UiWindow::DestroyControl(ControlEntry& entry) {
  if (entry.kind == kKindSubmenuItem || entry.kind == kKindMenuItem) {
    // The menus themselves go with their owner control or the menu bar.
  } else if (entry.handle) {
    if (entry.ownsMenu && entry.menu) DestroyMenu(entry.menu);
    if (entry.kind == kKindPicture || entry.kind == kKindSizeGrip) {
      // Common controls 6 shows its own copy of a bitmap with alpha and leaves it to us.
      auto shown = reinterpret_cast<HBITMAP>(
          SendMessageW(entry.handle, STM_GETIMAGE, IMAGE_BITMAP, 0));
      if (shown && shown != entry.picture.Get()) DeleteObject(shown);
    }
    // A list that shares its image lists leaves them to us.
    bool sharesImages = GetWindowLongPtrW(entry.handle, GWL_STYLE) & LVS_SHAREIMAGELISTS;
    DestroyWindow(entry.handle);
    if (!sharesImages) {
      entry.stateImages.Release();
      entry.smallImages.Release();
    }
  }
  entry = ControlEntry{};  // its brush, pictures, font and image lists go with it
}

void UiWindow::DestroyUiWindow() {
  if (!hwnd_) {
    // Nothing was created, but a failed creation may have left settings behind.
    return;
  }
  HWND hwnd = hwnd_;
  bool attached = flagWord_ & kAttached;
  if (!attached) ShowWindow(hwnd, SW_HIDE);
  for (int32_t id = controls_.LastId(); id >= 1; --id) DestroyControl(controls_.At(id));
  if (tooltip_) DestroyWindow(tooltip_);
  if (backgroundMode_ != 4 && backgroundBrush_) DeleteObject(backgroundBrush_);
  cutBrush_.Reset();
  if (memoryDc_ && replacedBitmap_) SelectObject(memoryDc_.Get(), replacedBitmap_);
  memoryDc_.Reset();
  backgroundImage_.Reset();
  if (menu_) {
    SetMenu(hwnd, nullptr);
    menu_.Reset();
  }
  accelerators_.Reset();
  UnhookProcedure(hwnd, UiWindowProc);
  RemovePropW(hwnd, UiWindowProperty());
  if (!attached) DestroyWindow(hwnd);
  largeIcon_.Reset();
  smallIcon_.Reset();
  if (!attached && !(flagWord_ & kClassExisted) && !className_.empty()) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    HBRUSH classBrush = nullptr;
    if (GetClassInfoExW(instance_, W(className_.c_str()), &info)) classBrush = info.hbrBackground;
    if (UnregisterClassW(W(className_.c_str()), instance_) && classBrush) {
      DeleteObject(classBrush);
    }
  }
  // An event record that pointed at this window must not keep a dangling accelerator window.
  if (sink_->acceleratorWindow == this) sink_->acceleratorWindow = nullptr;
  if (ownEvent_.acceleratorWindow == this) ownEvent_.acceleratorWindow = nullptr;
  UiEvent* keepSink = sink_;
  fonts_.clear();
  ResetFields();
  // The sink is a setting of the object, not of one window.
  sink_ = keepSink;
}

void UiWindow::ShowUiWindow(int showCommand, ShowFlags flags) {
  if (!hwnd_) return;
  if (flags & kShowAsync) {
    ShowWindowAsync(hwnd_, showCommand);
  } else {
    ShowWindow(hwnd_, showCommand);
  }
  if (flags & kShowUpdate) UpdateWindow(hwnd_);
  if (flags & kShowToFront) {
    BringWindowToTop(hwnd_);
    SetForegroundWindow(hwnd_);
  }
  if (flags & kShowActivate) {
    SendMessageW(hwnd_, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EnableWindow(hwnd_, TRUE);
  }
  if (flags & (kShowToFront | kShowActivate)) sink_->acceleratorWindow = this;
  if (flags & kShowDrain) {
    while (NextEvent(*sink_, EventMode::kPeekHandled)) {
    }
  }
  if (flags & kShowRedraw) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void UiWindow::PostUiEvent(int32_t code, uint32_t message, HWND handle, uint32_t param,
                           uint64_t extra) {
  UiEvent& e = *sink_;
  e.sourceWindow = this;
  e.code = code;
  e.message = message;
  e.source = handle;
  e.param = param;
  e.extra = extra;
  e.pending = code != 0;
  if (code == ev::kClose) e.quit = 1;
  if (code > 0) e.quit = 0;
}

void UiWindow::SetDefaultFont(double points, int weight) {
  fontPoints_ = points;
  fontWeight_ = weight;
}

HFONT UiWindow::FontFor(double points, int weight) {
  for (const UiFont& f : fonts_) {
    if (f.points == points && f.weight == weight) return f.font.Get();
  }
  FontHandle font = CreateUiFont(points, weight, 0, nullptr, -1, dpi_);
  if (!font) return nullptr;
  // Kept for as long as the window: the controls that show it never own it.
  fonts_.push_back({points, weight, std::move(font)});
  return fonts_.back().font.Get();
}

void UiWindow::SetEntryFont(ControlEntry& entry, double points, int weight, bool redraw) {
  const HFONT font = FontFor(points, weight);
  if (!font || !entry.handle) return;
  entry.fontPoints = points;
  entry.fontWeight = weight;
  SendMessageW(entry.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

int UiWindow::Scale(int value) const { return ScaleForDpi(value, dpi_); }

int UiWindow::Unscale(int pixels) const { return UnscaleForDpi(pixels, dpi_); }

int UiWindow::SystemMetric(int index) const { return MetricForDpi(index, dpi_); }

SIZE UiWindow::ClientSize() const {
  RECT client{};
  if (hwnd_) GetClientRect(hwnd_, &client);
  return {Unscale(client.right), Unscale(client.bottom)};
}

bool UiWindow::SetClientSize(int width, int height) {
  if (!hwnd_) return false;
  RECT frame{0, 0, Scale(width), Scale(height)};
  AdjustWindowRectForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  return SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
}

void UiWindow::SetWindowBackColour(COLORREF colour) {
  if (!hwnd_) return;
  if (backgroundImage_) {
    if (replacedBitmap_) SelectObject(memoryDc_.Get(), replacedBitmap_);
    replacedBitmap_ = nullptr;
    backgroundImage_.Reset();
  }
  if (backgroundBrush_ && backgroundMode_ != 4) DeleteObject(backgroundBrush_);
  backgroundBrush_ = CreateSolidBrush(colour);
  backgroundMode_ = 0;
  cutBrush_.Reset();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void UiWindow::SetBackgroundBitmap(HBITMAP bitmap) {
  if (!hwnd_ || !bitmap) return;
  SetWindowBackColour(0xFEFEFE);
  DeleteObject(backgroundBrush_);
  backgroundBrush_ = CreatePatternBrush(bitmap);
  backgroundImage_.Reset(bitmap);
  replacedBitmap_ = SelectObject(memoryDc_.Get(), bitmap);
  backgroundMode_ = 1;
}

void UiWindow::SetCustomFrame(int width) {
  frameWidth_ = width;
  if (hwnd_) {
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

uint32_t UiWindow::SetNewControlFlags(uint32_t flags) {
  uint32_t old = newControlFlags_;
  if (flags & kFlagDoubleBuffered) flags |= kFlagClipFromErase;
  newControlFlags_ = flags;
  return old;
}

void UiWindow::SetDefaultButton(int32_t id) {
  ControlEntry* e = Entry(id);
  if (!e) return;
  if (e->kind == kKindMenuItem || e->kind == kKindSubmenuItem) {
    SetMenuDefaultItem(e->menu, static_cast<UINT>(id), FALSE);
    return;
  }
  if (ControlEntry* old = Entry(defaultButton_); old && old->kind == kKindButton && old != e) {
    SendMessageW(old->handle, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  if (e->kind == kKindButton) SendMessageW(e->handle, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  defaultButton_ = id;
}

bool UiWindow::SetAccelerators(const ACCEL* entries, int count) {
  accelerators_.Reset();
  if (!entries || count <= 0) return true;
  accelerators_.Reset(CreateAcceleratorTableW(const_cast<ACCEL*>(entries), count));
  return accelerators_.Valid();
}

void UiWindow::SetGroupClickKeepsSelection(bool on) {
  if (on) {
    flagWord_ |= kGroupClickKeepsSelection;
  } else {
    flagWord_ &= ~kGroupClickKeepsSelection;
  }
}

bool UiWindow::AddOwnedWindow(HWND popup) {
  if (!popup) return false;
  for (int i = 0; i < static_cast<int>(owned_.size()); ++i) {
    if (owned_[i] == popup) return true;
  }
  for (int i = 0; i < static_cast<int>(owned_.size()); ++i) {
    if (!owned_[i] || !IsWindow(owned_[i])) {
      owned_[i] = popup;
      if (i >= ownedCount_) ownedCount_ = i + 1;
      return true;
    }
  }
  return false;
}

void UiWindow::MoveOwnedWindows(int newX, int newY) {
  if (!hwnd_) return;
  RECT now{};
  GetWindowRect(hwnd_, &now);
  int dx = newX - now.left, dy = newY - now.top;
  if (dx == 0 && dy == 0) return;
  for (int i = 0; i < ownedCount_; ++i) {
    HWND popup = owned_[i];
    if (!popup || !IsWindow(popup)) continue;
    RECT r{};
    GetWindowRect(popup, &r);
    SetWindowPos(popup, nullptr, r.left + dx, r.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

// --- Control table -------------------------------------------------------------------------------

ControlEntry* UiWindow::Entry(int32_t id) { return controls_.Find(id); }

const ControlEntry* UiWindow::Entry(int32_t id) const { return controls_.Find(id); }

HWND UiWindow::ControlHandle(int32_t id) const {
  if (id == 0) return hwnd_;
  const ControlEntry* e = Entry(id);
  return e ? e->handle : nullptr;
}

HMENU UiWindow::ControlMenu(int32_t id) const {
  if (id == 0) return menu_.Get();
  const ControlEntry* e = Entry(id);
  return e ? e->menu : nullptr;
}

uint32_t UiWindow::ControlKindOf(int32_t id) const {
  const ControlEntry* e = Entry(id);
  return e ? e->kind : 0;
}

int32_t UiWindow::ControlFromHandle(HWND handle) const {
  return hwnd_ ? controls_.IdOfHandle(handle) : 0;
}

bool UiWindow::IsControl(int32_t id) const { return id >= 1 && Entry(id) != nullptr; }

int32_t UiWindow::NewEntry(uint32_t kind) {
  const int32_t id = controls_.Add(kind);
  ControlEntry& e = controls_.At(id);
  e.flags = newControlFlags_;
  e.textColour = defaultTextColour_;
  if (static_cast<int32_t>(e.textColour) < 0) e.textColour = GetSysColor(COLOR_BTNTEXT);
  e.backColour = defaultBackColour_;
  return id;
}

void UiWindow::EndPanel() {
  currentPanel_ = 0;
  parentForNew_ = hwnd_;
}

}  // namespace pyr
