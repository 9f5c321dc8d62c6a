#include "app/win32/find_device_window.h"

#include "app/win32/pane_images.h"
#include "ui/draw/win32/ui_window_background.h"

namespace pyr {

namespace {

constexpr int kWidth = 255;
constexpr int kHeight = 22;
constexpr int kOffsetX = 300;
constexpr int kOffsetY = 7;
constexpr int kFindNextImage = 42;
constexpr int kFindNextSide = 19;
constexpr Argb kFrame = 0xFF000000;
constexpr Argb kFill = 0xFFFFFFFF;

}  // namespace

bool FindDeviceWindow::Create(UiWindow& main, PaneImages& images) {
  RECT mainRect{};
  GetWindowRect(main.Handle(), &mainRect);
  if (!window_.CreateUiWindow(u"__PyravelFindWnd__", u"Find a device", kWidth, kHeight,
                              mainRect.left + main.Scale(kOffsetX),
                              mainRect.top + main.Scale(kOffsetY), WS_POPUP, 0, main.Handle())) {
    return false;
  }
  window_.SetEventSink(main.EventSink());

  searchId_ = window_.AddSingleLineEdit(1, 1, 200, 20);
  findNextId_ = window_.AddButton(u"", 205, 2, 18, 18, WS_VISIBLE | BS_BITMAP | BS_DEFPUSHBUTTON);
  // The frame and the button's picture are drawn for the window's DPI, again after a change.
  const auto draw = [this, &images] {
    PaintWindowBackground(window_, kWidth, kHeight, kFrame, kFill, kFill, 3, 1);
    const int side = window_.Scale(kFindNextSide);
    window_.SetControlImage(findNextId_, images.Picture(kFindNextImage, side), side, side);
  };
  draw();
  window_.SetDpiFollower(draw);
  window_.SetControlTooltip(findNextId_, u"Find next (F3)");
  closeId_ = window_.AddCloseButton();
  window_.SetControlTooltip(closeId_, u"Close find (Esc)");
  // Alt+F4 or any other close of this window hides it like the close button; only the main
  // window's close ends the program.
  window_.SetCancelControl(closeId_);

  const ACCEL keys[] = {
      {FVIRTKEY, VK_F3, static_cast<WORD>(findNextId_)},
      {FVIRTKEY, VK_ESCAPE, static_cast<WORD>(closeId_)},
  };
  window_.SetAccelerators(keys, 2);
  main.AddOwnedWindow(window_.Handle());
  return searchId_ != 0 && findNextId_ != 0 && closeId_ != 0;
}

void FindDeviceWindow::Show() {
  window_.ShowUiWindow(SW_SHOWNORMAL, kShowUpdate);
  FocusSearchBox();
}

void FindDeviceWindow::Hide() {
  HWND hwnd = window_.Handle();
  HWND focus = GetFocus();
  const bool hadFocus = hwnd && focus && (focus == hwnd || IsChild(hwnd, focus));
  window_.ShowUiWindow(SW_HIDE, kShowUpdate);
  // Some compatibility layers leave the keyboard in the hidden box, where keys meant for the
  // main window (Alt+F4 among them) would be lost: the owner takes it back.
  if (hadFocus) {
    if (HWND owner = GetWindow(hwnd, GW_OWNER)) SetFocus(owner);
  }
}

bool FindDeviceWindow::Visible() const {
  return window_.Handle() != nullptr && IsWindowVisible(window_.Handle());
}

bool FindDeviceWindow::IsSourceOf(const UiEvent& event) const {
  return window_.Handle() != nullptr &&
         (event.sourceWindow == &window_ || event.source == window_.Handle());
}

void FindDeviceWindow::FocusSearchBox() {
  if (HWND box = window_.ControlHandle(searchId_)) SetFocus(box);
}

}  // namespace pyr

namespace pyr {

void FindDeviceWindow::KeepAboveOwner() {
  if (!Visible()) return;
  SetWindowPos(window_.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace pyr
