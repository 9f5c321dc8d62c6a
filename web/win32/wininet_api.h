// WinINet, loaded from System32 at run time: it is not one of the DLLs that Windows always takes
// from System32, and an elevated program must not import it by name.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace pyr {

struct WinInetApi {
  decltype(&::InternetOpenW) InternetOpenW = nullptr;
  decltype(&::InternetSetOptionW) InternetSetOptionW = nullptr;
  decltype(&::InternetQueryOptionW) InternetQueryOptionW = nullptr;
  decltype(&::InternetOpenUrlW) InternetOpenUrlW = nullptr;
  decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;
  decltype(&::InternetCrackUrlW) InternetCrackUrlW = nullptr;
  decltype(&::InternetConnectW) InternetConnectW = nullptr;
  decltype(&::FtpOpenFileW) FtpOpenFileW = nullptr;
  decltype(&::FtpGetFileSize) FtpGetFileSize = nullptr;
  decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
  decltype(&::InternetReadFile) InternetReadFile = nullptr;
  decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
  decltype(&::InternetGetConnectedState) InternetGetConnectedState = nullptr;
};

// The table, loaded once for the life of the process; null when wininet.dll or one of these
// exports is missing.
const WinInetApi* WinInet();

}  // namespace pyr
