// Pyravel.exe: the system's own devices through SetupAPI, and a real restart.
#include "app/win32/program_environment.h"
#include "app/win32/system_restart.h"
#include "base/win32/process.h"
#include "base/win32/system_folder.h"
#include "devices/win32/setupapi_platform.h"
#include "web/site_addresses.h"
#include "web/win32/wininet_transport.h"

namespace pyr {
namespace {

class SystemEnvironment : public ProgramEnvironment {
 public:
  DevicePlatform& Platform() override { return platform_; }
  bool RestartSystem(const char16_t* message) override { return RequestSystemRestart(message); }
  DownloadTransport& Transport() override { return transport_; }
  std::u16string MakerSite() const override { return kMakerSite; }
  std::u16string ProgramDataFolder() const override { return ProgramDataPath().Str(); }
  const char16_t* StartDevicePairingWizard() override {
    // In the program's own folder, without the privileges the program enabled for itself.
    LaunchProcess(Concat({SystemFolder(), u"\\DevicePairingWizard.exe"}), {}, ModuleFolder(nullptr), SW_SHOW,
                  kWithoutProgramPrivileges);
    return nullptr;
  }

 private:
  SetupApiPlatform platform_;
  WinInetTransport transport_;
};

}  // namespace

std::unique_ptr<ProgramEnvironment> CreateProgramEnvironment(HINSTANCE) {
  return std::make_unique<SystemEnvironment>();
}

}  // namespace pyr
