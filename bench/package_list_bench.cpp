// The driver store as a list: the platform calls each package costs, and the time for 1,000
// packages against 100 on a PC of 400 devices (linear is 10).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/file_system.h"
#include "driverstore/package_list.h"
#include "sandbox/driver_store_files.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

constexpr size_t kDevices = 400;

// The list's own bytes: its records and the texts they hold.
size_t ListBytes(const std::vector<StorePackage>& packages) {
  size_t bytes = packages.capacity() * sizeof(StorePackage);
  const auto text = [](const WideText& t) { return t.Str().capacity() * sizeof(char16_t); };
  for (const StorePackage& p : packages) {
    for (const WideText* t : {&p.publishedName, &p.originalName, &p.provider, &p.className, &p.classGuid, &p.catalog,
                              &p.driverVer, &p.folder}) {
      bytes += text(*t);
    }
    bytes += p.use.firstNames.capacity() * sizeof(WideText);
    for (const WideText& n : p.use.firstNames) bytes += text(n);
  }
  return bytes;
}

SimulatedPc StorePc(size_t count, const WideText& root, size_t devices = kDevices) {
  SimulatedPc base;
  std::string error;
  LoadSimulatedPcFile(std::string(PYRAVEL_SOURCE_DIR) + "/sandbox/fixture/real_pc.json", &base, &error);
  return ScaledStorePc(base, count, devices, root);
}

struct Measured {
  double seconds = 1e9;
  double callsPerPackage = 0;
  size_t bytes = 0;
};

Measured BestRead(size_t count, int runs, size_t devices = kDevices) {
  const WideText root = Concat({u"/tmp\\pyr_bench_store_", WideText::FromUInt32(static_cast<uint32_t>(getpid())), u"_",
                                WideText::FromUInt64(count)});
  DeletePath(root, 0);
  SimulatedPlatform platform(StorePc(count, root, devices));
  platform.SetDriverStoreRoot(root);
  Measured m;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    PackageUsers users;
    users.Read(platform, true);
    platform.ResetCalls();
    std::vector<StorePackage> packages;
    uint32_t error = 0;
    ReadStorePackages(platform, &users, &packages, &error);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    m.callsPerPackage = static_cast<double>(platform.TotalCalls()) / static_cast<double>(count);
    m.seconds = std::min(m.seconds, took.count());
    m.bytes = ListBytes(packages);
  }
  DeletePath(root, 0);
  return m;
}

void BM_PackageList(benchmark::State& state) {
  Measured small, large, crowded;
  for (auto _ : state) {
    small = BestRead(100, 15);
    large = BestRead(1000, 5);
    crowded = BestRead(1000, 1, 10 * kDevices);
  }
  // Flat is 1: the list keeps counts and the first few names, whatever the number of devices.
  std::printf("package_list_memory_4000_vs_400_devices %.2f\n",
              static_cast<double>(crowded.bytes) / static_cast<double>(large.bytes));
  std::printf("package_calls_per_package %.2f\n", large.callsPerPackage);
  std::printf("packages_100_ms %.2f\npackages_1000_ms %.2f\n", small.seconds * 1e3, large.seconds * 1e3);
  std::printf("packages_1000_vs_100 %.2f\n", large.seconds / small.seconds);
  std::fflush(stdout);
}
BENCHMARK(BM_PackageList)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyr
