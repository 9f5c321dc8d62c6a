// pyravel-sandbox.exe: the simulated PC embedded in the executable. Its driver store lives in a
// folder of its own under the user's local application data; the system's devices and folders
// are never touched, and a reboot request ends the program instead of restarting the machine.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <filesystem>
#include <optional>
#include <string>

#include "app/win32/class_icon_platform.h"
#include "app/win32/program_environment.h"
#include "base/win32/wchar.h"
#include "sandbox/simulated_pc.h"
#include "sandbox/simulated_platform.h"
#include "sandbox/entry/sandbox_resources.h"

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

// The value given as "OPTION VALUE" on the command line, if any.
std::optional<std::wstring> OptionValue(const wchar_t* option) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::optional<std::wstring> value;
  for (int i = 1; args != nullptr && i + 1 < count; ++i) {
    if (std::wcscmp(args[i], option) == 0) value = args[i + 1];
  }
  LocalFree(args);
  return value;
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

class SandboxEnvironment : public ProgramEnvironment {
 public:
  explicit SandboxEnvironment(HINSTANCE instance)
      : simulated_(LoadPc(instance)), platform_(simulated_, ClassGuids(simulated_.Pc())) {
    const std::wstring folder = SandboxFolder();
    if (!folder.empty()) {
      const std::wstring store = folder + L"\\DriverStore";
      CreateDirectoryW(store.c_str(), nullptr);
      simulated_.SetDriverStoreRoot(WideText(U(store.c_str())));
    }
  }

  DevicePlatform& Platform() override { return platform_; }
  // The simulated PC has nothing to restart; the program ends as it would before a reboot.
  bool RestartSystem(const char16_t*) override { return true; }
  std::wstring StartupTimesFile() const override {
    return OptionValue(L"--startup-times").value_or(std::wstring());
  }

 private:
  SimulatedPlatform simulated_;
  ClassIconPlatform platform_;
};

}  // namespace

std::unique_ptr<ProgramEnvironment> CreateProgramEnvironment(HINSTANCE instance) {
  return std::make_unique<SandboxEnvironment>(instance);
}

}  // namespace pyr
