// The program's entry point, shared by Pyravel.exe and its sandbox build.
#include <windows.h>

#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/win32/com_session.h"
#include "app/win32/job_console.h"
#include "app/win32/main_window.h"
#include "app/win32/program_environment.h"
#include "app/win32/startup_times.h"
#include "base/win32/system_library.h"
#include "ui/draw/win32/gdiplus_session.h"
#include "ui/win32/ui_window.h"

namespace {

// RedirectionGuard (Windows 10 22H2, Windows 11): no junction a non-administrator made is
// followed. Looked up by name, since earlier systems lack the call (before Windows 8) or the
// policy (they refuse it, which changes nothing: the program's own checks hold there too).
void TurnOnRedirectionGuard() {
  struct RedirectionTrustPolicy {  // PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY
    DWORD flags;
  };
  constexpr int kProcessRedirectionTrustPolicy = 16;
  constexpr DWORD kEnforceRedirectionTrust = 0x1;
  using SetPolicy = BOOL(WINAPI*)(int, PVOID, SIZE_T);
  const auto set = reinterpret_cast<SetPolicy>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")));
  RedirectionTrustPolicy policy{kEnforceRedirectionTrust};
  if (set) set(kProcessRedirectionTrustPolicy, &policy, sizeof policy);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace pyr;
  StartupTimes times;
  times.Mark("entry");
  // Before anything can load a DLL: only System32 is searched, never the program's folder.
  RestrictDllSearchToSystem32();
  TurnOnRedirectionGuard();
  // COM and GDI+ stop before the main window's UiWindow goes, which outlives everything else.
  std::optional<ComSession> com(std::in_place);
  std::optional<GdiplusSession> gdiplus(std::in_place);
  times.Mark("com_gdiplus");
  UiWindow window;
  {
    const std::unique_ptr<ProgramEnvironment> environment = CreateProgramEnvironment(instance);
    // With arguments the program runs one job without its window and ends with the job's code.
    const CommandLine line = ParseCommandLine(environment->JobArguments());
    if (line.job != Job::kWindow || !line.error.Empty()) {
      return RunJobWithConsole(line, environment->Platform(), environment->Transport(),
                               WideText(environment->ProgramDataFolder()));
    }
    times.SetFile(environment->StartupTimesFile());
    times.Mark("environment");
    auto main = std::make_unique<MainWindow>(*environment);
    times.Mark("main_window_object");
    if (window.CreateUiWindow(u"__PyravelClass__", u"Pyravel", 750, 550, -1, -1,
                              WS_OVERLAPPEDWINDOW, DWORD(-1), nullptr) != nullptr) {
      times.Mark("window_created");
      main->Run(instance, window, times);
    }
  }
  gdiplus.reset();
  com.reset();
  window.DestroyUiWindow();
  return 0;
}
