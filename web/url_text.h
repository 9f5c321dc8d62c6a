// The URL operations link resolution needs, portable so that the same rules run everywhere:
// escape decoding, combining a relative link with its page, and the scheme of an address.
#pragma once

#include <string>
#include <string_view>

namespace pyr {

// Decodes every %XX escape (two hex digits) into the unit of that value, as the system's
// unescaping does without flags; other percent signs stay.
std::u16string UnescapeUrl(std::u16string_view url);

// The scheme in lower case ("https"), or empty when the text starts with none.
std::u16string UrlScheme(std::u16string_view url);

// The link resolved against the absolute base address: scheme-relative, site-relative,
// query- and fragment-only and path-relative links, with "." and ".." segments removed. An
// absolute link (one with a scheme) is returned as it is. Empty when the base has no scheme.
std::u16string CombineUrl(std::u16string_view base, std::u16string_view link);

}  // namespace pyr
