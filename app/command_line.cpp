#include "app/command_line.h"

#include "devices/list_export.h"

namespace pyr {

namespace {

enum class Option { kNone, kAll, kClass, kWhatIf, kLog, kOlderThan, kExceptClass, kOld, kUnused };

// What a switch is, what value follows it and which jobs an option goes with.
struct SwitchSpec {
  const char16_t* name;
  const char16_t* value;  // "a file"; null: none follows
  Job job;                // kWindow: an option, not a job
  Option option;
  std::initializer_list<Job> with;
};

const SwitchSpec kSwitches[] = {
    {u"/?", nullptr, Job::kUsage, Option::kNone, {}},
    {u"/export", u"a file", Job::kExport, Option::kNone, {}},
    {u"/backup", u"a folder", Job::kBackup, Option::kNone, {}},
    {u"/install", u"a folder", Job::kInstall, Option::kNone, {}},
    {u"/remove-absent", nullptr, Job::kRemoveAbsent, Option::kNone, {}},
    {u"/rescan", nullptr, Job::kRescan, Option::kNone, {}},
    {u"/packages", u"a file", Job::kPackages, Option::kNone, {}},
    {u"/remove-packages", nullptr, Job::kRemovePackages, Option::kNone, {}},
    {u"/old", nullptr, Job::kWindow, Option::kOld, {Job::kPackages, Job::kRemovePackages}},
    {u"/unused", nullptr, Job::kWindow, Option::kUnused, {Job::kPackages, Job::kRemovePackages}},
    {u"/all", nullptr, Job::kWindow, Option::kAll, {Job::kExport, Job::kBackup}},
    {u"/class", u"a class name", Job::kWindow, Option::kClass, {Job::kRemoveAbsent}},
    {u"/older-than", u"a number of days", Job::kWindow, Option::kOlderThan, {Job::kRemoveAbsent}},
    {u"/except-class", u"a class name", Job::kWindow, Option::kExceptClass, {Job::kRemoveAbsent}},
    {u"/whatif", nullptr, Job::kWindow, Option::kWhatIf, {Job::kRemoveAbsent, Job::kRemovePackages}},
    {u"/log", u"a file", Job::kWindow, Option::kLog,
     {Job::kExport, Job::kBackup, Job::kInstall, Job::kRemoveAbsent, Job::kRescan, Job::kPackages,
      Job::kRemovePackages}},
};

const SwitchSpec* FindSwitch(const WideText& argument) {
  for (const SwitchSpec& s : kSwitches) {
    if (WideText::EqualsNoCase(argument.View(), s.name)) return &s;
  }
  return nullptr;
}

// A whole number of days, 0 to 100000 (before Windows kept dates at all); nothing else.
std::optional<uint32_t> DaysOf(const WideText& value) {
  const std::u16string_view digits = value.View();
  if (digits.empty() || digits.size() > 6) return std::nullopt;
  uint32_t days = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    days = days * 10 + (c - u'0');
  }
  if (days > 100000) return std::nullopt;
  return days;
}

CommandLine Failed(CommandLine line, std::initializer_list<TextPiece> message) {
  line.error = Concat(message);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<WideText>& arguments) {
  CommandLine line;
  std::vector<const SwitchSpec*> seen;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const WideText& argument = arguments[i];
    const SwitchSpec* known = FindSwitch(argument);
    if (known == nullptr) {
      if (argument.View().starts_with(u"/")) return Failed(line, {u"Unknown switch: ", argument});
      return Failed(line, {u"Unexpected argument: ", argument});
    }
    for (const SwitchSpec* s : seen) {
      if (s == known && known->option != Option::kExceptClass) return Failed(line, {known->name, u" is given twice."});
    }
    seen.push_back(known);
    WideText value;
    if (known->value != nullptr) {
      if (i + 1 >= arguments.size() || arguments[i + 1].Empty() || arguments[i + 1].View().starts_with(u"/")) {
        return Failed(line, {known->name, u" needs ", known->value, u"."});
      }
      value = arguments[++i];
    }
    if (known->job == Job::kUsage) {
      line.job = Job::kUsage;
      return line;
    }
    if (known->job != Job::kWindow) {
      if (line.job != Job::kWindow) return Failed(line, {u"Only one job at a time: ", argument, u" is the second."});
      line.job = known->job;
      line.path = value;
    } else {
      switch (known->option) {
        case Option::kAll: line.all = true; break;
        case Option::kClass: line.className = value; break;
        case Option::kWhatIf: line.whatIf = true; break;
        case Option::kLog: line.log = value; break;
        case Option::kExceptClass: line.exceptClasses.push_back(value); break;
        case Option::kOlderThan:
          line.olderThanDays = DaysOf(value);
          if (!line.olderThanDays) {
            return Failed(line, {u"/older-than needs a whole number of days, 0 or more: ", value});
          }
          break;
        case Option::kOld: line.old = true; break;
        case Option::kUnused: line.unused = true; break;
        case Option::kNone: break;
      }
    }
  }
  if (arguments.empty()) return line;
  if (line.job == Job::kWindow) return Failed(line, {u"No job given: /? lists them."});
  for (const SwitchSpec* s : seen) {
    if (s->job != Job::kWindow) continue;
    bool fits = false;
    for (Job j : s->with) fits = fits || j == line.job;
    if (!fits) return Failed(line, {s->name, u" does not go with this job."});
  }
  if (line.old && line.unused) return Failed(line, {u"/old and /unused do not go together."});
  if (line.job == Job::kRemovePackages && !line.old && !line.unused) {
    return Failed(line, {u"/remove-packages needs /old or /unused."});
  }
  if ((line.job == Job::kExport || line.job == Job::kPackages) && ExportFormatOf(line.path.View()) == ExportFormat::kNone) {
    return Failed(line, {u"The export file must end in .csv or .json: ", line.path});
  }
  return line;
}

const char16_t* UsageText() {
  return u"Pyravel [job] [/log FILE]\r\n"
         u"With no job, Pyravel opens its window. Jobs, one at a time, run without the window:\r\n"
         u"  /export FILE [/all]   writes the device list (present devices, or every device with /all)\r\n"
         u"                        as CSV or JSON, chosen by the file's extension (.csv or .json)\r\n"
         u"  /backup FOLDER [/all] backs up the drivers of the present devices (every device with /all)\r\n"
         u"  /install FOLDER       installs the drivers in FOLDER and its subfolders\r\n"
         u"  /remove-absent [/class NAME] [/except-class NAME]... [/older-than DAYS] [/whatif]\r\n"
         u"                        uninstalls the devices that are not present (of one class, none of\r\n"
         u"                        the classes after /except-class, only those last connected more\r\n"
         u"                        than DAYS days ago); with /whatif it lists them with their dates\r\n"
         u"  /rescan               scans for hardware changes\r\n"
         u"  /packages FILE [/old | /unused]\r\n"
         u"                        writes the driver store's third-party packages (only the older\r\n"
         u"                        versions, or only those no device uses) as CSV or JSON\r\n"
         u"  /remove-packages /old | /unused [/whatif]\r\n"
         u"                        removes those packages from the driver store, each copied to\r\n"
         u"                        \"Removed drivers\" first; Windows keeps any a device uses\r\n"
         u"  /log FILE             writes the job's lines to FILE too (UTF-8)\r\n"
         u"  /?                    shows this text\r\n"
         u"Output reaches the console only when Pyravel is started from an elevated prompt; otherwise\r\n"
         u"Pyravel asks for elevation, runs apart from the console, and /log FILE is the way to see it.\r\n"
         u"Exit codes: 0 all done, 1 some devices failed or the log could not be written, 2 nothing was\r\n"
         u"changed: bad arguments or the job could not start.";
}

}  // namespace pyr
