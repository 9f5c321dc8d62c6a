// Install from folder: the walk over a tree of files must take time linear in the files.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>

#include "base/file_system.h"
#include "driverstore/install_from_folder.h"
#include "sandbox/simulated_platform.h"

namespace pyr {
namespace {

// Answers every offer at once, so only the walk is timed.
class CountingPlatform : public SimulatedPlatform {
 public:
  CountingPlatform() : SimulatedPlatform(SimulatedPc{}) {}
  bool InstallDriver(WindowHandle, const char16_t*, uint32_t, bool*, uint32_t*) override {
    ++offers;
    return false;
  }
  uint64_t offers = 0;
};

// folders folders of 100 files each, one in ten of them an INF.
WideText MakeTree(const char16_t* name, int folders) {
  WideText root = Concat({u"/tmp\\pyr_bench_", WideText::FromUInt32(static_cast<uint32_t>(getpid())), u"_", name});
  DeletePath(root, 0);
  for (int f = 0; f < folders; ++f) {
    const WideText folder = Concat({root, u"\\vendor", WideText::FromInt32(f / 10), u"\\pkg", WideText::FromInt32(f)});
    CreateDirectoryTree(folder);
    for (int i = 0; i < 100; ++i) {
      OutputFile out;
      out.Open(Concat({folder, u"\\file", WideText::FromInt32(i), i % 10 == 0 ? u".inf" : u".sys"}));
    }
  }
  return root;
}

double BestWalkSeconds(const WideText& root, int runs, uint64_t* offers) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    CountingPlatform platform;
    std::atomic<bool> cancel{false};
    auto start = std::chrono::steady_clock::now();
    InstallFromOneFolder(platform, root, InstallFlags{nullptr, &cancel, {}});
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    *offers = platform.offers;
  }
  return best;
}

void BM_InstallWalk(benchmark::State& state) {
  const WideText small = MakeTree(u"small", 10), large = MakeTree(u"large", 100);
  uint64_t smallOffers = 0, largeOffers = 0;
  double smallSeconds = 0, largeSeconds = 0;
  for (auto _ : state) {
    smallSeconds = BestWalkSeconds(small, 15, &smallOffers);
    largeSeconds = BestWalkSeconds(large, 5, &largeOffers);
  }
  state.counters["offers_1000"] = static_cast<double>(smallOffers);
  state.counters["offers_10000"] = static_cast<double>(largeOffers);
  // Linear is 10: ten times the files in ten times the folders.
  std::printf("install_walk_10000_vs_1000 %.2f\n", largeSeconds / smallSeconds);
  std::fflush(stdout);
  DeletePath(small, 0);
  DeletePath(large, 0);
}
BENCHMARK(BM_InstallWalk)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyr
