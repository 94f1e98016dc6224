// "Mean/Dispersion Tests" from file data: two columns of 1,000,000 normal values (a fixed
// seed) in the data set, loaded as Variable Selection's "Define Columns" loads them, each
// group's mean and variance, r12 of the pairs, the Levene and ADM(n-1) summaries, the
// tests and the report (what `mean-dispersion-tests FILE --group1 A --group2 B` does after
// reading the file). Reading the file is outside the timing.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "data/column_selection.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "hypothesis/mean_dispersion_tests.h"
#include "numerics/format.h"
#include "output/report_writer.h"

namespace {

using namespace sorvel;

TDataList& TwoColumns() {
  static TDataList& list = []() -> TDataList& {
    std::mt19937_64 g(20261210);
    std::normal_distribution<double> n;
    std::string text = "A\tB\r\n";
    text.reserve(40000000);
    for (int i = 0; i < 1000000; ++i)
      text += FormatGeneral(10 + n(g)) + "\t" + FormatGeneral(10.5 + 2 * n(g)) + "\r\n";
    ReadDataBytes(text, DataList());
    return DataList();
  }();
  return list;
}

void BM_FileDataToReport(benchmark::State& state) {
  TDataList& data = TwoColumns();
  TColumnSelection sel;
  TRunInfo ri;
  sel.Start(ColSelTwoIndependent);
  sel.AcceptColumns(1, 2, false, ri);
  for (auto _ : state) {
    TMDInputs in;
    ApplyFileData(in, ComputeMDFileData(data, sel, TMDTest::TwoSampleIndependent));
    const TMDResult res = ComputeMeanDispersion(in);
    TReport report;
    {
      TReportScope scope(report);
      WriteMeanDispersionReport(in, res);
    }
    benchmark::DoNotOptimize(report);
  }
}
BENCHMARK(BM_FileDataToReport)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
