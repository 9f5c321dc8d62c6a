#include "ui/win32/control_table.h"

namespace pyr {

void ControlTable::Clear() {
  entries_.clear();
  entries_.reserve(512);
  entries_.resize(kFirstControlId);
}

int32_t ControlTable::Add(uint32_t kind) {
  ControlEntry& e = entries_.emplace_back();
  e.kind = kind;
  e.id = LastId();
  return e.id;
}

ControlEntry* ControlTable::Find(int32_t id) {
  if (id == -1) id = LastId();
  if (id < 1 || id > LastId()) return nullptr;
  ControlEntry& e = At(id);
  return e.id ? &e : nullptr;
}

const ControlEntry* ControlTable::Find(int32_t id) const {
  return const_cast<ControlTable*>(this)->Find(id);
}

int32_t ControlTable::IdOfHandle(HWND handle) const {
  if (!handle) return 0;
  const LONG_PTR id = GetWindowLongPtrW(handle, GWLP_ID);
  if (id < 1 || id > LastId()) return 0;
  const ControlEntry& e = entries_[static_cast<size_t>(id)];
  return e.id && e.handle == handle ? static_cast<int32_t>(id) : 0;
}

}  // namespace pyr
