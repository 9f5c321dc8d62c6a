#include "web/url_text.h"

#include <algorithm>
#include <vector>

#include "base/wide_text.h"

namespace pyr {

namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsSchemeChar(char16_t c, bool first) {
  const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  if (first) return letter;
  return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// Removes "." and ".." segments from an absolute path ("/a/b/../c" -> "/a/c").
std::u16string RemoveDotSegments(std::u16string_view path) {
  std::vector<std::u16string_view> kept;
  size_t start = 1;
  bool trailingSlash = false;
  while (start <= path.size()) {
    size_t end = path.find(u'/', start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view segment = path.substr(start, end - start);
    const bool last = end == path.size();
    if (segment == u".") {
      trailingSlash = last;
    } else if (segment == u"..") {
      if (!kept.empty()) kept.pop_back();
      trailingSlash = last;
    } else {
      kept.push_back(segment);
      trailingSlash = false;
    }
    start = end + 1;
  }
  std::u16string out;
  for (const std::u16string_view segment : kept) {
    out += u'/';
    out += segment;
  }
  if (trailingSlash || out.empty()) out += u'/';
  return out;
}

}  // namespace

std::u16string UnescapeUrl(std::u16string_view url) {
  std::u16string out;
  out.reserve(url.size());
  for (size_t i = 0; i < url.size(); ++i) {
    char16_t c = url[i];
    if (c == u'%' && i + 2 < url.size() && HexValue(url[i + 1]) >= 0 && HexValue(url[i + 2]) >= 0) {
      c = static_cast<char16_t>(HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]));
      i += 2;
    }
    out.push_back(c);
  }
  return out;
}

std::u16string UrlScheme(std::u16string_view url) {
  size_t i = 0;
  while (i < url.size() && IsSchemeChar(url[i], i == 0)) ++i;
  if (i == 0 || i >= url.size() || url[i] != u':') return {};
  std::u16string scheme(url.substr(0, i));
  for (char16_t& c : scheme) c = LowerUnit(c);
  return scheme;
}

std::u16string CombineUrl(std::u16string_view base, std::u16string_view link) {
  if (!UrlScheme(link).empty()) return std::u16string(link);
  const std::u16string scheme = UrlScheme(base);
  if (scheme.empty()) return {};
  const size_t afterScheme = scheme.size() + 1;
  if (link.substr(0, 2) == u"//") return std::u16string(base.substr(0, afterScheme)) + std::u16string(link);
  // The authority runs from "//" to the next slash, query or fragment.
  size_t pathStart = afterScheme;
  if (base.substr(afterScheme, 2) == u"//") {
    pathStart = base.find_first_of(u"/?#", afterScheme + 2);
    if (pathStart == std::u16string_view::npos) pathStart = base.size();
  }
  const std::u16string_view origin = base.substr(0, pathStart);
  size_t pathEnd = base.find_first_of(u"?#", pathStart);
  if (pathEnd == std::u16string_view::npos) pathEnd = base.size();
  std::u16string_view path = base.substr(pathStart, pathEnd - pathStart);
  if (path.empty()) path = u"/";

  if (link.empty()) return std::u16string(base);
  if (link[0] == u'#') {
    const size_t hash = base.find(u'#');
    return std::u16string(base.substr(0, hash)) + std::u16string(link);
  }
  if (link[0] == u'?') return std::u16string(origin) + std::u16string(path) + std::u16string(link);

  // Split the link's own query or fragment off so that dots in them are left alone.
  const size_t linkPathEnd = std::min(link.find_first_of(u"?#"), link.size());
  std::u16string merged;
  if (link[0] == u'/') {
    merged = std::u16string(link.substr(0, linkPathEnd));
  } else {
    merged = std::u16string(path.substr(0, path.rfind(u'/') + 1)) + std::u16string(link.substr(0, linkPathEnd));
  }
  return std::u16string(origin) + RemoveDotSegments(merged) + std::u16string(link.substr(linkPathEnd));
}

}  // namespace pyr
