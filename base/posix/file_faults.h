// The fault schedule of the POSIX file-system stand-in: the nth call of a primitive that
// writes, moves, deletes or reads fails from then on counted (EIO), as a full or failing disk
// would fail it. Counted across threads, since backups run on workers.
#pragma once

#include <cstdint>

namespace pyr::file_faults {

// The nth call from now fails (1 for the next); 0: none. The count starts again.
void Schedule(uint64_t nth);
// Calls since the last Schedule.
uint64_t Calls();
// Counts one call; true when it is the one to fail.
bool Fails();

}  // namespace pyr::file_faults
