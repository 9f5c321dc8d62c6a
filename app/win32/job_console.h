// Where a command-line job writes: the console the program was started from (or the handle its
// output was redirected to); the log is JobLines'.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/command_line_jobs.h"
#include "base/win32/owners.h"

namespace pyr {

class JobConsole : public JobLines {
 public:
  JobConsole();

 protected:
  void Show(const WideText& line, const std::string& utf8) override;

 private:
  HANDLE output_ = nullptr;  // the process's standard output or screen_, or null
  FileOwner screen_;
  bool isConsole_ = false;
};

// The program's arguments after its own name.
std::vector<WideText> ProgramArguments();

// The path made absolute against the current folder, as the system would read it; nothing is
// resolved (no link is followed). Empty stays empty.
WideText AbsolutePath(const WideText& path);

// Runs the job of line on the platform; returns the exit code.
int RunJobWithConsole(CommandLine line, DevicePlatform& platform, DownloadTransport& transport,
                      const WideText& programData);

}  // namespace pyr
