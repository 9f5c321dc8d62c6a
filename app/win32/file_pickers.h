// The shell dialogs that pick a folder, an INF file, or where the exported list goes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/wide_text.h"

namespace pyr {

// Options are SHBrowseForFolder flags; the high bit forces the older dialog. text, when it names
// an existing folder, is where the dialog opens; other text is put in the name box. text receives
// the pick, a trailing backslash removed except on a drive root.
bool BrowseForFolder(WideText* text, const WideText& title, uint32_t options, HWND owner);
bool OpenInfFileDialog(WideText* text, const WideText& title, HWND owner);
// The Save As dialog for the exported list; *filterIndex receives the filter picked (1 CSV, 2 JSON).
bool SaveExportFileDialog(WideText* text, int* filterIndex, HWND owner);

}  // namespace pyr
