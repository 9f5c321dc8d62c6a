// UiWindow: a top-level Win32 window plus the table of its controls and menu items. The window
// never calls back into the program: its subclass procedure turns messages into UiEvent records
// and the program fetches them with NextEvent, so command handlers stay straight-line code.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/wide_text.h"
#include "base/win32/owners.h"
#include "ui/event_codes.h"
#include "ui/win32/control_table.h"

namespace pyr {

class UiWindow;

// What ShowUiWindow does besides showing the window; kShowToFront and kShowActivate make it the
// window whose accelerators apply.
enum ShowFlags : uint32_t {
  kShowOnly = 0,
  kShowUpdate = 1,     // UpdateWindow
  kShowToFront = 2,    // to the top and the foreground
  kShowActivate = 4,   // activate and enable
  kShowAsync = 8,      // ShowWindowAsync
  kShowDrain = 16,     // handle every waiting message
  kShowRedraw = 32,    // invalidate and erase everything
};
constexpr ShowFlags operator|(ShowFlags a, ShowFlags b) {
  return static_cast<ShowFlags>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

// The kind of menu item AddMenuItem makes.
enum MenuItemFlags : uint32_t {
  kMenuItemPlain = 0,
  kMenuItemCheck = 1,       // shows a check mark
  kMenuItemRadio = 2,       // shows a radio mark
  kMenuItemSubmenu = 4,     // opens a submenu of its own
  kMenuItemSeparator = 8,
  kMenuItemOwnBitmap = 16,  // the first bitmap is the item's picture, not its check mark
};
constexpr MenuItemFlags operator|(MenuItemFlags a, MenuItemFlags b) {
  return static_cast<MenuItemFlags>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

// How NextEvent fetches a message.
enum class EventMode {
  kWait,         // blocks; returns the GetMessageW result
  kPeekCode,     // does not block; returns the event's code
  kPeekHandled,  // does not block; returns 1 when a message was handled
};

// One event sink. The main window owns the record that every program window posts into.
struct UiEvent {
  int32_t code = 0;
  HWND source = nullptr;         // the window the message was for
  uint32_t message = 0;          // the Windows message that produced the event
  uint32_t param = 0;            // usually a control id, an item index or wParam
  uint64_t extra = 0;            // a text pointer, lParam or a state
  MSG msg{};                     // the last message fetched by NextEvent
  UiWindow* sourceWindow = nullptr;
  UiWindow* acceleratorWindow = nullptr;  // whose accelerators and dialog keys apply
  uint8_t pending = 0;           // posted outside the pump; NextEvent returns it first
  uint8_t quit = 0;              // set by a close event, cleared by any control event
};

class UiWindow {
 public:
  UiWindow();
  ~UiWindow();
  UiWindow(const UiWindow&) = delete;
  UiWindow& operator=(const UiWindow&) = delete;

  // --- Lifecycle -------------------------------------------------------------------------------
  // width/height are the client size in 96-DPI units, shown at the DPI of the monitor the window
  // opens on; x, y are screen pixels, and x = y = -1 centres on the owner (or the work area);
  // exStyle -1 means WS_EX_ACCEPTFILES. An existing window of this object is destroyed first.
  HWND CreateUiWindow(const char16_t* className, const char16_t* title, int width, int height,
                      int x, int y, DWORD style, DWORD exStyle, HWND owner);
  void DestroyUiWindow();
  void ShowUiWindow(int showCommand, ShowFlags flags);

  HWND Handle() const { return hwnd_; }
  HINSTANCE Instance() const { return instance_; }

  // --- Display scale ---------------------------------------------------------------------------
  // Positions and sizes given to the window and its controls are in 96-DPI units; the window
  // shows them at its DPI, which follows the monitor it is on (WM_DPICHANGED).
  int Dpi() const { return dpi_; }
  // A 96-DPI value in pixels at the window's DPI, and pixels back in 96-DPI units.
  int Scale(int value) const;
  int Unscale(int pixels) const;
  // A system metric (SM_CXMENUCHECK...) at the window's DPI.
  int SystemMetric(int index) const;
  // The client area in 96-DPI units.
  SIZE ClientSize() const;
  // Sets the client area (96-DPI units), keeping the window where it is.
  bool SetClientSize(int width, int height);
  // Called once the window has followed a change of DPI (its controls placed, their fonts and the
  // toolkit's own pictures remade), for what the window's builder drew or measured itself.
  void SetDpiFollower(std::function<void()> follower) { dpiFollower_ = std::move(follower); }
  // The UiWindow that owns a toolkit window handle (top-level or panel), or null.
  static UiWindow* FromHandle(HWND hwnd);

  // --- Events ----------------------------------------------------------------------------------
  void SetEventSink(UiEvent* record) { sink_ = record ? record : &ownEvent_; }
  UiEvent* EventSink() const { return sink_; }
  UiEvent& OwnEvent() { return ownEvent_; }
  void PostUiEvent(int32_t code, uint32_t message, HWND handle, uint32_t param, uint64_t extra);

  // --- Window settings -------------------------------------------------------------------------
  void SetDefaultFont(double points, int weight);
  void SetWindowBackColour(COLORREF colour);
  void SetWindowTextColour(COLORREF colour) { defaultTextColour_ = colour; }
  // Takes the bitmap over: it becomes the background pattern brush and the memory DC's picture.
  void SetBackgroundBitmap(HBITMAP bitmap);
  // 0 = the normal frame; f > 0 = a custom f-pixel frame drawn by nobody (the client fills it).
  void SetCustomFrame(int width);
  uint32_t SetNewControlFlags(uint32_t flags);
  void SetDefaultButton(int32_t id);
  int32_t DefaultButton() const { return defaultButton_; }
  // The control whose click stands for "no thanks": Esc, WM_CLOSE, SC_CLOSE and Alt+F4 post its
  // event instead of a close (-6), so that closing a secondary window answers it negatively and
  // never reads as the program's close. 0 (the default) leaves closes as -6 and Esc unused.
  void SetCancelControl(int32_t id) { cancelControl_ = id; }
  int32_t CancelControl() const { return cancelControl_; }
  bool SetAccelerators(const ACCEL* entries, int count);
  HACCEL Accelerators() const { return accelerators_.Get(); }
  void SetMinTrackSize(int w, int h) { minTrack_ = {w, h}; }
  void SetMaxTrackSize(int w, int h) { maxTrack_ = {w, h}; }
  void SetGroupFlag() { flagWord_ |= kStartsGroup; }
  // When set, a click on a list view's group header leaves the item selection alone.
  void SetGroupClickKeepsSelection(bool on);
  bool GroupClickKeepsSelection() const { return flagWord_ & kGroupClickKeepsSelection; }
  bool AddOwnedWindow(HWND popup);
  void MoveOwnedWindows(int newX, int newY);
  // The last dropped file list, link address, edited label or control text.
  const std::u16string& TextBuffer() const { return textBuffer_; }
  const char16_t* SetTextBuffer(std::u16string_view text) {
    textBuffer_.assign(text);
    return textBuffer_.c_str();
  }

  // --- Control table ---------------------------------------------------------------------------
  HWND ControlHandle(int32_t id) const;  // 0 = the window, -1 = the last created control
  HMENU ControlMenu(int32_t id) const;   // 0 = the window's menu
  uint32_t ControlKindOf(int32_t id) const;
  int32_t ControlFromHandle(HWND handle) const;
  bool IsControl(int32_t id) const;
  int32_t LastControlId() const { return controls_.LastId(); }
  ControlEntry* Entry(int32_t id);  // -1 = the last created; null when not in use
  const ControlEntry* Entry(int32_t id) const;
  int32_t CurrentPanel() const { return currentPanel_; }
  // New controls go into the window again instead of the last panel.
  void EndPanel();

  // --- Generic control operations --------------------------------------------------------------
  bool SetControlState(int32_t id, uint32_t flags);
  uint32_t GetControlState(int32_t id, uint32_t mask) const;
  bool SetControlText(int32_t id, const char16_t* text);
  WideText GetControlText(int32_t id);
  bool SetControlBackColour(int32_t id, COLORREF colour);
  bool SetControlTextColour(int32_t id, COLORREF colour);
  bool SetControlFont(int32_t id, double points);
  bool SetControlCursor(int32_t id, HCURSOR cursor);
  // Moves a control to x, y, w x h (96-DPI units, in its parent) and keeps that as its place.
  bool PlaceControl(int32_t id, int x, int y, int w, int h);

  // --- Controls --------------------------------------------------------------------------------
  // Each returns the new id, or 0 when creation failed. style -1 = the documented default.
  // Positions and sizes are 96-DPI units in the parent's client area.
  int32_t AddButton(const char16_t* text, int x, int y, int w, int h, DWORD style = DWORD(-1));
  int32_t AddCheckBox(const char16_t* text, int x, int y, int w, int h);
  int32_t AddStartupTipCheckBox();
  int32_t AddCloseButton();
  int32_t AddText(const char16_t* text, int x, int y, int w, int h, DWORD style = DWORD(-1));
  int32_t AddEdit(int x, int y, int w, int h);
  int32_t AddSingleLineEdit(int x = 1, int y = 1, int w = 200, int h = 20);
  int32_t AddLink(const char16_t* text, int y, int x = 10, int w = 140, int h = 18);
  int32_t AddPicture(HBITMAP bitmap, int x, int y, int w, int h);
  // The grip in the lower-right corner of the current panel (or the window); image is its picture
  // at SizeGripSide() pixels.
  int32_t AddSizeGrip(HBITMAP image);
  int SizeGripSide() const { return Scale(24); }
  int32_t AddPanel(int x = 600, int y = -1, int w = 152, int h = 553);
  // Creates any child control and enters it into the table (used by the list view too).
  int32_t AddControl(uint32_t kind, const wchar_t* className, const char16_t* text, DWORD style,
                     DWORD exStyle, int x, int y, int w, int h);

  // --- Menus -----------------------------------------------------------------------------------
  int32_t AttachPopupMenu(int32_t controlId, const char16_t* firstItemText, HBITMAP bitmap);
  // parentId -1 = the last created entry, 0 = the menu bar.
  int32_t AddMenuItem(int32_t parentId, const char16_t* text, int position = 100,
                      MenuItemFlags flags = kMenuItemPlain, HBITMAP bitmapChecked = nullptr,
                      HBITMAP bitmapUnchecked = nullptr);
  int ShowPopupMenu(int32_t controlId, UINT flags, int x, int y);
  // Gives an existing item the check-mark pictures AddMenuItem would have given it (own copies;
  // unchecked null or equal to checked shows checked in both states).
  bool SetMenuItemCheckMarks(int32_t id, HBITMAP checked, HBITMAP unchecked);
  // w x h: the bitmap's size in pixels (a list view's image list is made at that size).
  bool SetControlImage(int32_t id, HBITMAP bitmap, int w, int h);

  // --- Layout ----------------------------------------------------------------------------------
  // Records the control's place now, and its parent's client size, as what its anchors keep to.
  bool SetControlLayoutFlags(int32_t id, uint32_t flags);
  bool Layout();

  // --- Tooltips --------------------------------------------------------------------------------
  bool SetControlTooltip(int32_t id, const char16_t* text);
  HWND TooltipWindow() const { return tooltip_; }

  // The window procedures reach the window through these.
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT HandlePanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                             bool& handled);
  HBRUSH BackgroundBrush() const { return backgroundBrush_; }
  COLORREF BackgroundColourAt(HWND control) const;
  void FillBackgroundBehind(HWND control, HDC dc, const RECT& area);

 private:
  enum WindowFlag : uint32_t {
    kStartsGroup = 1,
    kClassExisted = 2,
    kAttached = 4,
    kGroupClickKeepsSelection = 8,
  };

  int32_t NewEntry(uint32_t kind);
  // The window's font of that size and weight at its DPI, made on first use.
  HFONT FontFor(double points, int weight);
  void SetEntryFont(ControlEntry& entry, double points, int weight, bool redraw);
  // WM_DPICHANGED: the window takes the suggested rectangle and lays itself out at dpi.
  void FollowDpi(int dpi, const RECT* suggested);
  void PlaceEveryControl();
  void DrawCloseCross(int32_t id);
  void ApplyNewControlDefaults(ControlEntry& entry, HWND parent);
  void DestroyControl(ControlEntry& entry);
  void ResetFields();
  LRESULT OnCommand(HWND hwnd, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT OnNotify(HWND hwnd, NMHDR* header, bool& handled);
  LRESULT OnControlColour(UINT message, HDC dc, HWND control, bool& handled);
  bool OnEraseBackground(HWND hwnd, HDC dc);
  HBRUSH BrushBehind(HWND control);
  void OnDropFiles(HWND hwnd, HDROP drop);
  // Posts the cancel control's click; false when the window has none.
  bool PostCancelClick(HWND hwnd);

  UiEvent ownEvent_;
  ControlTable controls_;
  std::array<HWND, 48> owned_{};
  int ownedCount_ = 0;
  std::u16string textBuffer_;
  HINSTANCE instance_ = nullptr;
  SIZE minTrack_{}, maxTrack_{};
  SIZE lastLayout_{};
  SIZE createdClient_{};
  double fontPoints_ = 9;
  int fontWeight_ = 400;
  // The fonts the controls use, one per size and weight, made at dpi_.
  struct UiFont {
    double points;
    int weight;
    FontHandle font;
  };
  std::vector<UiFont> fonts_;
  int dpi_ = 96;
  std::function<void()> dpiFollower_;
  UiEvent* sink_ = &ownEvent_;
  HGDIOBJ replacedBitmap_ = nullptr;
  MemoryDcOwner memoryDc_;
  BitmapHandle backgroundImage_;  // selected into memoryDc_
  int32_t defaultButton_ = 0;
  int32_t cancelControl_ = 0;
  uint32_t newControlFlags_ = 0;
  int32_t currentPanel_ = 0;
  HBRUSH backgroundBrush_ = nullptr;
  BrushHandle cutBrush_;
  int backgroundMode_ = 0;
  ATOM classAtom_ = 0;
  std::u16string className_;
  HCURSOR cursor_ = nullptr;
  COLORREF defaultTextColour_ = kDefaultColour;
  COLORREF defaultBackColour_ = kDefaultColour;
  IconOwner largeIcon_, smallIcon_;
  HWND hwnd_ = nullptr;
  HWND parentForNew_ = nullptr;
  HWND tooltip_ = nullptr;
  AcceleratorOwner accelerators_;
  uint32_t flagWord_ = 0;
  int frameWidth_ = 0;
  POINT lastMouse_{};
  WPARAM keyState_ = 0;
  int32_t hoverId_ = 0;
  MenuOwner menu_;
};

// Fetches one message and turns it into an event in record. An event posted outside the pump is
// returned first.
int NextEvent(UiEvent& record, EventMode mode);
// Dispatches everything waiting in the thread's queue without reading events.
bool PumpPendingMessages();
// Sleeps until a message arrives for the thread or object (a worker thread, an event) is
// signalled, at most timeoutMs (INFINITE: no limit); true when the object is signalled. A pump
// that must see a worker end waits here instead of polling, so it uses no processor meanwhile.
// Messages sent from other threads are served during the wait.
bool WaitForMessageOrObject(HANDLE object, DWORD timeoutMs);

// Copies text (null: empties the clipboard) as CF_UNICODETEXT; returns whether data was set.
bool CopyTextToClipboard(HWND owner, const char16_t* text);

// Disables a run of controls for the length of a long operation and restores exactly those that
// were enabled, and the focus, afterwards.
class ControlsDisabler {
 public:
  ControlsDisabler(UiWindow& window, int32_t firstId, int32_t lastId);
  ~ControlsDisabler();
  ControlsDisabler(const ControlsDisabler&) = delete;
  ControlsDisabler& operator=(const ControlsDisabler&) = delete;

 private:
  UiWindow& window_;
  HWND focus_ = nullptr;
  std::vector<int32_t> disabled_;
};

}  // namespace pyr
