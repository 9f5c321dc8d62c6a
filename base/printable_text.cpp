#include "base/printable_text.h"

namespace pyr {

namespace {

constexpr char16_t kEscape = 0x1B, kBell = 0x07, kCsi = 0x9B, kOsc = 0x9D, kDcs = 0x90, kSt = 0x9C;

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Separators end a line for some readers; bidi controls let a name reorder the words after it.
bool IsLayoutControl(char16_t c) {
  return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0x200E || c == 0x200F || c == 0x061C;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The index after a control sequence's parameters and final byte (ECMA-48: parameters and
// intermediates 0x20-0x3F, final 0x40-0x7E), from the first unit after its introducer.
size_t AfterControlSequence(std::u16string_view s, size_t i) {
  while (i < s.size() && s[i] >= 0x20 && s[i] <= 0x3F) ++i;
  return i < s.size() && s[i] >= 0x40 && s[i] <= 0x7E ? i + 1 : i;
}

// A command string (OSC, DCS) runs to BEL or ST (ESC \ or 0x9C), or to the end of the text.
size_t AfterCommandString(std::u16string_view s, size_t i) {
  for (; i < s.size(); ++i) {
    if (s[i] == kBell || s[i] == kSt) return i + 1;
    if (s[i] == kEscape && i + 1 < s.size() && s[i + 1] == u'\\') return i + 2;
  }
  return i;
}

// The index after the escape sequence that starts at i (s[i] is ESC, CSI, OSC or DCS).
size_t AfterEscape(std::u16string_view s, size_t i) {
  const char16_t introducer = s[i];
  if (introducer == kCsi) return AfterControlSequence(s, i + 1);
  if (introducer == kOsc || introducer == kDcs) return AfterCommandString(s, i + 1);
  if (i + 1 >= s.size()) return i + 1;
  const char16_t next = s[i + 1];
  if (next == u'[') return AfterControlSequence(s, i + 2);
  if (next == u']' || next == u'P') return AfterCommandString(s, i + 2);
  // A two-unit escape (ESC 7, ESC c, ...) with its intermediates (ESC ( B).
  size_t j = i + 1;
  while (j < s.size() && s[j] >= 0x20 && s[j] <= 0x2F) ++j;
  return j < s.size() && s[j] >= 0x30 && s[j] <= 0x7E ? j + 1 : j;
}

}  // namespace

WideText PrintableLine(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const char16_t c = s[i];
    if (c == kEscape || c == kCsi || c == kOsc || c == kDcs) {
      out.push_back(kReplacementCharacter);
      i = AfterEscape(s, i);
    } else if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
      out.append(s.substr(i, 2));
      i += 2;
    } else {
      const bool unsafe = IsControl(c) || IsLayoutControl(c) || IsHighSurrogate(c) || IsLowSurrogate(c);
      out.push_back(unsafe ? kReplacementCharacter : c);
      ++i;
    }
  }
  return WideText(std::move(out));
}

}  // namespace pyr
