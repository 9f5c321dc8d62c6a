// The toolkit's window procedures (internal to ui/win32).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace pyr {

// Put in front of a toolkit window's and a panel's own procedure (procedure_hooks.h).
LRESULT CALLBACK UiWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK BufferedPaintProc(HWND, UINT, WPARAM, LPARAM);
// Put in front of simple controls: skips the non-client paint while the control has no frame.
LRESULT CALLBACK FramelessPaintProc(HWND, UINT, WPARAM, LPARAM);

// True when the window has nothing outside its client area: no border, frame, edge or scroll bar.
bool HasNoFrame(HWND window);

// The property that links a toolkit window handle to its UiWindow.
inline const wchar_t* UiWindowProperty() { return L"PyravelUiWindow"; }

}  // namespace pyr
