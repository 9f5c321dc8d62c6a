// The decisions of the driver backup: where a device's package goes and what the user is told.
#pragma once

#include <cstdint>

#include "base/wide_text.h"

namespace pyr {

inline constexpr char16_t kBackupFolderTitle[] = u"Please indicate the desination folder";
inline constexpr char16_t kBackupPreparing[] = u"Preparing to backup...";
inline constexpr char16_t kBackupAllQuestion[] =
    u"You are about to backup all your device drivers.\r\n\r\nDo you want to include devices not present?";
inline constexpr char16_t kUnknownClass[] = u"Unknown class";
inline constexpr char16_t kBackedUpSuffix[] = u" was successfully backed up.";
inline constexpr char16_t kNotBackedUpSuffix[] = u" could not be backed up.";

// "Backup all" flags.
enum BackupAllFlags : uint32_t {
  kBackupIncludeNotPresent = 1,
  kBackupAskAboutNotPresent = 2,
};

// The picked folder without trailing backslashes; for a whole-PC backup "\DriverBackup" is added
// unless the path already holds it (in any case).
WideText BackupRoot(const WideText& picked, bool wholePc);

// Where a backup writes: below the folder the user chose, nothing existing may be a link.
class PackageFolders;
struct BackupTarget {
  WideText chosen;  // the pick, trailing backslashes removed: the user's own, used as it is
  WideText root;    // chosen, or chosen\DriverBackup for a whole-PC backup
  PackageFolders* folders = nullptr;  // the run's folders, so that two packages never share one
};
BackupTarget MakeBackupTarget(const WideText& picked, bool wholePc);

// A folder or file name Windows can open: each character a name cannot hold (/ : * ? " < > | and
// the control characters) replaced with "_", trailing dots and blanks trimmed (Windows drops them,
// so the name would mean another folder), and a device name (CON, NUL, COM1, LPT1 and the like,
// with or without an extension) given a "_" after its stem. Empty when nothing usable is left.
WideText UsableName(std::u16string_view name);

// The text parts naming a device's backup folder; manufacturer and version may be absent.
struct BackupFolderParts {
  WideText className;  // empty: "Unknown class"
  WideText name;
  const WideText* manufacturer = nullptr;
  const WideText* version = nullptr;
};

// root\class\name[ - manufacturer][ - version], each backslash level made usable (UsableName):
// "Series/C230" or "phone: work" is one level with "_" in place. The parts come from drivers and
// gadgets anyone can install or pair, so one that could lead out of root (a "." or ".." level, a
// drive, a root, "\\?\" or "\\" prefix, a stream, an empty level) gives false and nothing is
// to be written.
bool DeviceBackupFolder(const WideText& root, const BackupFolderParts& parts, WideText* folder);

// Whether a part, split into folder levels at its backslashes, stays below the folder it is put in.
bool PartStaysInside(std::u16string_view part);

// "Operation complete. 2 drivers backed up." and the like.
WideText BackupSummary(bool cancelled, uint32_t count);

// The driver-store folder of a package from the path of its INF inside the store.
WideText StoreFolderOfInf(const WideText& infInStore);

}  // namespace pyr
