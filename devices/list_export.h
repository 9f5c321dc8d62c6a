// The device list written to a file: CSV (RFC 4180, UTF-8 with a byte-order mark so that
// spreadsheet programs read it as UTF-8) or JSON, one record per row with the ten column texts,
// whether the device is present and its problem code, and optionally its check state.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/wide_text.h"
#include "devices/device_list.h"
#include "devices/device_platform.h"

namespace pyr {

enum class ExportFormat { kNone, kCsv, kJson };

// By the file's extension, case ignored; kNone for any other.
ExportFormat ExportFormatOf(std::u16string_view path);

// The path a Save As pick means: as picked when it ends in .csv or .json, else with the extension of
// the filter picked (1: CSV, 2: JSON) added.
WideText ExportPathForFilter(const WideText& picked, int filterIndex);

struct ExportRow {
  std::vector<WideText> cells;  // the ten column texts
  bool present = true;
  uint32_t problemCode = 0;
  bool checked = false;
};

// The whole file's bytes; with withCheck a "Checked" field follows the others.
std::string FormatExport(ExportFormat format, std::span<const ExportRow> rows, bool withCheck);

// Any table by the same rules: a header of names, then one record of text fields per row (the
// driver store's packages use it).
std::string FormatTextTable(ExportFormat format, const std::vector<WideText>& names,
                            const std::vector<std::vector<WideText>>& records);

// The rows in the order they are shown: in group view group by group (in the groups' order),
// rows without a shown group left out; otherwise in row order.
std::vector<int> RowsInShownOrder(const DeviceList& list);

// The rows (in the order given) with what the device set says of their presence and problem.
std::vector<ExportRow> ReadExportRows(DevicePlatform& platform, DeviceSet set, const DeviceList& list,
                                      const std::vector<int>& rows);

}  // namespace pyr
