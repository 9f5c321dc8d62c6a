#include <gtest/gtest.h>

#include "web/link_resolution.h"
#include "web/url_text.h"

namespace pyr {
namespace {

constexpr char16_t kPage[] = u"http://dl.example.org/ovelant/get.html";

TEST(MetaRefresh, FindsTheForwardingTargetOrKeepsThePageUrl) {
  struct Case {
    const char* name;
    const char16_t* page;
    const char16_t* pageUrl;
    bool found;
    const char16_t* link;  // the link out; the page URL when found is false
  };
  const Case cases[] = {
      {"double quotes, any case, spaces around =, relative url=",
       u"<html><head><META HTTP-EQUIV  =  \"Refresh\" content=\"3; url=/files/Ovelant.exe\"></head></html>", kPage,
       true, u"http://dl.example.org/files/Ovelant.exe"},
      {"single quotes", u"<meta http-equiv='refresh' content='0;URL=files/Ovelant-2.exe'>", kPage, true,
       u"http://dl.example.org/ovelant/files/Ovelant-2.exe"},
      {"bare value", u"<meta http-equiv=refresh content=\"0;url=../up/Ovelant.exe\">", kPage, true,
       u"http://dl.example.org/up/Ovelant.exe"},
      {"absolute link after the semicolon, no url=",
       u"<meta http-equiv=\"refresh\" content=\"5; http://mirror.example.org/Ovelant.exe\">", kPage, true,
       u"http://mirror.example.org/Ovelant.exe"},
      {"%20 unescaped in an absolute link",
       u"<meta http-equiv=\"refresh\" content=\"0; url=http://dl.example.org/My%20Files/O.exe\">", kPage, true,
       u"http://dl.example.org/My Files/O.exe"},
      {"the refresh tag among other meta tags",
       u"<meta charset=\"utf-8\"><meta name=\"x\" content=\"url=http://wrong.example.org/a.exe\">"
       u"<meta http-equiv=\"refresh\" content=\"0; url=http://right.example.org/b.exe\"><meta name=\"y\">",
       kPage, true, u"http://right.example.org/b.exe"},
      {"php page", u"<meta http-equiv=\"refresh\" content=\"0; url=http://dl.example.org/o.exe\">",
       u"http://dl.example.org/get.php?id=4", true, u"http://dl.example.org/o.exe"},
      {"two-letter extension passes", u"<meta http-equiv=\"refresh\" content=\"0; url=/a/Ovelant.exe\">",
       u"http://dl.example.org/x.js", true, u"http://dl.example.org/a/Ovelant.exe"},
      {"folder url without dot", u"<meta http-equiv=\"refresh\" content=\"0; url=Ovelant.exe?v=2\">",
       u"http://dl.example.org/ovelant/", true, u"http://dl.example.org/ovelant/Ovelant.exe?v=2"},
      {"https page to https", u"<meta http-equiv=\"refresh\" content=\"0; url=https://cdn.example.org/O.exe\">",
       u"https://dl.example.org/get.html", true, u"https://cdn.example.org/O.exe"},
      {"ftp target from an http page",
       u"<meta http-equiv=\"refresh\" content=\"0; url=ftp://ftp.example.org/pub/O.exe\">", kPage, true,
       u"ftp://ftp.example.org/pub/O.exe"},
      // Refusals: the page URL itself is fetched.
      {"link shorter than ten characters", u"<meta http-equiv=\"refresh\" content=\"0; url=/a/b.exe\">", kPage,
       false, nullptr},
      {"file-like page url", u"<meta http-equiv=\"refresh\" content=\"0; url=http://dl.example.org/o.exe\">",
       u"http://dl.example.org/ovelant/Ovelant.exe", false, nullptr},
      {"no meta tag", u"<html>url=\"http://dl.example.org/o.exe\"</html>", kPage, false, nullptr},
      {"meta without refresh", u"<meta name=\"refresh\" content=\"0; url=http://dl.example.org/o.exe\">", kPage,
       false, nullptr},
      {"no url= and no semicolon", u"<meta http-equiv=\"refresh\" content=\"http://dl.example.org/o.exe\">",
       kPage, false, nullptr},
      {"no closing quote", u"<meta http-equiv=refresh content=0;url=http://dl.example.org/o.exe>", kPage, false,
       nullptr},
      {"page url without slash", u"<meta http-equiv=\"refresh\" content=\"0; url=http://dl.example.org/o.exe\">",
       u"get.html", false, nullptr},
      {"https page never forwards to http",
       u"<meta http-equiv=\"refresh\" content=\"0; url=http://dl.example.org/o.exe\">",
       u"https://dl.example.org/get.html", false, nullptr},
      {"https page never forwards to ftp",
       u"<meta http-equiv=\"refresh\" content=\"0; url=ftp://dl.example.org/o.exe\">",
       u"https://dl.example.org/get.html", false, nullptr},
      {"other schemes are refused", u"<meta http-equiv=\"refresh\" content=\"0; url=file:///C:/Windows/x.exe\">",
       kPage, false, nullptr},
      {"script links are refused", u"<meta http-equiv=\"refresh\" content=\"0; url=javascript:alert(1)\">", kPage,
       false, nullptr},
  };
  for (const Case& c : cases) {
    WideText link(u"previous");
    const bool found = ResolveMetaRefresh(WideText(c.page), WideText(c.pageUrl), &link);
    EXPECT_EQ(found, c.found) << c.name;
    EXPECT_EQ(link.Str(), std::u16string(c.found ? c.link : c.pageUrl)) << c.name;
  }
}

TEST(MetaRefresh, RelativeLinksCombineWithThePageAsBase) {
  struct Case {
    const char16_t* base;
    const char16_t* link;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"http://a.example/b/c.html", u"d.exe", u"http://a.example/b/d.exe"},
      {u"http://a.example/b/c.html", u"/d.exe", u"http://a.example/d.exe"},
      {u"http://a.example/b/c/d.html", u"../../e.exe", u"http://a.example/e.exe"},
      {u"http://a.example/b/c.html", u"./x/../y.exe", u"http://a.example/b/y.exe"},
      {u"https://a.example:8443/b/c.html?q=1", u"d.exe", u"https://a.example:8443/b/d.exe"},
      {u"http://a.example/b/c.html", u"?v=2", u"http://a.example/b/c.html?v=2"},
      {u"http://a.example/b/c.html", u"//cdn.example/o.exe", u"http://cdn.example/o.exe"},
      {u"http://a.example", u"o.exe", u"http://a.example/o.exe"},
      {u"http://a.example/b/c.html", u"d.exe?x=../y", u"http://a.example/b/d.exe?x=../y"},
      {u"no-scheme/page.html", u"d.exe", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(CombineUrl(c.base, c.link), c.expected) << CombineUrl(c.base, c.link).size();
  EXPECT_EQ(UnescapeUrl(u"a%20b%zz%4"), u"a b%zz%4");
  EXPECT_EQ(UrlScheme(u"HTTPS://x"), u"https");
  EXPECT_EQ(UrlScheme(u"/path:x"), u"");
}

}  // namespace
}  // namespace pyr
