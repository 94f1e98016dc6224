// "Nonparametric Tests" on 1,000,000 cases: each test from the data set to its report
// (the loads with Process If and the missing-value rule, sorting and ranking, the
// statistic, the report), and Kruskal-Wallis over ten groups, as
// `nonparametric-tests FILE ...` runs after reading the file. Reading the file is outside
// the timing. bench/nonparametric_anchors.sh times R on the same data.
//
// Data (fixed seed): A ~ N(10, 1), B = A/2 + N(5, 1) (paired with A), G = 1 + case mod 10,
// H = 1 + case mod 2 (two groups of 500,000), P = 1 for 9 cases in 10 (for Process If).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/io/data_file.h"
#include "hypothesis/nonparametric.h"
#include "hypothesis/nonparametric_tests.h"
#include "numerics/format.h"
#include "output/report_writer.h"

namespace {

using namespace sorvel;

enum { A = 1, B = 2, G = 3, H = 4, P = 5 };

TDataList& Data() {
  static TDataList& list = []() -> TDataList& {
    std::mt19937_64 g(20261210);
    std::normal_distribution<double> n;
    std::string text = "A\tB\tG\tH\tP\r\n";
    text.reserve(45000000);
    for (int i = 0; i < 1000000; ++i) {
      const double a = 10 + n(g);
      text += FormatGeneral(a, 10) + "\t" + FormatGeneral(a / 2 + 5 + n(g), 10) + "\t" +
              std::to_string(1 + i % 10) + "\t" + std::to_string(1 + i % 2) + "\t" +
              (i % 10 == 9 ? "0" : "1") + "\r\n";
    }
    ReadDataBytes(text, DataList());
    return DataList();
  }();
  return list;
}

void ProcessIf(bool on) {
  if (!on) {
    ResetProcessIf();
    return;
  }
  TProcessIfChoice choice;
  std::string error;
  ParseProcessIfText("P = 1", Data(), choice, error);
  ApplyProcessIfChoice(choice, Data());
}

void Run(benchmark::State& state, TNPInputs in, bool processIf) {
  TDataList& data = Data();
  ProcessIf(processIf);
  for (auto _ : state) {
    const TNPResult res = ComputeNonparametric(data, in);
    TReport report;
    {
      TReportScope scope(report);
      WriteNonparametricReport(in, res);
    }
    benchmark::DoNotOptimize(report);
  }
  ProcessIf(false);
}

TNPInputs Inputs(TNPTest test) {
  TNPInputs in;
  in.Test = test;
  in.Col1 = A;
  in.Col2 = B;
  return in;
}

// Two groups of 500,000 by the codes of H.
TNPInputs ByReference(TNPTest test) {
  TNPInputs in = Inputs(test);
  in.Mode = NPByReference;
  in.GroupCol = H;
  in.MeasureCol = A;
  in.Code1 = 1;
  in.Code2 = 2;
  return in;
}

// clang-format off
void BM_MannWhitney(benchmark::State& s) { Run(s, ByReference(TNPTest::WilcoxonMannWhitney), false); }
void BM_MannWhitneyProcessIf(benchmark::State& s) { Run(s, ByReference(TNPTest::WilcoxonMannWhitney), true); }
void BM_MannWhitneyTwoColumns(benchmark::State& s) { Run(s, Inputs(TNPTest::WilcoxonMannWhitney), false); }
// clang-format on
void BM_MedianTest(benchmark::State& s) { Run(s, ByReference(TNPTest::TwoSampleMedian), false); }
void BM_SignedRanks(benchmark::State& s) { Run(s, Inputs(TNPTest::WilcoxonSignedRanks), false); }
void BM_WilcoxonLocation(benchmark::State& s) {
  TNPInputs in = Inputs(TNPTest::WilcoxonTestForLocation);
  in.Location = 10;
  in.LocationText = "10";
  Run(s, in, false);
}
void BM_SignTest(benchmark::State& s) { Run(s, Inputs(TNPTest::SignTest), false); }
void BM_Spearman(benchmark::State& s) { Run(s, Inputs(TNPTest::SpearmanRankCorrelation), false); }

void BM_KruskalWallis10Groups(benchmark::State& state) {
  TDataList& data = Data();
  for (auto _ : state) benchmark::DoNotOptimize(KruskalWallis(data, G, 1, 10, A));
}

#define NP_BENCH(f) \
  BENCHMARK(f)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
NP_BENCH(BM_MannWhitney);
NP_BENCH(BM_MannWhitneyProcessIf);
NP_BENCH(BM_MannWhitneyTwoColumns);
NP_BENCH(BM_MedianTest);
NP_BENCH(BM_SignedRanks);
NP_BENCH(BM_WilcoxonLocation);
NP_BENCH(BM_SignTest);
NP_BENCH(BM_Spearman);
NP_BENCH(BM_KruskalWallis10Groups);

}  // namespace

BENCHMARK_MAIN();
