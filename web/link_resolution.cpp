#include "web/link_resolution.h"

#include "base/regex_replace.h"
#include "web/site_addresses.h"
#include "web/url_text.h"

namespace pyr {

namespace {

constexpr int kShortestLink = 10;

// A URL whose last segment has a three-letter extension other than a page's names a file.
bool NamesFile(std::u16string_view url, size_t lastSlash) {
  const size_t dot = url.rfind(u'.');
  if (dot == std::u16string_view::npos || dot < lastSlash) return false;
  const std::u16string_view extension = url.substr(dot + 1, 3);
  if (extension.size() != 3) return false;
  for (const char16_t* page : {u"htm", u"php", u"asp", u"sht"}) {
    if (WideText::EqualsNoCase(extension, page)) return false;
  }
  return true;
}

// The link may be followed: a scheme the engine fetches, never from https to clear text.
bool MayFollow(std::u16string_view pageUrl, std::u16string_view link) {
  const std::u16string scheme = UrlScheme(link);
  if (scheme != u"http" && scheme != u"https" && scheme != u"ftp") return false;
  return UrlScheme(pageUrl) != u"https" || scheme == u"https";
}

// Cuts the text down to the one meta tag that forwards, then to the raw link in it.
bool ExtractRawLink(WideText text, WideText* raw) {
  const int meta = text.Find(u"<meta", false);
  if (meta == 0) return false;
  text.DropLeft(meta - 1);
  RegexReplaceAll(text, u"http-equiv\\s+=", u"http-equiv=");
  RegexReplaceAll(text, u"http-equiv=\\s+", u"http-equiv=");
  int refresh = 0;
  for (const char16_t* spelling : {u"http-equiv=\"refresh\"", u"http-equiv='refresh'", u"http-equiv=refresh"}) {
    refresh = text.Find(spelling, false);
    if (refresh != 0) break;
  }
  if (refresh == 0) return false;
  const int close = text.Find(u">", true, 1, refresh);
  if (close != 0) text.Left(close);
  text.DropLeft(text.Find(u"<meta", false, -1) - 1);

  const int url = text.Find(u"url=", false);
  if (url != 0) {
    text.DropLeft(url + 3);
  } else {
    const int content = text.Find(u"content=", false);
    if (content == 0) return false;
    // The attribute name and the opening quote.
    text.DropLeft(content + 8);
    const int semicolon = text.Find(u";");
    if (semicolon == 0) return false;
    text.DropLeft(semicolon);
  }
  int quote = text.Find(u"\"");
  if (quote == 0) quote = text.Find(u"'");
  if (quote == 0) return false;
  text.Left(quote - 1);
  // The blank after "0;" belongs to the attribute's spacing, not to the address.
  text.Trim();
  *raw = std::move(text);
  return true;
}

}  // namespace

bool ResolveMetaRefresh(const WideText& page, const WideText& pageUrl, WideText* link) {
  *link = pageUrl;
  const std::u16string_view url = pageUrl.View();
  const size_t lastSlash = url.rfind(u'/');
  if (lastSlash == std::u16string_view::npos) return false;
  if (NamesFile(url, lastSlash)) return false;
  WideText raw;
  if (!ExtractRawLink(page, &raw)) return false;
  if (static_cast<int>(raw.Length()) < kShortestLink) return false;
  const std::u16string target =
      raw.Contains(u"://", true) ? UnescapeUrl(raw.View()) : CombineUrl(url, raw.View());
  if (target.empty() || !MayFollow(url, target)) return false;
  link->Assign(target);
  return true;
}

DownloadJobPtr ResolveAndStartDownload(DownloadTransport& transport, const WideText& localPath,
                                       const WideText& downloadUrl, uint32_t extraFlags,
                                       const KeepWaiting& keepWaiting, const SignaturePolicy* signer) {
  if (transport.FolderExists(localPath.View()) || downloadUrl.Length() < 5) return nullptr;
  const std::u16string_view path = localPath.View();
  const size_t backslash = path.rfind(u'\\');
  if (backslash != std::u16string_view::npos) {
    const std::u16string_view folder = path.substr(0, backslash);
    if (!folder.empty() && !transport.FolderExists(folder) && !transport.CreateFolderTree(folder)) return nullptr;
  }
  // The folder of the download, without its trailing slash.
  const std::u16string_view url = downloadUrl.View();
  const size_t lastSlash = url.rfind(u'/');
  const std::u16string referer(url.substr(0, lastSlash == std::u16string_view::npos ? 0 : lastSlash));

  WideText link = downloadUrl;
  bool cancelled = false;
  const KeepWaiting watch = [&] {
    if (keepWaiting && !keepWaiting()) cancelled = true;
    return !cancelled;
  };
  const uint64_t size = GetRemoteFileSize(transport, url, keepWaiting ? watch : KeepWaiting());
  if (cancelled) return nullptr;
  if (size < kSmallestDirectDownload) {
    WideText page;
    if (DownloadText(transport, url, kSearchReferer, &page, kForwardingPageLimit)) {
      ResolveMetaRefresh(page, downloadUrl, &link);
    } else {
      link.Clear();
    }
  }
  return StartDownload(transport, link.View(), path, kDownloadReload | kDownloadSkipIfSameSize | extraFlags, referer,
                       0, signer);
}

}  // namespace pyr
