#include "devices/list_presentation.h"

namespace pyr {

bool CommandAvailability::Allows(CommandNeed need) const {
  switch (need) {
    case CommandNeed::kCheckedRow:
      return anyChecked;
    case CommandNeed::kSelectedRow:
      return rowSelected;
    case CommandNeed::kGroups:
      return grouped;
    case CommandNeed::kNothing:
      break;
  }
  return true;
}

CommandAvailability UpdateCommandAvailability(const DeviceList& list, uint32_t listFlags) {
  return {.anyChecked = !list.CheckedRows().empty(),
          .rowSelected = list.SelectedRow() >= 0,
          .grouped = !(listFlags & kListFlat)};
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
