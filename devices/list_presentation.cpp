#include "devices/list_presentation.h"

namespace pyr {

namespace {

constexpr const char16_t* kNeedChecked[] = {
    u"Uninstall checked",       u"Uninstall and delete drivers", u"Update checked devices",
    u"Change checked device drivers", u"Reinstall checked devices", u"Disable checked",
    u"Enable checked",          u"Restart checked",              u"Backup checked",
};
constexpr const char16_t* kNeedSelected[] = {
    u"Check all in this group", u"Check none in this group",    u"Google device name",
    u"Google hardware ID",      u"Google name and hardware ID", u"Copy hardware ID",
    u"Copy device name",        u"Device properties",
};
constexpr const char16_t* kNeedGroups[] = {u"Expand all groups", u"Collapse all groups"};

}  // namespace

CommandAvailability UpdateCommandAvailability(const DeviceList& list, uint32_t listFlags) {
  const bool anyChecked = !list.CheckedRows().empty();
  const bool selected = list.SelectedRow() >= 0;
  const bool grouped = !(listFlags & kListFlat);
  CommandAvailability out;
  for (const char16_t* text : kNeedChecked) out.push_back({text, anyChecked});
  for (const char16_t* text : kNeedSelected) out.push_back({text, selected});
  for (const char16_t* text : kNeedGroups) out.push_back({text, grouped});
  return out;
}

void ExpandAllGroups(DeviceList& list, bool expand) {
  const int count = list.GroupCount();
  for (int i = 0; i < count; ++i) {
    ListGroup group;
    if (list.GroupAt(i, &group)) {
      list.SetGroupState(group.groupId, kGroupCollapsed, expand ? 0 : kGroupCollapsed);
    }
  }
}

WideText ClassLine(const WideText& className, const Guid& guid) {
  return Concat({u"Class name: ", className, u" | GUID: ", guid.ToRegistryText()});
}

}  // namespace pyr
