#include "base/file_system.h"

#include "base/text_list.h"

namespace pyr {

namespace {

// A destination folder: an existing real folder is used, anything else in its place fails, and a
// missing one is made.
bool MakeOrUseFolder(const WideText& folder) {
  if (IsRealDirectory(folder)) return true;
  return !PathTaken(folder) && CreateDirectoryTree(folder) && IsRealDirectory(folder);
}

}  // namespace

bool CreateFolderBelow(const WideText& base, const WideText& folder) {
  WideText top = base;
  top.StripTrailingBackslashes();
  const std::u16string_view path = folder.View();
  if (path.size() <= top.Length() || path.substr(0, top.Length()) != top.View() || path[top.Length()] != u'\\') {
    return false;
  }
  if (!PathTaken(top) && !CreateDirectoryTree(top)) return false;
  WideText level = top;
  const TextList pieces = Split(path.substr(top.Length() + 1), u"\\", true);
  for (const std::u16string& piece : pieces.Pieces()) {
    if (piece.empty()) continue;
    level.Append({u"\\", piece});
    if (!MakeOrUseFolder(level)) return false;
  }
  return true;
}

bool CopyFolderTree(const WideText& source, const WideText& destination, const PendingEventPump& pump) {
  if (!MakeOrUseFolder(destination)) return false;
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
    } else if (!RemovePlainFile(to) || !CopyToNewFile(from, to)) {
      return false;  // a package missing a file is no backup
    }
  } while (entries.Next());
  return true;
}

namespace {

constexpr int kNamesBesideTried = 20;

// A name beside path that nothing holds, made a new folder when make is set.
bool NameBeside(const WideText& path, std::u16string_view tag, bool make, WideText* name) {
  for (int i = 1; i <= kNamesBesideTried; ++i) {
    name->AssignConcat({path, tag, WideText::FromInt32(i)});
    if (make ? CreateNewFolder(*name) : !PathTaken(*name)) return true;
  }
  return false;
}

// Into a folder this copy made: every name below it is new, so each folder is made by one create
// and each file copied to a name nothing may hold (a link put there meanwhile fails the copy).
bool CopyIntoNewFolder(const WideText& source, const WideText& destination, const PendingEventPump& pump) {
  DirectoryIterator entries;
  // A source that cannot be listed is no copy: put in place, its empty folder would replace an
  // earlier whole one.
  if (!entries.Open(Concat({source, u"\\*"}), kSkipReparsePoints)) return false;
  WideText from, to;
  do {
    if (pump) pump();
    from.AssignConcat({source, u"\\", entries.Name()});
    to.AssignConcat({destination, u"\\", entries.Name()});
    if (entries.IsDirectory() ? !CreateNewFolder(to) || !CopyIntoNewFolder(from, to, pump) : !CopyToNewFile(from, to)) {
      return false;
    }
  } while (entries.Next());
  return true;
}

}  // namespace

bool CopyFolderIntoPlace(const WideText& source, const WideText& destination, const PendingEventPump& pump) {
  const bool replacing = PathTaken(destination);
  if (replacing && !IsRealDirectory(destination)) return false;  // a link or a file is never replaced
  WideText fresh, earlier;
  if (!NameBeside(destination, u".pyravel-new-", true, &fresh)) return false;
  bool placed = CopyIntoNewFolder(source, fresh, pump);
  if (placed && replacing) {
    placed = NameBeside(destination, u".pyravel-old-", false, &earlier) && RenameToNewName(destination, earlier);
  }
  if (placed && !RenameToNewName(fresh, destination)) {
    // Something took the name in between: the earlier copy goes back if it can, and is kept if not.
    if (replacing) RenameToNewName(earlier, destination);
    placed = false;
  }
  if (!placed) DeletePath(fresh, 0);
  if (placed && replacing) DeletePath(earlier, 0);
  return placed;
}

WideText LongPath(const WideText& path) {
  WideText p = path;
  p.AddLongPathPrefix();
  return p;
}

}  // namespace pyr
