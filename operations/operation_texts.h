// What the operations say to the user, word for word.
#pragma once

namespace pyr {

inline constexpr char16_t kCheckItemsFirst[] =
    u"Please check one or more items before using this feature.";

inline constexpr char16_t kSelectItemFirst[] =
    u"Please select one item before using this feature. To select an item, click one row";

// A command whose worker thread could not be started.
inline constexpr char16_t kOperationNotStarted[] = u"Sorry, the operation could not be started.";

inline constexpr char16_t kStateNotSet[] = u"Sorry, the requested device state could not be set.";

}  // namespace pyr
