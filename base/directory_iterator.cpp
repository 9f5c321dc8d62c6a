#include "base/file_system.h"

namespace pyr {

bool DirectoryIterator::Accept() const {
  if (name_ == u"." || name_ == u"..") return false;
  if ((options_ & kSkipReparsePoints) && IsReparsePoint()) return false;
  if ((options_ & kFilesOnly) && IsDirectory()) return false;
  if ((options_ & kFoldersOnly) && !IsDirectory()) return false;
  return true;
}

bool DirectoryIterator::Next() {
  while (Advance()) {
    if (Load() && Accept()) return true;
  }
  Close();
  return false;
}

}  // namespace pyr
