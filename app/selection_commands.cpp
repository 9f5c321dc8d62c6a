#include "app/selection_commands.h"

#include "app/main_window_texts.h"
#include "app/web_addresses.h"
#include "devices/device_dates.h"
#include "devices/device_status.h"
#include "operations/device_batch.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"
#include "ui/dialogs/message_rules.h"

namespace pyr {

namespace {

constexpr int kNameColumn = 0;
constexpr int kStatusColumn = 1;
constexpr int kHardwareIdColumn = 7;

bool MatchesRule(const WideText& status, CheckRule rule) {
  switch (rule) {
    case CheckRule::kNotPresent:
      return IsNotPresentStatus(status.View());
    case CheckRule::kDisabled:
      return IsDisabledStatus(status.View());
    case CheckRule::kWithErrors:
      return IsErrorStatus(status.View());
  }
  return false;
}

}  // namespace

void CheckAllRows(DeviceList& list, bool checked) { list.SetAllChecked(checked); }

void CheckRowsInSelectedGroup(OperationHost& host, bool checked) {
  if (!host.ListGrouped()) return;
  DeviceList& list = host.List();
  const int selected = list.SelectedRow();
  if (selected < 0) {
    host.AskUser(kSelectItemFirst, kMessageOk);
    return;
  }
  const int group = list.RowGroupId(selected);
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.RowGroupId(row) == group) list.SetRowChecked(row, checked);
  }
}

void CheckRowsByStatus(DeviceList& list, CheckRule rule) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (MatchesRule(list.CellText(row, kStatusColumn), rule)) list.SetRowChecked(row, true);
  }
}

void CheckNotPresentLongerThan(OperationHost& host, uint32_t days, uint64_t now) {
  DeviceList& list = host.List();
  PropertyReader reader(host.Platform());
  for (int row = 0; row < list.RowCount(); ++row) {
    DeviceInfo device;
    if (!IsNotPresentStatus(list.CellText(row, kStatusColumn).View()) ||
        !DeviceOfRow(host, row, &device)) {
      continue;
    }
    const auto removed = ReadDeviceDate(reader, host.InventorySet(), device, devpkey::kLastRemovalDate);
    if (AbsentLongerThan(removed, now, days)) list.SetRowChecked(row, true);
  }
}

void CheckPhysicalDevices(OperationHost& host) {
  DeviceList& list = host.List();
  PropertyReader reader(host.Platform());
  std::vector<WideText> paths;
  for (int row = 0; row < list.RowCount(); ++row) {
    DeviceInfo device;
    if (DeviceOfRow(host, row, &device) &&
        reader.Read(host.InventorySet(), device, devpkey::kLocationPaths, &paths) > 0) {
      list.SetRowChecked(row, true);
    }
  }
}

int FindNextRow(const DeviceList& list, const WideText& text, int lastFound) {
  if (text.Empty()) return -1;
  for (int row = lastFound < 0 ? 0 : lastFound + 1; row < list.RowCount(); ++row) {
    if (list.CellText(row, kNameColumn).Find(text.View(), false) != 0) return row;
  }
  return -1;
}

void RevealRow(DeviceList& list, int row) {
  const int group = list.RowGroupId(row);
  if (group != kNoGroup) list.SetGroupState(group, kGroupCollapsed, 0);
  list.ScrollToRow(row);
  list.SelectRow(row);
}

WideText SearchTextOfRow(const DeviceList& list, int row, SearchKind kind) {
  switch (kind) {
    case SearchKind::kHardwareId:
      return list.CellText(row, kHardwareIdColumn);
    case SearchKind::kDeviceName:
      return list.CellText(row, kNameColumn);
    case SearchKind::kNameAndHardwareId:
      return Concat({list.CellText(row, kNameColumn), u" ", list.CellText(row, kHardwareIdColumn)});
  }
  return WideText();
}

WideText EscapeSearchText(const WideText& text) {
  // Blanks and tabs become "+"; everything outside the unreserved set is percent-escaped as
  // UTF-8, so "#", "&", "+", line breaks and the like cannot cut or change the query.
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string escaped;
  for (unsigned char c : text.ToUtf8()) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      escaped += char16_t(c);
    } else if (c == ' ' || c == '\t') {
      escaped += u'+';
    } else {
      escaped += {u'%', char16_t(kHex[c >> 4]), char16_t(kHex[c & 15])};
    }
  }
  return WideText(escaped);
}

WideText SearchUrl(const WideText& text) {
  return Concat({SearchUrlPrefix(), EscapeSearchText(text)});
}

}  // namespace pyr
