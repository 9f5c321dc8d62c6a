// The table of a window's controls, menu items and panels, indexed by their control id (the id
// Windows knows them by). Entries own what was made for their control alone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "base/colours.h"
#include "base/win32/owners.h"

namespace pyr {

// The first id handed out. The system's dialog navigation sends IDOK (1) for Enter without a
// default button and IDCANCEL (2) for Esc, naming the control of that id; no control or menu
// item ever has them, so those two keys never press anything by accident.
inline constexpr int32_t kFirstControlId = 3;
static_assert(kFirstControlId > IDOK && kFirstControlId > IDCANCEL);

// One control, menu item or panel. Entry 0 stands for the window itself.
struct ControlEntry {
  uint32_t kind = 0;
  HWND handle = nullptr;
  HMENU menu = nullptr;          // menu items: the holding menu (submenu items: their own popup)
  int32_t id = 0;                // 0 marks a free entry
  BrushHandle brush;             // answers WM_CTLCOLOR*
  HCURSOR cursor = nullptr;
  COLORREF textColour = kDefaultColour;
  COLORREF backColour = kDefaultColour;
  // Its place in the parent's client area and the parent's client size when it was recorded, in
  // 96-DPI units: the layout and a change of DPI place the control from these.
  int x = 0, y = 0, width = 0, height = 0;
  int refWidth = 0, refHeight = 0;
  uint32_t flags = 0;
  // The font the control was given (0 points: none of the window's).
  double fontPoints = 0;
  int fontWeight = 0;
  // Kind-specific data.
  BitmapHandle picture;          // a picture's own copy of its bitmap
  BitmapHandle pictureAlt;       // a menu item's unchecked check-mark bitmap
  bool drawnCross = false;       // a close button: the toolkit draws its cross at every DPI
  bool ownsMenu = false;         // a popup attached to the control (destroyed with it)
  bool headerSort = false;       // list views: a header click sorts instead of posting -54
  // List views: the drawn check boxes, and the images made by SetControlImage. A list that does
  // not share its image lists frees them itself, and the entry lets go of them then.
  ImageListOwner stateImages;
  ImageListOwner smallImages;
  std::vector<int32_t> panelChildren;
};

class ControlTable {
 public:
  ControlTable() { Clear(); }

  // Keeps entry 0, the window itself, and the never-used entries below kFirstControlId.
  void Clear();
  // A new entry of a kind at the end; returns its id.
  int32_t Add(uint32_t kind);
  // Takes back the last entry, whose control could not be made.
  void RemoveLast() { entries_.pop_back(); }
  int32_t LastId() const { return static_cast<int32_t>(entries_.size()) - 1; }
  // The entry of a control id in use (-1 = the last created); null for free entries, the window
  // and ids out of range.
  ControlEntry* Find(int32_t id);
  const ControlEntry* Find(int32_t id) const;
  // The entry of an id, used or not; 0 is the window's.
  ControlEntry& At(int32_t id) { return entries_[static_cast<size_t>(id)]; }
  // The id of a control window in the table (Windows keeps the id with the window); 0 for others.
  int32_t IdOfHandle(HWND handle) const;

  auto begin() { return entries_.begin(); }
  auto end() { return entries_.end(); }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::vector<ControlEntry> entries_;
};

}  // namespace pyr
