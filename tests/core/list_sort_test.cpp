#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/list_sort.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

struct CompareCase {
  const char16_t* a;
  const char16_t* b;
  int expected;  // sign
};

TEST(CompareCellTexts, Table) {
  const CompareCase cases[] = {
      {u"2 KB", u"900 KB", -1}, {u"900 KB", u"1 MB", -1}, {u"1 MB", u"1023 KB", 1}, {u"1 GB", u"1023 MB", 1},
      {u"1 TB", u"1023 GB", 1},
      {u"1,5", u"1.6", -1},  // comma read as a decimal point
      {u"1,5", u"1.4", 1}, {u"9", u"10", -1}, {u"-5", u"3", -1}, {u"+9", u"10", -1},
      {u"abc", u"ABC", 0},  // letter case ignored
      {u"abc", u"ABD", -1}, {u"Working properly", u"disabled", 1}, {u"2019/07/18", u"2023/01/01", -1},
      {u"10.0.19041.1", u"6.1.7601.17514", 1},  // versions by their leading number
      {u"1 KB", u"1024", -1},  // equal numbers fall back to the text
      {u"", u"abc", -1}, {u"", u"", 0},
      {u"", u"5", -1},  // empty cells sort before numbers, as text would
      {u"(none)", u"5", -1}, {u"x", u"5", 1},
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(Sign(CompareCellTexts(c.a, c.b)), c.expected)
        << WideText(c.a).ToUtf8() << " vs " << WideText(c.b).ToUtf8();
    EXPECT_EQ(Sign(CompareCellTexts(c.b, c.a)), -c.expected)
        << WideText(c.b).ToUtf8() << " vs " << WideText(c.a).ToUtf8();
  }
}

// Any sort relies on a strict weak order: irreflexive, transitive, transitive equivalence.
TEST(CompareCellTexts, IsAStrictWeakOrderOnMixedTexts) {
  const std::vector<std::u16string> texts = {
      u"",     u"-",    u"-a",   u"-5",   u"-10",  u"+5",    u"+a",   u"3",    u"10",
      u"9a",   u"1a",   u"1,0",  u"1.0",  u"1",    u"1 KB",  u"1024", u"2 MB", u"abc",
      u"ABC",  u"Abd",  u".5",   u",5",   u"/x",   u"(x)",   u" 1",   u"0",    u"00",
      u"1 XB", u"1 kB", u"Z",    u"_",    u"~",    u"\u00C9t", u"\u00E9t"};
  const size_t n = texts.size();
  auto less = [&](size_t i, size_t j) { return CompareCellTexts(texts[i], texts[j]) < 0; };
  auto equiv = [&](size_t i, size_t j) { return !less(i, j) && !less(j, i); };
  for (size_t i = 0; i < n; ++i) {
    EXPECT_FALSE(less(i, i));
    for (size_t j = 0; j < n; ++j) {
      EXPECT_EQ(Sign(CompareCellTexts(texts[i], texts[j])), -Sign(CompareCellTexts(texts[j], texts[i])));
      for (size_t k = 0; k < n; ++k) {
        if (less(i, j) && less(j, k)) { EXPECT_TRUE(less(i, k)) << i << " " << j << " " << k; }
        if (equiv(i, j) && equiv(j, k)) { EXPECT_TRUE(equiv(i, k)) << i << " " << j << " " << k; }
      }
    }
  }
}

TEST(CompareCellTexts, OnlyTheFirst260CharactersCount) {
  std::u16string a(260, u'a'), b(260, u'a');
  a += u"x";
  b += u"y";
  EXPECT_EQ(CompareCellTexts(a, b), 0);
}

TEST(SortDirection, Resolution) {
  const struct {
    int direction;
    SortArrow shown;
    bool descending;
  } cases[] = {
      {kSortAscending, SortArrow::kDown, false},   {kSortDescending, SortArrow::kUp, true},
      {kSortToggle, SortArrow::kUp, true},         {kSortToggle, SortArrow::kDown, false},
      {kSortToggle, SortArrow::kNone, false},      {kSortKeepShown, SortArrow::kDown, true},
      {kSortKeepShown, SortArrow::kUp, false},     {kSortKeepShown, SortArrow::kNone, false},
      {kSortReverseShown, SortArrow::kDown, false}, {kSortReverseShown, SortArrow::kUp, true},
      {kSortReverseShown, SortArrow::kNone, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveSortDescending(c.direction, c.shown), c.descending)
        << c.direction << " " << static_cast<int>(c.shown);
  }
  EXPECT_EQ(ResolveSortColumn(4, 2), 4);
  EXPECT_EQ(ResolveSortColumn(-1, 2), 2);
  EXPECT_EQ(ResolveSortColumn(-1, -1), 0);
}

}  // namespace
}  // namespace pyr
