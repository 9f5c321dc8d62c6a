// The control ids the toolkit handed out for the main window's menu items, and the commands they
// stand for. Ids are given at run time in creation order, so the window records each one here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/command_table.h"

namespace pyr {

enum class CommandSource : uint8_t { kMenu, kContextMenu };

struct CommandHit {
  Command command;
  CommandSource source;
};

class CommandIds {
 public:
  void Clear() { entries_.clear(); }
  void Add(int32_t id, Command command, CommandSource source);
  // The command of a menu or context-menu item id; nothing for any other id.
  std::optional<CommandHit> Find(int32_t id) const;
  // The id of a command's item in the given menu; 0 when it has none.
  int32_t IdOf(Command command, CommandSource source) const;
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    int32_t id;
    CommandHit hit;
  };
  std::vector<Entry> entries_;
};

}  // namespace pyr
