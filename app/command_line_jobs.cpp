#include "app/command_line_jobs.h"

#include <algorithm>

#include "base/date_time_text.h"
#include "base/file_system.h"
#include "base/printable_text.h"
#include "base/text_list.h"
#include "devices/list_export.h"
#include "devices/list_presentation.h"
#include "driverstore/backup_rules.h"
#include "driverstore/package_columns.h"
#include "operations/driver_backup.h"
#include "operations/hardware_scan.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/store_package_removal.h"
#include "operations/uninstall_commands.h"

namespace pyr {

namespace {

constexpr JobOutcome kRefused{.started = false};

JobOutcome Refused(LineSink& out, std::initializer_list<TextPiece> message) {
  out.WriteLine(Concat(message));
  return kRefused;
}

// Every device the job reported on either succeeded or failed; done of them changed something.
JobOutcome OutcomeOf(const HeadlessHost& host, int succeeded, bool changed) {
  return {.started = !host.NotStarted(), .changed = changed, .someFailed = host.ResultLines() > succeeded};
}

JobOutcome Export(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  if (!host.RebuildInventory()) return kRefused;
  const std::vector<ExportRow> rows =
      ReadExportRows(host.Platform(), host.InventorySet(), host.Rows(), RowsInShownOrder(host.Rows()));
  // A file that could not be replaced is as it was: nothing changed.
  if (!ReplaceWholeFile(line.path, FormatExport(ExportFormatOf(line.path.View()), rows, false))) {
    return Refused(out, {u"The list could not be written to ", line.path});
  }
  out.WriteLine(Concat({WideText::FromUInt64(rows.size()), rows.size() == 1 ? u" device" : u" devices",
                        u" exported to ", line.path}));
  return {.changed = true};
}

// The classes /class and /except-class name must be the system's: a misspelt one would widen
// the removal instead of narrowing it.
JobOutcome RemoveAbsent(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  std::vector<WideText> named = line.exceptClasses;
  if (!line.className.Empty()) named.push_back(line.className);
  if (!named.empty()) {
    if (!host.RebuildInventory()) return kRefused;
    for (const WideText& name : named) {
      const auto& classes = host.Inventory().ClassTable();
      const bool known = std::any_of(classes.begin(), classes.end(), [&](const DeviceClassInfo& c) {
        return !c.name.Empty() && WideText::EqualsNoCase(c.name.View(), name.View());
      });
      if (!known) return Refused(out, {u"No device class is named ", name});
    }
  }
  NotPresentScope scope{line.className, line.whatIf, line.exceptClasses, line.olderThanDays, FileTimeNow()};
  const int count = UninstallAllNotPresent(host, scope);
  return OutcomeOf(host, count, !line.whatIf && count > 0);
}

std::vector<StorePackage> Chosen(const CommandLine& line, std::vector<StorePackage> packages) {
  const PackageCheckRule rule =
      line.old ? PackageCheckRule::kOlder : line.unused ? PackageCheckRule::kUnused : PackageCheckRule::kAll;
  std::erase_if(packages, [&](const StorePackage& p) { return !PackageMatches(p, rule); });
  return packages;
}

JobOutcome ExportPackages(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  // Without the devices every package is listed, its use not known.
  PackageUsers users;
  const bool known = users.Read(host.Platform(), true);
  std::vector<StorePackage> packages;
  uint32_t error = 0;
  if (!ReadStorePackages(host.Platform(), known ? &users : nullptr, &packages, &error)) {
    return Refused(out, {u"The driver store could not be read (error ", WideText::FromUInt64(error), u")."});
  }
  packages = Chosen(line, std::move(packages));
  std::vector<std::vector<WideText>> records;
  for (const StorePackage& p : packages) records.push_back(PackageCells(p));
  if (!ReplaceWholeFile(line.path, FormatTextTable(ExportFormatOf(line.path.View()), PackageColumnTitles(), records))) {
    return Refused(out, {u"The list could not be written to ", line.path});
  }
  out.WriteLine(Concat({WideText::FromUInt64(records.size()), records.size() == 1 ? u" driver package" : u" driver packages",
                        u" written to ", line.path}));
  out.WriteLine(PackageSumsLine(SumPackages(packages)));
  return {.changed = true};
}

JobOutcome RemovePackages(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  std::vector<StorePackage> packages;
  if (!ReadStoreForRemoval(host, &packages)) return kRefused;
  packages = Chosen(line, std::move(packages));
  if (packages.empty()) {
    out.WriteLine(line.old ? u"No driver package is an older version." : u"Every driver package is used by a device.");
    return {};
  }
  const PackageRemovalCounts counts = RemoveStorePackages(host, packages, PackageRemovalScope{line.whatIf});
  if (counts.declined) return kRefused;
  return {.changed = !line.whatIf && counts.removed > 0, .someFailed = counts.notRemoved > 0};
}

JobOutcome RunJob(const CommandLine& line, HeadlessHost& host, LineSink& out) {
  switch (line.job) {
    case Job::kWindow:
    case Job::kUsage:
      // Line by line: a sink shows no line break inside a line.
    {
      const TextList lines = Split(UsageText(), u"\r\n", true);
      for (const std::u16string& text : lines.Pieces()) out.WriteLine(WideText(text));
      return {};
    }
    case Job::kExport:
      return Export(line, host, out);
    case Job::kBackup: {
      // The folder is made if missing; a file in its place is no folder to back up into.
      if (PathTaken(line.path) && !IsFolderPath(line.path)) {
        return Refused(out, {u"Not a folder: ", line.path});
      }
      const int count = BackupAllDevices(host, line.all ? uint32_t{kBackupIncludeNotPresent} : 0u);
      return OutcomeOf(host, count, count > 0);
    }
    case Job::kInstall: {
      if (!IsFolderPath(line.path)) return Refused(out, {u"No such folder: ", line.path});
      const int count = InstallDriversFromFolder(host);
      return OutcomeOf(host, 0, count > 0);
    }
    case Job::kRemoveAbsent:
      return RemoveAbsent(line, host, out);
    case Job::kPackages:
      return ExportPackages(line, host, out);
    case Job::kRemovePackages:
      return RemovePackages(line, host, out);
    case Job::kRescan:
      out.WriteLine(kScanningText);
      if (!ScanHardware(host, kCmReenumerateNormal, true)) {
        return Refused(out, {u"The system did not accept the hardware scan."});
      }
      out.WriteLine(u"The hardware scan is complete.");
      return {.changed = true};
  }
  return kRefused;
}

}  // namespace

int ExitCodeOf(const JobOutcome& outcome) {
  if (!outcome.started && !outcome.changed) return kExitNotStarted;
  return outcome.someFailed || !outcome.logWritten || !outcome.started ? kExitSomeFailed : kExitDone;
}

void JobLines::WriteLine(const WideText& line) {
  const WideText text = Concat({PrintableLine(line.View()), u"\r\n"});
  const std::string bytes = text.ToUtf8();
  log_ += bytes;
  Show(text, bytes);
}

JobOutcome RunCommandLineJob(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport,
                             LineSink& out, const WideText& programData) {
  if (!line.error.Empty()) return Refused(out, {line.error});
  const uint32_t listFlags = line.all || line.job == Job::kRemoveAbsent ? kListShowNotPresent : 0;
  HeadlessHost host(platform, transport, out, listFlags, line.path);
  host.SetProgramDataFolder(programData);
  const JobOutcome outcome = RunJob(line, host, out);
  if (host.RebootNeeded()) out.WriteLine(u"Windows must restart to finish the job.");
  return outcome;
}

int RunJobWithLog(const CommandLine& line, DevicePlatform& platform, DownloadTransport& transport, JobLines& out,
                  const WideText& programData) {
  // Bad arguments change nothing, not even the log.
  const bool logged = line.error.Empty() && !line.log.Empty();
  if (logged) {
    WideText folder = line.log;
    folder.ParentPath(true);
    if (!IsFolderPath(folder) || IsFolderPath(line.log)) {
      out.WriteLine(Concat({u"The log cannot be written to ", line.log}));
      return kExitNotStarted;
    }
  }
  JobOutcome outcome = RunCommandLineJob(line, platform, transport, out, programData);
  if (logged && !ReplaceWholeFile(line.log, out.Log())) {
    out.WriteLine(Concat({u"The log could not be written to ", line.log}));
    outcome.logWritten = false;
  }
  return ExitCodeOf(outcome);
}

}  // namespace pyr
