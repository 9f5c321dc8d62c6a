#include "base/file_system.h"

namespace pyr {

namespace {

constexpr int kNamesTried = 20;

}  // namespace

bool CreateProtectedFolder(const WideText& path, WideText* aside) {
  if (CreateSecuredFolder(path) || IsTrustedProgramFolder(path)) return true;
  if (!PathTaken(path)) return false;
  // A standard user's folder, or a link, was there first: nothing in it is read, pruned or
  // offered. It is renamed aside, for an administrator to look at, and a folder of the program's
  // own takes the name.
  for (int i = 1; i <= kNamesTried; ++i) {
    const WideText name = Concat({path, u" (untrusted ", WideText::FromInt32(i), u")"});
    if (PathTaken(name)) continue;
    if (!RenameToNewName(path, name)) return false;
    if (aside) *aside = name;
    return CreateSecuredFolder(path);
  }
  return false;
}

}  // namespace pyr
