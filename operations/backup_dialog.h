// What the backups run in: the folder pick, the results dialog, the summary and the wait for OK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "driverstore/backup_copy.h"
#include "operations/operation_host.h"

namespace pyr {

// SHBrowseForFolder's BIF_RETURNONLYFSDIRS and BIF_VALIDATE.
inline constexpr uint32_t kBifReturnOnlyFsDirs = 0x1;
inline constexpr uint32_t kBifValidate = 0x20;

void OpenBackupDialog(OperationHost& host);
// The summary, or with started false the notice that nothing could start; then waits for the
// dialog's close and closes it.
void ShowBackupSummaryAndWait(OperationHost& host, uint32_t count, bool started = true);

// What one item of a backup came to; kAbandon ends the command at once, without a summary.
enum class BackupStep { kBackedUp, kNotBackedUp, kAbandon };
using BackupItem = std::function<BackupStep(size_t item, const BackupTarget& target, BackupReport& report,
                                            const PendingEventPump& pump)>;

// A backup of chosen items on the interface thread: none chosen answers 0 and a cancelled pick -1,
// both before anything is shown. Otherwise the dialog, each item in turn with pending events
// taken after it and cancel looked at between items, the summary and the wait. Items backed up.
int RunPickedBackup(OperationHost& host, size_t items, const BackupItem& backUp);

}  // namespace pyr
