// Runs the one job of a command line on a device platform, without the window: the same
// operations the window runs, their result lines and summary written to a line sink, and with
// /log the same lines to a file.
#pragma once

#include <string>

#include "app/command_line.h"
#include "devices/device_platform.h"
#include "operations/headless_host.h"
#include "web/download_transport.h"

namespace pyr {

// What a job did, for its exit code.
struct JobOutcome {
  bool started = true;     // false: refused before any change, or the job could not start
  bool changed = false;    // it changed something: a device, the driver store, a file it wrote
  bool someFailed = false; // a device or package it reported on failed
  bool logWritten = true;
};

// kExitNotStarted only when the job did not run and changed nothing; kExitSomeFailed when a
// device failed, the log could not be written, or a job that had changed something then stopped;
// else kExitDone.
int ExitCodeOf(const JobOutcome& outcome);

// Where a job's lines go: each made printable (no control character or escape sequence from a
// device name reaches the console) and kept, as UTF-8, for the log.
class JobLines : public LineSink {
 public:
  void WriteLine(const WideText& line) final;
  const std::string& Log() const { return log_; }

 protected:
  // The line with its CR LF, as UTF-16 and as UTF-8.
  virtual void Show(const WideText& line, const std::string& utf8) = 0;

 private:
  std::string log_;
};

// Paths are used as given: the caller makes them absolute. An unusable path is one line and
// kExitNotStarted, before any change.
// programData is where copies of removed driver packages go.
JobOutcome RunCommandLineJob(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport,
                             LineSink& out, const WideText& programData = {});

// The job, then its log; returns the exit code. A log whose place is unusable stops the job
// before it starts; a log that cannot be written afterwards is one more line and code 1.
int RunJobWithLog(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport, JobLines& out,
                  const WideText& programData = {});

}  // namespace pyr
