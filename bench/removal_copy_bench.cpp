// "Uninstall and delete drivers" on a package of tens of MB against the copy of that package
// alone, measured in one run: the copy taken before a removal should be nearly all it costs.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

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

double Seconds(const std::function<void()>& body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_RemovalWithCopy(benchmark::State& state) {
  const WideText base = Concat({u"/tmp/pyr_bench_", WideText::FromUInt32(static_cast<uint32_t>(getpid())), u"_removal"});
  const WideText store = Concat({base, u"\\DriverStore"}), programData = Concat({base, u"\\ProgramData"});
  double copy = 1e9, removal = 1e9;
  for (auto _ : state) {
    // Alternating rounds, best of each: the machine is shared with other work.
    for (int round = 0; round < 3; ++round) {
      DeletePath(base, 0);
      testing::ScriptedHost host(testing::DriverPc());
      host.platform.SetDriverStoreRoot(store);
      const WideText package = PackageFolder(store, host.platform.Pc().driverStore[0]);
      WritePackage(package);
      CreateDirectoryTree(programData);
      copy = std::min(copy, Seconds([&] { CopyFolderTree(package, Concat({base, u"\\Copy"})); }));
      host.programData = programData.Str();
      host.list.SelectRow(0);
      removal = std::min(removal, Seconds([&] { UninstallAndDeleteDrivers(host, RowSource::kSelected); }));
      if (IsRealDirectory(package) || host.resultLines.size() != 1) state.SkipWithError("the package was not removed");
    }
  }
  DeletePath(base, 0);
  std::printf("removal_with_copy_vs_copy %.2f\n", removal / copy);
  std::fflush(stdout);
}
BENCHMARK(BM_RemovalWithCopy)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyr
