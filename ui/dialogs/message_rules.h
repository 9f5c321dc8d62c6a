// What the message box and the message tip decide, kept apart from the windows that show them:
// the buttons of each kind and their answers, the box's size and button places, the tip's text
// split and size, and which events leave a tip open.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/message_kinds.h"
#include "base/wide_text.h"

namespace pyr {

struct MessageButton {
  const char16_t* text;
  int32_t answer;
};

// The buttons of a kind, left to right; empty for the tip and for unknown kinds.
std::span<const MessageButton> MessageButtons(int32_t kind);

// The button that Esc or any close of a box stands for, 1-based: the last one (OK of an OK box,
// No of Yes/No, Cancel of OK/Cancel and of Yes/No/Cancel); 0 for kinds without buttons. Never
// the first button of a question.
int32_t NegativeButton(int32_t kind);
// What AskUser returns when the box is closed instead of answered: the negative button's answer.
int32_t NegativeAnswer(int32_t kind);

// Every box of the program is this size.
inline constexpr int32_t kMessageBoxWidth = 450;
inline constexpr int32_t kMessageBoxHeight = 150;
inline constexpr int32_t kMessageButtonWidth = 80;
inline constexpr int32_t kMessageButtonHeight = 25;

// Widths below 160 would not hold the buttons.
constexpr int32_t MessageBoxWidthFor(int32_t requested) { return requested < 160 ? 360 : requested; }

// The message text sits this far inside the box's left, top and right edges, and this far above
// the box's bottom edge (the buttons' band).
inline constexpr int32_t kMessageTextMargin = 20;
inline constexpr int32_t kMessageTextBottom = 45;

// A box's height for a text that needs textHeight pixels at the box's text width: the requested
// height, grown so that every line shows, but never past limit (the screen's work area) unless
// the request itself is taller.
constexpr int32_t MessageBoxHeightFor(int32_t requested, int32_t textHeight, int32_t limit) {
  const int32_t need = textHeight + kMessageTextMargin + kMessageTextBottom;
  if (need <= requested) return requested;
  return need < limit ? need : (limit > requested ? limit : requested);
}

struct Point32 {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point32&) const = default;
};

// Top-left corners of the buttons of a box w x h, one per button of the kind.
std::vector<Point32> MessageButtonPlaces(int32_t kind, int32_t width, int32_t height);

// A tip's text is "message||title"; without the separator the title is "Information".
struct TipText {
  WideText message;
  WideText title;
};
TipText SplitTipText(std::u16string_view text);

// Lines of a message as the tip measures them, split at "\r\n".
std::vector<std::u16string_view> MessageLines(std::u16string_view message);

struct TextExtent {
  int32_t width = 0;
  int32_t height = 0;
};
struct TipSize {
  int32_t width = 0;
  int32_t height = 0;
  int32_t lineHeight = 0;
  int32_t lines = 0;
};
// Window size of a tip from the measured extent of each of its lines.
TipSize TipSizeFor(std::span<const TextExtent> lineExtents);

// Whether the main window's pump leaves an open tip alone on an event with this code: mouse
// movement, hovering, sizing and the like do; clicks, keys, commands and closes do not.
bool TipSurvivesEvent(int32_t code);

}  // namespace pyr
