#include <gtest/gtest.h>

#include <vector>

#include "base/os_version.h"

namespace pyr {
namespace {

// A system described by what it reports and what VerifyVersionInfoW would confirm.
struct ScriptedSystem : OsVersionProbe {
  bool hasGetVersionEx = true;
  uint32_t reportedMajor = 0, reportedMinor = 0, reportedBuild = 0;
  uint32_t realMajor = 0, realMinor = 0;
  int probes = 0;

  bool Reported(uint32_t& major, uint32_t& minor, uint32_t& build) override {
    if (!hasGetVersionEx) return false;
    major = reportedMajor, minor = reportedMinor, build = reportedBuild;
    return true;
  }
  bool MajorAtLeast(uint32_t m) override { return ++probes, realMajor >= m; }
  bool MajorEquals(uint32_t m) override { return ++probes, realMajor == m; }
  bool MinorEquals(uint32_t m) override { return ++probes, realMinor == m; }
};

TEST(OsVersion, DecisionTable) {
  struct Case {
    bool hasGetVersionEx;
    uint32_t repMajor, repMinor, build, realMajor, realMinor;
    double expected;
    bool probed;
  };
  const Case cases[] = {
      {true, 6, 1, 7601, 6, 1, 6.1, false},     // Windows 7 tells the truth
      {true, 6, 2, 9200, 10, 0, 6.2, false},    // an unmanifested program on 10 hears 6.2
      {true, 10, 0, 19045, 10, 0, 10.0, true},  // 10 is probed
      {true, 10, 0, 22000, 10, 0, 11.0, true},  // build 22000 on is 11
      {true, 10, 0, 22631, 11, 0, 11.0, true},
      {false, 0, 0, 0, 6, 3, 6.3, true},        // no GetVersionExW: probe down to the minor
      {false, 0, 0, 0, 6, 0, 6.0, true}, {false, 0, 0, 0, 5, 1, 5.1, true}, {false, 0, 0, 0, 4, 0, 0.0, true},
      {true, 0, 0, 0, 10, 0, 10.0, true},       // a zero report is no answer
  };
  for (const Case& c : cases) {
    ScriptedSystem s;
    s.hasGetVersionEx = c.hasGetVersionEx;
    s.reportedMajor = c.repMajor, s.reportedMinor = c.repMinor, s.reportedBuild = c.build;
    s.realMajor = c.realMajor, s.realMinor = c.realMinor;
    EXPECT_DOUBLE_EQ(OsVersionFrom(s), c.expected) << c.repMajor << "." << c.repMinor << " real "
                                                    << c.realMajor << "." << c.realMinor;
    EXPECT_EQ(s.probes > 0, c.probed);
  }
}

}  // namespace
}  // namespace pyr
