// A window with every kind of control the program builds, for looking at the toolkit.
// Arguments: [seconds to stay open] [--menu: open a pane button's menu for the screenshot].
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "base/colours.h"
#include "ui/draw/win32/gdiplus_session.h"
#include "ui/draw/win32/images.h"
#include "ui/win32/list_view.h"
#include "ui/win32/ui_window.h"

namespace {

using namespace pyr;

BitmapHandle Icon(int id, int size, COLORREF background) {
  ImagePtr image = LoadImageResource(GetModuleHandleW(nullptr), id, size, size);
  return ImageToBitmap(image.get(), ColourRefToArgb(background));
}

struct Row {
  const char16_t* name;
  const char16_t* status;
  const char16_t* cls;
  COLORREF colour;  // kDefaultColour: the list's own
  bool checked;
};

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  int seconds = 8;
  bool openMenu = false;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--menu") == 0) {
      openMenu = true;
    } else {
      seconds = _wtoi(argv[i]);
    }
  }
  LocalFree(argv);
  (void)commandLine;

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS |
                                                      ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  GdiplusSession gdiplus;

  UiWindow window;
  if (!window.CreateUiWindow(u"__PyravelDemoClass__", u"Pyravel toolkit demonstration", 750, 550,
                             20, 20, WS_OVERLAPPEDWINDOW, DWORD(-1), nullptr)) {
    return 1;
  }
  COLORREF face = GetSysColor(COLOR_BTNFACE);

  // The device list, stretching with the window.
  int32_t list = AddListView(
      window, u" Device name\n Status\n Class\n Driver date", 0, 0, 600, 550,
      WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  window.SetControlLayoutFlags(list, 0x0033);
  SetColumnWidth(window, list, 0, 230);
  const Row rows[] = {
      {u"ACPI Fan", u"OK", u"System", kDefaultColour, false},
      {u"Generic USB Hub", u"Disabled", u"USB", 0x808080, true},
      {u"High Definition Audio Device", u"Not working", u"Media", 0x5050A0, false},
      {u"Intel(R) Ethernet Connection", u"OK", u"Net", kDefaultColour, true},
      {u"Old Printer Port", u"Not present", u"Ports", 0xA05050, false},
      {u"PCI Data Acquisition", u"No drivers installed", u"Other", 0x507090, false},
      {u"Realtek Card Reader", u"OK", u"SD host", kDefaultColour, false},
  };
  for (const Row& r : rows) {
    int i = AddListItem(window, list, r.name);
    SetItemText(window, list, i, 1, r.status);
    SetItemText(window, list, i, 2, r.cls);
    SetItemText(window, list, i, 3, u"2024/03/05");
    if (r.colour != kDefaultColour) SetItemBackColour(window, list, i, r.colour);
    SetItemChecked(window, list, i, r.checked);
  }
  SortList(window, list, 0, 1);
  SelectItem(window, list, 3);

  // The right pane with its buttons, menus, check box, legend, links and size grip.
  int32_t pane = window.AddPanel(600, -1, 152, 553);
  window.SetControlLayoutFlags(pane, 0x0032);
  struct Group {
    const char16_t* text;
    int icon;
    const char16_t* items[3];
  };
  const Group groups[] = {
      {u"Rescan", 23, {u"Just refresh the list\tF5", u"Scan for hardware changes\tCtrl+F5", nullptr}},
      {u"View", 25, {u"Show devices not present\tCtrl+S", u"Group by device type\tCtrl+T", u"-"}},
      {u"Select...", 26, {u"Check all\tCtrl+A", u"Check none\tCtrl+N", nullptr}},
      {u"Uninstall", 28, {u"Uninstall checked\tCtrl+X", u"Uninstall and delete drivers\tAlt+X", nullptr}},
      {u"Install", 33, {u"Add a device\tAlt+I", u"Update checked devices\tCtrl+U", nullptr}},
      {u"Set state", 37, {u"Disable checked\tCtrl+Q", u"Enable checked\tAlt+Q", nullptr}},
      {u"Get info", 38, {u"Copy hardware ID\tCtrl+C", u"Find a device\tCtrl+F", nullptr}},
      {u"Backup", 41, {u"Backup checked\tCtrl+B", u"Backup all\tAlt+B", nullptr}},
  };
  int menuSize = GetSystemMetrics(SM_CXMENUCHECK);
  int32_t viewButton = 0, expandItem = 0;
  int y = 15;
  for (const Group& g : groups) {
    int32_t button = window.AddButton(g.text, 10, y, 130, 28);
    if (BitmapHandle icon = Icon(g.icon, 20, face)) window.SetControlImage(button, icon.Get(), 20, 20);
    BitmapHandle itemIcon = Icon(g.icon, menuSize, GetSysColor(COLOR_MENU));
    window.AttachPopupMenu(button, g.items[0], itemIcon.Get());
    for (int k = 1; k < 3 && g.items[k]; ++k) {
      if (g.items[k][0] == u'-') {
        window.AddMenuItem(-1, nullptr, 100, kMenuItemSeparator);
        expandItem = window.AddMenuItem(-1, u"Expand all groups\tAlt+E", 100, kMenuItemPlain, itemIcon.Get());
      } else {
        window.AddMenuItem(-1, g.items[k], 100, kMenuItemPlain, itemIcon.Get());
      }
    }
    if (g.icon == 25) viewButton = button;
    y += 35;
  }
  window.SetControlState(expandItem, kStateDisable);
  int32_t tip = window.AddStartupTipCheckBox();
  window.SetControlState(tip, kStateCheck);
  int32_t legend = window.AddText(u"Legend:", 10, 345, 130, 18, WS_VISIBLE | SS_CENTER);
  window.SetControlBackColour(legend, kTransparentColour);
  const struct {
    const char16_t* text;
    COLORREF colour;
  } legends[] = {{u"Disabled", 0x808080}, {u"Not working", 0x5050A0}, {u"Not present", 0xA05050},
                 {u"No drivers installed", 0x507090}};
  y = 365;
  for (const auto& l : legends) {
    int32_t label = window.AddText(l.text, 10, y, 130, 20,
                                   WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY);
    window.SetControlBackColour(label, l.colour);
    window.SetControlTextColour(label, 0xFFFFFF);
    y += 25;
  }
  window.AddLink(u"Love this app? <a>Donate</a>", 475);
  window.AddLink(u"Version <a>1.1.0.0</a>", 500);
  window.AddLink(u"App by <a>tolvenor.example</a>", 525);
  BitmapHandle grip = Icon(21, 24, face);
  window.AddSizeGrip(grip.Get());
  window.EndPanel();

  // Controls of the dialogs: status edit, single-line edit, picture, close button with tooltip.
  HWND owner = window.Handle();
  UiWindow dialog;
  dialog.CreateUiWindow(u"__PyravelDemoDialog__", u"Dialog controls", 260, 150, 500, 600,
                        WS_POPUP | WS_BORDER | WS_VISIBLE, 0, owner);
  dialog.SetWindowBackColour(0xFFFFFF);
  int32_t status = dialog.AddEdit(10, 30, 240, 44);
  dialog.SetControlText(status, u"Uninstalling Generic USB Hub\r\n(2 of 5)");
  int32_t find = dialog.AddSingleLineEdit(10, 84, 160, 22);
  dialog.SetControlText(find, u"ethernet");
  BitmapHandle picture = Icon(33, 32, 0xFFFFFF);
  dialog.AddPicture(picture.Get(), 190, 80, 32, 32);
  dialog.AddCloseButton();
  int32_t cancel = dialog.AddButton(u"Cancel", 90, 118, 80, 25, WS_VISIBLE | BS_DEFPUSHBUTTON);
  dialog.SetControlTooltip(cancel, u"Stops after the current device\r\nand lists what was done");
  window.AddOwnedWindow(dialog.Handle());

  window.ShowUiWindow(SW_SHOWNORMAL, kShowUpdate | kShowToFront);
  // The loop below waits for messages; a timer makes sure it sees the end of the run.
  SetTimer(window.Handle(), 1, 250, nullptr);

  DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  bool menuShown = false;
  UiEvent& e = window.OwnEvent();
  dialog.SetEventSink(&e);
  while (GetTickCount() < end) {
    NextEvent(e, EventMode::kWait);
    if (e.code == ev::kClose) break;
    if (openMenu && !menuShown && GetTickCount() + static_cast<DWORD>(seconds) * 1000 - end > 1500) {
      menuShown = true;
      RECT r{};
      GetWindowRect(window.ControlHandle(viewButton), &r);
      SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000 - 2500, CloseMenu);
      window.ShowPopupMenu(viewButton, TPM_RIGHTALIGN, r.right + 5, r.bottom);
    }
  }
  dialog.DestroyUiWindow();
  window.DestroyUiWindow();
  return 0;
}
