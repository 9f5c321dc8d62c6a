// The shell dialogs that pick a folder or an INF file.
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

}  // namespace pyr
