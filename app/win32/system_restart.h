// The restart that finishes a device installation.
#pragma once

namespace pyr {

// InitiateShutdownW: restart in ten seconds with the notice shown to the user, reason "hardware
// driver". False when the system refused.
bool RequestSystemRestart(const char16_t* message);

}  // namespace pyr
