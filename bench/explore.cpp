// Explore on 1,000,000 values in 10 groups (codes 1..10, normal values whose mean grows with
// the code, a fixed seed) in the data set: the run built as the window builds it (Y by the
// levels of G), every group and "(All)" loaded as the data set delivers them, and the
// Descriptives or the Quartiles table (what `explore FILE --dependent-variable Y
// --independent-variables G --tables descriptives|quartiles` does after reading the file).
// Reading the file is outside the timing.
#include <benchmark/benchmark.h>

#include "bench_files.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/explore_tables.h"

namespace {

using namespace sorvel;

TDataList& TenGroups() {
  static TDataList& list = []() -> TDataList& {
    ReadDataBytes(bench::TenGroupsText(), DataList());
    return DataList();
  }();
  return list;
}

void Run(benchmark::State& state, TExplorePage page) {
  TDataList& data = TenGroups();
  const TExploreSelection sel{{}, 1, {2}, ""};
  TExploreOptions o;
  for (auto _ : state) {
    TRunInfo ri;
    if (!BuildExploreRun(data, sel, ri).empty()) state.SkipWithError("no run");
    const TExploreTable t = ComputeExploreTable(page, data, ri, o);
    if (t.Grid.RowCount() != 12) state.SkipWithError("not eleven rows");
    benchmark::DoNotOptimize(t);
  }
}

void BM_Descriptives(benchmark::State& state) { Run(state, TExplorePage::Descriptives); }
void BM_Quartiles(benchmark::State& state) { Run(state, TExplorePage::Quartiles); }
BENCHMARK(BM_Descriptives)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Quartiles)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
