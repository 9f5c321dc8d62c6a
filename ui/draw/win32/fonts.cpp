#include "ui/draw/win32/fonts.h"

namespace pyr {

FontHandle CreateUiFont(double points, int weight, uint32_t styleFlags, const wchar_t* faceName,
                        int quality, int dpi) {
  const wchar_t* face = (faceName && *faceName) ? faceName : L"Arial";
  const DWORD q = quality < 0 ? PROOF_QUALITY : static_cast<DWORD>(quality);
  return FontHandle(CreateFontW(UiFontHeight(points, dpi), 0, 0, 0, UiFontWeight(weight),
                                (styleFlags & kFontItalic) ? TRUE : FALSE,
                                (styleFlags & kFontUnderline) ? TRUE : FALSE,
                                (styleFlags & kFontStrikeOut) ? TRUE : FALSE, DEFAULT_CHARSET,
                                OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, q,
                                DEFAULT_PITCH | FF_DONTCARE, face));
}

}  // namespace pyr
