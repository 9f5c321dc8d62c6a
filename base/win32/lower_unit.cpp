#include <locale.h>
#include <ctype.h>
#include <wchar.h>
#include <wctype.h>

#include "base/wide_text.h"

namespace pyr {

char16_t LowerUnit(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? unit + 32 : unit;
  // The runtime's "C" locale lowers ASCII only; a locale object of our own makes towlower
  // Unicode-aware without changing the process-wide locale.
  static const _locale_t locale = _create_locale(LC_CTYPE, "English_United States.1252");
  if (!locale) return static_cast<char16_t>(towlower(static_cast<wchar_t>(unit)));
  return static_cast<char16_t>(_towlower_l(static_cast<wchar_t>(unit), locale));
}

}  // namespace pyr
