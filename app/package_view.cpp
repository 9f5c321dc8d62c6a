#include "app/package_view.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_set>

#include "app/selection_commands.h"
#include "base/list_sort.h"
#include "devices/device_columns.h"
#include "driverstore/package_columns.h"

namespace pyr {

namespace {

constexpr LegendEntry kLegend[] = {
    {u"In use", kDefaultColour},
    {u"Not present only", kColourPackageNotPresent},
    {u"Used by no device", kColourPackageUnused},
    {u"Older version", kColourPackageOlder},
};

// The N of oemN.inf; names the system did not give sort after every numbered one.
uint64_t PublishedNumber(const WideText& name) {
  uint64_t n = 0;
  bool digits = false;
  for (char16_t c : name.View().substr(std::min<size_t>(3, name.View().size()))) {
    if (c < u'0' || c > u'9' || n > UINT32_MAX) break;
    n = n * 10 + (c - u'0');
    digits = true;
  }
  return digits ? n : UINT64_MAX;
}

// < 0, 0 or > 0 for an ascending sort of column.
int ComparePackages(const StorePackage& a, const StorePackage& b, int column) {
  const auto order = [](auto x, auto y) { return x < y ? -1 : y < x ? 1 : 0; };
  switch (column) {
    case kPackagePublished: return order(PublishedNumber(a.publishedName), PublishedNumber(b.publishedName));
    // An unknown size sorts before every known one.
    case kPackageSize: return order(a.size ? *a.size + 1 : 0, b.size ? *b.size + 1 : 0);
    case kPackageVersion: return order(a.parts.valid ? a.parts.version : 0, b.parts.valid ? b.parts.version : 0);
    case kPackageDate: return order(a.parts.dateValid ? a.parts.date : 0, b.parts.dateValid ? b.parts.date : 0);
    case kPackageDevices:
      return order(std::pair(a.use.Total(), a.use.present), std::pair(b.use.Total(), b.use.present));
    default: return CompareCellTexts(PackageCell(a, column).View(), PackageCell(b, column).View());
  }
}

}  // namespace

uint32_t PackageRowColour(const StorePackage& package) {
  if (package.older) return kColourPackageOlder;
  switch (package.UseKind()) {
    case PackageUseKind::kNotPresent: return kColourPackageNotPresent;
    case PackageUseKind::kNone: return kColourPackageUnused;
    case PackageUseKind::kPresent:
    case PackageUseKind::kUnknown: break;
  }
  return kDefaultColour;
}

std::span<const LegendEntry> PackageLegend() { return kLegend; }

std::vector<uint32_t> PackageRanks(const std::vector<StorePackage>& packages, int column) {
  std::vector<uint32_t> order(packages.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t x, uint32_t y) {
    return ComparePackages(packages[x], packages[y], column) < 0;
  });
  std::vector<uint32_t> ranks(packages.size());
  for (uint32_t place = 0; place < order.size(); ++place) ranks[order[place]] = place;
  return ranks;
}

void PackageView::Show(DeviceList& list, std::vector<StorePackage> packages) {
  std::unordered_set<std::u16string> checked;
  for (const StorePackage& p : CheckedPackages(list)) checked.insert(p.publishedName.Str());
  const int sortColumn = list.SortArrowColumn();
  packages_ = std::move(packages);
  stale_ = false;
  list.SetRedraw(false);
  list.DeleteAllRows();
  for (size_t i = 0; i < packages_.size(); ++i) {
    const StorePackage& p = packages_[i];
    std::vector<WideText> cells = PackageCells(p);
    // Bytes as people read them here; the export keeps the exact count.
    if (p.size) cells[kPackageSize] = SizeText(*p.size);
    const int row = list.InsertRow(-1, cells[0], kNoImage, kNoGroup, 0);
    if (row < 0) continue;
    list.SetRowUserValue(row, i + 1);
    for (size_t c = 1; c < cells.size(); ++c) {
      if (!cells[c].Empty()) list.SetCellText(row, static_cast<int>(c), cells[c]);
    }
    const uint32_t colour = PackageRowColour(p);
    if (colour != kDefaultColour) list.SetRowColour(row, colour);
    if (checked.contains(p.publishedName.Str())) list.SetRowChecked(row, true);
  }
  // The first showing is in published order, which is the order read.
  if (sortColumn >= 0) Sort(list, sortColumn, kSortKeepShown);
  list.SetRedraw(true);
}

void PackageView::ApplyWalkedSizes(DeviceList& list) {
  for (StorePackage& p : packages_) {
    if (!p.size && !p.folder.Empty()) p.size = sizes_.Known(p.folder);
  }
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    const StorePackage* p = PackageOfRow(list, row);
    if (p != nullptr && p->size) list.SetCellText(row, kPackageSize, SizeText(*p->size));
  }
  if (list.SortArrowColumn() == kPackageSize) Sort(list, kPackageSize, kSortKeepShown);
}

int PackageView::Sort(DeviceList& list, int column, int direction) {
  if (column < 0) column = std::max(list.SortArrowColumn(), 0);
  if (column >= kPackageColumnCount) return 0;
  const std::vector<uint32_t> ranks = PackageRanks(packages_, column);
  return list.SortRowsByRank(column, direction, ranks);
}

void PackageView::Check(DeviceList& list, PackageCheckRule rule) const {
  if (rule == PackageCheckRule::kAll || rule == PackageCheckRule::kNone) {
    list.SetAllChecked(rule == PackageCheckRule::kAll);
    return;
  }
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    const StorePackage* p = PackageOfRow(list, row);
    if (p != nullptr && PackageMatches(*p, rule)) list.SetRowChecked(row, true);
  }
}

const StorePackage* PackageView::PackageOfRow(const DeviceList& list, int row) const {
  const uint64_t value = list.RowUserValue(row);
  return value == 0 || value > packages_.size() ? nullptr : &packages_[value - 1];
}

std::vector<StorePackage> PackageView::CheckedPackages(const DeviceList& list) const {
  std::vector<StorePackage> chosen;
  for (int row : list.CheckedRows()) {
    if (const StorePackage* p = PackageOfRow(list, row)) chosen.push_back(*p);
  }
  return chosen;
}

int CheckDevicesOfPackages(DeviceList& devices, const std::vector<StorePackage>& packages) {
  devices.SetAllChecked(false);
  int count = 0, first = -1;
  const int rows = devices.RowCount();
  for (int row = 0; row < rows; ++row) {
    const WideText inf = devices.CellText(row, kColumnInfPath);
    const bool used = !inf.Empty() && std::any_of(packages.begin(), packages.end(), [&](const StorePackage& p) {
      return WideText::EqualsNoCase(p.publishedName.View(), inf.View());
    });
    if (!used) continue;
    devices.SetRowChecked(row, true);
    if (first < 0) first = row;
    ++count;
  }
  if (first >= 0) RevealRow(devices, first);
  return count;
}

}  // namespace pyr
