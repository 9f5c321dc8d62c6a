#include "ui/draw/win32/fonts.h"

namespace pyr {

FontHandle CreateUiFont(double points, int weight, uint32_t styleFlags, const wchar_t* faceName,
                        int quality) {
  const wchar_t* face = (faceName && *faceName) ? faceName : L"Arial";
  const DWORD q = quality < 0 ? PROOF_QUALITY : static_cast<DWORD>(quality);
  return FontHandle(CreateFontW(UiFontHeight(points), 0, 0, 0, UiFontWeight(weight),
                                (styleFlags & kFontItalic) ? TRUE : FALSE,
                                (styleFlags & kFontUnderline) ? TRUE : FALSE,
                                (styleFlags & kFontStrikeOut) ? TRUE : FALSE, DEFAULT_CHARSET,
                                OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, q,
                                DEFAULT_PITCH | FF_DONTCARE, face));
}

FontHandle SetControlFontPoints(HWND hwnd, double points, int weight, uint32_t styleFlags,
                                const wchar_t* faceName, int quality) {
  FontHandle font = CreateUiFont(points, weight, styleFlags, faceName, quality);
  // A window not shown yet is painted whole when it shows; asking for a repaint now costs a
  // round trip to the window server for nothing.
  if (font && hwnd) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), IsWindowVisible(hwnd));
  }
  return font;
}

}  // namespace pyr
