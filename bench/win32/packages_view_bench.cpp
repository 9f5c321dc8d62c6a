// Switching the main window to its packages view with 1,000 packages in the store of a PC of 400
// devices, in the real list view: the store read (its devices come with the device list's pass),
// the rows filled and painted ("packages_view_filled_ms"), and until the folders' sizes, walked
// after the rows show, are in them ("packages_view_sizes_shown_ms"); a later switch, whose sizes
// are known ("packages_view_refilled_ms"); and the rows alone ("packages_view_rows_ms"). Medians.
#include <windows.h>

#include <chrono>
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
#include "driverstore/package_columns.h"
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

  // One switch as the window makes it: the store read with the folder walks deferred, the rows
  // filled and painted; then the walks, and the sizes shown.
  std::vector<double> rows;
  struct Switch {
    double filled, sized;
  };
  const auto fill = [&](PackageView& view) {
    packages.DeleteAllRows();
    UpdateWindow(window.ControlHandle(packagesId));
    view.FolderSizes().SetDeferring(true);
    Switch took{};
    took.filled = Seconds([&] {
      std::vector<StorePackage> read;
      uint32_t readError = 0;
      ReadStorePackages(platform, inventory.Users(), &read, &readError, &view.FolderSizes());
      rows.push_back(Seconds([&] {
        view.Show(packages, std::move(read));
        UpdateWindow(window.ControlHandle(packagesId));
      }));
    });
    took.sized = took.filled + Seconds([&] {
      while (!view.FolderSizes().WalkPending(std::chrono::hours(1))) {
      }
      view.ApplyWalkedSizes(packages);
      UpdateWindow(window.ControlHandle(packagesId));
    });
    return took;
  };
  // The first showing walks every package's folder; a later one only the new packages'.
  std::vector<double> first, sized, again;
  PackageView kept;
  fill(kept);
  for (int round = 0; round < 6; ++round) {
    PackageView fresh;
    again.push_back(fill(kept).filled);
    const Switch cold = fill(fresh);
    first.push_back(cold.filled);
    sized.push_back(cold.sized);
  }
  if (packages.RowCount() != 1000 || inventory.Users() == nullptr || packages.CellText(0, kPackageSize).Empty()) {
    std::fprintf(stderr, "%d rows shown%s\n", packages.RowCount(), inventory.Users() ? "" : ", devices unread");
    return 1;
  }
  std::printf("packages_view_filled_ms %.0f\npackages_view_sizes_shown_ms %.0f\npackages_view_refilled_ms %.0f\n"
              "packages_view_rows_ms %.0f\n",
              Median(first) * 1e3, Median(sized) * 1e3, Median(again) * 1e3, Median(rows) * 1e3);
  inventory.Release();
  window.DestroyUiWindow();
  DeletePath(root, 0);
  return 0;
}
