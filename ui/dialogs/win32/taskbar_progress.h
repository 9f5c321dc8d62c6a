// Progress on the program's taskbar button. The system interface may be missing (older systems,
// compatibility layers); the ring then simply works without it.
#pragma once

#include <windows.h>

#include <memory>

namespace pyr {

class TaskbarProgress {
 public:
  enum class State { kNone, kIndeterminate, kNormal };
  virtual ~TaskbarProgress() = default;
  virtual void SetState(HWND window, State state) = 0;
  virtual void SetValue(HWND window, unsigned long long done, unsigned long long total) = 0;
};

// ITaskbarList3 through ITaskbarList and ITaskbarList2; null when any step fails.
// COM must be initialised on the calling thread.
std::unique_ptr<TaskbarProgress> CreateSystemTaskbarProgress();

}  // namespace pyr
