// BuildInventory: reads the classes, opens a new device set and fills the list, one row per
// listed device.
#include <utility>

#include "devices/device_inventory.h"
#include "devices/device_columns.h"
#include "devices/device_dates.h"
#include "devices/device_status.h"
#include "devices/property_keys.h"
#include "devices/property_reader.h"

namespace pyr {

namespace {

constexpr int kMaxSortPasses = 5000;
constexpr uint32_t kAllClassesFlags = 0;

// The column to sort by after this build.
int SortColumnFor(const DeviceInventory& inventory, const DeviceList& list, uint32_t flags) {
  if ((flags & kListFlat) == (inventory.storedFlags & kListFlat)) return list.SortArrowColumn();
  return (flags & kListFlat) ? kColumnClass : kColumnName;
}

// Reads every class GUID; the count can change between the two calls, so ask again then.
std::vector<Guid> ReadClassGuids(DevicePlatform& platform) {
  std::vector<Guid> guids;
  uint32_t count = 0;
  platform.BuildClassInfoList(kAllClassesFlags, nullptr, 0, &count);
  for (int attempt = 0; attempt < 3; ++attempt) {
    guids.assign(count, Guid());
    uint32_t needed = 0;
    if (count == 0 ||
        platform.BuildClassInfoList(kAllClassesFlags, guids.data(), count, &needed)) {
      return guids;
    }
    if (needed <= count) break;
    count = needed;
  }
  return {};
}

// Sorts by description, case ignored; a bubble sort with a bounded number of passes.
void SortClassTable(std::vector<DeviceClassInfo>& table, size_t n) {
  if (n <= 1) return;
  for (int pass = 0; pass < kMaxSortPasses; ++pass) {
    bool swapped = false;
    for (size_t i = 1; i < n; ++i) {
      if (WideText::Compare(table[i].description.View(), table[i - 1].description.View(),
                            false) < 0) {
        std::swap(table[i], table[i - 1]);
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}

bool IsRemembered(const std::vector<WideText>& headers, const WideText& header) {
  for (const WideText& h : headers) {
    if (WideText::EqualsNoCase(h.View(), header.View())) return true;
  }
  return false;
}

// The selected device and the expanded groups survive the rebuild.
WideText ForgetRows(DeviceList& list, std::vector<WideText>* expanded) {
  WideText selectedInstance;
  if (list.RowCount() > 0) {
    const int selected = list.SelectedRow();
    if (selected >= 0) selectedInstance = list.CellText(selected, kColumnInstanceId);
    const int groups = list.GroupCount();
    for (int i = 0; i < groups; ++i) {
      ListGroup group;
      if (list.GroupAt(i, &group) && !(group.state & kGroupCollapsed)) {
        expanded->push_back(group.header);
      }
    }
  }
  // Groups go even when there were no rows, so none is left over from an earlier build.
  list.DeleteAllRows();
  list.RemoveAllGroups();
  return selectedInstance;
}

// The date part of the reader's date-and-time text.
WideText DateOnly(WideText dateTime) {
  if (int blank = dateTime.Find(u" ")) dateTime.Left(blank - 1);
  return dateTime;
}

uint32_t LittleEndian32(const uint8_t* b) {
  return b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

bool BuildInventory(DeviceInventory& inventory, DeviceList& list, InventoryHost& host,
                    uint32_t listFlags, WindowHandle mainWindow) {
  DevicePlatform& platform = inventory.platform_;
  const bool grouping = !(listFlags & kListFlat);

  inventory.sortColumn = SortColumnFor(inventory, list, listFlags);
  inventory.storedFlags = listFlags;

  list.SetRedraw(false);
  inventory.expandedHeaders.clear();
  const WideText selectedInstance = ForgetRows(list, &inventory.expandedHeaders);
  list.EnableGroupView(grouping);

  // Classes: the system's list plus the entry for devices without a class.
  std::vector<Guid> guids = ReadClassGuids(platform);
  const size_t n = guids.size();
  std::vector<DeviceClassInfo>& table = inventory.classes_;
  table.assign(n + 1, DeviceClassInfo());
  for (size_t i = 0; i < n; ++i) table[i].guid = guids[i];

  // The new image list first: when it cannot be made, the list keeps showing the old one,
  // which must then stay alive.
  ClassImageList images;
  if (platform.GetClassImageList(&images)) {
    list.SetSmallImageList(images.imageList);
    list.SetGroupHeaderImageList(images.imageList);
    if (inventory.images_.Valid()) platform.DestroyClassImageList(inventory.images_);
    inventory.images_ = images;
  }
  for (size_t i = 0; i < table.size(); ++i) {
    DeviceClassInfo& c = table[i];
    platform.ClassNameFromGuid(c.guid, &c.name);
    platform.GetClassDescription(c.guid, &c.description);
    int32_t image = -1;
    if (inventory.images_.Valid() &&
        platform.GetClassImageIndex(inventory.images_, c.guid, &image) && image >= 0) {
      c.imageIndex = image;
    }
  }

  if (inventory.set_.Valid()) platform.DestroyDeviceInfoList(inventory.set_);
  inventory.set_ = platform.GetClassDevs(
      nullptr, nullptr, mainWindow,
      kDigcfAllClasses | ((listFlags & kListShowNotPresent) ? 0 : kDigcfPresent));
  inventory.usersComplete_ = false;
  if (!inventory.set_.Valid()) {
    inventory.set_ = DeviceSet();
    host.ShowMessage(WideText(kBuildFailedMessage));
    host.ApplyCommandAvailability(UpdateCommandAvailability(list, listFlags));
    list.SetRedraw(true);
    return false;
  }

  SortClassTable(table, n);
  // Classes share pictures (every class without one of its own, and the no-class entry, gets the
  // Unknown picture) and the list refuses a second group of an identifier: the place in the
  // table is each class's own.
  for (size_t i = 0; i < table.size(); ++i) table[i].groupId = static_cast<int>(i);
  if (grouping) {
    for (const DeviceClassInfo& c : table) {
      ListGroup group;
      group.header = c.description;
      group.descriptionTop = ClassLine(c.name, c.guid);
      group.groupId = c.groupId;
      group.titleImage = c.imageIndex;
      group.state = kGroupCollapsible |
                    (IsRemembered(inventory.expandedHeaders, c.description) ? 0 : kGroupCollapsed);
      list.InsertGroup(group);
    }
  }

  PropertyReader reader(platform);
  std::vector<WideText> texts;
  bool reselected = false;
  DeviceInfo device;
  const DeviceSet set = inventory.set_;
  // The packages' devices come with this pass when it sees every device, present or not.
  PackageUsers& users = inventory.users_;
  users = PackageUsers();
  bool usersComplete = (listFlags & kListShowNotPresent) != 0;
  // A device left out of the list still counts for the package it was installed from.
  const auto countUnlisted = [&](const DeviceInfo& unlisted) {
    if (!usersComplete) return;
    const WideText inf = reader.ReadFirst(set, unlisted, devpkey::kDriverInfPath);
    if (reader.LastReadFailed()) usersComplete = false;
    uint8_t present = 1;  // unknown counts as present: the safer side for removal
    reader.ReadFixed(set, unlisted, devpkey::kIsPresent, &present, 1);
    if (!inf.Empty()) users.Add(inf, present != 0, WideText(kUnknownDeviceName));
  };
  uint32_t enumError = 0;
  for (uint32_t i = 0; platform.EnumDeviceInfo(set, i, &device, &enumError); ++i) {
    uint8_t guidBytes[16];
    Guid classGuid;
    if (reader.ReadFixed(set, device, devpkey::kClassGuid, guidBytes, 16)) {
      classGuid = Guid::FromBytes(guidBytes);
    }
    const DeviceClassInfo* cls = nullptr;
    for (const DeviceClassInfo& c : table) {
      if (c.guid == classGuid) {
        cls = &c;
        break;
      }
    }
    if (!cls) {
      countUnlisted(device);
      continue;
    }
    if (reader.Read(set, device, devpkey::kHardwareIds, &texts) == 0) {
      countUnlisted(device);
      continue;
    }
    const WideText hardwareId = std::move(texts.front());

    WideText name(kUnknownDeviceName);
    if (reader.Read(set, device, devpkey::kName, &texts)) name = std::move(texts.front());
    const int row = list.InsertRow(static_cast<int>(i), name, cls->imageIndex,
                                   grouping ? cls->groupId : kNoGroup, 1);
    if (row < 0) {
      countUnlisted(device);
      continue;
    }
    StoreDeviceIndex(list, row, i);

    uint8_t bytes[4];
    DeviceState state;
    state.noClass = classGuid.IsNull();
    if (reader.ReadFixed(set, device, devpkey::kProblemCode, bytes, 4)) {
      state.problemCode = LittleEndian32(bytes);
    }
    // Devices hidden from uninstall interfaces are still listed in full: every row needs a
    // status for the selection rules to classify it.
    if (reader.ReadFixed(set, device, devpkey::kIsPresent, bytes, 1)) state.present = bytes[0];

    list.SetCellText(row, kColumnStatus, DeviceStatusText(state));
    const std::pair<DeviceColumn, DevPropKey> columns[] = {
        {kColumnClass, devpkey::kClass},
        {kColumnManufacturer, devpkey::kManufacturer},
        {kColumnDriverDate, devpkey::kDriverDate},
        {kColumnDriverVersion, devpkey::kDriverVersion},
        {kColumnServiceName, devpkey::kService},
    };
    for (const auto& [column, key] : columns) {
      if (reader.Read(set, device, key, &texts) == 0) continue;
      list.SetCellText(row, column,
                       column == kColumnDriverDate ? DateOnly(std::move(texts.front()))
                                                   : texts.front());
    }
    list.SetCellText(row, kColumnHardwareId, hardwareId);
    if (reader.Read(set, device, devpkey::kDriverInfPath, &texts)) {
      list.SetCellText(row, kColumnInfPath, texts.front());
      if (usersComplete) users.Add(texts.front(), state.present, name);
    } else if (reader.LastReadFailed()) {
      usersComplete = false;
    }
    WideText instanceId = reader.ReadFirst(set, device, devpkey::kInstanceId);
    if (!reselected && !selectedInstance.Empty() &&
        WideText::EqualsNoCase(selectedInstance.View(), instanceId.View())) {
      list.SelectRow(row);
      reselected = true;
    }
    list.SetCellText(row, kColumnInstanceId, instanceId);
    // Two reads and no more; a system without the dates leaves the cells empty.
    const DevPropKey dates[] = {LastConnectedKey(state.present), devpkey::kFirstInstallDate};
    const DeviceColumn dateColumns[] = {kColumnLastConnected, kColumnInstalled};
    for (int d = 0; d < 2; ++d) {
      if (reader.Read(set, device, dates[d], &texts)) list.SetCellText(row, dateColumns[d], texts.front());
    }

    const uint32_t colour = DeviceRowColour(state);
    if (colour != kDefaultColour) list.SetRowColour(row, colour);
    if (grouping && (state.problemCode != 0 || state.noClass)) {
      list.SetGroupState(cls->groupId, kGroupCollapsed, 0);
    }
  }

  // A set whose enumeration stopped early may hold devices that were never seen.
  inventory.usersComplete_ = usersComplete && enumError == kErrorNoMoreItems;
  list.EnableGroupView(grouping);
  host.ApplyCommandAvailability(UpdateCommandAvailability(list, listFlags));
  list.SortRows(inventory.sortColumn, kSortKeepShown);
  // Only now is the re-selected row where it will stay.
  if (list.SelectedRow() >= 0) list.ScrollToRow(list.SelectedRow());
  list.SetRedraw(true);
  return true;
}

}  // namespace pyr
