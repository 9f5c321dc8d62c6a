// Linux stand-in for the Windows runtime's towlower: a Unicode-aware locale object of our own,
// so that case is ignored the same way in both builds without touching the global locale.
#include <locale.h>
#include <wctype.h>

#include "base/wide_text.h"

namespace pyr {

char16_t LowerUnit(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? unit + 32 : unit;
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (!utf8) return unit;
  wint_t lower = towlower_l(static_cast<wint_t>(unit), utf8);
  // One 16-bit unit in, one out: a mapping that leaves the BMP is no mapping.
  return lower <= 0xFFFF ? static_cast<char16_t>(lower) : unit;
}

}  // namespace pyr
