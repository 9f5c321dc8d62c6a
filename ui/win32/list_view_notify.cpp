// The list view's notifications turned into toolkit events.
#include "ui/win32/list_view.h"

#include <memory>

#include "base/win32/wchar.h"
#include "ui/win32/list_view_parts.h"

namespace pyr {
namespace {

// An item owns its style record through its parameter; this hands it back to be freed.
std::unique_ptr<ListItemStyle> OwnedStyle(LPARAM param) {
  return std::unique_ptr<ListItemStyle>(reinterpret_cast<ListItemStyle*>(param));
}

}  // namespace

bool HandleListViewNotify(UiWindow& window, ControlEntry& entry, HWND hwnd, NMHDR* header,
                          LRESULT& result) {
  auto id = static_cast<uint32_t>(entry.id);
  auto post = [&](int32_t code, uint64_t extra) {
    window.PostUiEvent(code, WM_NOTIFY, hwnd, id, extra);
  };
  switch (header->code) {
    case NM_CUSTOMDRAW:
      result = ListViewCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header), window);
      return true;
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return false;
      auto item = static_cast<uint64_t>(change->iItem);
      UINT oldSel = change->uOldState & LVIS_SELECTED, newSel = change->uNewState & LVIS_SELECTED;
      if (newSel && !oldSel) post(ev::kItemSelected, item);
      if (!newSel && oldSel) post(ev::kItemDeselected, item);
      UINT oldCheck = change->uOldState & LVIS_STATEIMAGEMASK;
      UINT newCheck = change->uNewState & LVIS_STATEIMAGEMASK;
      if (newCheck == kCheckedImage && oldCheck != kCheckedImage) post(ev::kItemChecked, item);
      if (newCheck == kUncheckedImage && oldCheck == kCheckedImage) post(ev::kItemUnchecked, item);
      return false;
    }
    case LVN_DELETEALLITEMS: {
      // Every style record is freed here at once and the control is told to skip the
      // notification per item, which costs as much as the item itself in a large list.
      const int count = static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
        OwnedStyle(item.lParam).reset();
      }
      post(ev::kItemDeleted, ev::kAllItems);
      result = TRUE;
      return true;
    }
    case LVN_DELETEITEM: {
      auto* gone = reinterpret_cast<NMLISTVIEW*>(header);
      const std::unique_ptr<ListItemStyle> style = OwnedStyle(gone->lParam);
      post(ev::kItemDeleted, static_cast<uint64_t>(gone->iItem));
      return false;
    }
    case LVN_BEGINSCROLL:
      post(ev::kScrollBegin, 0);
      return false;
    case LVN_ENDSCROLL:
      post(ev::kScrollEnd, 0);
      return false;
    case NM_KILLFOCUS:
      post(ev::kListFocusLost, 0);
      return false;
    case LVN_ENDLABELEDITW: {
      auto* edit = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (!edit->item.pszText) return false;
      window.SetTextBuffer(U(edit->item.pszText));
      post(ev::kLabelEdited, static_cast<uint64_t>(edit->item.iItem));
      result = TRUE;
      return true;
    }
    case LVN_COLUMNCLICK: {
      auto* click = reinterpret_cast<NMLISTVIEW*>(header);
      if (entry.headerSort) {
        SortList(window, entry.id, click->iSubItem, 0);
      } else {
        post(ev::kColumnClick, static_cast<uint64_t>(click->iSubItem));
      }
      return false;
    }
    case NM_DBLCLK: {
      auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
      post(ev::kDoubleClick, static_cast<uint64_t>(static_cast<int64_t>(activate->iItem)));
      return false;
    }
    case NM_RETURN:
      post(ev::kReturn, 0);
      return false;
    default:
      return false;
  }
}

}  // namespace pyr
