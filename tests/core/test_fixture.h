// The simulated PCs of the sandbox's fixtures (pc.json, real_pc.json), for tests in both binaries.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/device_inventory.h"
#include "sandbox/simulated_pc.h"

namespace pyr {

inline SimulatedPc LoadTestPc(const char* fixture = "pc.json") {
  const std::string path = std::string(PYRAVEL_TEST_DATA) + "/sandbox/fixture/" + fixture;
  SimulatedPc pc;
  std::string error;
  // Under Wine the Unix root is drive Z:.
  if (!LoadSimulatedPcFile(path, &pc, &error) && !LoadSimulatedPcFile("Z:" + path, &pc, &error)) {
    ADD_FAILURE() << error;
  }
  return pc;
}

// The window's side of a list build: what it was told.
class RecordingInventoryHost : public InventoryHost {
 public:
  void ShowMessage(const WideText& text) override { messages.push_back(text.ToUtf8()); }
  void ApplyCommandAvailability(const CommandAvailability& commands) override { applied = commands; }
  std::vector<std::string> messages;
  CommandAvailability applied;
};

}  // namespace pyr
