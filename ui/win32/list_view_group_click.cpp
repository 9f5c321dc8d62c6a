// A click on a list view's group header toggles the group, where the system does not do it itself,
// and can leave the item selection alone.
#include "ui/win32/list_view.h"

#include "ui/win32/list_view_parts.h"
#include "ui/win32/procedure_hooks.h"

namespace pyr {
namespace {

bool OnGroupHeader(HWND list, LPARAM lParam) {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  SendMessageW(list, LVM_HITTEST, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&hit));
  return hit.flags & LVHT_EX_GROUP_HEADER;
}

LRESULT CALLBACK GroupClickProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  ProcedureHook hook;
  if (!TakeHook(list, message, GroupClickProc, hook)) {
    return DefWindowProcW(list, message, wParam, lParam);
  }
  const auto* window = static_cast<const UiWindow*>(hook.context);
  if (message == WM_LBUTTONDOWN && window && window->GroupClickKeepsSelection() &&
             SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0) && OnGroupHeader(list, lParam)) {
    // The press would select the group's items; the release toggles the group instead.
    SetFocus(list);
    return 0;
  } else if (message == WM_LBUTTONUP && SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0)) {
    LVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    SendMessageW(list, LVM_HITTEST, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & LVHT_EX_GROUP_HEADER) {
      int count = static_cast<int>(SendMessageW(list, LVM_GETGROUPCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        LVGROUP group{};
        group.cbSize = sizeof(group);
        group.mask = LVGF_GROUPID | LVGF_STATE;
        group.stateMask = LVGS_COLLAPSED;
        if (!SendMessageW(list, LVM_GETGROUPINFOBYINDEX, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&group))) {
          continue;
        }
        RECT r{};
        r.top = LVGGR_HEADER;
        if (!SendMessageW(list, LVM_GETGROUPRECT, static_cast<WPARAM>(group.iGroupId),
                          reinterpret_cast<LPARAM>(&r))) {
          continue;
        }
        // The header's own line, without the description below it.
        const int line = window ? window->Scale(20) : 20;
        if (r.bottom > r.top + line) r.bottom = r.top + line;
        if (!PtInRect(&r, hit.pt)) continue;
        UINT before = group.state & LVGS_COLLAPSED;
        // Some systems toggle the group themselves on this click; give them the time to.
        Sleep(150);
        LVGROUP now{};
        now.cbSize = sizeof(now);
        now.mask = LVGF_STATE;
        now.stateMask = LVGS_COLLAPSED;
        SendMessageW(list, LVM_GETGROUPINFO, static_cast<WPARAM>(group.iGroupId),
                     reinterpret_cast<LPARAM>(&now));
        if ((now.state & LVGS_COLLAPSED) != before) break;
        now.state = before ? 0 : LVGS_COLLAPSED;
        SendMessageW(list, LVM_SETGROUPINFO, static_cast<WPARAM>(group.iGroupId),
                     reinterpret_cast<LPARAM>(&now));
        return 0;
      }
    }
  }
  return PassOn(hook, list, message, wParam, lParam);
}

}  // namespace

bool InstallGroupHeaderClick(UiWindow& window, int32_t listId) {
  HWND list = ListHandle(window, listId);
  if (!list) return false;
  return HookProcedure(list, GroupClickProc, &window);
}

}  // namespace pyr
