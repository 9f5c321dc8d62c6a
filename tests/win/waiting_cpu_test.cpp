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
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
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
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
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

class WaitingCpu : public MainWindowTest {
 protected:
  void Report(const char* state, const CpuMeter& meter) {
    ASSERT_TRUE(meter.Measured()) << state << " was never reached";
    EXPECT_TRUE(meter.HeldToTheEnd()) << state << " ended before the measurement did";
    std::printf("cpu_percent_%s %.2f\n", state, meter.Percent());
    std::fflush(stdout);
    EXPECT_LT(meter.Percent(), kLimitPercent) << state << " spins";
  }
  void PostCloseTo(const wchar_t* windowClass) {
    if (HWND w = FindWindowW(windowClass, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
  }
};

// The meter itself: a thread that never waits shows as most of a core, so a low figure below
// means waiting, not a meter that reads nothing.
TEST_F(WaitingCpu, MeterSeesASpinningThread) {
  std::atomic<bool> ended{false};
  CpuMeter meter([] { return true; }, [&] { ended = true; });
  volatile uint64_t turns = 0;
  while (!ended) turns = turns + 1;
  meter.Join();
  ASSERT_TRUE(meter.Measured());
  EXPECT_GT(meter.Percent(), 50.0);
}

TEST_F(WaitingCpu, IdleMainWindow) {
  BuildShown();
  CpuMeter meter([this] { return IsWindowVisible(window_.Handle()) != FALSE; }, [this] { PostClose(); });
  RunLoop();
  meter.Join();
  Report("idle_main_window", meter);
}

TEST_F(WaitingCpu, BoxWaitingForAnAnswer) {
  BuildShown();
  CpuMeter meter([] { return Shown(L"_WINDOW_MsgBoxClass"); },
                 [this] { PostCloseTo(L"_WINDOW_MsgBoxClass"); });
  EXPECT_EQ(main_->AskUser(u"Do you want to wait?", kMessageYesNo), kAnswerNo);
  meter.Join();
  Report("box_waiting", meter);
}

TEST_F(WaitingCpu, ResultsDialogWaitingForOk) {
  BuildShown();
  main_->List().SetRowChecked(0, true);
  BoxAnswerer yes(L"Yes");
  CpuMeter meter([] { return FinishedDialogOk() != nullptr; }, [this] {
    if (HWND ok = FinishedDialogOk()) PostMessageW(ok, BM_CLICK, 0, 0);
    Sleep(200);
    PostClose();
  });
  PostCommand(MenuId(Command::kRestart));
  RunLoop();
  meter.Join();
  Report("results_dialog_waiting", meter);
}

TEST_F(WaitingCpu, FindWindowOpen) {
  BuildShown();
  // Looked for by class: the meter's thread must not be the one that makes the window.
  CpuMeter meter([] { return Shown(L"__PyravelFindWnd__"); }, [this] { PostClose(); });
  PostCommand(MenuId(Command::kFindDevice));
  RunLoop();
  meter.Join();
  Report("find_window_open", meter);
}

TEST_F(WaitingCpu, TipShown) {
  BuildShown();
  CpuMeter meter([] { return Shown(L"_WndMsgTipClass"); }, [this] { PostClose(); });
  main_->AskUser(u"Nothing to do.||Pyravel", kMessageTip);
  RunLoop();
  meter.Join();
  Report("tip_shown", meter);
}

}  // namespace
}  // namespace pyr
