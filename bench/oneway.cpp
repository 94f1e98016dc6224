// "Oneway ANOVA" on 1,000,000 values in 10 groups (codes 1..10, normal values whose mean
// grows with the code, a fixed seed) in the data set: the groups loaded as the data set
// delivers them, the analysis of variance and the report (what `oneway-anova FILE
// --measure Y --groups G` does after reading the file); then the same with the dispersion
// tests and the pairwise comparisons. Reading the file is outside the timing.
#include <benchmark/benchmark.h>

#include "bench_files.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "hypothesis/oneway_anova.h"
#include "output/report_writer.h"

namespace {

using namespace sorvel;

TDataList& TenGroups() {
  static TDataList& list = []() -> TDataList& {
    ReadDataBytes(bench::TenGroupsText(), DataList());
    return DataList();
  }();
  return list;
}

void Run(benchmark::State& state, bool dispersion, bool pairwise) {
  TDataList& data = TenGroups();
  TOnewayInputs in;
  in.Measure = 1;
  in.GroupColumn = 2;
  in.Low = 1;
  in.High = 10;
  in.Dispersion = dispersion;
  in.Pairwise = pairwise;
  in.MeasureLabel = "Y";
  in.GroupLabel = "G";
  for (auto _ : state) {
    const TOnewayResult res = ComputeOneway(data, in);
    TReport report;
    {
      TReportScope scope(report);
      WriteOnewayReport(in, res);
    }
    benchmark::DoNotOptimize(report);
  }
}

void BM_Fixed(benchmark::State& state) { Run(state, false, false); }
void BM_FixedDispersionPairwise(benchmark::State& state) { Run(state, true, true); }
BENCHMARK(BM_Fixed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FixedDispersionPairwise)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
