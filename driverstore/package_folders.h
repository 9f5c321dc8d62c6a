// The folders one backup run (or one batch of copies before removal) gives driver packages: two
// different packages never share one, whereas twin devices that use the same package do.
#pragma once

#include <vector>

#include "base/wide_text.h"

namespace pyr {

class PackageFolders {
 public:
  // The folder for the package in storeFolder, given the one its device's names make: that one,
  // unless another package of this run holds it, then "wanted (2)", "wanted (3)" and so on.
  // copied tells whether the package is already copied there in this run.
  WideText Claim(const WideText& wanted, const WideText& storeFolder, bool* copied);
  // Whether the package's folder now holds its copy. A folder whose copy failed stays its
  // package's, so that no other package replaces an earlier run's good copy there.
  void SetCopied(const WideText& folder, bool copied);

 private:
  struct Held {
    WideText folder;
    WideText storeFolder;
    bool copied;
  };
  std::vector<Held> held_;
};

}  // namespace pyr
