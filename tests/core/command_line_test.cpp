#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"
#include "base/text_list.h"

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
  }
}

}  // namespace
}  // namespace pyr
