// The progress ring of the operation dialog: a percentage drawn into a picture control, or an
// arc spun by a thread of its own so it keeps turning while the UI thread is blocked in a device
// call. The ring also mirrors its state on the taskbar button when the system offers that.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "base/colours.h"
#include "ui/dialogs/win32/taskbar_progress.h"

namespace pyr {

class ProgressRing {
 public:
  enum Mode : int32_t { kModeNone = 0, kModePercent = 1, kModeSpin = 2 };

  ProgressRing() = default;
  ~ProgressRing();
  ProgressRing(const ProgressRing&) = delete;
  ProgressRing& operator=(const ProgressRing&) = delete;

  // Takes over a picture control (its client width is the ring's side) and draws 0 percent.
  // topLevel is the window whose taskbar button shows the progress.
  void Attach(HWND control, HWND topLevel, Argb arc, Argb text, Argb background);
  // Applies a progress value: >= 0 percent, -1 nothing, <= -2 spin at speed min(-value, 100).
  void Apply(int32_t value);
  // Lets the spinner end on its next frame and clears the taskbar progress.
  void Stop();
  // The control changed size (its window moved to a monitor of another scale): the ring is drawn
  // again at the new side, as it was.
  void Refit();

  Mode CurrentMode() const { return mode_; }
  // The percentage shown, or the stored spin value (-speed, at least -100).
  int32_t Value() const { return value_; }
  int32_t Side() const { return side_; }
  bool SpinnerRunning() const { return spinner_.joinable(); }

  // Replaces the taskbar link (tests watch what it is told); without one the system's is
  // created on the first Attach.
  void SetTaskbar(std::unique_ptr<TaskbarProgress> taskbar);

 private:
  struct SpinnerSettings {
    HWND control = nullptr;
    Argb colour = 0;
    ColourRef background = 0;
    int32_t side = 0;
    int32_t speed = 0;
  };
  void ShowPercent(int32_t value);
  void Spin(int32_t value);
  void EndSpinner();
  void Taskbar(TaskbarProgress::State state);
  static void SpinLoop(SpinnerSettings settings, std::atomic<bool>* stop);

  HWND control_ = nullptr;
  HWND topLevel_ = nullptr;
  Mode mode_ = kModeNone;
  int32_t value_ = 0;
  int32_t lastPercentRequest_ = -1;
  int32_t side_ = 0;
  Argb arc_ = 0xFF000000;
  Argb text_ = 0xFF000000;
  Argb background_ = 0xFFFFFFFF;
  std::atomic<bool> stop_{false};
  std::thread spinner_;
  std::unique_ptr<TaskbarProgress> taskbar_;
  bool taskbarTried_ = false;
};

}  // namespace pyr
