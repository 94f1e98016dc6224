// "Frequency Plots" on 1,000,000 values in 10 groups (codes 1..10, normal values whose mean
// grows with the code, a fixed seed) in the data set: every group pooled for the intervals,
// then each group loaded and counted into its column, as `frequency-plots FILE
// --dependent-variable Y --independent-variables G` does after reading the file; then the
// table alone from values already in memory (intervals and counts, no loads). Reading the
// file is outside the timing. bench/frequency_plot_anchors.sh times the same in R.
#include <benchmark/benchmark.h>

#include "bench_files.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "explore/explore_selection.h"
#include "explore/frequency_plot.h"

namespace {

using namespace sorvel;

TDataList& TenGroups() {
  static TDataList& list = []() -> TDataList& {
    ReadDataBytes(bench::TenGroupsText(), DataList());
    return DataList();
  }();
  return list;
}

TRunInfo ByGroup() {
  TRunInfo ri;
  BuildExploreRun(TenGroups(), {{}, 1, {2}, ""}, ri);
  return ri;
}

void BM_FrequencyTableFromDataSet(benchmark::State& state) {
  TDataList& data = TenGroups();
  TRunInfo ri = ByGroup();
  TFrequencyOptions o;
  o.Type = static_cast<TFrequencyType>(state.range(0));
  std::size_t rows = 0;
  for (auto _ : state) {
    const TFrequencyTable t = BuildFrequencyTable(data, ri, o);
    rows = t.Intervals.Rows();
    benchmark::DoNotOptimize(t);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_FrequencyTableCounting(benchmark::State& state) {
  TRunInfo ri = ByGroup();
  const std::vector<TExploreSet> sets = LoadExploreSets(TenGroups(), ri);
  std::vector<double> pooled;
  for (const auto& s : sets) pooled.insert(pooled.end(), s.Values.begin(), s.Values.end());
  const TFrequencyOptions o;
  for (auto _ : state) {
    TFrequencyTable t = StartFrequencyTable(pooled, o);
    for (const auto& s : sets) AddFrequencySet(t, s.Title, s.Values, o);
    benchmark::DoNotOptimize(t);
  }
}

BENCHMARK(BM_FrequencyTableFromDataSet)
    ->Arg(static_cast<int>(TFrequencyType::Frequencies))
    ->Arg(static_cast<int>(TFrequencyType::CumulativeFrequencies))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrequencyTableCounting)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
