#include "operations/store_package_removal.h"

#include "base/date_time_text.h"
#include "base/message_kinds.h"
#include "devices/class_installer.h"
#include "driverstore/package_as_device.h"
#include "driverstore/package_columns.h"
#include "driverstore/removed_drivers.h"
#include "operations/device_batch.h"

namespace pyr {

namespace {

WideText Described(const StorePackage& p) {
  WideText facts;
  for (const WideText* part : {&p.originalName, &p.provider, &p.driverVer}) {
    if (part->Empty()) continue;
    facts = facts.Empty() ? *part : Concat({facts, u", ", *part});
  }
  return facts.Empty() ? p.publishedName : Concat({p.publishedName, u" (", facts, u")"});
}

PackageRemoval RemoveOne(OperationHost& host, const StorePackage& p, RemovalCopies& copies, uint32_t* error) {
  // The copy comes first: a package whose copy failed stays in the store.
  PackageAsDevice asDevice(host.Platform(), p);
  WideText copy;
  if (!copies.Copy(asDevice, asDevice.Set(), asDevice.Device(), &copy)) return PackageRemoval::kNotCopied;
  // Never SUOI_FORCEDELETE: Windows refuses a package that any device, present or not, uses.
  if (host.Platform().UninstallOemInf(p.publishedName.Buffer(), 0, error)) return PackageRemoval::kRemoved;
  copies.Discard(copy);
  return *error == kErrorInfInUseByDevices ? PackageRemoval::kKeptInUse : PackageRemoval::kFailed;
}

}  // namespace

WideText PackageRemovalLine(const StorePackage& package, PackageRemoval outcome, uint32_t error) {
  const WideText name = Described(package);
  switch (outcome) {
    case PackageRemoval::kRemoved: return Concat({name, u" was removed from the driver store."});
    case PackageRemoval::kWouldRemove: return Concat({name, u" would be removed from the driver store."});
    case PackageRemoval::kNotCopied:
      return Concat({name, u" could not be copied to \"Removed drivers\", so it stays in the driver store."});
    case PackageRemoval::kKeptInUse:
      return Concat({name, u" stays in the driver store: Windows keeps it because a device uses it."});
    case PackageRemoval::kFailed: break;
  }
  return Concat({name, u" could not be removed (error ", WideText::FromUInt64(error), u")."});
}

bool ReadStoreForRemoval(OperationHost& host, std::vector<StorePackage>* packages) {
  PackageUsers users;
  uint32_t error = 0;
  if (!users.Read(host.Platform(), true) || !ReadStorePackages(host.Platform(), &users, packages, &error)) {
    host.AskUser(kStoreUnreadable, kMessageOk);
    return false;
  }
  return true;
}

PackageRemovalCounts RemoveStorePackages(OperationHost& host, const std::vector<StorePackage>& chosen,
                                         const PackageRemovalScope& scope) {
  PackageRemovalCounts counts;
  host.SetCancelRequested(kNotCancelled);
  ControlLockScope lock(host);
  const WideText question =
      Concat({scope.listOnly ? u"List the " : u"Remove the ", WideText::FromUInt64(chosen.size()),
              chosen.size() == 1 ? u" checked driver package" : u" checked driver packages",
              u" from the driver store? A copy of each is kept in \"Removed drivers\"; Windows keeps any "
              u"package a device uses."});
  if (host.AskUser(question, kMessageYesNo) != kAnswerYes) return {.declined = true};
  host.OpenResultsDialog(u"Preparing to remove driver packages");
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();

  RemovalCopies copies(host.ProgramDataFolder(), LocalTimeNow());
  int& removed = counts.removed;
  uint64_t freed = 0;
  for (const StorePackage& p : chosen) {
    if (host.CancelRequested()) break;
    const WideText progress = Concat({u"Removing ", p.publishedName, u"..."});
    host.SetProgress(kProgressTextOnly, &progress);
    DrainPendingEvents(host, kPumpPendingRefreshing);
    uint32_t error = 0;
    const PackageRemoval outcome = scope.listOnly ? PackageRemoval::kWouldRemove : RemoveOne(host, p, copies, &error);
    host.AddResultLine(PackageRemovalLine(p, outcome, error));
    if (outcome == PackageRemoval::kRemoved || outcome == PackageRemoval::kWouldRemove) {
      ++removed;
      freed += p.size.value_or(0);
    } else {
      ++counts.notRemoved;
    }
    DrainPendingEvents(host, kPumpPendingRefreshing);
  }
  const WideText kept = copies.Finish();
  if (!kept.Empty()) host.AddResultLine(CopiesKeptLine(kept));
  if (removed > 0 && !scope.listOnly) host.RebuildInventory();
  const WideText summary =
      Concat({host.CancelRequested() ? u"Operation cancelled. " : u"Operation complete. ", WideText::FromInt32(removed),
              removed == 1 ? u" driver package" : u" driver packages", scope.listOnly ? u" would be removed, freeing " : u" removed, freeing ",
              SizeText(freed), u"."});
  host.SetProgress(100, &summary);
  host.MarkFinished();
  while (!host.CancelRequested()) host.PumpEvent(kPumpRefreshing);
  host.CloseDialog();
  return counts;
}

}  // namespace pyr
