#include "ui/win32/wake_thread.h"

namespace pyr {

namespace {

DWORD WINAPI WakeWindow(void* param) {
  HWND hwnd = static_cast<HWND>(param);
  while (IsWindow(hwnd)) {
    PostMessageW(hwnd, WM_NULL, 0, 0);
    Sleep(20);
  }
  return 0;
}

}  // namespace

bool WakeThread::Running() const {
  return thread_ && WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT;
}

bool WakeThread::Start(HWND hwnd) {
  if (!hwnd) return false;
  if (Running()) return true;
  thread_.Reset(CreateThread(nullptr, 0, WakeWindow, hwnd, 0, nullptr));
  return thread_.Valid();
}

void WakeThread::Join() {
  if (thread_) WaitForSingleObject(thread_.Get(), 1000);
  thread_.Reset();
}

}  // namespace pyr
