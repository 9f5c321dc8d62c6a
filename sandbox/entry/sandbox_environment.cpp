// pyravel-sandbox.exe: the simulated PC embedded in the executable. Its driver store lives in a
// folder of its own under the user's local application data; the system's devices and folders
// are never touched, and a reboot request ends the program instead of restarting the machine.
// The network is reached only when --site URL names the site that serves the updater;
// --offline makes the sandbox behave as a computer without a connection.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/class_icon_platform.h"
#include "app/win32/program_environment.h"
#include "base/win32/wchar.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_pc.h"
#include "sandbox/simulated_platform.h"
#include "sandbox/entry/sandbox_resources.h"
#include "sandbox/win32/class_picture_icons.h"
#include "web/win32/wininet_transport.h"
#include "test_signer.h"

namespace pyr {
namespace {

std::string_view FixtureText(HINSTANCE instance) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(PYRAVEL_FIXTURE_RESOURCE), RT_RCDATA);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const char*>(data), SizeofResource(instance, found)};
}

// "<local application data>\Pyravel Sandbox", created if need be; empty when there is none.
std::wstring SandboxFolder() {
  PWSTR base = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &base))) {
    folder = std::wstring(base) + L"\\Pyravel Sandbox";
  }
  CoTaskMemFree(base);
  if (!folder.empty()) CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// The program's arguments after its own name.
std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; args != nullptr && i < count; ++i) arguments.emplace_back(args[i]);
  LocalFree(args);
  return arguments;
}

// The value given as "OPTION VALUE" on the command line, if any; the last one counts.
std::optional<std::wstring> OptionValue(const wchar_t* option) {
  const std::vector<std::wstring> args = Arguments();
  std::optional<std::wstring> value;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == option) value = args[i + 1];
  }
  return value;
}

bool HasOption(const wchar_t* option) {
  const std::vector<std::wstring> args = Arguments();
  return std::find(args.begin(), args.end(), option) != args.end();
}

// The PC of the file given with --pc, or the embedded one. A fixture that cannot be read is
// reported once, naming the file and the place of the fault, and the program runs on an empty PC.
SimulatedPc LoadPc(HINSTANCE instance) {
  SimulatedPc pc;
  std::string error;
  const std::optional<std::wstring> file = OptionValue(L"--pc");
  const bool loaded = file ? LoadSimulatedPcFile(std::filesystem::path(*file), &pc, &error)
                           : ParseSimulatedPc(FixtureText(instance), &pc, &error);
  if (!loaded) {
    const WideText text = Concat({u"The simulated PC could not be read.\r\n\r\n",
                                  WideText::FromUtf8(error.c_str(), error.size())});
    MessageBoxW(nullptr, W(text), L"Pyravel", MB_OK | MB_ICONERROR);
    pc = SimulatedPc();
  }
  return pc;
}

std::vector<Guid> ClassGuids(const SimulatedPc& pc) {
  std::vector<Guid> guids;
  for (const SimulatedClass& c : pc.classes) guids.push_back(c.guid);
  return guids;
}

struct SandboxOptions {
  std::u16string site;  // without a trailing slash; empty: no network at all
  bool offline = false;
};

SandboxOptions ReadOptions() {
  SandboxOptions options;
  options.site = U(OptionValue(L"--site").value_or(std::wstring()).c_str());
  while (!options.site.empty() && options.site.back() == u'/') options.site.pop_back();
  options.offline = HasOption(L"--offline");
  return options;
}

// The real transport, or one that reports no connection.
class SandboxTransport : public WinInetTransport {
 public:
  explicit SandboxTransport(bool offline) : offline_(offline) {}
  bool IsConnected() override { return !offline_ && WinInetTransport::IsConnected(); }

 private:
  bool offline_;
};

// The simulated platform with what the sandbox shows instead of the system's own windows, and
// driver packages that are folders of real files. Its class pictures are its own resources.
class SandboxPlatform : public ClassIconPlatform {
 public:
  SandboxPlatform(HINSTANCE instance, SimulatedPlatform& simulated, std::vector<Guid> classes)
      : ClassIconPlatform(simulated, std::move(classes),
                          [instance, &simulated](const Guid& classGuid, int size) {
                            return LoadClassPicture(instance, simulated.Pc(), classGuid, size);
                          }),
        simulated_(simulated) {}

  // The system's update wizard cannot run here: a small stand-in names the device, and its OK
  // counts as an updated driver.
  bool ShowUpdateDevice(WindowHandle parent, DeviceSet set, const DeviceInfo& device, uint32_t flags,
                        bool* needsReboot, uint32_t* error) override {
    const WideText name = PropertyReader(simulated_).ReadFirst(set, device, devpkey::kName);
    const WideText text = Concat({u"Update Driver Software - ", name,
                                  u"\r\n\r\nThe sandbox stands in for the system's update wizard here. "
                                  u"OK counts as an updated driver, Cancel as none."});
    const int answer = MessageBoxW(reinterpret_cast<HWND>(parent.value), W(text),
                                   L"Update Driver Software", MB_OKCANCEL | MB_ICONINFORMATION);
    simulated_.SetUpdateWizardResult(answer == IDOK);
    return ClassIconPlatform::ShowUpdateDevice(parent, set, device, flags, needsReboot, error);
  }

 private:
  SimulatedPlatform& simulated_;
};

class SandboxEnvironment : public ProgramEnvironment {
 public:
  explicit SandboxEnvironment(HINSTANCE instance)
      : simulated_(LoadPc(instance)),
        platform_(instance, simulated_, ClassGuids(simulated_.Pc())),
        options_(ReadOptions()),
        transport_(options_.offline) {
    const std::wstring folder = SandboxFolder();
    if (!folder.empty()) {
      const std::wstring store = folder + L"\\DriverStore";
      CreateDirectoryW(store.c_str(), nullptr);
      simulated_.SetDriverStoreRoot(WideText(U(store.c_str())));
      // The packages are real files, written once at the first start.
      WriteDriverStoreFiles(simulated_.Pc(), WideText(U(store.c_str())));
      const std::wstring programData = folder + L"\\ProgramData";
      if (CreateDirectoryW(programData.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        programData_ = U(programData.c_str());
      }
    }
  }

  DevicePlatform& Platform() override { return platform_; }
  // The simulated PC has nothing to restart; the program ends as it would before a reboot.
  bool RestartSystem(const char16_t*) override { return true; }
  DownloadTransport& Transport() override { return transport_; }
  std::u16string MakerSite() const override { return options_.site; }
  // The updater a --site serves is signed by the build's test certificate, trusted here alone.
  SignaturePolicy UpdaterSigner() const override { return {kTestSigner, kTestSignerCountry, kTestSignerSha1}; }
  const char16_t* StartDevicePairingWizard() override {
    return u"The sandbox has no device pairing wizard: \"Add a device\" starts nothing here. On a real "
           u"PC it starts the system's wizard for adding a Bluetooth or network device.";
  }
  // The simulated PC's %ProgramData% is a folder of the sandbox's own.
  std::u16string ProgramDataFolder() const override { return programData_; }
  std::wstring StartupTimesFile() const override {
    return OptionValue(L"--startup-times").value_or(std::wstring());
  }
  // The sandbox's own options (--pc, --site, --startup-times with their values, --offline) are
  // not a job's.
  std::vector<WideText> JobArguments() const override {
    std::vector<WideText> job;
    const std::vector<std::wstring> args = Arguments();
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == L"--pc" || args[i] == L"--site" || args[i] == L"--startup-times") {
        ++i;
      } else if (args[i] != L"--offline") {
        job.emplace_back(U(args[i].c_str()));
      }
    }
    return job;
  }

 private:
  SimulatedPlatform simulated_;
  SandboxPlatform platform_;
  SandboxOptions options_;
  SandboxTransport transport_;
  std::u16string programData_;
};

}  // namespace

std::unique_ptr<ProgramEnvironment> CreateProgramEnvironment(HINSTANCE instance) {
  return std::make_unique<SandboxEnvironment>(instance);
}

}  // namespace pyr
