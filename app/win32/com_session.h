// COM for the life of the program's main thread (shell dialogs, the taskbar progress).
#pragma once

#include <objbase.h>

namespace pyr {

class ComSession {
 public:
  // The result is not needed: a thread where COM is already up simply adds a reference.
  ComSession() { result_ = CoInitialize(nullptr); }
  ~ComSession() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  HRESULT result_ = E_FAIL;
};

}  // namespace pyr
