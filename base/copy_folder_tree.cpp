#include "base/file_system.h"

namespace pyr {

bool CopyOneFile(const WideText& from, const WideText& to);  // platform: overwrites

bool CopyFolderTree(const WideText& source, const WideText& destination, const PendingEventPump& pump) {
  if (!CreateDirectoryTree(destination)) return false;
  DirectoryIterator entries;
  // A source that cannot be listed leaves an empty destination, which still counts as copied.
  if (!entries.Open(Concat({source, u"\\*"}), kSkipReparsePoints)) return true;
  WideText from, to;
  do {
    if (pump) pump();
    from.AssignConcat({source, u"\\", entries.Name()});
    to.AssignConcat({destination, u"\\", entries.Name()});
    if (entries.IsDirectory()) {
      if (!CopyFolderTree(from, to, pump)) return false;
    } else {
      CopyOneFile(from, to);  // a file that cannot be copied does not stop the rest
    }
  } while (entries.Next());
  return true;
}

WideText LongPath(const WideText& path) {
  WideText p = path;
  p.AddLongPathPrefix();
  return p;
}

}  // namespace pyr
