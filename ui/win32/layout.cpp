// Applying the layout rules to the controls of a window in one batch.
#include "ui/layout_rules.h"
#include "ui/win32/procedure_hooks.h"
#include "ui/win32/ui_window.h"
#include "ui/win32/window_procs.h"

namespace pyr {

bool UiWindow::SetControlLayoutFlags(int32_t id, uint32_t flags) {
  ControlEntry* e = Entry(id);
  if (!e || !e->handle) return false;
  if (flags & kFlagDoubleBuffered) flags |= kFlagClipFromErase;
  HWND parent = GetParent(e->handle);
  RECT r{};
  GetWindowRect(e->handle, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RECT client{};
  GetClientRect(parent, &client);
  const LayoutBox place = UnscaleBox({r.left, r.top, r.right - r.left, r.bottom - r.top}, dpi_);
  e->x = place.x;
  e->y = place.y;
  e->width = place.width;
  e->height = place.height;
  e->refWidth = Unscale(client.right);
  e->refHeight = Unscale(client.bottom);
  bool buffered = flags & kFlagDoubleBuffered;
  bool wasBuffered = e->flags & kFlagDoubleBuffered;
  e->flags = flags;
  if (buffered && !wasBuffered) {
    HookProcedure(e->handle, BufferedPaintProc, this);
  } else if (!buffered && wasBuffered) {
    UnhookProcedure(e->handle, BufferedPaintProc);
  }
  return true;
}

bool UiWindow::Layout() {
  if (!hwnd_ || IsIconic(hwnd_) || LastControlId() < kFirstControlId) return false;
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right == lastLayout_.cx && client.bottom == lastLayout_.cy) return false;
  lastLayout_ = {client.right, client.bottom};

  // Direct children move in one batch; controls inside a panel follow once their panel has its
  // new size.
  HDWP batch = BeginDeferWindowPos(LastControlId() + 1);
  if (!batch) return false;
  for (int pass = 0; pass < 2; ++pass) {
    for (ControlEntry& e : controls_) {
      if (!e.id || !e.handle || !TakesPartInLayout(e.flags)) continue;
      if (e.kind == kKindMenuItem || e.kind == kKindSubmenuItem) continue;
      HWND parent = GetParent(e.handle);
      if ((parent == hwnd_) != (pass == 0)) continue;
      RECT now{};
      GetWindowRect(e.handle, &now);
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
      RECT parentClient{};
      GetClientRect(parent, &parentClient);
      LayoutBox current{now.left, now.top, now.right - now.left, now.bottom - now.top};
      LayoutBox placed = PlaceInLayout(ScaleBox({e.x, e.y, e.width, e.height}, dpi_),
                                       Scale(e.refWidth), Scale(e.refHeight), e.flags, current,
                                       parentClient.right, parentClient.bottom);
      UINT how = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
      if (pass == 0) {
        batch = DeferWindowPos(batch, e.handle, nullptr, placed.x, placed.y, placed.width,
                               placed.height, how);
        if (!batch) return false;
      } else {
        SetWindowPos(e.handle, nullptr, placed.x, placed.y, placed.width, placed.height, how);
      }
      if (e.flags & kFlagRepaintAfterLayout) InvalidateRect(e.handle, nullptr, TRUE);
    }
    if (pass == 0 && !EndDeferWindowPos(batch)) return false;
  }
  return true;
}

}  // namespace pyr
