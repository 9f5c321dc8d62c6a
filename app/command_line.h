// The program's arguments: with none it opens its window; otherwise they name one job that runs
// without the window (an export, a backup, an install, a removal of absent devices, a rescan).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/wide_text.h"

namespace pyr {

enum class Job { kWindow, kUsage, kExport, kBackup, kInstall, kRemoveAbsent, kRescan, kPackages, kRemovePackages };

// Exit codes of a job.
inline constexpr int kExitDone = 0;
inline constexpr int kExitSomeFailed = 1;  // some devices failed, or the log could not be written
inline constexpr int kExitNotStarted = 2;  // bad arguments, or the job could not start: nothing changed

struct CommandLine {
  Job job = Job::kWindow;
  WideText path;       // the file of /export, the folder of /backup and /install
  bool all = false;    // /all: devices not present too
  WideText className;  // /class NAME; empty: every class
  std::vector<WideText> exceptClasses;  // /except-class NAME, each time it is given
  std::optional<uint32_t> olderThanDays;  // /older-than DAYS
  bool whatIf = false;
  bool old = false;     // /old: the driver store's older versions only
  bool unused = false;  // /unused: the packages no device uses only
  WideText log;        // /log FILE; empty: none
  WideText error;      // one line; not empty when the arguments are unusable
};

// Switches are matched case-insensitively; a value never starts with "/".
CommandLine ParseCommandLine(const std::vector<WideText>& arguments);

// The text /? prints.
const char16_t* UsageText();

}  // namespace pyr
