// Where the program points the browser: the maker's pages and the web search.
#pragma once

#include <string>

#include "resources/version_info.h"
#include "web/site_addresses.h"

namespace pyr {

// The label of the third link, the maker's site as people type it.
inline constexpr char16_t kMakerSiteName[] = u"tolvenor.com";

inline constexpr char16_t kVersionText[] = u"" PYRAVEL_VERSION_TEXT;

// The three links of the right pane.
enum class MakerLink { kDonate, kAbout, kHome };

std::u16string MakerLinkUrl(MakerLink link);
// The search page with the query key; the caller appends the escaped query.
std::u16string SearchUrlPrefix();

}  // namespace pyr
