// A window moved to a monitor of another scale follows it: it takes the rectangle Windows
// suggests, its fonts and the toolkit's own pictures are made for the new DPI, every control is
// placed again from its 96-DPI place, and the lists keep their rows, ticks, selection and scroll.
#include <vector>

#include "ui/dpi_scale.h"
#include "ui/layout_rules.h"
#include "ui/win32/list_view.h"
#include "ui/win32/ui_window.h"

namespace pyr {
namespace {

bool IsMenuEntry(const ControlEntry& e) {
  return e.kind == kKindMenuItem || e.kind == kKindSubmenuItem;
}

// Where a list was scrolled to: its top row and how far it was scrolled sideways.
struct ListScroll {
  HWND list;
  int topRow;
  int sideways;
};

void RescaleColumns(HWND list, int fromDpi, int toDpi) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const auto columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < columns; ++i) {
    const auto width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, i, RescaleForDpi(width, fromDpi, toDpi));
  }
}

void ScrollBack(const ListScroll& was, int fromDpi, int toDpi) {
  const int rows = ListView_GetItemCount(was.list);
  if (was.topRow > 0 && was.topRow < rows && ListView_GetTopIndex(was.list) != was.topRow) {
    // Scrolled to the end first, the row comes into view at the top, as far as the list allows.
    ListView_EnsureVisible(was.list, rows - 1, FALSE);
    ListView_EnsureVisible(was.list, was.topRow, FALSE);
  }
  const int dx = RescaleForDpi(was.sideways, fromDpi, toDpi) - GetScrollPos(was.list, SB_HORZ);
  if (dx != 0) SendMessageW(was.list, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
}

}  // namespace

void UiWindow::PlaceEveryControl() {
  // Direct children move in one batch; controls inside a panel after it.
  HDWP batch = BeginDeferWindowPos(LastControlId() + 1);
  const UINT how = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
  for (int pass = 0; pass < 2; ++pass) {
    for (ControlEntry& e : controls_) {
      if (!e.id || !e.handle || IsMenuEntry(e)) continue;
      if ((GetParent(e.handle) == hwnd_) != (pass == 0)) continue;
      const LayoutBox place = ScaleBox({e.x, e.y, e.width, e.height}, dpi_);
      if (pass == 0 && batch) {
        batch = DeferWindowPos(batch, e.handle, nullptr, place.x, place.y, place.width,
                               place.height, how);
      } else {
        SetWindowPos(e.handle, nullptr, place.x, place.y, place.width, place.height, how);
      }
    }
    if (pass == 0 && batch) EndDeferWindowPos(batch);
  }
}

void UiWindow::FollowDpi(int dpi, const RECT* suggested) {
  if (!hwnd_ || dpi <= 0) return;
  const int old = dpi_;
  dpi_ = dpi;
  for (SIZE* track : {&minTrack_, &maxTrack_}) {
    if (track->cx > 0)
      *track = {RescaleForDpi(track->cx, old, dpi), RescaleForDpi(track->cy, old, dpi)};
  }
  // The fonts of the old DPI go once every control has its new one.
  std::vector<UiFont> oldFonts;
  oldFonts.swap(fonts_);
  std::vector<ListScroll> lists;
  for (ControlEntry& e : controls_) {
    if (!e.id || !e.handle || IsMenuEntry(e)) continue;
    if (e.kind == kKindListView) {
      lists.push_back({e.handle, static_cast<int>(SendMessageW(e.handle, LVM_GETTOPINDEX, 0, 0)),
                       GetScrollPos(e.handle, SB_HORZ)});
    }
    if (e.fontPoints > 0) SetEntryFont(e, e.fontPoints, e.fontWeight, false);
    if (e.drawnCross) DrawCloseCross(e.id);
    if (e.kind == kKindListView) {
      RescaleColumns(e.handle, old, dpi);
      if (ListView_GetExtendedListViewStyle(e.handle) & LVS_EX_CHECKBOXES)
        SetCheckBoxImages(*this, e.id);
    }
  }
  oldFonts.clear();
  PlaceEveryControl();
  // The layout runs again at the new size, or at the old one when the size stays.
  lastLayout_ = SIZE{};
  if (suggested) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  Layout();
  for (const ListScroll& list : lists) ScrollBack(list, old, dpi);
  if (dpiFollower_) dpiFollower_();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace pyr
