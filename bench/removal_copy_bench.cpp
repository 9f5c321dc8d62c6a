// "Uninstall and delete drivers" on a package of 40 MB, measured in one run: what the copy taken
// before the removal adds to the removal's own system calls, against the copy of that package alone.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "operations/uninstall_commands.h"
#include "sandbox/driver_store_files.h"
#include "support/driver_pc.h"

namespace pyr {
namespace {

// A driver of 24 MiB and a firmware of 16 MiB beside the INF and the catalog.
void WritePackage(const WideText& folder) {
  std::string bytes(24u << 20, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
  const struct {
    const char16_t* name;
    size_t size;
  } files[] = {{u"neta.inf", 6000}, {u"neta.cat", 9000}, {u"neta.sys", 24u << 20}, {u"fw\\blob.bin", 16u << 20}};
  for (const auto& f : files) {
    OutputFile out;
    if (out.Open(Concat({folder, u"\\", f.name}))) out.Write(bytes.data(), static_cast<uint32_t>(f.size));
  }
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Each step starts with nothing waiting to be written and ends once its own writes are on the
// disk: a step pays for its writes, never for the last step's.
double Seconds(const std::function<void()>& body) {
  sync();
  const auto start = std::chrono::steady_clock::now();
  body();
  sync();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A fresh PC whose first device runs the package, written anew; returns the package's folder.
WideText FreshPc(testing::ScriptedHost& host, const WideText& base) {
  DeletePath(base, 0);
  host.platform.SetDriverStoreRoot(Concat({base, u"\\DriverStore"}));
  const WideText package = PackageFolder(Concat({base, u"\\DriverStore"}), host.platform.Pc().driverStore[0]);
  WritePackage(package);
  CreateDirectoryTree(Concat({base, u"\\ProgramData"}));
  host.programData = Concat({base, u"\\ProgramData"}).Str();
  host.list.SelectRow(0);
  return package;
}

void BM_RemovalWithCopy(benchmark::State& state) {
  // A backslash in the path: DeletePath takes the part after the last one as the name.
  const WideText base = Concat({u"/tmp\\pyr_bench_", WideText::FromUInt32(static_cast<uint32_t>(getpid())), u"_removal"});
  std::vector<double> copies, bares, withCopies;
  for (auto _ : state) {
    // Alternating rounds, the median of each: the machine is shared with other work, and a few
    // milliseconds of disk writes are noisy.
    for (int round = 0; round < 15; ++round) {
      testing::ScriptedHost plain(testing::DriverPc());
      const WideText package = FreshPc(plain, base);
      copies.push_back(Seconds([&] { CopyFolderTree(package, Concat({base, u"\\Copy"})); }));
      // The removal's own system calls without the copy: the device, then its package.
      bares.push_back(Seconds([&] {
        DeviceInfo device;
        bool reboot = false;
        plain.platform.EnumDeviceInfo(plain.InventorySet(), 0, &device);
        uint32_t error = 0;
        plain.platform.UninstallDevice({}, plain.InventorySet(), device, 0, &reboot, &error);
        plain.platform.UninstallOemInf(u"oem1.inf", 0, &error);
      }));
      testing::ScriptedHost host(testing::DriverPc());
      FreshPc(host, base);
      withCopies.push_back(Seconds([&] { UninstallAndDeleteDrivers(host, RowSource::kSelected); }));
      if (IsRealDirectory(package) || host.resultLines.size() != 1) state.SkipWithError("the package stayed");
    }
  }
  DeletePath(base, 0);
  const double copy = Median(copies), bare = Median(bares), withCopy = Median(withCopies);
  // What the copy adds to a removal, against what the copy costs by itself (1.0: nothing more).
  std::printf("removal_ms %.1f removal_with_copy_ms %.1f copy_ms %.1f\n", bare * 1e3, withCopy * 1e3, copy * 1e3);
  std::printf("removal_with_copy_vs_copy %.2f\n", (withCopy - bare) / copy);
  std::fflush(stdout);
}
BENCHMARK(BM_RemovalWithCopy)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyr
