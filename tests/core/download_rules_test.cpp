#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_bytes.h"
#include "web/download_rules.h"
#include "web/program_image.h"
#include "web/program_signature.h"

namespace pyr {
namespace {

TEST(DownloadRules, ChunkSizeFollowsTheTotal) {
  struct Case {
    uint64_t total;
    uint32_t chunk;
    uint64_t countedTotal;
  } cases[] = {{0, 100000, 1048576},  // unknown: the placeholder total
               {1, 20000, 1},         {99999, 20000, 99999},       {100000, 20000, 100000},
               {499999, 99999, 499999}, {500000, 100000, 500000},   {9999999, 100000, 9999999},
               {10000000, 200000, 10000000}, {209715200, 200000, 209715200}};
  for (const Case& c : cases) {
    EXPECT_EQ(PlanChunks(c.total).chunk, c.chunk) << c.total;
    EXPECT_EQ(PlanChunks(c.total).total, c.countedTotal) << c.total;
  }
}

TEST(DownloadRules, MemoryCapacityComesFromTheKnownSizeOrTheTotalUpToTheCap) {
  struct Case {
    uint64_t known, total;
    uint32_t chunk;
    MemoryPlan expected;
  } cases[] = {{51200, 1048576, 100000, {51200, 51200, 51200}},  // a known size wins and bounds the chunk
               {0, 300, 20000, {65535, 65535, 20000}},           // small pages get a 64 KiB buffer
               {0, 1048576, 100000, {1048576, 1048576, 100000}},
               {0, 100000000, 200000, {41943040, 41943040, 200000}}};  // cut to the cap
  for (const Case& c : cases) {
    const MemoryPlan plan = PlanMemoryTransfer(c.known, c.total, c.chunk);
    EXPECT_EQ(std::vector<uint64_t>({plan.capacity, plan.total, plan.chunk}),
              std::vector<uint64_t>({c.expected.capacity, c.expected.total, c.expected.chunk}))
        << c.known << " " << c.total;
  }
}

TEST(DownloadRules, PercentAddsFourThousandthsNeverOverflowsAndStopsAtAHundred) {
  struct Case {
    uint64_t received, total;
    uint32_t percent;
  } cases[] = {{1, 3, 33}, {2, 3, 66}, {500000, 1048576, 47}, {209715200, 209715200, 100}, {0, 0, 0},
               {5000000000ull, 10000000000ull, 50},
               {1000, 9223372036854775808ull, 0},       // total * 10 wraps to 0
               {1000000, 1844674407370955162ull, 0},    // total * 10 wraps to a small number
               {3, 2, 100},                             // more than announced
               {4611686018427387904ull, 9223372036854775808ull, 50}};  // scaled, no overflow
  for (const Case& c : cases) EXPECT_EQ(DownloadPercent(c.received, c.total), c.percent) << c.received << "/" << c.total;
}

TEST(DownloadRules, ContentLengthIsDigitsOnlyAndCredible) {
  struct Case {
    const char16_t* text;
    uint64_t size;  // 0: unknown
  } cases[] = {{u"12345", 12345}, {u"0012", 12},        {u"", 0},     {u"-1", 0},
               {u"+5", 0},         {u" 5", 0},          {u"5 ", 0},   {u"1.5", 0},
               {u"0x10", 0},       {u"9223372036854775808", 0},       {u"1844674407370955162", 0},
               {u"18446744073709551616", 0},            {u"1099511627776", 1099511627776}, {u"1099511627777", 0}};
  for (const Case& c : cases) EXPECT_EQ(ParseContentLength(c.text), c.size) << WideText(c.text).ToUtf8();
  EXPECT_EQ(CredibleSize(4294967295u), 4294967295u);
  EXPECT_EQ(CredibleSize(uint64_t{1} << 41), 0u);
}

TEST(DownloadRules, ARefererShorterThanSevenCharactersSendsNoHeader) {
  EXPECT_EQ(RefererHeaders(u"abcdef"), u"");
  EXPECT_EQ(RefererHeaders(u"abcdefg"), u"Referer: abcdefg\r\n\r\n");
}

TEST(DownloadRules, PagesAreDecodedByTheirMarkOrByTheUnicodeTestOfAtMostTwentyBytes) {
  struct Case {
    std::string bytes;
    bool looksUtf16;
    std::u16string expected;
    uint32_t seen;  // bytes the Unicode test was shown; 0: not asked
  } cases[] = {{std::string("\xFF\xFE<\0m\0\xE9\0", 8), false, u"<m\u00E9", 0},
               {std::string("\xFE\xFF\0<\0m\x20\xAC", 8), false, u"<m\u20AC", 0},
               {"\xEF\xBB\xBF<m\xC3\xA9", true, u"<m\u00E9", 0}, {std::string("<\0a\0", 4), true, u"<a", 4},
               {"<a \xE2\x82\xAC>", false, u"<a \u20AC>", 7},
               {std::string(100, 'a'), false, std::u16string(100, u'a'), 20},
               {"", false, u"", 0}};
  for (const Case& c : cases) {
    uint32_t seen = 0;
    const WideText text = DecodePageBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(),
                                          [&](const uint8_t*, uint32_t n) {
                                            seen = n;
                                            return c.looksUtf16;
                                          });
    EXPECT_EQ(text.Str(), c.expected) << c.bytes;
    EXPECT_EQ(seen, c.seen) << c.bytes;
  }
}

TEST(ProgramImage, OnlyAWholeProgramOfAKnownMachinePasses) {
  using testing::ProgramBytes;
  using testing::ProgramLayout;
  const ProgramLayout amd64;
  ProgramLayout i386 = amd64, arm = amd64, mixed = amd64, noSections = amd64, farHeader = amd64, signedOne = amd64;
  i386.machine = 0x14C;
  i386.magic = 0x10B;
  arm.machine = 0xAA64;
  mixed.magic = 0x10B;  // AMD64 with a 32-bit optional header
  noSections.sections = 0;
  farHeader.peAt = 70000;  // beyond the bytes the check is given
  signedOne.certificates = 600;
  struct Case {
    const char* name;
    std::string bytes;
    size_t cut;  // bytes taken away at the end
    bool passes;
  } cases[] = {
      {"amd64", ProgramBytes(amd64), 0, true}, {"i386", ProgramBytes(i386), 0, true},
      {"signed", ProgramBytes(signedOne), 0, true},
      {"a byte short of the last section", ProgramBytes(amd64), 1, false},
      {"the first section past the end", ProgramBytes(amd64).replace(0x19E, 2, "\xFF\xFF"), 0, false},
      {"headers cut inside the directories", ProgramBytes(amd64).replace(0x94, 2, std::string(2, 0)), 0x700, false},
      {"signature cut short", ProgramBytes(signedOne), 1, false},
      {"html page", "<html><body>Down for maintenance</body></html>", 0, false},
      {"no MZ", "ZM" + ProgramBytes(amd64).substr(2), 0, false},
      {"no PE signature", ProgramBytes(amd64).replace(0x80, 2, "NE"), 0, false},
      {"arm64", ProgramBytes(arm), 0, false}, {"machine and header disagree", ProgramBytes(mixed), 0, false},
      {"no section", ProgramBytes(noSections), 0, false},
      {"headers past the checked start", ProgramBytes(farHeader), 0, false}, {"empty", "", 0, false},
  };
  for (const Case& c : cases) {
    const size_t size = c.bytes.size() - c.cut;
    EXPECT_EQ(IsCompleteProgramImage(reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                     std::min(size, kProgramHeadBytes), size), c.passes) << c.name;
  }
}

TEST(ProgramSignature, OnlyAnIntactSignatureOfTheMakerThroughATrustedRootPasses) {
  const SignaturePolicy maker{u"Tolvenor", u"DE", ""}, pinned{u"Test", u"DE", "AB12"},
      download{u"Tolvenor", u"DE", "", true};
  struct Case {
    const char* name;
    SignatureFacts facts;
    const SignaturePolicy* policy;
    bool passes;
  } cases[] = {
      {"the maker through the machine's roots", {0, 0, u"Tolvenor", u"DE", "99"}, &maker, true},
      {"revocation lists out of reach", {kTrustRevocationOffline, kTrustRevocationFailure, u"Tolvenor", u"DE", "99"},
       &maker, true},
      {"no revocation check possible", {0, kTrustNoRevocationCheck, u"Tolvenor", u"DE", "99"}, &maker, true},
      // A download is checked online: a list kept out of reach keeps the old copy.
      {"a download, lists out of reach", {0, kTrustRevocationOffline, u"Tolvenor", u"DE", "99"}, &download, false},
      {"a download, no revocation check", {kTrustNoRevocationCheck, 0, u"Tolvenor", u"DE", "99"}, &download, false},
      {"a download, all checked", {0, 0, u"Tolvenor", u"DE", "99"}, &download, true},
      {"another organization", {0, 0, u"Tolvenor Ltd", u"DE", "99"}, &maker, false},
      {"the maker's name in another country", {0, 0, u"Tolvenor", u"US", "99"}, &maker, false},
      {"no organization", {0, 0, u"", u"", "99"}, &maker, false},
      {"no signature", {0x800B0100, 0, u"", u"", ""}, &maker, false},
      {"a changed file", {0x80096010, 0, u"Tolvenor", u"DE", "99"}, &maker, false},
      {"revoked", {0x80092010, 0, u"Tolvenor", u"DE", "99"}, &maker, false},
      // A root the user added to their own store is none of the machine's.
      {"a root nobody trusts", {0, kTrustUntrustedRoot, u"Tolvenor", u"DE", "99"}, &maker, false},
      {"the pinned root", {kTrustUntrustedRoot, kTrustUntrustedRoot, u"Test", u"DE", "AB12"}, &pinned, true},
      {"another root under the pin", {kTrustUntrustedRoot, kTrustUntrustedRoot, u"Test", u"DE", "AB13"}, &pinned, false},
      {"a system root under the pin", {0, 0, u"Test", u"DE", "99"}, &pinned, false},
      {"the pinned root, another name", {0, kTrustUntrustedRoot, u"Tolvenor", u"DE", "AB12"}, &pinned, false},
      {"the pinned root, a changed file", {0x80096010, kTrustUntrustedRoot, u"Test", u"DE", "AB12"}, &pinned, false},
  };
  for (const Case& c : cases) EXPECT_EQ(SignedByMaker(c.facts, *c.policy), c.passes) << c.name;
}

}  // namespace
}  // namespace pyr
