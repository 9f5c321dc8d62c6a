#include "base/list_sort.h"

#include <algorithm>
#include <cmath>

#include "base/wide_text.h"

namespace pyr {

namespace {

// The list control hands out at most this many characters of a cell for comparing.
constexpr size_t kCompareLimit = 260;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool StartsNumeric(std::u16string_view s) {
  if (s.empty()) return false;
  if (IsDigit(s[0])) return true;
  return (s[0] == u'+' || s[0] == u'-') && s.size() > 1 && IsDigit(s[1]);
}

// Reads the leading decimal number (sign, digits, a comma or full stop, digits) and applies a
// size unit at the end of the text.
double NumberOf(std::u16string_view s) {
  size_t i = 0;
  bool negative = false;
  if (s[i] == u'+' || s[i] == u'-') negative = s[i++] == u'-';
  double value = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) value = value * 10 + (s[i] - u'0');
  if (i < s.size() && (s[i] == u'.' || s[i] == u',')) {
    double scale = 0.1;
    for (++i; i < s.size() && IsDigit(s[i]); ++i, scale /= 10) value += (s[i] - u'0') * scale;
  }
  if (s.size() > 3 && s[s.size() - 3] == u' ' && s[s.size() - 1] == u'B') {
    switch (s[s.size() - 2]) {
      case u'T': value *= 1024.0;  [[fallthrough]];
      case u'G': value *= 1024.0;  [[fallthrough]];
      case u'M': value *= 1024.0;  [[fallthrough]];
      case u'K': value *= 1024.0;  break;
      default: break;
    }
  }
  // Thousands of digits overflow to infinity, which still orders; never NaN.
  return negative ? -value : value;
}

char16_t Lower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  return LowerUnit(c);
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    char16_t x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// 0: text that sorts before the numbers, 1: a number, 2: text that sorts after them.
int BlockOf(std::u16string_view s) {
  if (StartsNumeric(s)) return 1;
  return CompareNoCase(s, u"0") < 0 ? 0 : 2;
}

}  // namespace

CellSortKey MakeCellSortKey(std::u16string_view text) {
  CellSortKey key;
  key.text = text.substr(0, kCompareLimit);
  key.block = BlockOf(key.text);
  if (key.block == 1) key.number = NumberOf(key.text);
  return key;
}

int CompareCellSortKeys(const CellSortKey& a, const CellSortKey& b) {
  if (a.block != b.block) return a.block < b.block ? -1 : 1;
  if (a.block == 1) {
    if (a.number < b.number) return -1;
    if (b.number < a.number) return 1;
  }
  return CompareNoCase(a.text, b.text);
}

int CompareCellTexts(std::u16string_view a, std::u16string_view b) {
  return CompareCellSortKeys(MakeCellSortKey(a), MakeCellSortKey(b));
}

int ResolveSortColumn(int requested, int arrowColumn) {
  if (requested >= 0) return requested;
  return arrowColumn >= 0 ? arrowColumn : 0;
}

bool ResolveSortDescending(int direction, SortArrow shown) {
  switch (direction) {
    case kSortAscending: return false;
    case kSortDescending: return true;
    case kSortToggle: return shown == SortArrow::kUp;
    case kSortKeepShown: return shown == SortArrow::kDown;
    case kSortReverseShown: return shown != SortArrow::kDown;
    default: return false;
  }
}

}  // namespace pyr
