// The maker's site and the web search engine: one constant each, over https.
#pragma once

namespace pyr {

inline constexpr char16_t kMakerSite[] = u"https://www.tolvenor.com";
inline constexpr char16_t kSearchEngine[] = u"https://www.google.com";
// The search page's query address, sent as referer where a request has no page of its own.
inline constexpr char16_t kSearchReferer[] = u"https://www.google.com/search?q=";
// The subject of the maker's code-signing certificate, organization (O) and country (C): the
// updater replaces the copy and is started only when it signed it.
inline constexpr char16_t kMakerOrganization[] = u"Tolvenor";
inline constexpr char16_t kMakerCountry[] = u"DE";
// Where the maker publishes the updater, below its site.
inline constexpr char16_t kUpdaterSitePath[] = u"/ovelant/Ovelant.exe";

}  // namespace pyr
