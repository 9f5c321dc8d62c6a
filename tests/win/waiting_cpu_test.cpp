// Processor use of the program while it waits for a person: the idle main window, a box waiting
// for an answer, the results dialog waiting for OK: each a loop of its own. Each must stay far
// below a tenth of a core; a pump that spins uses a whole one. The figures are printed
// as "cpu_percent_<state> <value>" lines, which `make bench` collects.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <functional>

#include "base/message_kinds.h"
#include "tests/win/main_window_fixture.h"

namespace pyr {
namespace {

constexpr double kLimitPercent = 10.0;

double Seconds(const FILETIME& t) {
  return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

// Processor time of the process.
double CpuSeconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

// What a meter on another thread saw: whether the state was reached and still held when the
// measurement ended, and the process's share of a core over two seconds in it.
struct CpuSeen {
  bool measured = false, held = false;
  double percent = 0;
};

// Waits until the state under test is reached (ready), measures, then ends the state (end); the
// test's own thread sits in the state meanwhile.
void MeasureCpu(const std::function<bool()>& ready, const std::function<void()>& end, CpuSeen* seen) {
  if (WaitFor<bool>([&] { return ready(); })) {
    Sleep(300);  // what the state's start left to do
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    Sleep(2000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    seen->percent = 100.0 * (CpuSeconds() - c0) / wall;
    seen->held = ready();
    seen->measured = true;
  }
  end();
}

HWND FinishedDialogOk() {
  HWND dialog = VisibleWindow(kResultsClass);
  return dialog ? FindWindowExW(dialog, nullptr, L"Button", L"OK") : nullptr;
}

using WaitingCpu = MainWindowTest;

// Each state: what shows it is reached, how the measurement ends it, and what puts the program
// into it (on the test's thread, which then sits in the state).
TEST_F(WaitingCpu, EveryWaitingState) {
  const struct {
    const char* name;
    std::function<bool()> ready;
    std::function<void()> end;
    std::function<void()> run;
  } states[] = {
      {"idle_main_window", [this] { return IsWindowVisible(window_.Handle()) != FALSE; },
       [this] { PostClose(); }, [this] { RunLoop(); }},
      {"box_waiting", [] { return VisibleWindow(L"_WINDOW_MsgBoxClass"); },
       [] { PostMessageW(FindWindowW(L"_WINDOW_MsgBoxClass", nullptr), WM_CLOSE, 0, 0); },
       [this] { EXPECT_EQ(main_->AskUser(u"Do you want to wait?", kMessageYesNo), kAnswerNo); }},
      // The restart's question is answered Yes by the meter's thread while it waits for the dialog.
      {"results_dialog_waiting",
       [] {
         if (HWND box = FindWindowW(L"_WINDOW_MsgBoxClass", nullptr)) {
           PostMessageW(FindWindowExW(box, nullptr, L"Button", L"Yes"), BM_CLICK, 0, 0);
         }
         return FinishedDialogOk() != nullptr;
       },
       [this] {
         PostMessageW(FinishedDialogOk(), BM_CLICK, 0, 0);
         Sleep(200);
         PostClose();
       },
       [this] {
         main_->List().SetRowChecked(0, true);
         PostCommand(MenuId(Command::kRestart));
         RunLoop();
       }},
      // Last: the view is stored and would show at the next start. Its sizes walked, the walk's
      // timer must be gone.
      {"idle_packages_view",
       [this] {
         wchar_t sums[200] = {};
         GetWindowTextW(window_.ControlHandle(main_->ControlIds().packageSums), sums, 200);
         return main_->PackagesShown() && std::wcsstr(sums, L"being read") == nullptr && sums[0] != 0;
       },
       [this] { PostClose(); },
       [this] {
         PostCommand(MenuId(Command::kShowPackages));
         RunLoop();
       }},
  };
  for (const auto& state : states) {
    BuildShown();
    CpuSeen seen;
    std::thread meter(MeasureCpu, state.ready, state.end, &seen);
    state.run();
    meter.join();
    ASSERT_TRUE(seen.measured) << state.name << " was never reached";
    EXPECT_TRUE(seen.held) << state.name << " ended before the measurement did";
    std::printf("cpu_percent_%s %.2f\n", state.name, seen.percent);
    std::fflush(stdout);
    EXPECT_LT(seen.percent, kLimitPercent) << state.name << " spins";
    main_.reset();
    window_.DestroyUiWindow();
  }
}

}  // namespace
}  // namespace pyr
