// A p chart of 100,000 lots of 50 to 150 units with exact binomial limits (a new sample
// size at nearly every point) and the standard run tests. Goal: within 0.05 s.
// bench/attribute_charts_anchors.sh times R's vectorised qbinom limits and test 1.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "data/data_list.h"
#include "data/io/data_file.h"
#include "quality/attributes_chart.h"

using namespace sorvel;

namespace {

constexpr int Lots = 100000;

// Lot sizes uniform on 50 .. 150, defectives Binomial(n, 0.04).
struct TLots {
  std::vector<double> D, N;
};

const TLots& Data() {
  static const TLots lots = [] {
    TLots t;
    std::mt19937_64 rng(20261210);
    std::uniform_int_distribution<int> size(50, 150);
    for (int i = 0; i < Lots; ++i) {
      const int n = size(rng);
      t.N.push_back(n);
      t.D.push_back(std::binomial_distribution<int>(n, 0.04)(rng));
    }
    return t;
  }();
  return lots;
}

TAttrSettings PExact() {
  TAttrSettings s;
  s.Type = AttrP;
  s.Method = AttrExact;
  return s;
}

// Limits per n (each n worked out once) and the six standard tests on the point table.
void BM_PChartLimitsAndTests(benchmark::State& state) {
  const TLots& d = Data();
  TAttrTable t;
  t.Clear(Lots);
  for (int i = 0; i < Lots; ++i) t.AddPoint(AttrP, d.D[i], d.N[i], i + 1, 0);
  const TAttrSettings s = PExact();
  const TControlTestSettings tests = DefaultControlTestSettings();
  std::size_t fired = 0;
  for (auto _ : state) {
    CalcAttributeLimits(t, s);
    fired = RunAttributeTests(t, tests).size();
    benchmark::DoNotOptimize(fired);
  }
  state.counters["fired"] = static_cast<double>(fired);
}
BENCHMARK(BM_PChartLimitsAndTests)->Unit(benchmark::kMillisecond);

// The same chart as the window builds it: the points read from the data set (Process If,
// missing values), then limits, tests, codes and the limit summary.
void BM_PChartFromDataSet(benchmark::State& state) {
  const TLots& d = Data();
  std::string text = "Defective\tInspected\n";
  for (int i = 0; i < Lots; ++i)
    text += std::to_string(static_cast<int>(d.D[i])) + "\t" +
            std::to_string(static_cast<int>(d.N[i])) + "\n";
  TDataList data;
  if (!ReadDataBytes(text, data).Ok) state.SkipWithError("data not read");
  data.UpdateData();
  TAttrChartRequest q;
  q.Settings = PExact();
  q.Measures = {1};
  q.SampleSizeColumn = 2;
  const TControlTestSettings tests = DefaultControlTestSettings();
  TAttrChartData chart;
  for (auto _ : state) {
    TAttrChartBuilder b(data, q);
    b.Build({1, 0, false, "Defective"}, false, tests, chart);
    benchmark::DoNotOptimize(chart.Table.Count);
  }
}
BENCHMARK(BM_PChartFromDataSet)->Unit(benchmark::kMillisecond);

// The chart model of that chart (zones on), what every redraw rebuilds.
void BM_PChartModel(benchmark::State& state) {
  const TLots& d = Data();
  TAttrChartData chart;
  chart.Table.Clear(Lots);
  chart.Labels.assign(1, "");
  chart.SetTexts.assign(1, "");
  for (int i = 0; i < Lots; ++i) {
    chart.Table.AddPoint(AttrP, d.D[i], d.N[i], i + 1, 0);
    chart.Labels.push_back(std::to_string(i + 1));
    chart.SetTexts.emplace_back();
  }
  TAttrChartRequest q;
  q.Settings = PExact();
  CalcAttributeLimits(chart.Table, q.Settings);
  RunAttributeTests(chart.Table, DefaultControlTestSettings());
  chart.Codes.assign(Lots + 1, "");
  chart.Summary = AttrLimitSummary(chart.Table, q.Settings);
  TChartViewOptions v;
  v.DisplayZones = true;
  for (auto _ : state) benchmark::DoNotOptimize(AttrChartModel(chart, q, v, "", "").Series.size());
}
BENCHMARK(BM_PChartModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
