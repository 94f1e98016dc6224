// "Crosstabs" from file data: two 10-level columns of 1,000,000 cases (a fixed seed) in the
// data set, the table built in one pass (the loads apply Process If and the rules), every
// statistic and the report with the table laid out as printed (what `crosstabs FILE --rows
// A --cols B --stats ...all...` does after reading the file); and Fisher's exact test of a
// 2x2 table with 1,000,000 in every cell. Reading the file is outside the timing; the load
// of the columns is timed alone as well.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "hypothesis/crosstabs.h"
#include "numerics/discrete.h"
#include "output/grid_print.h"
#include "output/report_writer.h"

namespace {

using namespace sorvel;

TDataList& TwoColumns() {
  static TDataList& list = []() -> TDataList& {
    std::mt19937_64 g(20261210);
    std::uniform_int_distribution<int> level(1, 10);
    std::string text = "A\tB\r\n";
    text.reserve(8000000);
    for (int i = 0; i < 1000000; ++i) {
      const int a = level(g);
      // B agrees with A half the time, so kappa and the symmetry test have work.
      const int b = (g() & 1) ? a : level(g);
      text += std::to_string(a) + "\t" + std::to_string(b) + "\r\n";
    }
    ReadDataBytes(text, DataList());
    return DataList();
  }();
  return list;
}

void BM_LoadTwoColumns(benchmark::State& state) {
  TDataList& data = TwoColumns();
  data.IncludeCol.fill(false);
  data.IncludeCol[1] = data.IncludeCol[2] = true;
  for (auto _ : state) {
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    data.DataToA_Array(1, ri);
    benchmark::DoNotOptimize(A_ArrayCount);
  }
}
BENCHMARK(BM_LoadTwoColumns)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_TableAndAllStatistics(benchmark::State& state) {
  TDataList& data = TwoColumns();
  for (auto _ : state) {
    TCrossTab tab;
    tab.GenerateFreqArray(data, 1, 2, [](long long) { return true; });
    TCTReportInputs in;
    in.ColVar = "A";
    in.RowVar = "B";
    in.Stats = CTChiSquare | CTPhiV | CTLambda | CTFisher | CTSymmetry | CTKappa;
    TReport report;
    {
      TReportScope scope(report);
      for (const std::string& line :
           GridInJobLines(CrossTabGrid(tab, "A", "B", TCTDisplay::Count, true, 2), "CrossTabs"))
        WriteLine(line);
      WriteCrosstabsReport(tab, in);
    }
    benchmark::DoNotOptimize(report);
    state.counters["N"] = static_cast<double>(tab.N());
    state.counters["cells"] = tab.I() * tab.J();
  }
}
BENCHMARK(BM_TableAndAllStatistics)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Fisher1e6PerCell(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(FisherExact2x2(1000000, 1000000, 1000000, 1000000, 0));
}
BENCHMARK(BM_Fisher1e6PerCell)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Near 1e6 per cell but not balanced, so that the tails are summed.
void BM_Fisher1e6Unbalanced(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(FisherExact2x2(1000000, 1002000, 1001000, 999000, 0));
}
BENCHMARK(BM_Fisher1e6Unbalanced)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
