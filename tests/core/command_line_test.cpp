#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"
#include "app/command_line_jobs.h"
#include "base/text_list.h"
#include "support/driver_pc.h"

namespace pyr {
namespace {

std::vector<WideText> Words(std::u16string_view line) {
  std::vector<WideText> words;
  const TextList pieces = Split(line, u" ", false);
  for (const std::u16string& word : pieces.Pieces()) {
    if (!word.empty()) words.emplace_back(word);
  }
  return words;
}

TEST(CommandLine, GoodAndBadArgumentLines) {
  struct Case {
    const char16_t* line;
    Job job;
    const char16_t* path;
    bool all, whatIf;
    const char16_t* className;
    const char16_t* log;
    const char16_t* error;  // empty: accepted
  };
  const Case cases[] = {
      {u"", Job::kWindow, u"", false, false, u"", u"", u""},
      {u"/?", Job::kUsage, u"", false, false, u"", u"", u""},
      {u"/EXPORT list.CSV /All", Job::kExport, u"list.CSV", true, false, u"", u"", u""},
      {u"/log run.txt /export C:\\out\\list.json", Job::kExport, u"C:\\out\\list.json", false, false, u"", u"run.txt", u""},
      {u"/backup D:\\Drivers /all", Job::kBackup, u"D:\\Drivers", true, false, u"", u"", u""},
      {u"/install D:\\Drivers /log l.txt", Job::kInstall, u"D:\\Drivers", false, false, u"", u"l.txt", u""},
      {u"/remove-absent /class USB /whatif", Job::kRemoveAbsent, u"", false, true, u"USB", u"", u""},
      {u"/rescan", Job::kRescan, u"", false, false, u"", u"", u""},
      {u"/remove-absent /older-than 365 /except-class Ports /except-class Net /whatif", Job::kRemoveAbsent, u"", false,
       true, u"", u"", u""},
      {u"/remove-absent /older-than -5", Job::kRemoveAbsent, u"", false, false, u"", u"",
       u"/older-than needs a whole number of days, 0 or more: -5"},
      {u"/remove-absent /older-than 12x", Job::kRemoveAbsent, u"", false, false, u"", u"",
       u"/older-than needs a whole number of days, 0 or more: 12x"},
      {u"/remove-absent /older-than /whatif", Job::kRemoveAbsent, u"", false, false, u"", u"",
       u"/older-than needs a number of days."},
      {u"/export a.csv /older-than 3", Job::kExport, u"a.csv", false, false, u"", u"",
       u"/older-than does not go with this job."},
      {u"/export list.txt", Job::kExport, u"list.txt", false, false, u"", u"",
       u"The export file must end in .csv or .json: list.txt"},
      {u"/export list.csv.bak", Job::kExport, u"list.csv.bak", false, false, u"", u"",
       u"The export file must end in .csv or .json: list.csv.bak"},
      {u"/export", Job::kWindow, u"", false, false, u"", u"", u"/export needs a file."},
      {u"/backup /all", Job::kWindow, u"", false, false, u"", u"", u"/backup needs a folder."},
      {u"/remove-absent /class", Job::kRemoveAbsent, u"", false, false, u"", u"", u"/class needs a class name."},
      {u"/frobnicate", Job::kWindow, u"", false, false, u"", u"", u"Unknown switch: /frobnicate"},
      {u"/rescan extra", Job::kRescan, u"", false, false, u"", u"", u"Unexpected argument: extra"},
      {u"/install D:\\x /all", Job::kInstall, u"D:\\x", true, false, u"", u"", u"/all does not go with this job."},
      {u"/rescan /whatif", Job::kRescan, u"", false, true, u"", u"", u"/whatif does not go with this job."},
      {u"/export a.csv /class USB", Job::kExport, u"a.csv", false, false, u"USB", u"",
       u"/class does not go with this job."},
      {u"/rescan /rescan", Job::kRescan, u"", false, false, u"", u"", u"/rescan is given twice."},
      {u"/rescan /export a.csv", Job::kRescan, u"", false, false, u"", u"",
       u"Only one job at a time: /export is the second."},
      {u"/remove-packages /OLD /whatif", Job::kRemovePackages, u"", false, true, u"", u"", u""},
      {u"/remove-packages /whatif", Job::kRemovePackages, u"", false, true, u"", u"", u"/remove-packages needs /old or /unused."},
      {u"/packages p.csv /old /unused", Job::kPackages, u"p.csv", false, false, u"", u"", u"/old and /unused do not go together."},
      {u"/packages p.txt", Job::kPackages, u"p.txt", false, false, u"", u"", u"The export file must end in .csv or .json: p.txt"},
      {u"/export a.csv /unused", Job::kExport, u"a.csv", false, false, u"", u"", u"/unused does not go with this job."},
      {u"/log x.txt", Job::kWindow, u"", false, false, u"", u"x.txt", u"No job given: /? lists them."},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(Words(c.line));
    const std::string at = WideText(c.line).ToUtf8();
    EXPECT_EQ(line.error.ToUtf8(), WideText(c.error).ToUtf8()) << at;
    EXPECT_EQ(line.job, c.job) << at;
    EXPECT_EQ(line.path.ToUtf8(), WideText(c.path).ToUtf8()) << at;
    EXPECT_EQ(line.all, c.all) << at;
    EXPECT_EQ(line.whatIf, c.whatIf) << at;
    EXPECT_EQ(line.className.ToUtf8(), WideText(c.className).ToUtf8()) << at;
    EXPECT_EQ(line.log.ToUtf8(), WideText(c.log).ToUtf8()) << at;
    EXPECT_EQ(line.old, Concat({c.line, u" "}).Find(u"/old ", false) != 0) << at;
  }
  const CommandLine aged = ParseCommandLine(Words(cases[8].line));
  EXPECT_EQ(aged.olderThanDays, 365u);
  EXPECT_EQ(aged.exceptClasses, (std::vector<WideText>{u"Ports", u"Net"}));
}

// The console of a job: what it was shown, as bytes.
class Console : public JobLines {
 public:
  std::string shown;

 protected:
  void Show(const WideText&, const std::string& utf8) override { shown += utf8; }
};

TEST(CommandLineJob, ExitCodesTellWhetherAnythingChangedAndTheLogSaysWhatTheConsoleSaid) {
  // Stopped after a change is a failure, never "nothing was changed".
  for (const auto& [outcome, code] : {std::pair{JobOutcome{.started = false}, kExitNotStarted},
                                      {JobOutcome{.started = false, .changed = true}, kExitSomeFailed},
                                      {JobOutcome{.changed = true, .logWritten = false}, kExitSomeFailed},
                                      {JobOutcome{.changed = true, .someFailed = true}, kExitSomeFailed},
                                      {JobOutcome{.logWritten = false}, kExitSomeFailed}, {JobOutcome{}, kExitDone}}) {
    EXPECT_EQ(ExitCodeOf(outcome), code) << outcome.started << outcome.changed << outcome.someFailed;
  }
  testing::TempFolder temp;
  const WideText list = temp.Path(u"list.csv"), log = temp.Path(u"log.txt"), linked = temp.Path(u"linked.txt");
  ASSERT_TRUE(temp.Write(log, "old") && temp.Write(temp.Path(u"other.txt"), "") &&
              temp.HardLink(linked, temp.Path(u"other.txt")));
  // As parsed (the native temporary folder starts with a slash, which the parser takes for a switch).
  const auto job = [](Job kind, WideText path, WideText logFile, bool whatIf = false, const char16_t* except = nullptr) {
    CommandLine line;
    line.job = kind;
    line.path = std::move(path);
    line.log = std::move(logFile);
    line.whatIf = whatIf;
    if (except) line.exceptClasses = {WideText(except)};
    return line;
  };
  struct Case {
    CommandLine line;
    int code;
    std::u16string lastLine;
    bool listWritten, logWritten;
  };
  const WideText noLog = temp.Path(u"no\\log.txt"), noList = temp.Path(u"no\\list.csv");
  const Case cases[] = {
      // A hard link is never written through: the export was done, its log not.
      {job(Job::kExport, list, linked), kExitSomeFailed,
       Concat({u"The log could not be written to ", linked}).Str(), true, false},
      {job(Job::kRemoveAbsent, u"", log, true), kExitDone,
       u"Operation complete. 1 device would be uninstalled.", false, true},
      // A class the system does not have would widen the removal: refused, nothing changed.
      {job(Job::kRemoveAbsent, u"", u"", false, u"Printers"), kExitNotStarted, u"No device class is named Printers",
       false, false},
      {job(Job::kExport, list, noLog), kExitNotStarted,
       Concat({u"The log cannot be written to ", noLog}).Str(), false, false},
      {job(Job::kExport, noList, u""), kExitNotStarted, Concat({u"The list could not be written to ", noList}).Str(),
       false, false},
  };
  for (const Case& c : cases) {
    SimulatedPc pc = testing::DriverPc();
    // A name that would erase the line above and forge one of its own.
    pc.devices[3].name = WideText(u"\x1B[1A\x1B[2KOld\r\nAdapter A was successfully uninstalled.");
    SimulatedPlatform platform(std::move(pc));
    testing::StandInTransport web;
    Console console;
    DeletePath(list, 0);
    EXPECT_EQ(RunJobWithLog(c.line, platform, web, console), c.code) << console.shown;
    const std::string last = WideText(c.lastLine).ToUtf8() + "\r\n";
    EXPECT_TRUE(console.shown.ends_with(last)) << console.shown;
    EXPECT_EQ(PathTaken(list), c.listWritten) << console.shown;
    std::string logged;
    EXPECT_TRUE(ReadWholeFile(log, &logged, 1 << 20));
    EXPECT_EQ(logged == console.shown, c.logWritten) << logged;
    EXPECT_EQ(console.shown.find('\x1B'), std::string::npos);
  }
  // The forged line is part of the device's own line, its controls shown as U+FFFD.
  std::string logged;
  ASSERT_TRUE(ReadWholeFile(log, &logged, 1 << 20));
  EXPECT_TRUE(logged.starts_with("\xEF\xBF\xBD\xEF\xBF\xBDOld\xEF\xBF\xBD\xEF\xBF\xBD" "Adapter A was successfully "
                                 "uninstalled. would be uninstalled (last connected not recorded).\r\nOperation")) << logged;
}

}  // namespace
}  // namespace pyr
