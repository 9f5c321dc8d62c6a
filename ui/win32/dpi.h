// What the system says about display scale. The calls that know about monitors of different
// scales came with Windows 10 (1607); where they are missing the system DPI stands for every
// monitor, as it does for the system-aware program those versions run.
#pragma once

#include <windows.h>

namespace pyr {

// The DPI of the primary monitor at log-on.
int SystemDpi();
// The DPI a window is shown at.
int WindowDpi(HWND hwnd);
// A system metric (SM_CXMENUCHECK, SM_CXSMICON...) as it is at dpi.
int MetricForDpi(int index, int dpi);
// AdjustWindowRectEx for a frame drawn at dpi.
bool AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace pyr
