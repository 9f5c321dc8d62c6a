// What the main window says to the user, word for word.
#pragma once

#include "operations/operation_texts.h"

namespace pyr {

inline constexpr char16_t kFirstRunQuestion[] =
    u"You seem to be using Pyravel for the first time in this PC\r\n\r\n"
    u"Do you want to create a driver backup?";

inline constexpr char16_t kStartupTip[] =
    u"Click a group header to expand/collapse it. Double click a device's line to tick it out.\r\n"
    u"Click a button in the right pane to display the associated menu. Click again to hide the menu.\r\n"
    u"Uncheck 'Show startup tooltip' to disable this tip.";

// Shown when the box is ticked again; shorter than the startup tip and without full stops.
inline constexpr char16_t kStartupTipReenabled[] =
    u"Click a group header to expand/collapse it. Double click a device's line to tick it out\r\n"
    u"Click a button in the right pane to display the associated menu. Click again to hide the menu";

inline constexpr char16_t kRebootQuestion[] =
    u"This computer needs to be rebooted in order to finish setting up one or more devices.\r\n\r\n"
    u"Do you want to reboot now?";

inline constexpr char16_t kRebootMessage[] = u"This computer will reboot in less than ten seconds";

inline constexpr char16_t kStartupTipBox[] = u"Show startup tooltip";
inline constexpr char16_t kLegendTitle[] = u"Legend:";
inline constexpr char16_t kDonateLink[] = u"Love this app? <a>Donate</a>";

}  // namespace pyr
