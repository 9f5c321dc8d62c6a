// The list view's custom draw: item and cell colours, fonts and cell images.
#include "ui/win32/list_view.h"
#include "ui/win32/list_view_parts.h"

namespace pyr {
namespace {

// A cell with an image: its background is filled, the image drawn 2 (96-DPI) pixels from its
// left edge and vertically centred, and the list then draws the text on it without a background.
void DrawCellImage(NMLVCUSTOMDRAW* draw, HBITMAP image, HBRUSH brush, int inset) {
  HWND list = draw->nmcd.hdr.hwndFrom;
  RECT cell{};
  cell.top = draw->iSubItem;
  cell.left = draw->iSubItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
  if (!SendMessageW(list, LVM_GETSUBITEMRECT, draw->nmcd.dwItemSpec,
                    reinterpret_cast<LPARAM>(&cell))) {
    return;
  }
  HDC dc = draw->nmcd.hdc;
  BrushHandle made;
  if (!brush) {
    made.Reset(CreateSolidBrush(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0))));
  }
  FillRect(dc, &cell, brush ? brush : made.Get());
  BITMAP info{};
  if (GetObjectW(image, sizeof(info), &info)) {
    const MemoryDc memory(dc);
    HDC source = memory.Get();
    const SelectedObject selected(source, image);
    int y = cell.top + ((cell.bottom - cell.top) - info.bmHeight) / 2;
    if (info.bmBitsPixel == 32) {
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      // gdi32's own entry: msimg32's AlphaBlend only forwards to it.
      GdiAlphaBlend(dc, cell.left + inset, y, info.bmWidth, info.bmHeight, source, 0, 0,
                    info.bmWidth, info.bmHeight, blend);
    } else {
      BitBlt(dc, cell.left + inset, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  draw->clrTextBk = CLR_NONE;
}

}  // namespace

LRESULT ListViewCustomDraw(NMLVCUSTOMDRAW* draw, const UiWindow& window) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      auto* style = reinterpret_cast<ListItemStyle*>(draw->nmcd.lItemlParam);
      if (!style) return CDRF_DODEFAULT;
      const CellStyle* cell = &style->item;
      bool sub = draw->nmcd.dwDrawStage & CDDS_SUBITEM;
      if (sub && draw->iSubItem >= 0 &&
          static_cast<size_t>(draw->iSubItem) < style->cells.size()) {
        cell = &style->cells[static_cast<size_t>(draw->iSubItem)];
      }
      LRESULT result = CDRF_DODEFAULT;
      const CellStyle& font = cell->font ? *cell : style->item;
      if (font.font) {
        SelectObject(draw->nmcd.hdc, font.font);
        result |= CDRF_NEWFONT;
      }
      draw->clrText = cell->textColour < 0x1000000 ? cell->textColour
                      : style->item.textColour < 0x1000000 ? style->item.textColour
                                                           : CLR_DEFAULT;
      draw->clrTextBk = cell->backColour < 0x1000000 ? cell->backColour
                        : style->item.backColour < 0x1000000 ? style->item.backColour
                                                             : CLR_DEFAULT;
      if (sub) {
        // The item's own image belongs to its first cell.
        HBITMAP image = cell->image ? cell->image : draw->iSubItem == 0 ? style->item.image
                                                                        : nullptr;
        if (image) {
          DrawCellImage(draw, image, cell->brush ? cell->brush.Get() : style->item.brush.Get(),
                        window.Scale(2));
        }
      } else if (!style->cells.empty() || style->item.image) {
        result |= CDRF_NOTIFYSUBITEMDRAW;
      }
      return result;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace pyr
