#include <gtest/gtest.h>

#include "base/regex_replace.h"

namespace pyr {
namespace {

// Every match is replaced, with its groups (that case is ignored shows in the forwarding-page tests).
TEST(RegexReplaceAll, GroupReferencesAndGrowingOutput) {
  WideText t(u"a1b22c333");
  EXPECT_EQ(RegexReplaceAll(t, u"(\\d+)", u"<$1$1$1$1$1>"), 3);
  EXPECT_EQ(t, u"a<11111>b<2222222222>c<333333333333333>");
}

TEST(RegexReplaceAll, LeavesTheTextAloneWhenNothingIsReplaced) {
  WideText t(u"unchanged");
  EXPECT_EQ(RegexReplaceAll(t, u"zzz", u"y"), 0);
  EXPECT_EQ(t, u"unchanged");
  EXPECT_EQ(RegexReplaceAll(t, u"(unclosed", u"y"), 0);  // does not compile
  EXPECT_EQ(t, u"unchanged");
  EXPECT_EQ(RegexReplaceAll(t, u"un", u"$9"), 0);  // bad reference
  EXPECT_EQ(t, u"unchanged");
  WideText empty;
  EXPECT_EQ(RegexReplaceAll(empty, u".*", u"x"), 0);
  EXPECT_TRUE(empty.Empty());
}

TEST(RegexReplaceAll, RunawayGrowthIsCappedAndLeavesTheTextUnchanged) {
  std::u16string huge(4096, u'$');
  for (size_t i = 0; i < huge.size(); i += 2) huge[i + 1] = u'0';
  std::u16string source(20000, u'x');
  WideText t(source);
  EXPECT_EQ(RegexReplaceAll(t, u"x", huge), 0);
  EXPECT_EQ(t.Length(), source.size());
}

TEST(RegexReplaceAll, CatastrophicBacktrackingGivesUp) {
  WideText t(std::u16string(40, u'a') + u"!");
  EXPECT_EQ(RegexReplaceAll(t, u"^(a+)+$", u"x"), 0);
  EXPECT_EQ(t.Length(), 41u);
}

}  // namespace
}  // namespace pyr
