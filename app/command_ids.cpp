#include "app/command_ids.h"

namespace pyr {

void CommandIds::Add(int32_t id, Command command, CommandSource source) {
  if (id <= 0 || command == Command::kNone) return;
  entries_.push_back({id, {command, source}});
}

std::optional<CommandHit> CommandIds::Find(int32_t id) const {
  if (id <= 0) return std::nullopt;
  for (const Entry& e : entries_) {
    if (e.id == id) return e.hit;
  }
  return std::nullopt;
}

int32_t CommandIds::IdOf(Command command, CommandSource source) const {
  for (const Entry& e : entries_) {
    if (e.hit.command == command && e.hit.source == source) return e.id;
  }
  return 0;
}

}  // namespace pyr
