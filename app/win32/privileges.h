// The token privileges the program's operations rely on (backup and restore of driver files,
// taking ownership, shutdown). Privileges the token does not hold are simply not enabled.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pyr {

// Enables the twelve privileges on the process token in one call. Returns the token's previous
// state (a TOKEN_PRIVILEGES block), or nothing when the token could not be opened or adjusted.
std::optional<std::vector<uint8_t>> EnablePrivileges();

}  // namespace pyr
