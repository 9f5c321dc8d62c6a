// Processor use of the program while it waits for a person: the idle main window, a box waiting
// for an answer, the results dialog waiting for OK, the find window open, a tip shown. Each must
// stay far below a tenth of a core; a pump that spins uses a whole one. The figures are printed
// as "cpu_percent_<state> <value>" lines, which `make bench` collects.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>

#include "base/message_kinds.h"
#include "tests/win/main_window_fixture.h"

namespace pyr {
namespace {

constexpr double kLimitPercent = 10.0;

double ProcessCpuSeconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// From another thread: waits until the state under test is reached (ready), measures the
// process's processor time over two seconds, then ends the state (end). The test's own thread
// sits in the state meanwhile.
class CpuMeter {
 public:
  CpuMeter(std::function<bool()> ready, std::function<void()> end)
      : ready_(std::move(ready)), end_(std::move(end)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~CpuMeter() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool Measured() const { return measured_; }
  // Whether the state still held when the measurement ended.
  bool HeldToTheEnd() const { return held_; }
  double Percent() const { return percent_; }

 private:
  void Run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready_() && std::chrono::steady_clock::now() < deadline) Sleep(20);
    if (ready_()) {
      Sleep(300);  // what the state's start left to do
      const auto t0 = std::chrono::steady_clock::now();
      const double c0 = ProcessCpuSeconds();
      Sleep(2000);
      const double c1 = ProcessCpuSeconds();
      const double wall =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      percent_ = 100.0 * (c1 - c0) / wall;
      held_ = ready_();
      measured_ = true;
    }
    end_();
  }

  std::function<bool()> ready_;
  std::function<void()> end_;
  std::atomic<bool> measured_{false};
  std::atomic<bool> held_{false};
  double percent_ = 0;
  std::thread thread_;
};

bool Shown(const wchar_t* windowClass) {
  HWND w = FindWindowW(windowClass, nullptr);
  return w != nullptr && IsWindowVisible(w);
}

HWND FinishedDialogOk() {
  HWND dialog = FindWindowW(L"_WND_PROGRESS_DLG_", nullptr);
  if (dialog == nullptr || !IsWindowVisible(dialog)) return nullptr;
  return FindWindowExW(dialog, nullptr, L"Button", L"OK");
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
      {"box_waiting", [] { return Shown(L"_WINDOW_MsgBoxClass"); },
       [] { PostMessageW(FindWindowW(L"_WINDOW_MsgBoxClass", nullptr), WM_CLOSE, 0, 0); },
       [this] { EXPECT_EQ(main_->AskUser(u"Do you want to wait?", kMessageYesNo), kAnswerNo); }},
      {"results_dialog_waiting", [] { return FinishedDialogOk() != nullptr; },
       [this] {
         PostMessageW(FinishedDialogOk(), BM_CLICK, 0, 0);
         Sleep(200);
         PostClose();
       },
       [this] {
         main_->List().SetRowChecked(0, true);
         const BoxAnswerer yes(L"Yes");
         PostCommand(MenuId(Command::kRestart));
         RunLoop();
       }},
      // Looked for by class: the meter's thread must not be the one that makes the window.
      {"find_window_open", [] { return Shown(L"__PyravelFindWnd__"); }, [this] { PostClose(); },
       [this] {
         PostCommand(MenuId(Command::kFindDevice));
         RunLoop();
       }},
      {"tip_shown", [] { return Shown(L"_WndMsgTipClass"); }, [this] { PostClose(); },
       [this] {
         main_->AskUser(u"Nothing to do.||Pyravel", kMessageTip);
         RunLoop();
       }},
  };
  // The meter reads the processor time this process uses: spinning here shows in it.
  const double spun = ProcessCpuSeconds();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (ProcessCpuSeconds() - spun < 0.05 && std::chrono::steady_clock::now() < deadline) {
  }
  ASSERT_GE(ProcessCpuSeconds() - spun, 0.05) << "the meter sees no processor time";
  for (const auto& state : states) {
    BuildShown();
    CpuMeter meter(state.ready, state.end);
    state.run();
    meter.Join();
    ASSERT_TRUE(meter.Measured()) << state.name << " was never reached";
    EXPECT_TRUE(meter.HeldToTheEnd()) << state.name << " ended before the measurement did";
    std::printf("cpu_percent_%s %.2f\n", state.name, meter.Percent());
    std::fflush(stdout);
    EXPECT_LT(meter.Percent(), kLimitPercent) << state.name << " spins";
    main_.reset();
    window_.DestroyUiWindow();
  }
}

}  // namespace
}  // namespace pyr
