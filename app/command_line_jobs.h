// Runs the one job of a command line on a device platform, without the window: the same
// operations the window runs, their result lines and summary written to a line sink.
#pragma once

#include "app/command_line.h"
#include "devices/device_platform.h"
#include "operations/headless_host.h"
#include "web/download_transport.h"

namespace pyr {

// Returns the exit code (kExitDone, kExitSomeFailed, kExitNotStarted). Paths are used as given:
// the caller makes them absolute. An unusable path is one line and kExitNotStarted, before any
// change.
int RunCommandLineJob(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport,
                      LineSink& out);

}  // namespace pyr
