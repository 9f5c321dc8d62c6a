#include "devices/list_export.h"

#include "devices/device_columns.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

namespace {

constexpr char16_t kPresentTitle[] = u"Present";
constexpr char16_t kProblemTitle[] = u"Problem code";
constexpr char16_t kCheckedTitle[] = u"Checked";

// The column titles without the leading blank the header shows, then the extra fields.
std::vector<std::string> FieldNames(bool withCheck) {
  std::vector<std::string> names;
  for (const DeviceColumnInfo& column : DeviceColumns()) {
    std::u16string_view title(column.title);
    if (title.starts_with(u" ")) title.remove_prefix(1);
    names.push_back(WideText(title).ToUtf8());
  }
  names.push_back(WideText(kPresentTitle).ToUtf8());
  names.push_back(WideText(kProblemTitle).ToUtf8());
  if (withCheck) names.push_back(WideText(kCheckedTitle).ToUtf8());
  return names;
}

// Spreadsheets run a cell that starts with one of these as a formula (a tab or a carriage
// return before one too); an apostrophe in front makes it text, and the apostrophe is not shown.
bool RunsAsFormula(const std::string& field) {
  return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// A field is quoted when it holds a separator, a quote or a line break; quotes are doubled.
void AppendCsvField(std::string& out, const std::string& value) {
  const std::string field = RunsAsFormula(value) ? "'" + value : value;
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    AppendCsvField(out, fields[i]);
  }
  out += "\r\n";
}

void AppendJsonEscape(std::string& out, char16_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 15];
}

// From the UTF-16 text itself, so that a lone surrogate (which has no UTF-8 form) keeps its
// value as a \uXXXX escape and the file stays valid UTF-8.
void AppendJsonString(std::string& out, std::u16string_view text) {
  out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] < 0xE000;
    switch (c) {
      case u'"': out += "\\\""; break;
      case u'\\': out += "\\\\"; break;
      case u'\n': out += "\\n"; break;
      case u'\r': out += "\\r"; break;
      case u'\t': out += "\\t"; break;
      default:
        // The line separators too: JavaScript reads them as line breaks inside a string.
        if (c < 0x20 || c == 0x2028 || c == 0x2029 || (c >= 0xD800 && c < 0xE000 && !pair)) {
          AppendJsonEscape(out, c);
        } else {
          out += WideText(text.substr(i, pair ? 2 : 1)).ToUtf8();
          i += pair;
        }
    }
  }
  out += '"';
}

void AppendJsonString(std::string& out, const std::string& utf8) {
  AppendJsonString(out, WideText::FromUtf8(utf8.data(), utf8.size()).View());
}

std::vector<std::string> TextFields(const ExportRow& row) {
  std::vector<std::string> fields;
  for (int c = 0; c < kDeviceColumnCount; ++c) {
    fields.push_back(c < static_cast<int>(row.cells.size()) ? row.cells[c].ToUtf8() : std::string());
  }
  return fields;
}

uint32_t LittleEndian32(const uint8_t* b) {
  return b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

ExportFormat ExportFormatOf(std::u16string_view path) {
  const size_t dot = path.rfind(u'.');
  const size_t slash = path.find_last_of(u"\\/");
  if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash)) {
    return ExportFormat::kNone;
  }
  const std::u16string_view extension = path.substr(dot);
  if (WideText::EqualsNoCase(extension, u".csv")) return ExportFormat::kCsv;
  if (WideText::EqualsNoCase(extension, u".json")) return ExportFormat::kJson;
  return ExportFormat::kNone;
}

WideText ExportPathForFilter(const WideText& picked, int filterIndex) {
  if (ExportFormatOf(picked.View()) != ExportFormat::kNone) return picked;
  return Concat({picked, filterIndex == 2 ? u".json" : u".csv"});
}

std::string FormatExport(ExportFormat format, std::span<const ExportRow> rows, bool withCheck) {
  const std::vector<std::string> names = FieldNames(withCheck);
  std::string out;
  if (format == ExportFormat::kCsv) {
    out = "\xEF\xBB\xBF";
    AppendCsvRecord(out, names);
    for (const ExportRow& row : rows) {
      std::vector<std::string> fields = TextFields(row);
      fields.push_back(row.present ? "Yes" : "No");
      fields.push_back(std::to_string(row.problemCode));
      if (withCheck) fields.push_back(row.checked ? "Yes" : "No");
      AppendCsvRecord(out, fields);
    }
    return out;
  }
  if (format != ExportFormat::kJson) return out;
  out.assign(1, '[');
  for (size_t r = 0; r < rows.size(); ++r) {
    out += r ? ",\n  {" : "\n  {";
    for (int f = 0; f < kDeviceColumnCount; ++f) {
      AppendJsonString(out, names[f]);
      out += ": ";
      AppendJsonString(out, f < static_cast<int>(rows[r].cells.size()) ? rows[r].cells[f].View() : u"");
      out += ", ";
    }
    AppendJsonString(out, names[kDeviceColumnCount]);
    out += rows[r].present ? ": true, " : ": false, ";
    AppendJsonString(out, names[kDeviceColumnCount + 1]);
    out += ": " + std::to_string(rows[r].problemCode);
    if (withCheck) {
      out += ", ";
      AppendJsonString(out, names[kDeviceColumnCount + 2]);
      out += rows[r].checked ? ": true" : ": false";
    }
    out += "}";
  }
  out += rows.empty() ? "]\n" : "\n]\n";
  return out;
}

std::string FormatTextTable(ExportFormat format, const std::vector<WideText>& names,
                            const std::vector<std::vector<WideText>>& records) {
  std::string out;
  const auto utf8 = [](const std::vector<WideText>& texts) {
    std::vector<std::string> fields;
    for (const WideText& t : texts) fields.push_back(t.ToUtf8());
    return fields;
  };
  if (format == ExportFormat::kCsv) {
    out = "\xEF\xBB\xBF";
    AppendCsvRecord(out, utf8(names));
    for (const std::vector<WideText>& record : records) AppendCsvRecord(out, utf8(record));
    return out;
  }
  if (format != ExportFormat::kJson) return out;
  out.assign(1, '[');
  for (size_t r = 0; r < records.size(); ++r) {
    out += r ? ",\n  {" : "\n  {";
    for (size_t f = 0; f < names.size(); ++f) {
      if (f) out += ", ";
      AppendJsonString(out, names[f].View());
      out += ": ";
      AppendJsonString(out, f < records[r].size() ? records[r][f].View() : u"");
    }
    out += "}";
  }
  out += records.empty() ? "]\n" : "\n]\n";
  return out;
}

std::vector<int> RowsInShownOrder(const DeviceList& list) {
  std::vector<int> rows;
  const int count = list.RowCount();
  if (!list.GroupViewEnabled()) {
    for (int row = 0; row < count; ++row) rows.push_back(row);
    return rows;
  }
  for (int g = 0; g < list.GroupCount(); ++g) {
    ListGroup group;
    if (!list.GroupAt(g, &group)) continue;
    for (int row = 0; row < count; ++row) {
      if (list.RowGroupId(row) == group.groupId) rows.push_back(row);
    }
  }
  return rows;
}

std::vector<ExportRow> ReadExportRows(DevicePlatform& platform, DeviceSet set, const DeviceList& list,
                                      const std::vector<int>& rows) {
  PropertyReader reader(platform);
  std::vector<ExportRow> out;
  for (int row : rows) {
    ExportRow record;
    for (int c = 0; c < kDeviceColumnCount; ++c) record.cells.push_back(list.CellText(row, c));
    record.checked = list.RowChecked(row);
    uint32_t index = 0;
    DeviceInfo device;
    if (set.Valid() && StoredDeviceIndex(list, row, &index) && platform.EnumDeviceInfo(set, index, &device)) {
      uint8_t bytes[4];
      if (reader.ReadFixed(set, device, devpkey::kIsPresent, bytes, 1)) record.present = bytes[0] != 0;
      if (reader.ReadFixed(set, device, devpkey::kProblemCode, bytes, 4)) record.problemCode = LittleEndian32(bytes);
    }
    out.push_back(std::move(record));
  }
  return out;
}

}  // namespace pyr
