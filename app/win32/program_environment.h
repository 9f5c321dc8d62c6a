// What differs between Pyravel.exe and its sandbox build: the device platform behind the list
// and what a reboot request does. Each executable defines CreateProgramEnvironment in its own
// entry folder; everything else is the same code.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "devices/device_platform.h"

namespace pyr {

class ProgramEnvironment {
 public:
  virtual ~ProgramEnvironment() = default;
  virtual DevicePlatform& Platform() = 0;
  // Asks the system to restart with the given notice; false when the request failed.
  virtual bool RestartSystem(const char16_t* message) = 0;
  // Where a benchmark wants the start-up times, empty for a normal start. With a file the
  // program ends once its list is filled.
  virtual std::wstring StartupTimesFile() const { return {}; }
};

std::unique_ptr<ProgramEnvironment> CreateProgramEnvironment(HINSTANCE instance);

}  // namespace pyr
