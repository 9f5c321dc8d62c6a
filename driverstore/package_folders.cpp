#include "driverstore/package_folders.h"

#include <algorithm>

namespace pyr {

namespace {

// Folder names as Windows compares them.
bool SameName(const WideText& a, const WideText& b) { return WideText::EqualsNoCase(a.View(), b.View()); }

}  // namespace

WideText PackageFolders::Claim(const WideText& wanted, const WideText& storeFolder, bool* copied) {
  WideText folder = wanted;
  for (int n = 2;; ++n) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return SameName(h.folder, folder); });
    if (it == held_.end()) {
      held_.push_back({folder, storeFolder, false});
      *copied = false;
      return folder;
    }
    if (SameName(it->storeFolder, storeFolder)) {
      *copied = it->copied;
      return folder;
    }
    folder = Concat({wanted, u" (", WideText::FromInt32(n), u")"});
  }
}

void PackageFolders::SetCopied(const WideText& folder, bool copied) {
  for (Held& h : held_) {
    if (SameName(h.folder, folder)) h.copied = copied;
  }
}

}  // namespace pyr
