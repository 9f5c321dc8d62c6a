#include "app/command_line_jobs.h"

#include "base/file_system.h"
#include "devices/list_export.h"
#include "devices/list_presentation.h"
#include "driverstore/backup_rules.h"
#include "operations/driver_backup.h"
#include "operations/hardware_scan.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/uninstall_commands.h"

namespace pyr {

namespace {

int Refused(LineSink& out, std::initializer_list<TextPiece> message) {
  out.WriteLine(Concat(message));
  return kExitNotStarted;
}

// Every device the job reported on either succeeded or failed.
int ExitCodeFor(const HeadlessHost& host, int succeeded) {
  if (host.NotStarted()) return kExitNotStarted;
  return host.ResultLines() > succeeded ? kExitSomeFailed : kExitDone;
}

int Export(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  if (!host.RebuildInventory()) return kExitNotStarted;
  const std::vector<ExportRow> rows =
      ReadExportRows(host.Platform(), host.InventorySet(), host.Rows(), RowsInShownOrder(host.Rows()));
  if (!ReplaceWholeFile(line.path, FormatExport(ExportFormatOf(line.path.View()), rows, false))) {
    return Refused(out, {u"The list could not be written to ", line.path});
  }
  out.WriteLine(Concat({WideText::FromUInt64(rows.size()), rows.size() == 1 ? u" device" : u" devices",
                        u" exported to ", line.path}));
  return kExitDone;
}

int RunJob(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  switch (line.job) {
    case Job::kWindow:
    case Job::kUsage:
      out.WriteLine(UsageText());
      return kExitDone;
    case Job::kExport:
      return Export(line, host, out);
    case Job::kBackup: {
      // The folder is made if missing; a file in its place is no folder to back up into.
      if (PathTaken(line.path) && !IsFolderPath(line.path)) {
        return Refused(out, {u"Not a folder: ", line.path});
      }
      const int count = BackupAllDevices(host, line.all ? uint32_t{kBackupIncludeNotPresent} : 0u);
      return ExitCodeFor(host, count);
    }
    case Job::kInstall: {
      if (!IsFolderPath(line.path)) return Refused(out, {u"No such folder: ", line.path});
      InstallDriversFromFolder(host);
      return ExitCodeFor(host, 0);
    }
    case Job::kRemoveAbsent: {
      const int count = UninstallAllNotPresent(host, NotPresentScope{line.className, line.whatIf});
      return ExitCodeFor(host, count);
    }
    case Job::kRescan:
      out.WriteLine(kScanningText);
      if (!ScanHardware(host, kCmReenumerateNormal, true)) {
        return Refused(out, {u"The system did not accept the hardware scan."});
      }
      out.WriteLine(u"The hardware scan is complete.");
      return kExitDone;
  }
  return kExitNotStarted;
}

}  // namespace

int RunCommandLineJob(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport,
                      LineSink& out) {
  if (!line.error.Empty()) return Refused(out, {line.error});
  const uint32_t listFlags = line.all || line.job == Job::kRemoveAbsent ? kListShowNotPresent : 0;
  HeadlessHost host(platform, transport, out, listFlags, line.path);
  const int code = RunJob(line, host, out);
  if (host.RebootNeeded()) out.WriteLine(u"Windows must restart to finish the job.");
  return code;
}

}  // namespace pyr
