#include "driverstore/package_list.h"

#include <algorithm>

#include "base/file_system.h"

namespace pyr {

namespace {

uint64_t PublishedNumber(const WideText& name) {
  uint64_t n = 0;
  for (char16_t c : name.View().substr(3)) {
    if (c < u'0' || c > u'9') break;
    n = n * 10 + (c - u'0');
  }
  return n;
}

WideText FolderOf(const WideText& path) {
  const size_t slash = path.View().rfind(u'\\');
  return slash == std::u16string_view::npos ? WideText() : WideText(path.View().substr(0, slash));
}

void ReadInf(DevicePlatform& platform, StorePackage* p) {
  InfInformation info;
  uint32_t error = 0;
  if (!platform.GetInfInformation(p->publishedName.Buffer(), kInfInfoDefaultSearch, &info, &error)) return;
  p->infRead = true;
  // The catalog's name comes with the original INF name: no CatalogFile query is needed.
  platform.QueryInfOriginalFileInformation(info, 0, &p->originalName, &p->catalog, &error);
  const std::pair<const char16_t*, WideText*> keys[] = {
      {u"DriverVer", &p->driverVer}, {u"Provider", &p->provider}, {u"Class", &p->className},
      {u"ClassGUID", &p->classGuid}};
  // A value that cannot be read leaves its cell empty; a key the INF lacks is no failed read.
  p->factsRead = !p->originalName.Empty();
  for (const auto& [key, value] : keys) {
    if (!platform.QueryInfVersionInformation(info, 0, key, value, &error) && error != kErrorNotFound) p->factsRead = false;
  }
  p->parts = ParseDriverVer(p->driverVer.View());
}

}  // namespace

std::optional<uint64_t> StoreFolderSize(const WideText& folder) {
  uint64_t total = 0;
  std::vector<WideText> pending{folder};
  bool first = true;
  while (!pending.empty()) {
    const WideText current = std::move(pending.back());
    pending.pop_back();
    DirectoryIterator it;
    // A package's folder holds its INF at least: listing nothing there means it could not be read.
    const bool opened = it.Open(Concat({current, u"\\*"}), kSkipReparsePoints);
    if (first && !opened) return std::nullopt;
    first = false;
    for (bool more = opened; more; more = it.Next()) {
      if (it.IsDirectory()) {
        pending.push_back(Concat({current, u"\\", it.Name()}));
      } else {
        total += it.Size();
      }
    }
  }
  return total;
}

std::optional<uint64_t> StoreFolderSizes::SizeOf(const WideText& folder) {
  if (const std::optional<uint64_t> known = Known(folder)) return known;
  if (deferring_) {
    pending_.insert(folder.Str());
    return std::nullopt;
  }
  const std::optional<uint64_t> size = StoreFolderSize(folder);
  if (size) known_.emplace(folder.Str(), *size);
  return size;
}

std::optional<uint64_t> StoreFolderSizes::Known(const WideText& folder) const {
  const auto it = known_.find(folder.Str());
  return it == known_.end() ? std::nullopt : std::optional<uint64_t>(it->second);
}

bool StoreFolderSizes::WalkPending(std::chrono::steady_clock::duration budget) {
  const auto until = std::chrono::steady_clock::now() + budget;
  do {
    if (pending_.empty()) break;
    const WideText folder(pending_.extract(pending_.begin()).value());
    // A folder that cannot be walked keeps no size; the next reading asks again.
    if (const std::optional<uint64_t> size = StoreFolderSize(folder)) known_.emplace(folder.Str(), *size);
  } while (std::chrono::steady_clock::now() < until);
  return pending_.empty();
}

bool ReadStorePackages(DevicePlatform& platform, const PackageUsers* users,
                       std::vector<StorePackage>* packages, uint32_t* error, StoreFolderSizes* sizes) {
  packages->clear();
  std::vector<WideText> names;
  if (!platform.GetInfFileList(nullptr, kInfStyleWin4, &names, error)) return false;
  // Inbox packages are the system's own and never listed, so they are never called old.
  names.erase(std::remove_if(names.begin(), names.end(), [](const WideText& n) { return !IsPublishedOemInf(n); }),
              names.end());
  std::sort(names.begin(), names.end(), [](const WideText& a, const WideText& b) {
    return PublishedNumber(a) < PublishedNumber(b);
  });
  packages->reserve(names.size());
  for (const WideText& name : names) {
    StorePackage& p = packages->emplace_back();
    p.publishedName = name;
    WideText location;
    if (platform.GetInfDriverStoreLocation(name.Buffer(), &location)) {
      p.folder = FolderOf(location);
      if (!p.folder.Empty()) p.size = sizes ? sizes->SizeOf(p.folder) : StoreFolderSize(p.folder);
    }
    ReadInf(platform, &p);
    p.usersKnown = users != nullptr;
    if (const PackageUse* use = users ? users->Use(name) : nullptr) p.use = *use;
  }
  MarkOlderVersions(packages);
  return true;
}

}  // namespace pyr
