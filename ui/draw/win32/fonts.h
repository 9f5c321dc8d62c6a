// Fonts of the toolkit, sized for the DPI of the window that shows them.
#pragma once

#include "ui/draw/font_metrics.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// quality -1 means PROOF_QUALITY; a null or empty face means "Arial".
FontHandle CreateUiFont(double points, int weight = 0, uint32_t styleFlags = 0,
                        const wchar_t* faceName = nullptr, int quality = -1, int dpi = kBaseDpi);

}  // namespace pyr
