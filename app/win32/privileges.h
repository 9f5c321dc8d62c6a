// The token privileges the program's own calls need, enabled in the window and for the
// command-line jobs alike; programs it starts get none of them (base/win32/process.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pyr {

// Enables the privileges of the table (base/win32/privilege_table.h) on the process token in one
// call. Returns the token's previous state (a TOKEN_PRIVILEGES block), or nothing when the token
// could not be opened or adjusted. Privileges the token does not hold are simply not enabled.
std::optional<std::vector<uint8_t>> EnablePrivileges();

}  // namespace pyr
