// Where a command-line job writes: the console the program was started from (or the handle its
// output was redirected to), and with /log a UTF-8 file written once the job has ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "base/win32/owners.h"
#include "operations/headless_host.h"

namespace pyr {

class JobConsole : public LineSink {
 public:
  JobConsole();
  void WriteLine(const WideText& line) override;
  // Writes the log file, when one was asked for; false when it could not be written.
  bool SaveLog(const WideText& path) const;

 private:
  HANDLE output_ = nullptr;  // the process's standard output or screen_, or null
  FileOwner screen_;
  bool isConsole_ = false;
  std::string log_;
};

// The program's arguments after its own name.
std::vector<WideText> ProgramArguments();

// The path made absolute against the current folder, as the system would read it; nothing is
// resolved (no link is followed). Empty stays empty.
WideText AbsolutePath(const WideText& path);

// Runs the job of line on the platform; returns the exit code.
int RunJobWithConsole(CommandLine line, DevicePlatform& platform, DownloadTransport& transport);

}  // namespace pyr
