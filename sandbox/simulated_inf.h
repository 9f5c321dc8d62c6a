// What the simulated platform reads from an INF file on disk: the [Version] section's DriverVer,
// Provider and Class, and the hardware IDs its model lines name.
#pragma once

#include <string_view>

#include "sandbox/simulated_pc.h"

namespace pyr {

// Fills package (all but the published name and store folder) from INF text; false when it has
// no DriverVer.
bool ParseInfPackage(std::string_view text, DriverPackage* package);
// Reads the file at path; false when it cannot be read or parsed.
bool ReadInfPackage(std::u16string_view path, DriverPackage* package);

}  // namespace pyr
