// Control limits and run tests of a variables chart, and the limit calculator's exact
// limits. Goals: Mean and Range limits plus the nine run tests on 200,000 subgroups of 5
// within 20 ms; sizes alternating 31/32 within 50 ms; each exact calculator case within
// 1 ms; a whole Mean/Range chart of 1,000,000 values of a loaded data set in subgroups of
// 5 (point table, limits, nine tests, chart model) within 0.1 s.
// bench/control_charts_anchors.sh times base R on the same chart.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "data/io/data_file.h"
#include "quality/chart_constants.h"
#include "quality/control_limits.h"
#include "quality/control_tests.h"
#include "quality/variables_chart.h"
#include "quality/variables_limits.h"

using namespace sorvel;

namespace {

// The point table of subgroups of N(10, 2) values, as the chart window fills it.
ChartArrayType MakeChart(int subgroups, bool alternate) {
  std::mt19937_64 rng(20261210);
  std::normal_distribution<double> normal(10, 2);
  ChartArrayType t;
  t.Resize(subgroups);
  std::vector<double> g;
  for (int p = 1; p <= subgroups; ++p) {
    const int n = alternate ? (p % 2 ? 31 : 32) : 5;
    g.resize(static_cast<std::size_t>(n));
    double sum = 0;
    for (double& x : g) sum += (x = normal(rng));
    const double mean = sum / n;
    double ss = 0;
    for (double x : g) ss += (x - mean) * (x - mean);
    const auto [lo, hi] = std::minmax_element(g.begin(), g.end());
    t(RowSize, p) = n;
    t(RowLocation, p) = t(RowMean, p) = mean;
    t(RowDispersion, p) = *hi - *lo;
    t(RowRangeSigma, p) = (*hi - *lo) / ConstD2(n);
    t(RowSubgroupSD, p) = std::sqrt(ss / (n - 1));
    t(RowLabel, p) = p;
  }
  return t;
}

void LimitsAndTests(benchmark::State& state, bool alternate) {
  const int subgroups = 200000;
  ChartArrayType chart = MakeChart(subgroups, alternate);
  TControlTestSettings all = DefaultControlTestSettings();
  for (auto& c : all.StdCheck) c = true;
  const TVariablesChartSettings settings;  // Mean and Range, Average Range
  for (auto _ : state) {
    CalcVariablesLimits(chart, subgroups, settings);
    auto location = RunControlTests(chart, subgroups, LocationTestRows, false, 0, all);
    auto dispersion = RunControlTests(chart, subgroups, DispersionTestRows, false, 1, all);
    benchmark::DoNotOptimize(location.data());
    benchmark::DoNotOptimize(dispersion.data());
  }
}

void BM_MeanRangeLimitsAndNineTests(benchmark::State& state) { LimitsAndTests(state, false); }
BENCHMARK(BM_MeanRangeLimitsAndNineTests)->Unit(benchmark::kMillisecond);

void BM_Sizes31And32LimitsAndNineTests(benchmark::State& state) { LimitsAndTests(state, true); }
BENCHMARK(BM_Sizes31And32LimitsAndNineTests)->Unit(benchmark::kMillisecond);

// The two halves apart, to see where the time goes.
void BM_MeanRangeLimitsOnly(benchmark::State& state) {
  ChartArrayType chart = MakeChart(200000, false);
  const TVariablesChartSettings settings;
  for (auto _ : state) CalcVariablesLimits(chart, 200000, settings);
}
BENCHMARK(BM_MeanRangeLimitsOnly)->Unit(benchmark::kMillisecond);

void BM_NineTestsOnly(benchmark::State& state) {
  ChartArrayType chart = MakeChart(200000, false);
  CalcVariablesLimits(chart, 200000, TVariablesChartSettings{});
  TControlTestSettings all = DefaultControlTestSettings();
  for (auto& c : all.StdCheck) c = true;
  for (auto _ : state) {
    auto fired = RunControlTests(chart, 200000, LocationTestRows, false, 0, all);
    benchmark::DoNotOptimize(fired.data());
  }
}
BENCHMARK(BM_NineTestsOnly)->Unit(benchmark::kMillisecond);

// The chart window's whole path from the data set: subgroups of 5 consecutive cases of
// 1,000,000 N(10, 2) values, Mean and Range with Average Range limits, all nine tests
// on both charts, and the chart model.
// The data set is read once for every run of the benchmark.
TDataList& MillionValues() {
  static TDataList data = [] {
    std::mt19937_64 rng(20261210);
    std::normal_distribution<double> normal(10, 2);
    std::string text = "X\n";
    char buf[32];
    for (int i = 0; i < 1000000; ++i) {
      const int len = std::snprintf(buf, sizeof buf, "%.6f\n", normal(rng));
      text.append(buf, static_cast<std::size_t>(len));
    }
    TDataList d;
    ReadDataBytes(text, d);
    d.UpdateData();
    return d;
  }();
  return data;
}

void BM_MeanRangeChartFromDataSet(benchmark::State& state) {
  TDataList& data = MillionValues();
  if (data.Ncount != 1000000) state.SkipWithError("data not read");
  TVarChartRequest rq;
  rq.Layout = 4;
  rq.ChartVariables = {1};
  rq.SampleSize = 5;
  TControlTestSettings all = DefaultControlTestSettings();
  for (auto& c : all.StdCheck) c = true;
  TVarPointTable points;
  for (auto _ : state) {
    TVarChartBuilder builder(data, rq);
    builder.Build(1, 0, {}, all, points);
    TVarChartModelInput in;
    in.Builder = &builder;
    in.Data = &data;
    in.Points = &points;
    in.Column = 1;
    TChart chart = VariablesChartModel(in);
    benchmark::DoNotOptimize(chart.Series.size());
  }
  state.counters["points"] = points.Count;
}
BENCHMARK(BM_MeanRangeChartFromDataSet)->Unit(benchmark::kMillisecond);

void BM_CalculatorExactBinomial(benchmark::State& state) {
  for (auto _ : state) {
    TControlLimits out;  // p 0.01, n 1e7: 0.01009455 and 0.00990565
    CalcControlLimits(TChartType::P, 2, 0.01, 3, 1e7, out);
    benchmark::DoNotOptimize(out.UCL);
  }
}
BENCHMARK(BM_CalculatorExactBinomial)->Unit(benchmark::kMicrosecond);

void BM_CalculatorExactPoisson(benchmark::State& state) {
  for (auto _ : state) {
    TControlLimits out;  // c 2e5: 201343.5 and 198659.5
    CalcControlLimits(TChartType::C, 2, 2e5, 3, 1, out);
    benchmark::DoNotOptimize(out.UCL);
  }
}
BENCHMARK(BM_CalculatorExactPoisson)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
