// Switching the main window to its packages view with 1,000 packages in the store of a PC of 400
// devices, in the real list view: the store read (its devices come with the device list's pass),
// the rows filled and painted. Prints the medians of the first switch, which walks every package's
// folder ("packages_view_first_filled_ms"), of a later one after the store changed
// ("packages_view_filled_ms"), and of the rows alone ("packages_view_rows_ms").
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/package_view.h"
#include "app/win32/list_view_device_list.h"
#include "base/file_system.h"
#include "base/win32/wchar.h"
#include "bench/timing.h"
#include "devices/device_inventory.h"
#include "driverstore/package_list.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_platform.h"
#include "ui/win32/list_view.h"
#include "ui/win32/ui_window.h"

namespace {

class QuietHost : public pyr::InventoryHost {
 public:
  void ShowMessage(const pyr::WideText&) override {}
  void ApplyCommandAvailability(const pyr::CommandAvailability&) override {}
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace pyr;
  if (argc < 2) {
    std::fprintf(stderr, "usage: packages_view_bench REAL_PC_FIXTURE\n");
    return 2;
  }
  SimulatedPc base;
  std::string error;
  if (!LoadSimulatedPcFile(std::filesystem::path(argv[1]), &base, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const WideText root = Concat({WideText(U(temp)), u"pyr_packages_view_bench"});
  DeletePath(root, 0);
  SimulatedPlatform platform(ScaledStorePc(base, 1000, 400, root));
  platform.SetDriverStoreRoot(root);

  UiWindow window;
  if (window.CreateUiWindow(u"PyravelPackagesBench", u"Packages view", 750, 550, -1, -1, WS_OVERLAPPEDWINDOW,
                            DWORD(-1), nullptr) == nullptr) {
    return 1;
  }
  const int32_t devicesId = AddDeviceListView(window, 0, 0, 600, 550);
  const int32_t packagesId = AddPackageListView(window, 0, 0, 600, 514);
  ListViewDeviceList devices(window, devicesId), packages(window, packagesId);
  window.ShowUiWindow(SW_SHOWNORMAL, kShowUpdate);
  DeviceInventory inventory(platform);
  QuietHost host;
  BuildInventory(inventory, devices, host, kListShowNotPresent);
  window.SetControlState(devicesId, kStateHide);
  window.SetControlState(packagesId, kStateShow);

  // One switch: the store read, then the rows filled and painted.
  std::vector<double> rows;
  const auto fill = [&](PackageView& view) {
    packages.DeleteAllRows();
    UpdateWindow(window.ControlHandle(packagesId));
    return Seconds([&] {
      std::vector<StorePackage> read;
      uint32_t readError = 0;
      ReadStorePackages(platform, inventory.Users(), &read, &readError, &view.FolderSizes());
      rows.push_back(Seconds([&] {
        view.Show(packages, std::move(read));
        UpdateWindow(window.ControlHandle(packagesId));
      }));
    });
  };
  // The first showing walks every package's folder; the later ones only know their sizes.
  std::vector<double> first, again;
  PackageView kept;
  first.push_back(fill(kept));
  for (int round = 0; round < 6; ++round) {
    PackageView fresh;
    again.push_back(fill(kept));
    first.push_back(fill(fresh));
  }
  if (packages.RowCount() != 1000 || inventory.Users() == nullptr) {
    std::fprintf(stderr, "%d rows shown%s\n", packages.RowCount(), inventory.Users() ? "" : ", devices unread");
    return 1;
  }
  std::printf("packages_view_first_filled_ms %.0f\npackages_view_filled_ms %.0f\npackages_view_rows_ms %.0f\n",
              Median(first) * 1e3, Median(again) * 1e3, Median(rows) * 1e3);
  inventory.Release();
  window.DestroyUiWindow();
  DeletePath(root, 0);
  return 0;
}
