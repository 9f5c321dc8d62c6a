// What differs between Pyravel.exe and its sandbox build: the device platform behind the list
// and what a reboot request does. Each executable defines CreateProgramEnvironment in its own
// entry folder; everything else is the same code.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "devices/device_platform.h"
#include "web/download_transport.h"
#include "web/program_signature.h"
#include "web/site_addresses.h"

namespace pyr {

class ProgramEnvironment {
 public:
  virtual ~ProgramEnvironment() = default;
  virtual DevicePlatform& Platform() = 0;
  // Asks the system to restart with the given notice; false when the request failed.
  virtual bool RestartSystem(const char16_t* message) = 0;

  // --- Companion updater ---
  virtual DownloadTransport& Transport() = 0;
  // The maker's site the updater is fetched from; empty when none is set.
  virtual std::u16string MakerSite() const = 0;
  // Whose signature an updater must carry to be started: the maker's, through the system's roots.
  virtual SignaturePolicy UpdaterSigner() const { return {kMakerOrganization, kMakerCountry, {}}; }
  // "Add a device": starts the system's pairing wizard without waiting and without reporting a
  // failure. Where there is no wizard to start, returns the message to show instead.
  virtual const char16_t* StartDevicePairingWizard() = 0;
  // %ProgramData%, where the copies of removed driver packages are kept; empty when unknown.
  virtual std::u16string ProgramDataFolder() const = 0;
  // Where a benchmark wants the start-up times, empty for a normal start. With a file the
  // program ends once its list is filled.
  virtual std::wstring StartupTimesFile() const { return {}; }
  // The arguments that name a command-line job: the program's own, less those the environment
  // takes for itself.
  virtual std::vector<WideText> JobArguments() const;
};

std::unique_ptr<ProgramEnvironment> CreateProgramEnvironment(HINSTANCE instance);

}  // namespace pyr
