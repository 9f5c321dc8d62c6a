// Arbitrary pages and page URLs through the meta-refresh resolver. The input's first line is the
// page URL, the rest the page, both read as UTF-8; a run stops on a memory fault or when a result
// breaks the forwarding rules (a refused page keeps its URL; a followed link is http, https or
// ftp, and https only from an https page).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/wide_text.h"
#include "web/link_resolution.h"
#include "web/url_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string urlBytes = newline == std::string::npos ? std::string() : input.substr(0, newline);
  const std::string pageBytes = newline == std::string::npos ? input : input.substr(newline + 1);
  const pyr::WideText pageUrl = pyr::WideText::FromUtf8(urlBytes.data(), urlBytes.size());
  const pyr::WideText page = pyr::WideText::FromUtf8(pageBytes.data(), pageBytes.size());

  pyr::WideText link;
  const bool found = pyr::ResolveMetaRefresh(page, pageUrl, &link);
  if (!found) {
    if (!(link == pageUrl)) std::abort();
    return 0;
  }
  const std::u16string scheme = pyr::UrlScheme(link.View());
  if (scheme != u"http" && scheme != u"https" && scheme != u"ftp") std::abort();
  if (pyr::UrlScheme(pageUrl.View()) == u"https" && scheme != u"https") std::abort();
  if (link.Length() == 0) std::abort();
  return 0;
}
