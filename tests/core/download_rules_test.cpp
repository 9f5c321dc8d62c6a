#include <gtest/gtest.h>

#include <string>

#include "web/download_rules.h"

namespace pyr {
namespace {

TEST(DownloadRules, ChunkSizeFollowsTheTotal) {
  struct Case {
    uint64_t total;
    uint32_t chunk;
    uint64_t countedTotal;
  };
  const Case cases[] = {
      {0, 100000, 1048576},           // unknown: the placeholder total
      {1, 20000, 1},
      {99999, 20000, 99999},
      {100000, 20000, 100000},        // a fifth from here on
      {499999, 99999, 499999},
      {500000, 100000, 500000},
      {9999999, 100000, 9999999},
      {10000000, 200000, 10000000},
      {209715200, 200000, 209715200},
  };
  for (const Case& c : cases) {
    const ChunkPlan plan = PlanChunks(c.total);
    EXPECT_EQ(plan.chunk, c.chunk) << c.total;
    EXPECT_EQ(plan.total, c.countedTotal) << c.total;
  }
}

TEST(DownloadRules, MemoryCapacityComesFromTheKnownSizeOrTheTotalUpToTheCap) {
  struct Case {
    uint64_t known, total;
    uint32_t chunk;
    MemoryPlan expected;
  };
  const Case cases[] = {
      {51200, 1048576, 100000, {51200, 51200, 51200}},   // a known size wins and bounds the chunk
      {0, 300, 20000, {65535, 65535, 20000}},            // small pages get a 64 KiB buffer
      {0, 1048576, 100000, {1048576, 1048576, 100000}},  // the unknown-size placeholder
      {0, 41943040, 200000, {41943040, 41943040, 200000}},
      {0, 100000000, 200000, {41943040, 41943040, 200000}},  // cut to the cap
  };
  for (const Case& c : cases) {
    const MemoryPlan plan = PlanMemoryTransfer(c.known, c.total, c.chunk);
    EXPECT_EQ(plan.capacity, c.expected.capacity) << c.known << " " << c.total;
    EXPECT_EQ(plan.total, c.expected.total) << c.known << " " << c.total;
    EXPECT_EQ(plan.chunk, c.expected.chunk) << c.known << " " << c.total;
  }
}

TEST(DownloadRules, PercentRoundsDownAfterAddingFourThousandths) {
  EXPECT_EQ(DownloadPercent(1, 3), 33u);
  EXPECT_EQ(DownloadPercent(2, 3), 66u);
  EXPECT_EQ(DownloadPercent(500000, 1048576), 47u);  // a page without length, ended early
  EXPECT_EQ(DownloadPercent(209715200, 209715200), 100u);
  EXPECT_EQ(DownloadPercent(0, 0), 0u);
  // 64-bit arithmetic: no overflow for files past 4 GiB.
  EXPECT_EQ(DownloadPercent(5000000000ull, 10000000000ull), 50u);
}

TEST(DownloadRules, ARefererShorterThanSevenCharactersSendsNoHeader) {
  EXPECT_EQ(RefererHeaders(u"abcdef"), u"");
  EXPECT_EQ(RefererHeaders(u"abcdefg"), u"Referer: abcdefg\r\n\r\n");
  EXPECT_EQ(RefererHeaders(u""), u"");
}

TEST(DownloadRules, PagesAreDecodedByTheirMarkOrByTheUnicodeTest) {
  const auto neverUtf16 = [](const uint8_t*, uint32_t) { return false; };
  const auto alwaysUtf16 = [](const uint8_t*, uint32_t) { return true; };
  struct Case {
    const char* name;
    std::string bytes;
    bool looksUtf16;
    std::u16string expected;
  };
  const Case cases[] = {
      {"utf-16 le mark", std::string("\xFF\xFE<\0m\0\xE9\0", 8), false, u"<m\u00E9"},
      {"utf-16 be mark", std::string("\xFE\xFF\0<\0m\x20\xAC", 8), false, u"<m\u20AC"},
      {"utf-8 mark", "\xEF\xBB\xBF<m\xC3\xA9", true, u"<m\u00E9"},
      {"no mark, utf-16 by the test", std::string("<\0a\0", 4), true, u"<a"},
      {"no mark, utf-8", "<a \xE2\x82\xAC>", false, u"<a \u20AC>"},
      {"empty", "", false, u""},
  };
  for (const Case& c : cases) {
    const WideText text = DecodePageBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(),
                                          c.looksUtf16 ? std::function<bool(const uint8_t*, uint32_t)>(alwaysUtf16)
                                                       : std::function<bool(const uint8_t*, uint32_t)>(neverUtf16));
    EXPECT_EQ(text.Str(), c.expected) << c.name;
  }
}

TEST(DownloadRules, TheUnicodeTestSeesAtMostTwentyBytes) {
  const std::string page(100, 'a');
  uint32_t seen = 0;
  DecodePageBytes(reinterpret_cast<const uint8_t*>(page.data()), page.size(), [&](const uint8_t*, uint32_t n) {
    seen = n;
    return false;
  });
  EXPECT_EQ(seen, 20u);
  DecodePageBytes(reinterpret_cast<const uint8_t*>(page.data()), 7, [&](const uint8_t*, uint32_t n) {
    seen = n;
    return false;
  });
  EXPECT_EQ(seen, 7u);
}

}  // namespace
}  // namespace pyr
