// "Update drivers with Ovelant": refresh the maker's updater beside the program when online,
// then start it.
#pragma once

#include "operations/operation_host.h"

namespace pyr {

inline constexpr char16_t kUpdaterArguments[] = u" /update /flag=1";
inline constexpr char16_t kUpdaterFailed[] = u"Sorry, Ovelant could not be downloaded. Try again later.";
inline constexpr char16_t kUpdaterNotSigned[] =
    u"Ovelant.exe beside Pyravel is not signed by its maker, so it was not started.";
inline constexpr char16_t kUpdaterDownloadNotSigned[] =
    u"The Ovelant.exe the server sent is not signed by its maker, so it was deleted.";
inline constexpr char16_t kUpdaterNoSite[] =
    u"No site is set to fetch Ovelant from. Start the sandbox with --site URL to serve it.";

// True when the updater was started.
bool UpdateDriversWithOvelant(OperationHost& host);

}  // namespace pyr
