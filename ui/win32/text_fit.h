// Sizing controls to their texts, measured with each control's own font, so that no text is cut
// off whatever font the system substitutes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace pyr {

class UiWindow;

// The outer size in pixels a control shown at dpi needs for its whole text on one line, or
// wrapped within maxWidth pixels when one line is wider than that. Handles static texts, push
// buttons, check boxes and links; other controls get their current size.
SIZE TextFitSize(HWND control, int maxWidth, int dpi);

// Fits the controls, given top to bottom, to their texts within maxWidth pixels: each grows to
// its needed size (a control never shrinks), wrapping where one line would be wider than
// maxWidth, and every height gained moves the controls after it down by as much. The controls
// keep their new places. Returns the total height gained, in pixels.
int FitStackToTexts(UiWindow& window, std::span<const int32_t> ids, int maxWidth);

}  // namespace pyr
