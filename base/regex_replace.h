#pragma once

#include <string_view>

#include "base/wide_text.h"

namespace pyr {

// Replaces every match of pattern (case ignored) with replacement, in which "$" references work
// as PCRE2 defines them. Returns the number of replacements; with none, or on any error, the
// text is left as it was.
int RegexReplaceAll(WideText& text, std::u16string_view pattern, std::u16string_view replacement);

}  // namespace pyr
