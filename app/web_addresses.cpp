#include "app/web_addresses.h"

namespace pyr {

std::u16string MakerLinkUrl(MakerLink link) {
  std::u16string url = kMakerSite;
  switch (link) {
    case MakerLink::kDonate:
      url += u"/donate/?p=Pyravel";
      break;
    case MakerLink::kAbout:
      url += u"/pyravel/about.php?ver=";
      url += kVersionText;
      break;
    case MakerLink::kHome:
      url += u"/";
      break;
  }
  return url;
}

std::u16string SearchUrlPrefix() { return std::u16string(kSearchEngine) + u"/search?q="; }

}  // namespace pyr
