// The toolkit's subclass procedures (internal to ui/win32).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace pyr {

constexpr UINT_PTR kWindowSubclassId = 0x5059;  // the top-level window
constexpr UINT_PTR kPanelSubclassId = 0x505A;
constexpr UINT_PTR kBufferedSubclassId = 0x505B;
constexpr UINT_PTR kHeaderTextSubclassId = 0x505D;

LRESULT CALLBACK WindowSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK PanelSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK BufferedPaintSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

// The property that links a toolkit window handle to its UiWindow.
inline const wchar_t* UiWindowProperty() { return L"PyravelUiWindow"; }

}  // namespace pyr
