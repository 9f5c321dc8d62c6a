// Sizing controls to their texts, measured with each control's own font, so that no text is cut
// off whatever font the system substitutes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace pyr {

class UiWindow;

// The outer size a control needs to show its whole text on one line, or wrapped within
// maxWidth when one line is wider than that. Handles static texts, push buttons, check boxes
// and links; other controls get their current size.
SIZE TextFitSize(HWND control, int maxWidth);

// Fits the controls, given top to bottom, to their texts within maxWidth: each grows to its
// needed size (a control never shrinks), wrapping where one line would be wider than maxWidth,
// and every height gained moves the controls after it down by as much. The window's layout
// records follow. Returns the total height gained.
int FitStackToTexts(UiWindow& window, std::span<const int32_t> ids, int maxWidth);

}  // namespace pyr
