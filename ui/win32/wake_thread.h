// A thread that posts WM_NULL to a window every 20 ms for as long as the window exists, so a pump
// waiting in GetMessage wakes up regularly during long operations.
#pragma once

#include <windows.h>

#include "base/win32/owners.h"

namespace pyr {

class WakeThread {
 public:
  // Starts the thread for hwnd unless one is still running; false when it could not start.
  bool Start(HWND hwnd);
  // Waits a little for the thread, which ends by itself once the window is gone.
  void Join();
  bool Running() const;

 private:
  HandleOwner thread_;
};

}  // namespace pyr
