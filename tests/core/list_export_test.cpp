#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/device_columns.h"
#include "devices/list_export.h"
#include "devices/memory_device_list.h"

namespace pyr {
namespace {

ExportRow Row(std::u16string_view name, std::u16string_view status, bool present, uint32_t problem, bool checked) {
  ExportRow row{std::vector<WideText>(kDeviceColumnCount), present, problem, checked};
  row.cells[0] = WideText(name);
  row.cells[1] = WideText(status);
  row.cells[9] = WideText(u"ID\\1");
  row.cells[kColumnInstalled] = WideText(u"2024/03/01 08:00:00");
  return row;
}

constexpr char kHeader[] =
    "Device name,Status,Class,Manufacturer,Driver date,Driver version,Service name,Hardware ID,Inf path,"
    "Instance ID,Last connected,Installed,Present,Problem code";

TEST(ListExport, CsvQuotesOnlyWhatNeedsIt) {
  struct Case {
    const char16_t* name;
    const char* field;  // as the record holds it
  };
  const Case cases[] = {
      {u"Plain", "Plain"},
      {u"Disk, 2 TB", "\"Disk, 2 TB\""},
      {u"The \"fast\" one", "\"The \"\"fast\"\" one\""},
      {u"Two\nlines", "\"Two\nlines\""},
      {u"Caf\u00e9 \u2122", "Caf\xC3\xA9 \xE2\x84\xA2"},
      // What a spreadsheet would run as a formula starts with an apostrophe; only the start counts.
      {u"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {u"+1", "'+1"}, {u"-1", "'-1"}, {u"@SUM(A1)", "'@SUM(A1)"}, {u"\t=1", "'\t=1"}, {u"\r=1", "\"'\r=1\""},
      {u"a=b-c", "a=b-c"}, {u" =1", " =1"},
      // A lone surrogate has no UTF-8 form: U+FFFD keeps the file valid.
      {u"Pad \xD800!", "Pad \xEF\xBF\xBD!"}, {u"\U0001F600\xDC00", "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    const ExportRow rows[] = {Row(c.name, u"Working properly", false, 45, true)};
    const std::string csv = FormatExport(ExportFormat::kCsv, rows, true);
    EXPECT_EQ(csv, std::string("\xEF\xBB\xBF") + kHeader + ",Checked\r\n" + c.field +
                       ",Working properly,,,,,,,,ID\\1,,2024/03/01 08:00:00,No,45,Yes\r\n");
  }
  EXPECT_EQ(FormatExport(ExportFormat::kCsv, {}, false), std::string("\xEF\xBB\xBF") + kHeader + "\r\n");
}

TEST(ListExport, JsonEscapesAndTypesItsFields) {
  const ExportRow rows[] = {Row(u"Q\"\\\t\x01", u"Disabled", true, 22, false),
                            Row(u"=\xDBFF\U0001F600\x2028", u"", false, 0, true)};
  const std::string json = FormatExport(ExportFormat::kJson, rows, false);
  // A lone surrogate keeps its value as an escape, a pair is UTF-8; no apostrophe in JSON.
  EXPECT_NE(json.find("{\"Device name\": \"=\\udbff\xF0\x9F\x98\x80\\u2028\","), std::string::npos) << json;
  EXPECT_TRUE(json.starts_with("[\n  {\"Device name\": \"Q\\\"\\\\\\t\\u0001\", \"Status\": \"Disabled\", ")) << json;
  EXPECT_NE(json.find("\"Instance ID\": \"ID\\\\1\", \"Last connected\": \"\", "
                      "\"Installed\": \"2024/03/01 08:00:00\", \"Present\": true, \"Problem code\": 22},\n  {"),
            std::string::npos);
  EXPECT_TRUE(json.ends_with("\"Present\": false, \"Problem code\": 0}\n]\n")) << json;
  EXPECT_EQ(json.find("Checked"), std::string::npos);
  EXPECT_NE(FormatExport(ExportFormat::kJson, rows, true).find("\"Problem code\": 0, \"Checked\": true}"),
            std::string::npos);
  EXPECT_EQ(FormatExport(ExportFormat::kJson, {}, true), "[]\n");
}

TEST(ListExport, FormatByExtensionAndTheSaveFilter) {
  EXPECT_EQ(ExportFormatOf(u"C:\\a\\List.CSV"), ExportFormat::kCsv);
  EXPECT_EQ(ExportFormatOf(u"list.Json"), ExportFormat::kJson);
  EXPECT_EQ(ExportFormatOf(u"C:\\x.csv\\list"), ExportFormat::kNone);
  EXPECT_EQ(ExportFormatOf(u"list.jsonl"), ExportFormat::kNone);
  EXPECT_EQ(ExportPathForFilter(u"C:\\list", 2), u"C:\\list.json");
  EXPECT_EQ(ExportPathForFilter(u"C:\\list.txt", 1), u"C:\\list.txt.csv");
  EXPECT_EQ(ExportPathForFilter(u"C:\\list.CSV", 2), u"C:\\list.CSV");
}

TEST(ListExport, RowsInTheOrderShown) {
  MemoryDeviceList list;
  for (const auto& [name, group] : {std::pair{u"a", 7}, {u"b", 3}, {u"c", 7}, {u"d", 99}, {u"e", 3}}) {
    list.InsertRow(-1, name, kNoImage, group, 1);
  }
  EXPECT_EQ(RowsInShownOrder(list), (std::vector<int>{0, 1, 2, 3, 4}));
  list.EnableGroupView(true);
  for (int id : {3, 7}) list.InsertGroup(ListGroup{u"G", u"", id});
  // Group by group; a row whose group does not exist is not shown at all.
  EXPECT_EQ(RowsInShownOrder(list), (std::vector<int>{1, 4, 0, 2}));
}

}  // namespace
}  // namespace pyr
