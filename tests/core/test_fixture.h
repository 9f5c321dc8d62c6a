// The simulated PC of the sandbox fixture, for tests in both binaries.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "sandbox/simulated_pc.h"

namespace pyr {

inline SimulatedPc LoadTestPc() {
  const std::string path = std::string(PYRAVEL_TEST_DATA) + "/sandbox/fixture/pc.json";
  SimulatedPc pc;
  std::string error;
  // Under Wine the Unix root is drive Z:.
  if (!LoadSimulatedPcFile(path, &pc, &error) && !LoadSimulatedPcFile("Z:" + path, &pc, &error)) {
    ADD_FAILURE() << error;
  }
  return pc;
}

}  // namespace pyr
