#include <benchmark/benchmark.h>

#include "base/wide_text.h"

namespace pyr {
namespace {

// Case-insensitive containment is what find and the selection rules do per row.
void BM_FindNoCase(benchmark::State& state) {
  WideText haystack(std::u16string(state.range(0), u'x') + u"Realtek PCIe GbE Family Controller");
  for (auto _ : state) benchmark::DoNotOptimize(haystack.Find(u"gbe family", false));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindNoCase)->Arg(64)->Arg(4096);

}  // namespace
}  // namespace pyr
