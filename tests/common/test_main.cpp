// One main for both test binaries: a run that executes no test is a failure, not a pass.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  if (!GTEST_FLAG_GET(list_tests) && unit.test_to_run_count() == 0) {
    std::fprintf(stderr, "no test was executed: failing the run\n");
    return 1;
  }
  return rc;
}
