#include "operations/package_removal_plan.h"

#include "devices/device_columns.h"
#include "devices/device_status.h"
#include "devices/driver_package_users.h"
#include "operations/device_batch.h"
#include "operations/uninstall_commands.h"

namespace pyr {

PackageRemovalPlan::PackageRemovalPlan(const DeviceList& list, const std::vector<int>& rows) {
  for (int row : rows) {
    if (IsRootEnumerated(list.CellText(row, kColumnInstanceId).View())) ++notReturning_;
    const WideText inf = list.CellText(row, kColumnInfPath);
    if (!IsPublishedOemInf(inf)) continue;  // the system's own packages stay
    size_t i = 0;
    while (i < packages_.size() && !WideText::EqualsNoCase(packages_[i].inf.View(), inf.View())) ++i;
    if (i == packages_.size()) packages_.push_back(Package{.inf = inf});
    ++packages_[i].ticked;
    ++packages_[i].tickedLeft;
    packageOfRow_[row] = i;
  }
}

bool PackageRemovalPlan::Read(DevicePlatform& platform) {
  PackageUsers users;
  if (!users.Read(platform)) return false;
  for (Package& p : packages_) p.users = users.Count(p.inf);
  return true;
}

WideText PackageRemovalPlan::Question(size_t rows) const {
  const char16_t* what = rows == 1 ? u"device" : u"devices";
  WideText question = Concat({u"This will uninstall the selected ", what,
                              u" drivers and also remove them from the driver store.You may need to install a new "
                              u"driver for the selected ",
                              what, u" after this operation."});
  size_t staying = 0;
  for (const auto& [row, i] : packageOfRow_) staying += packages_[i].Removable() ? 0 : 1;
  if (staying != 0) {
    question.Append({u"\r\n\r\nThe driver package of ", staying == rows ? WideText(u"each of them")
                                                                        : Concat({WideText::FromUInt64(staying),
                                                                                  u" of them"}),
                     u" stays in the driver store, because devices that are not selected use it too."});
  }
  if (notReturning_ != 0) {
    question.Append({u"\r\n\r\n", notReturning_ == 1 ? WideText(u"One of them is a device")
                                                   : Concat({WideText::FromUInt64(notReturning_),
                                                             u" of them are devices"}),
                     u" that Windows itself creates (ROOT\\ or SWD\\): a scan for hardware changes does not bring "
                     u"such a device back."});
  }
  question.Append(u"\r\n\r\nAre you sure you want to proceed?");
  return question;
}

PackageRemovalPlan::Outcome PackageRemovalPlan::Remove(OperationHost& host, int row, RemovalCopies& copies) {
  const auto found = packageOfRow_.find(row);
  if (found == packageOfRow_.end()) return Outcome::kNotUninstalled;
  Package& p = packages_[found->second];
  // A package that will go is copied before its first device does; one that cannot be copied
  // stays, and so do its devices.
  if (p.Removable() && !p.copyTried) {
    p.copyTried = true;
    DeviceInfo device;
    WideText copy;
    if (DeviceOfRow(host, row, &device) && copies.Copy(host.Platform(), host.InventorySet(), device, &copy)) {
      p.copy = copy;
    }
  }
  if (p.Removable() && p.copy.Empty()) return Outcome::kNotUninstalled;
  if (!UninstallDevice(host, row)) {
    ++p.failed;
    return Outcome::kNotUninstalled;
  }
  --p.tickedLeft;
  if (!p.Removable() || p.failed != 0) {
    lastOthers_ = p.Removable() ? p.failed : p.users - p.ticked + p.failed;
    return Outcome::kPackageStays;
  }
  if (p.tickedLeft != 0) return Outcome::kPackageGoesLater;
  uint32_t error = 0;
  if (host.Platform().UninstallOemInf(p.inf.Buffer(), 0, &error)) {
    p.copy.Clear();  // kept: the package is gone
    return Outcome::kPackageRemoved;
  }
  copies.Discard(p.copy);
  p.copy.Clear();
  return Outcome::kPackageKept;
}

WideText PackageRemovalPlan::Line(const WideText& name, Outcome outcome) const {
  switch (outcome) {
    case Outcome::kNotUninstalled:
      return Concat({u"The driver for ", name, u" could not be uninstalled."});
    case Outcome::kPackageGoesLater:
      // The last of them tells what became of the package.
      return Concat({u"The driver for ", name, u" was successfully uninstalled."});
    case Outcome::kPackageRemoved:
      return Concat({u"The driver for ", name, u" was successfully uninstalled and its driver package removed."});
    case Outcome::kPackageStays:
      return Concat({name, u" was uninstalled; its driver package stays because ", WideText::FromUInt64(lastOthers_),
                     lastOthers_ == 1 ? u" other device uses it." : u" other devices use it."});
    case Outcome::kPackageKept:
      return Concat({name, u" was uninstalled; Windows kept its driver package in the driver store."});
  }
  return WideText();
}

void PackageRemovalPlan::DiscardUnused(RemovalCopies& copies) {
  for (Package& p : packages_) {
    if (p.copy.Empty()) continue;
    copies.Discard(p.copy);
    p.copy.Clear();
  }
}

}  // namespace pyr
