// What the parts of the list view wrapper share (internal to ui/win32).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace pyr {

class UiWindow;

// The state images of an unchecked and a checked item.
inline constexpr UINT kUncheckedImage = INDEXTOSTATEIMAGEMASK(1);
inline constexpr UINT kCheckedImage = INDEXTOSTATEIMAGEMASK(2);

// The list view of a control id; null for any other control.
HWND ListHandle(UiWindow& window, int32_t listId);

// Answers NM_CUSTOMDRAW from the items' styles: colours, fonts and cell images (placed for the
// window's DPI).
LRESULT ListViewCustomDraw(NMLVCUSTOMDRAW* draw, const UiWindow& window);

// Draws the column's header title without taking an "&" for a mnemonic.
bool DrawHeaderTitleLiterally(HWND list, int column);

}  // namespace pyr
