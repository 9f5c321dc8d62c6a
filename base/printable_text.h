// Text from devices and drivers made safe to show on a console or in a log: nothing in a name
// may move the cursor, recolour, clear, hide or break a line, or reorder what follows it.
#pragma once

#include <string_view>

#include "base/wide_text.h"

namespace pyr {

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

// Each control character (C0, DEL, C1), each lone surrogate, each line or paragraph separator and
// each bidirectional embedding, override or isolate becomes U+FFFD; a whole escape sequence
// (ESC or CSI with its parameters and final byte, an OSC or DCS string up to its terminator)
// becomes one U+FFFD.
WideText PrintableLine(std::u16string_view text);

}  // namespace pyr
