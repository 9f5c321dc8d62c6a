// Every operation, run once without faults to count its platform calls, then once for each of
// those calls failing in turn on a fresh simulated PC. After each run the same rules hold:
// nothing is reported done that the PC does not show done, nothing is lost (a package that left
// the store has its copy, an earlier backup is whole, a device that was not acted on is as it
// was), the counts of the summary and the exit code match the lines, no device set is left open,
// and nothing waits for ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/command_line.h"
#include "app/command_line_jobs.h"
#include "base/date_time_text.h"
#include "base/file_system.h"
#include "base/posix/file_faults.h"
#include "devices/device_columns.h"
#include "devices/device_dates.h"
#include "driverstore/backup_rules.h"
#include "driverstore/removed_drivers.h"
#include "operations/driver_backup.h"
#include "operations/driver_commands.h"
#include "operations/hardware_scan.h"
#include "operations/install_drivers_from_folder.h"
#include "operations/state_commands.h"
#include "operations/store_package_backup.h"
#include "operations/store_package_removal.h"
#include "operations/uninstall_commands.h"
#include "operations/updater_command.h"
#include "core/test_fixture.h"
#include "support/driver_pc.h"
#include "support/program_bytes.h"

namespace pyr {
namespace {

using testing::ScriptedHost;
using testing::TempFolder;

// The error a failing call answers: the documented one where the pages name one.
uint32_t ErrorFor(PlatformCall call) {
  constexpr uint32_t kTrustNoSignature = 0x800B0100;
  switch (call) {
    case PlatformCall::kUninstallOemInf: return kErrorInfInUseByDevices;
    case PlatformCall::kInstallDriver: return kTrustNoSignature;
    case PlatformCall::kCopyOemInf: return kErrorFileExists;
    case PlatformCall::kGetDeviceProperty: return kErrorNoSuchDevInst;
    case PlatformCall::kCallClassInstaller: return kErrorNoCompatDrivers;
    default: return kErrorGenFailure;
  }
}

std::string Utf8(std::u16string_view text) { return WideText(text).ToUtf8(); }

// Adapters A and its twin A2 (one package), B (an older version of its package is in the store
// too), C (the system's own INF), a software device, an absent printer and an absent stick with
// its volume.
SimulatedPc FaultPc() {
  SimulatedPc pc = testing::DriverPc();
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"PCI\\A2", u"Twin A"), u"oem1.inf", 2020, u"1.0"));
  pc.devices.back().hardwareIds = {u"HW\\Adapter A"};
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"ROOT\\NET\\0000", u"WAN Miniport"), u"netrasa.inf", 2006, u"10.0"));
  pc.devices.push_back(testing::WithDriver(testing::MakeDevice(u"USB\\S", u"Old stick", 0, false), u"oem2.inf", 2020, u"2.0"));
  pc.devices.push_back(testing::MakeDevice(u"STORAGE\\V", u"Old volume", 0, false));
  pc.devices.back().parent = u"USB\\S";
  // The stick went a year ago, its volume (which goes with it) last week.
  pc.devices.end()[-2].lastRemovalDate = FileTimeNow() - 365 * kFileTimeDay;
  pc.devices.back().lastRemovalDate = FileTimeNow() - 7 * kFileTimeDay;
  pc.devices[1].problem = kProblemDisabled;  // Adapter B
  pc.devices[1].disabledAtBoot = true;
  return pc;
}

std::string InfText(const char* driverVer, const char* hardwareId) {
  return std::string("[Version]\nSignature=\"$Windows NT$\"\nClass=Net\nProvider=%M%\nDriverVer=") + driverVer +
         "\n[Manufacturer]\n%M%=Models,NTamd64\n[Models.NTamd64]\n%D%=Install, " + hardwareId +
         "\n[Strings]\nM=\"Maker\"\n";
}

struct Run {
  explicit Run(SimulatedPc pc) : host(std::move(pc)) {}
  ScriptedHost host;
  TempFolder temp;
  SimulatedPc before;
  std::vector<std::u16string> ticked;  // instance IDs of the rows acted on
  std::vector<std::u16string> jobLines;
  int exitCode = -1;
  bool endless = false;
  PlatformCall failing = PlatformCall::kCount;
};

class CollectedLines : public LineSink {
 public:
  explicit CollectedLines(std::vector<std::u16string>* lines) : lines_(lines) {}
  void WriteLine(const WideText& line) override { lines_->push_back(line.Str()); }

 private:
  std::vector<std::u16string>* lines_;
};

void Tick(Run& r, std::initializer_list<const char16_t*> ids) {
  for (int row = 0; row < r.host.list.RowCount(); ++row) {
    const WideText id = r.host.list.CellText(row, kColumnInstanceId);
    for (const char16_t* wanted : ids) {
      if (id == wanted) r.host.list.SetRowChecked(row, true), r.ticked.push_back(wanted);
    }
  }
}

// A job run in the temporary folder, by relative paths: here an absolute path starts with the
// switch character.
int Job(Run& r, std::vector<WideText> arguments) {
  CollectedLines out(&r.jobLines);
  testing::StandInTransport transport;
  const std::filesystem::path was = std::filesystem::current_path();
  std::string folder = r.temp.Path(u"").ToUtf8();
  std::replace(folder.begin(), folder.end(), '\\', '/');
  std::filesystem::current_path(folder);
  const int code = ExitCodeOf(RunCommandLineJob(ParseCommandLine(arguments), r.host.platform, transport, out,
                                                   r.host.ProgramDataFolder()));
  std::filesystem::current_path(was);
  return code;
}

enum Scope : unsigned {
  kTicked = 1,        // acts on the ticked devices and what hangs under them
  kAbsent = 2,        // on devices not present
  kAnything = 4,      // a scan or an install may change any device
  kRemovesPackages = 8,
  kStagesPackages = 16,
  kReinstalls = 32,   // its devices are uninstalled and then come back
  kWritesFiles = 64,  // copies, backups, exports: the file-system calls fail in turn too
};

struct Operation {
  const char* name;
  unsigned scope;
  std::function<void(Run&)> prepare;  // before the calls are counted
  std::function<void(Run&)> act;
};

bool InStore(const SimulatedPc& pc, const WideText& inf) {
  for (const DriverPackage& p : pc.driverStore) {
    if (WideText::EqualsNoCase(p.publishedName.View(), inf.View())) return true;
  }
  return false;
}

bool Under(const SimulatedPc& pc, const SimulatedDevice& d, const std::vector<std::u16string>& roots) {
  for (const SimulatedDevice* at = &d; at;) {
    for (const std::u16string& id : roots) {
      if (WideText::EqualsNoCase(at->instanceId.View(), id)) return true;
    }
    const SimulatedDevice* parent = nullptr;
    for (const SimulatedDevice& p : pc.devices) {
      if (!at->parent.Empty() && WideText::EqualsNoCase(p.instanceId.View(), at->parent.View())) parent = &p;
    }
    at = parent;
  }
  return false;
}

// Every file of the copies kept under the program's data folder.
std::vector<std::string> KeptCopies(Run& r) { return r.temp.Tree(r.temp.Path(u"ProgramData")); }

// A package's line "name (published) was successfully backed up.": a folder of the backup whose
// name starts with the line's name holds the package's INF as the store does.
std::string CheckPackageCopied(Run& r, std::u16string_view named, std::u16string_view line) {
  const size_t open = named.rfind(u" (");
  const std::string name = Utf8(named.substr(0, open));
  for (const DriverPackage& p : r.before.driverStore) {
    if (named.substr(open + 2) != p.publishedName.Str() + u")") continue;
    std::string inStore;
    ReadWholeFile(Concat({PackageFolder(r.temp.Path(u"DriverStore"), p), u"\\", p.originalName}), &inStore, 1000);
    for (const std::string& file : r.temp.Tree(r.temp.Path(u"Backup"))) {
      const size_t leaf = file.rfind('/'), folder = file.rfind('/', leaf - 1) + 1;
      std::string bytes;
      if (leaf == std::string::npos || file.substr(leaf + 1) != p.originalName.ToUtf8() ||
          file.compare(folder, name.size(), name) != 0) {
        continue;
      }
      ReadWholeFile(Concat({r.temp.Path(u"Backup"), u"\\", WideText::FromUtf8(file.c_str())}), &bytes, 1000);
      if (bytes == inStore) return {};
    }
  }
  return "backed up, but not on disk: " + Utf8(line);
}

// What a result line claims, checked against the PC; the empty text when it holds.
std::string CheckLine(Run& r, const Operation& op, const std::u16string& line) {
  const SimulatedPc& now = r.host.platform.Pc();
  std::u16string_view rest = line;
  if (rest.starts_with(u"The driver for ")) rest.remove_prefix(15);
  // A device whose name could not be read has no name to find it by.
  if (rest.starts_with(kUnknownDeviceName) && r.failing == PlatformCall::kGetDeviceProperty) return {};
  // The reinstall's own lines tell of the removal; its summary tells whether the devices are back.
  if ((op.scope & kReinstalls) && line.ends_with(u" was successfully uninstalled.")) return {};
  struct Claim {
    const char16_t* suffix;
    std::function<bool(const SimulatedDevice& now, const SimulatedDevice& before)> holds;
  };
  const Claim claims[] = {
      {u" was successfully disabled.", [](auto& d, auto&) { return d.problem == kProblemDisabled || d.disabledAtBoot; }},
      {u" was successfully enabled.", [](auto& d, auto&) { return d.problem != kProblemDisabled && !d.disabledAtBoot; }},
      {u" was successfully restarted.", [](auto& d, auto&) { return d.problem == 0; }},
      {u" was successfully uninstalled.", [](auto& d, auto&) { return d.uninstalled; }},
      {u" was successfully uninstalled and its driver package removed.",
       [&](auto& d, auto& b) { return d.uninstalled && !InStore(now, b.infPath) && !KeptCopies(r).empty(); }},
      {u" was uninstalled; ", [&](auto& d, auto& b) { return d.uninstalled && InStore(now, b.infPath); }},
      {u" was successfully changed.", [](auto& d, auto& b) { return !(d.driverVersion == b.driverVersion); }},
      {u" could not be changed.", [](auto& d, auto& b) { return d.driverVersion == b.driverVersion; }},
      {u" was successfully backed up.", [](auto&, auto&) { return true; }},  // checked on disk below
  };
  for (const Claim& c : claims) {
    const size_t at = rest.find(c.suffix);
    if (at == std::u16string_view::npos) continue;
    if (std::u16string_view(c.suffix) == kBackedUpSuffix && rest.substr(0, at).ends_with(u".inf)")) {
      return CheckPackageCopied(r, rest.substr(0, at), line);
    }
    // Twins share a name: the claim must hold for one of them.
    bool named = false, holds = false;
    for (size_t i = 0; i < r.before.devices.size(); ++i) {
      const SimulatedDevice& b = r.before.devices[i];
      if (!b.name || b.name->View() != rest.substr(0, at)) continue;
      named = true;
      holds = holds || c.holds(now.devices[i], b);
    }
    if (!named) return "names no device: " + Utf8(line);
    if (!holds) return "not so on the PC: " + Utf8(line);
    return {};
  }
  if (line == kReinstalled) {
    for (const std::u16string& id : r.ticked) {
      const SimulatedDevice* d = r.host.platform.FindDevice(id);
      if (!d || d->uninstalled) return "reinstalled, but gone: " + Utf8(id);
    }
  }
  return {};
}

// Every rule; an empty list when all hold.
std::vector<std::string> Violations(Run& r, const Operation& op) {
  std::vector<std::string> found;
  const SimulatedPc& now = r.host.platform.Pc();
  if (r.endless) found.push_back("waited without an end");
  // A set whose destruction failed stays open, whatever the program does.
  if (r.host.platform.OpenSets() > 1 && r.failing != PlatformCall::kDestroyDeviceInfoList) {
    found.push_back("a device set was left open");
  }
  std::vector<std::u16string> lines = r.host.resultLines;
  lines.insert(lines.end(), r.jobLines.begin(), r.jobLines.end());
  size_t succeeded = 0, failed = 0;
  for (const std::u16string& line : lines) {
    const std::string wrong = CheckLine(r, op, line);
    if (!wrong.empty()) found.push_back(wrong);
    if (line.find(u" successfully ") != std::u16string::npos || line.find(u" was uninstalled; ") != std::u16string::npos) {
      ++succeeded;
    }
    // The list rebuilt after a job says nothing of the job's devices.
    if (line == kBuildFailedMessage) continue;
    if (line.find(u"could not") != std::u16string::npos || line.find(u" not reinstalled") != std::u16string::npos ||
        line == kNotReinstalled) {
      ++failed;
    }
  }
  // Summaries that count what the lines say.
  for (const std::u16string& call : r.host.calls) {
    for (const char16_t* noun : {u" devices uninstalled.", u" drivers backed up.", u" device uninstalled.",
                                 u" driver backed up."}) {
      const size_t at = call.find(noun);
      if (call.rfind(u"progress:100:", 0) != 0 || at == std::u16string::npos) continue;
      const size_t digits = call.rfind(u' ', at - 1) + 1;
      if (WideText(call.substr(digits, at - digits)).ToUInt64() != succeeded) {
        found.push_back("summary counts otherwise than its lines: " + Utf8(call));
      }
    }
  }
  if (r.exitCode == kExitDone && failed != 0) {
    std::string all;
    for (const std::u16string& line : lines) all += "\n  " + Utf8(line);
    found.push_back("exit code 0 after a failure line:" + all);
  }
  if (r.exitCode == kExitSomeFailed && failed == 0 && succeeded == lines.size()) {
    found.push_back("exit code 1 with every line a success");
  }
  // Nothing lost: a package leaves the store only with its copy kept, and only where that is the
  // operation's purpose.
  for (const DriverPackage& p : r.before.driverStore) {
    if (InStore(now, p.publishedName)) continue;
    if (!(op.scope & kRemovesPackages)) found.push_back("package left the store: " + p.publishedName.ToUtf8());
    bool copied = false;
    for (const std::string& file : KeptCopies(r)) copied |= file.ends_with("/" + p.originalName.ToUtf8());
    if (!copied) found.push_back("package removed without a copy: " + p.publishedName.ToUtf8());
  }
  if (!(op.scope & (kStagesPackages | kAnything)) && now.driverStore.size() > r.before.driverStore.size()) {
    found.push_back("a package was staged");
  }
  // Devices the operation was not about are as they were.
  if (!(op.scope & kAnything)) {
    for (size_t i = 0; i < now.devices.size(); ++i) {
      const SimulatedDevice& d = now.devices[i];
      const SimulatedDevice& b = r.before.devices[i];
      const bool about = ((op.scope & kTicked) && Under(r.before, b, r.ticked)) || ((op.scope & kAbsent) && !b.present);
      const bool same = d.uninstalled == b.uninstalled && d.problem == b.problem && d.infPath == b.infPath &&
                        d.driverVersion == b.driverVersion && d.disabledAtBoot == b.disabledAtBoot;
      if (!about && !same) found.push_back("a device not acted on changed: " + b.instanceId.ToUtf8());
    }
  }
  // A job that answers "nothing was changed" changed nothing.
  if (r.exitCode == kExitNotStarted) {
    for (size_t i = 0; i < now.devices.size(); ++i) {
      if (now.devices[i].uninstalled != r.before.devices[i].uninstalled) found.push_back("exit 2, but a device went");
    }
  }
  return found;
}

std::vector<Operation> Operations() {
  const auto tick = [](std::initializer_list<const char16_t*> ids) {
    std::vector<const char16_t*> list(ids);
    return [list](Run& r) {
      for (const char16_t* id : list) Tick(r, {id});
    };
  };
  const auto withFolders = [](std::function<void(Run&)> more) {
    return [more](Run& r) {
      testing::UseFolders(r.host, r.temp);
      if (more) more(r);
    };
  };
  const auto drivers = [](Run& r) {
    r.temp.Write(r.temp.Path(u"Drivers\\b\\newer.inf"), InfText("03/01/2024,3.0", "HW\\Adapter B"));
    r.temp.Write(r.temp.Path(u"Drivers\\a\\older.inf"), InfText("01/01/2019,0.5", "HW\\Adapter A"));
  };
  const auto pickDrivers = [drivers](Run& r) {
    drivers(r);
    r.host.folderPicks = {r.temp.Path(u"Drivers").Str()};
  };
  return {
      {"disable", kTicked, tick({u"PCI\\A", u"PCI\\C", u"ROOT\\NET\\0000"}), [](Run& r) { DisableCheckedDevices(r.host); }},
      {"enable", kTicked, tick({u"PCI\\B", u"PCI\\A"}), [](Run& r) { EnableCheckedDevices(r.host); }},
      {"restart", kTicked, tick({u"PCI\\A", u"PCI\\C"}), [](Run& r) { RestartDevices(r.host, RowSource::kChecked); }},
      {"uninstall", kTicked, tick({u"PCI\\A", u"USB\\S"}), [](Run& r) { UninstallDevices(r.host, RowSource::kChecked); }},
      {"uninstall and delete drivers", kTicked | kRemovesPackages | kWritesFiles,
       withFolders(tick({u"PCI\\A", u"PCI\\A2", u"PCI\\B", u"PCI\\C"})),
       [](Run& r) { UninstallAndDeleteDrivers(r.host, RowSource::kChecked); }},
      {"uninstall every device not present", kAbsent, nullptr, [](Run& r) { UninstallAllNotPresent(r.host); }},
      {"change driver", kTicked | kStagesPackages,
       [drivers, tick](Run& r) {
         tick({u"PCI\\B"})(r);
         drivers(r);
         r.host.infPicks = {r.temp.Path(u"Drivers\\b\\newer.inf").Str()};
       },
       [](Run& r) { ChangeDrivers(r.host); }},
      {"change driver, forced", kTicked | kStagesPackages,
       [drivers, tick](Run& r) {
         tick({u"PCI\\A"})(r);
         drivers(r);
         r.host.infPicks = {r.temp.Path(u"Drivers\\a\\older.inf").Str()};
       },
       [](Run& r) { ChangeDrivers(r.host); }},
      // An older driver whose force the user declines: nothing changes, whichever step fails.
      {"change driver, declined", 0,
       [drivers, tick](Run& r) {
         tick({u"PCI\\A"})(r);
         drivers(r);
         r.host.infPicks = {r.temp.Path(u"Drivers\\a\\older.inf").Str()};
         r.host.answers = {0};
       },
       [](Run& r) { ChangeDrivers(r.host); }},
      {"reinstall", kTicked | kReinstalls, tick({u"PCI\\B", u"ROOT\\NET\\0000"}),
       [](Run& r) { ReinstallDevices(r.host, RowSource::kChecked); }},
      {"rescan", kAnything, nullptr, [](Run& r) { RescanAndRebuild(r.host, kCmReenumerateRetryInstallation); }},
      {"backup checked", kTicked | kWritesFiles, withFolders(tick({u"PCI\\A", u"PCI\\B"})),
       [](Run& r) {
         r.host.folderPicks = {r.temp.Path(u"Backup").Str()};
         BackupCheckedDevices(r.host);
       }},
      {"backup checked packages", kWritesFiles, withFolders(nullptr),
       [](Run& r) {
         std::vector<StorePackage> packages;
         uint32_t error = 0;
         ReadStorePackages(r.host.platform, nullptr, &packages, &error);
         r.host.folderPicks = {r.temp.Path(u"Backup").Str()};
         BackupStorePackages(r.host, packages);
       }},
      {"backup all", kWritesFiles, withFolders(nullptr),
       [](Run& r) {
         r.host.folderPicks = {r.temp.Path(u"Backup").Str()};
         BackupAllDevices(r.host, 0);
       }},
      {"install from folder", kAnything | kStagesPackages | kWritesFiles, pickDrivers,
       [](Run& r) { InstallDriversFromFolder(r.host); }},
      {"restore removed drivers", kAnything | kStagesPackages | kWritesFiles,
       withFolders([](Run& r) {
         Tick(r, {u"PCI\\B", u"USB\\S"});
         UninstallAndDeleteDrivers(r.host, RowSource::kChecked);
         r.host.resultLines.clear();
         r.host.calls.clear();
         r.ticked.clear();
         const WideText batch = NewestBatchFolder(RemovedDriversFolder(r.temp.Path(u"ProgramData")));
         r.host.folderPicks = {batch.Str()};
       }),
       [](Run& r) { RestoreRemovedDrivers(r.host); }},
      {"/export", kWritesFiles, nullptr,
       [](Run& r) { r.exitCode = Job(r, {u"/export", u"list.csv", u"/all"}); }},
      {"/backup", kWritesFiles, withFolders(nullptr),
       [](Run& r) { r.exitCode = Job(r, {u"/backup", u"Backup", u"/all"}); }},
      {"/install", kAnything | kStagesPackages | kWritesFiles, [drivers](Run& r) { drivers(r); },
       [](Run& r) { r.exitCode = Job(r, {u"/install", u"Drivers"}); }},
      {"/remove-absent", kAbsent, nullptr, [](Run& r) { r.exitCode = Job(r, {u"/remove-absent"}); }},
      {"/remove-absent /older-than", kAbsent, nullptr,
       [](Run& r) { r.exitCode = Job(r, {u"/remove-absent", u"/older-than", u"30"}); }},
      {"/rescan", kAnything, nullptr, [](Run& r) { r.exitCode = Job(r, {u"/rescan"}); }},
      {"delete checked packages", kRemovesPackages, withFolders(nullptr),
       [](Run& r) {
         std::vector<StorePackage> packages;
         // All of them: Windows keeps those in use.
         if (!ReadStoreForRemoval(r.host, &packages)) return;
         RemoveStorePackages(r.host, packages, {});
       }},
      {"/packages", 0, withFolders(nullptr),
       [](Run& r) { r.exitCode = Job(r, {u"/packages", u"packages.json"}); }},
      {"/remove-packages /old", kRemovesPackages, withFolders(nullptr),
       [](Run& r) { r.exitCode = Job(r, {u"/remove-packages", u"/old"}); }},
      {"/remove-packages /unused", kRemovesPackages, withFolders(nullptr),
       [](Run& r) { r.exitCode = Job(r, {u"/remove-packages", u"/unused"}); }},
  };
}

// An earlier backup in place, then the operation; the earlier backup's files stay whole.
std::vector<std::string> EarlierBackupKept(Run& r, const std::map<std::string, std::string>& earlier) {
  std::vector<std::string> found;
  for (const auto& [file, bytes] : earlier) {
    std::string now;
    const WideText path = Concat({r.temp.Path(u"Backup"), u"\\", WideText::FromUtf8(file.c_str())});
    if (!ReadWholeFile(path, &now, 1u << 24) || now != bytes) found.push_back("an earlier backup was lost: " + file);
  }
  return found;
}

enum class Seam { kPlatform, kFiles };

// Runs one operation on a fresh copy of pc, failing call `nth` (0: none) of the seam; the
// platform calls it made in `trace`, the file-system calls in *fileCalls.
std::vector<std::string> RunOnce(const Operation& op, const SimulatedPc& pc, uint64_t nth,
                                 std::vector<PlatformCall>* trace, Seam seam = Seam::kPlatform,
                                 uint64_t* fileCalls = nullptr) {
  Run r(pc);
  constexpr int kMostPumps = 200000;
  int pumps = 0;
  r.host.onPump = [&](ScriptedHost& h, PumpMode) {
    if (++pumps > kMostPumps) r.endless = true, h.SetCancelRequested(kCancelPressed);
  };
  if (op.prepare) op.prepare(r);
  // A good backup made earlier, where the operation writes one.
  std::map<std::string, std::string> earlier;
  if (std::string(op.name).find("backup") != std::string::npos) {
    Run first(pc);
    testing::UseFolders(first.host, r.temp);
    first.host.folderPicks = {r.temp.Path(u"Backup").Str()};
    BackupAllDevices(first.host, 0);
    for (const std::string& file : r.temp.Tree(r.temp.Path(u"Backup"))) {
      ReadWholeFile(Concat({r.temp.Path(u"Backup"), u"\\", WideText::FromUtf8(file.c_str())}), &earlier[file], 1u << 24);
    }
  }
  r.before = r.host.platform.Pc();
  r.host.platform.RecordCalls();
  if (nth != 0 && seam == Seam::kPlatform) {
    r.failing = (*trace)[nth - 1];
    r.host.platform.ScheduleFault(nth, ErrorFor(r.failing));
  }
  file_faults::Schedule(seam == Seam::kFiles ? nth : 0);
  op.act(r);
  if (fileCalls) *fileCalls = file_faults::Calls();
  file_faults::Schedule(0);
  if (nth == 0) *trace = r.host.platform.Trace();
  std::vector<std::string> found = Violations(r, op);
  for (const std::string& lost : EarlierBackupKept(r, earlier)) found.push_back(lost);
  return found;
}

// The calls that change something or decide what changes: on the large PC only these fail in
// turn, the thousands of property reads of its rebuilds being the small PC's to fail.
bool Acts(PlatformCall call) {
  switch (call) {
    case PlatformCall::kGetDeviceProperty:
    case PlatformCall::kEnumDeviceInfo:
    case PlatformCall::kClassNameFromGuid:
    case PlatformCall::kGetClassDescription:
    case PlatformCall::kGetClassImageIndex:
    case PlatformCall::kBuildClassInfoList:
      return false;
    default:
      return true;
  }
}

// Each operation on the PC, once without faults and then with each chosen call failing in turn.
uint64_t FailInTurn(const std::vector<Operation>& ops, const SimulatedPc& pc, bool actionsOnly) {
  uint64_t pairs = 0;
  for (const Operation& op : ops) {
    std::vector<PlatformCall> trace;
    const std::vector<std::string> clean = RunOnce(op, pc, 0, &trace);
    EXPECT_TRUE(clean.empty()) << op.name << " without faults: " << clean.front();
    EXPECT_FALSE(trace.empty()) << op.name;
    for (uint64_t nth = 1; nth <= trace.size(); ++nth) {
      if (actionsOnly && !Acts(trace[nth - 1])) continue;
      const std::vector<std::string> found = RunOnce(op, pc, nth, &trace);
      ++pairs;
      for (const std::string& f : found) {
        ADD_FAILURE() << op.name << ", call " << nth << " of " << trace.size() << " ("
                      << static_cast<int>(trace[nth - 1]) << ") failing: " << f;
      }
    }
  }
  return pairs;
}

// A PC built like a real one: twins that share a package with a ghost, chipset packages that
// serve many devices, two hundred devices not present.
std::vector<Operation> RealPcOperations() {
  return {
      {"uninstall and delete drivers", kTicked | kRemovesPackages,
       [](Run& r) {
         testing::UseFolders(r.host, r.temp);
         Tick(r, {u"USB\\VID_0403&PID_6001\\A50285BI", u"USB\\VID_0403&PID_6001\\A50285BJ",
                  u"PCI\\VEN_8086&DEV_A123&SUBSYS_802F103C&REV_31\\3&11583659&0&FC"});
       },
       [](Run& r) { UninstallAndDeleteDrivers(r.host, RowSource::kChecked); }},
      {"uninstall every device not present", kAbsent, nullptr, [](Run& r) { UninstallAllNotPresent(r.host); }},
  };
}

// "Update drivers with Ovelant" with each call of the download seam failing in turn: the copy
// beside the program is the old one or the whole new one, never a part, and nothing temporary
// stays behind.
uint64_t UpdaterFailsInTurn() {
  const std::u16string path = u"pyravel\\Ovelant.exe";
  const std::string fresh = testing::ProgramBytes({.rawSize = 20000});
  uint64_t calls = 0, pairs = 0;
  for (uint64_t nth = 0; nth == 0 || nth <= calls; ++nth) {
    ScriptedHost host({});
    host.web.PutFile(path, "old");
    host.web.AddFolder(u"pyravel");
    host.web.resources[u"http://127.0.0.1:8080/ovelant/Ovelant.exe"].body = fresh;
    host.web.failAt = nth;
    UpdateDriversWithOvelant(host);
    if (nth == 0) calls = host.web.calls;
    pairs += nth == 0 ? 0 : 1;
    const std::string copy = host.web.File(path);
    EXPECT_TRUE(copy == "old" || copy == fresh) << "call " << nth << ": a copy of " << copy.size() << " bytes";
    EXPECT_EQ(host.web.OpenOutputs(), 0u) << "call " << nth;
    EXPECT_TRUE(nth != 0 || copy == fresh) << "without faults the new copy is in place";
  }
  return pairs;
}

// The operations that write, move or delete files, with each file-system call failing in turn:
// a disk that fills half-way, a file that cannot be opened.
uint64_t FilesFailInTurn() {
  uint64_t pairs = 0;
  for (const Operation& op : Operations()) {
    if (!(op.scope & kWritesFiles)) continue;
    std::vector<PlatformCall> trace;
    uint64_t calls = 0;
    RunOnce(op, FaultPc(), 0, &trace, Seam::kFiles, &calls);
    for (uint64_t nth = 1; nth <= calls; ++nth, ++pairs) {
      for (const std::string& f : RunOnce(op, FaultPc(), nth, &trace, Seam::kFiles)) {
        ADD_FAILURE() << op.name << ", file call " << nth << " of " << calls << " failing: " << f;
      }
    }
  }
  return pairs;
}

TEST(FaultSchedule, EveryCallOfEveryOperationFailsInTurn) {
  uint64_t pairs = FailInTurn(Operations(), FaultPc(), false);
  pairs += FilesFailInTurn();
  pairs += UpdaterFailsInTurn();
  pairs += FailInTurn(RealPcOperations(), LoadTestPc("real_pc.json"), true);
  std::printf("fault_schedule_pairs %llu\n", static_cast<unsigned long long>(pairs));
}

}  // namespace
}  // namespace pyr
