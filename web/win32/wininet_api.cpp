#include "web/win32/wininet_api.h"

#include "base/win32/system_library.h"

namespace pyr {

namespace {

struct LoadedWinInet {
  SystemLibrary library{L"wininet.dll"};
  WinInetApi api;
  bool complete = false;

  LoadedWinInet() {
    if (!library) return;
    complete = Get(api.InternetOpenW, "InternetOpenW") &&
               Get(api.InternetSetOptionW, "InternetSetOptionW") &&
               Get(api.InternetQueryOptionW, "InternetQueryOptionW") &&
               Get(api.InternetOpenUrlW, "InternetOpenUrlW") && Get(api.HttpQueryInfoW, "HttpQueryInfoW") &&
               Get(api.InternetCrackUrlW, "InternetCrackUrlW") &&
               Get(api.InternetConnectW, "InternetConnectW") && Get(api.FtpOpenFileW, "FtpOpenFileW") &&
               Get(api.FtpGetFileSize, "FtpGetFileSize") &&
               Get(api.InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
               Get(api.InternetReadFile, "InternetReadFile") &&
               Get(api.InternetCloseHandle, "InternetCloseHandle") &&
               Get(api.InternetGetConnectedState, "InternetGetConnectedState");
  }

  template <typename Fn>
  bool Get(Fn& slot, const char* name) {
    slot = library.GetProc<Fn>(name);
    return slot != nullptr;
  }
};

}  // namespace

const WinInetApi* WinInet() {
  static const LoadedWinInet loaded;
  return loaded.complete ? &loaded.api : nullptr;
}

}  // namespace pyr
